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

    // The form was shown: the canvas takes its place and the form is drawn anew. The first time
    // at once, without waiting for a frame: the page shows nothing before.
    void shown();
    // The page's room changed size or density: the canvas follows, and is drawn anew if it moved.
    void relayout();
    // These form pixels are painted on the next frame, once however often they change before it.
    void changed(const PixelRect& rect);
    // What has changed is painted now. After a player's key or tap: a browser hands a finger's
    // events to the page as it begins a frame, and painting at once puts the throw in that
    // frame rather than the one after.
    void flush();

  private:
    static int onFrame(double time, void* self);
    // Puts the canvas where the room now wants it; false when it is there already.
    bool place();
    void repaint();
    void paint(const PixelRect& rect) const;

    // Where the canvas lies on the page, in device pixels, and at which ratio.
    struct Placement {
        int x = 0;
        int y = 0;
        int width = 0;
        int height = 0;
        double ratio = 0;
        bool operator==(const Placement&) const = default;
    };

    const Form& form_;
    double factor_ = 1;  // device pixels a form pixel
    Placement placed_;
    std::vector<PixelRect> pending_;
    bool frameAsked_ = false;
    bool drawn_ = false;
};

}  // namespace rt
