// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT

// The form's client area in the page: a canvas at the largest whole-number zoom that fits below
// the menu bar, anchored at the top left, drawn in device pixels.
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

    int zoom() const { return zoom_; }
    double ratio() const { return ratio_; }

  private:
    static int onFrame(double time, void* self);
    void paint(const PixelRect& rect) const;

    const Form& form_;
    int zoom_ = 1;
    double ratio_ = 1;
    std::vector<PixelRect> pending_;
    bool frameAsked_ = false;
    bool drawn_ = false;
};

}  // namespace rt
