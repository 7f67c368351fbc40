// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT

// The form's pictures and shapes as pixels, the same on every host. Text is left to the hosts,
// which draw it with the platform's own font engine over what this paints: in this game nothing
// drawn in front of a label ever reaches one.
#pragma once

#include "runtime/controls.h"
#include "runtime/design.h"

namespace rt {

class Form;

// Paints every visible shape and image of `form` that reaches into `part` (form pixels), back to
// front on the form's colour, each form pixel a solid block of `scale` × `scale`. The result is
// part.w × part.h blocks, its top left pixel the top left of `part`.
Picture rasterScene(const Form& form, const PixelRect& part, int scale);

// The labels that reach into `part`, back to front.
std::vector<const Label*> labelsIn(const Form& form, const PixelRect& part);

// The pixels two rectangles share; empty if none.
PixelRect intersected(const PixelRect& a, const PixelRect& b);

}  // namespace rt
