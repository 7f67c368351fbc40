// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT

#include "runtime/web/scene_view.h"

#include <emscripten/html5.h>

#include <algorithm>
#include <cmath>

#include "runtime/form.h"
#include "runtime/scene_raster.h"
#include "runtime/sharp_scaling.h"
#include "runtime/web/page.h"

namespace rt {

namespace {

// A big change is drawn in bands of this many form rows, which bounds the memory one paint asks
// for: at zoom 3 and a ratio of 1.5 the whole scene drawn at once would take some 55 MB.
constexpr int kBandRows = 96;

// The layout's points are pixels of a 96-dpi window.
int fontPixels(const FontDesign& f) {
    return static_cast<int>(std::lround(f.points * 96.0 / 72.0));
}

PixelRect united(const PixelRect& a, const PixelRect& b) {
    const int x0 = std::min(a.x, b.x);
    const int y0 = std::min(a.y, b.y);
    return PixelRect{x0, y0, std::max(a.x + a.w, b.x + b.w) - x0,
                     std::max(a.y + a.h, b.y + b.h) - y0};
}

}  // namespace

SceneView::SceneView(const Form& form) : form_(form) {}

void SceneView::shown() {
    place();
    repaint();
}

void SceneView::relayout() {
    // The room is watched from the start, and told of its size once more when the watch begins:
    // placing the canvas again then would wipe the scene just drawn, and show a blank frame.
    if (place()) {
        repaint();
    }
}

bool SceneView::place() {
    const FormDesign& d = form_.design();
    const double ratio = emscripten_get_device_pixel_ratio();
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;
    dw_client_rect(&left, &top, &width, &height);
    // The room on whole device pixels, so that the page never resamples the scene's.
    const auto device = [ratio](double css, double towards) {
        return static_cast<int>(towards > 0 ? std::ceil(css * ratio - 1e-6)
                                            : std::floor(css * ratio + 1e-6));
    };
    const int x0 = device(left, 1);
    const int y0 = device(top, 1);
    const int roomWidth = std::max(0, device(left + width, -1) - x0);
    const int roomHeight = std::max(0, device(top + height, -1) - y0);
    factor_ = roomFactor(roomWidth, roomHeight, d.clientWidth, d.clientHeight);
    const int w = static_cast<int>(std::lround(d.clientWidth * factor_));
    const int h = static_cast<int>(std::lround(d.clientHeight * factor_));
    // Centred: on a phone the spare room lies all on one side, where a thumb can rest.
    const Placement place{x0 + std::max(0, roomWidth - w) / 2, y0 + std::max(0, roomHeight - h) / 2,
                          w, h, ratio};
    if (drawn_ && place == placed_) {
        return false;
    }
    placed_ = place;
    dw_scene_place(place.x, place.y, place.width, place.height, place.ratio);
    return true;
}

void SceneView::repaint() {
    const FormDesign& d = form_.design();
    // A placed canvas has lost its pixels, a shown form all it had.
    pending_.clear();
    changed(PixelRect{0, 0, d.clientWidth, d.clientHeight});
    if (!drawn_) {
        drawn_ = true;
        flush();
    }
}

void SceneView::changed(const PixelRect& rect) {
    if (rect.empty()) {
        return;
    }
    // Overlapping changes are painted as one; a tick moves two walkers and a few balloons, so a
    // short list stays short.
    PixelRect r = rect;
    for (auto it = pending_.begin(); it != pending_.end();) {
        if (!intersected(*it, r).empty()) {
            r = united(r, *it);
            it = pending_.erase(it);
        } else {
            ++it;
        }
    }
    pending_.push_back(r);
    if (!frameAsked_) {
        frameAsked_ = true;
        emscripten_request_animation_frame(&SceneView::onFrame, this);
    }
}

int SceneView::onFrame(double, void* self) {
    auto& view = *static_cast<SceneView*>(self);
    view.frameAsked_ = false;
    view.flush();
    return EM_FALSE;  // one frame only: nothing is drawn again until something changes
}

void SceneView::flush() {
    const std::vector<PixelRect> rects = std::move(pending_);
    pending_.clear();
    for (const PixelRect& r : rects) {
        for (int y = r.y; y < r.y + r.h; y += kBandRows) {
            paint(PixelRect{r.x, y, r.w, std::min(kBandRows, r.y + r.h - y)});
        }
    }
}

void SceneView::paint(const PixelRect& rect) const {
    if (!form_.loaded()) {
        return;
    }
    const FormDesign& d = form_.design();
    const double factor = factor_;
    const SharpTile tile = sharpTile(rect, d.clientWidth, d.clientHeight, factor);
    if (tile.part.empty()) {
        return;
    }
    // At a fractional size the scene's own pixels are averaged over each device pixel: the text
    // is drawn apart, so nothing needs the large picture, nine times the pixels at a phone's 2.7.
    const bool whole =
        tile.part.w * tile.scale == tile.device.w && tile.part.h * tile.scale == tile.device.h;
    Picture pixels = rasterScene(form_, tile.part, whole ? tile.scale : 1);
    if (!whole) {
        pixels = boxScaled(pixels, tile.device.w, tile.device.h);
    }
    // 0xAARRGGBB words to the bytes R, G, B, A that a canvas takes.
    for (uint32_t& p : pixels.pixels) {
        p = (p & 0xFF00FF00U) | ((p >> 16) & 0xFFU) | ((p & 0xFFU) << 16);
    }
    dw_scene_blit(reinterpret_cast<const uint8_t*>(pixels.pixels.data()), tile.device.x,
                  tile.device.y, pixels.width, pixels.height);
    for (const Label* l : labelsIn(form_, tile.part)) {
        const PixelRect lr = intersected(l->pixelRect(), tile.part);
        // The caption is clipped to its label, in device pixels, as the part just painted.
        const auto at = [factor](int v) { return static_cast<int>(std::lround(v * factor)); };
        const PixelRect clip = intersected(
            PixelRect{at(lr.x), at(lr.y), at(lr.x + lr.w) - at(lr.x), at(lr.y + lr.h) - at(lr.y)},
            tile.device);
        const PixelRect box = l->pixelRect();
        const int align = l->TextAlignment() == Alignment::Left    ? 0
                          : l->TextAlignment() == Alignment::Right ? 1
                                                                   : 2;
        dw_scene_text(l->Caption().c_str(), box.x, box.y, box.w, fontPixels(l->Font()), align,
                      l->ForeColor(), factor, clip.x, clip.y, clip.w, clip.h);
    }
}

}  // namespace rt
