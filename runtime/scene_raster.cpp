// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT

#include "runtime/scene_raster.h"

#include <algorithm>

#include "runtime/form.h"

namespace rt {

namespace {

constexpr uint32_t kOpaque = 0xFF000000U;

struct Canvas {
    Picture& out;
    PixelRect part;
    int scale;

    // Fills the form pixels of `r` that lie in the part.
    void fill(const PixelRect& r, uint32_t colour) const {
        const PixelRect c = intersected(r, part);
        for (int y = (c.y - part.y) * scale; y < (c.y - part.y + c.h) * scale; ++y) {
            uint32_t* row = &out.pixels[static_cast<size_t>(y) * out.width];
            std::fill(row + (c.x - part.x) * scale, row + (c.x - part.x + c.w) * scale, colour);
        }
    }
};

void paintShape(const Canvas& c, const Shape& s) {
    const PixelRect r = s.pixelRect();
    if (s.Filled()) {
        c.fill(r, kOpaque | s.FillColor());
    }
    // The border lies inside the rectangle.
    const int b = std::min({s.BorderWidth(), r.w, r.h});
    if (b <= 0) {
        return;
    }
    const uint32_t colour = kOpaque | s.BorderColor();
    c.fill(PixelRect{r.x, r.y, r.w, b}, colour);
    c.fill(PixelRect{r.x, r.y + r.h - b, r.w, b}, colour);
    c.fill(PixelRect{r.x, r.y, b, r.h}, colour);
    c.fill(PixelRect{r.x + r.w - b, r.y, b, r.h}, colour);
}

void paintImage(const Canvas& c, const Image& img) {
    if (!img.Picture()) {
        return;
    }
    const Picture& pic = *img.Picture();
    const PixelRect r = img.pixelRect();
    // Unstretched, the picture sits at the top left and the control shows no more of it than
    // fits; stretched, each control pixel takes the picture pixel under its centre.
    const PixelRect shown =
        img.Stretch() ? r
                      : PixelRect{r.x, r.y, std::min(r.w, pic.width), std::min(r.h, pic.height)};
    const PixelRect v = intersected(shown, c.part);
    for (int y = v.y; y < v.y + v.h; ++y) {
        const int py = img.Stretch() ? ((y - r.y) * 2 + 1) * pic.height / (2 * r.h) : y - r.y;
        for (int dy = 0; dy < c.scale; ++dy) {
            uint32_t* row =
                &c.out.pixels[static_cast<size_t>((y - c.part.y) * c.scale + dy) * c.out.width];
            for (int x = v.x; x < v.x + v.w; ++x) {
                const int px =
                    img.Stretch() ? ((x - r.x) * 2 + 1) * pic.width / (2 * r.w) : x - r.x;
                std::fill_n(row + (x - c.part.x) * c.scale, c.scale, kOpaque | pic.at(px, py));
            }
        }
    }
}

}  // namespace

PixelRect intersected(const PixelRect& a, const PixelRect& b) {
    const int x0 = std::max(a.x, b.x);
    const int y0 = std::max(a.y, b.y);
    const int x1 = std::min(a.x + a.w, b.x + b.w);
    const int y1 = std::min(a.y + a.h, b.y + b.h);
    return x1 > x0 && y1 > y0 ? PixelRect{x0, y0, x1 - x0, y1 - y0} : PixelRect{};
}

Picture rasterScene(const Form& form, const PixelRect& part, int scale) {
    Picture out;
    out.width = std::max(0, part.w) * scale;
    out.height = std::max(0, part.h) * scale;
    out.pixels.assign(static_cast<size_t>(out.width) * out.height,
                      kOpaque | form.design().backColor);
    const Canvas canvas{out, part, scale};
    const auto& stack = form.stacking();
    for (auto it = stack.rbegin(); it != stack.rend(); ++it) {
        const Visual& v = **it;
        if (!v.Visible() || intersected(v.pixelRect(), part).empty()) {
            continue;
        }
        if (v.kind() == ControlKind::Shape) {
            paintShape(canvas, static_cast<const Shape&>(v));
        } else if (v.kind() == ControlKind::Image) {
            paintImage(canvas, static_cast<const Image&>(v));
        }
    }
    return out;
}

std::vector<const Label*> labelsIn(const Form& form, const PixelRect& part) {
    std::vector<const Label*> out;
    const auto& stack = form.stacking();
    for (auto it = stack.rbegin(); it != stack.rend(); ++it) {
        if ((*it)->kind() == ControlKind::Label && (*it)->Visible() &&
            !intersected((*it)->pixelRect(), part).empty()) {
            out.push_back(static_cast<const Label*>(*it));
        }
    }
    return out;
}

}  // namespace rt
