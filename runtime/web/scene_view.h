// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT

// The form's client area in the page: a canvas as big as the room below the menu bar allows,
// centred in it and drawn in device pixels (see roomFactor for the sizes it takes).
#pragma once

#include <vector>

#include "runtime/controls.h"

namespace rt {

class Form;

class SceneView {
  public:
    explicit SceneView(const Form& form);

    // The page changed size or density, or the form was shown: the canvas follows, and is drawn
    // anew. The first time at once, without waiting for a frame: the page shows nothing before.
    void relayout();
    // These form pixels are painted on the next frame, once however often they change before it.
    void changed(const PixelRect& rect);
    // What has changed is painted now. After a player's key or tap: a browser hands a finger's
    // events to the page as it begins a frame, and painting at once puts the throw in that
    // frame rather than the one after.
    void flush();

  private:
    static int onFrame(double time, void* self);
    void paint(const PixelRect& rect) const;

    const Form& form_;
    double factor_ = 1;  // device pixels a form pixel
    std::vector<PixelRect> pending_;
    bool frameAsked_ = false;
    bool drawn_ = false;
};

}  // namespace rt
