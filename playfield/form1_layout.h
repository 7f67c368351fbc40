// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT

// The design-time layout of the game window.
#pragma once

#include "runtime/design.h"

namespace playfield {

const rt::FormDesign& form1Design();

}  // namespace playfield
