// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT

// Design-time description of a form: what the runtime builds each time the form is loaded.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace rt {

using Rgb = uint32_t;  // 0xRRGGBB
constexpr Rgb rgb(int r, int g, int b) {
    return (static_cast<Rgb>(r) << 16) | (static_cast<Rgb>(g) << 8) | static_cast<Rgb>(b);
}

// An opaque pixel picture. Pixels are 0xFFRRGGBB, row by row from the top.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
    uint32_t at(int x, int y) const { return pixels[static_cast<size_t>(y * width + x)]; }
};
using PictureRef = std::shared_ptr<const Picture>;

enum class ControlKind { Image, Label, Shape, Timer, Menu };
enum class Alignment { Left, Right, Center };

struct FontDesign {
    std::string name = "Times New Roman";
    double points = 14.25;
    int weight = 400;
    bool italic = false;
    bool underline = false;
    bool strikeout = false;
};

struct ControlDesign {
    ControlKind kind = ControlKind::Image;
    std::string name;
    int index = -1;  // >= 0 makes the control element `index` of a control array
    int left = 0, top = 0, width = 0, height = 0;
    bool visible = true;
    // Image
    PictureRef picture;
    bool stretch = false;
    // Label
    std::string caption;
    FontDesign font;
    Alignment alignment = Alignment::Left;
    bool transparentBack = true;
    Rgb foreColor = rgb(0, 0, 0);
    // Shape (always a rectangle here)
    bool filled = false;
    Rgb fillColor = rgb(255, 255, 255);
    Rgb borderColor = rgb(0, 0, 0);
    int borderWidth = 1;
    // Timer
    bool enabled = false;
    int interval = 0;
};

struct FormDesign {
    std::string name;
    std::string caption;
    Rgb backColor = rgb(255, 255, 255);
    int clientWidth = 0;
    int clientHeight = 0;
    // Timers first, then the drawn controls from front to back, then the menu items from
    // left to right: the order of the layout is also the stacking order.
    std::vector<ControlDesign> controls;
    std::vector<PictureRef> icons;
    // The bitmaps stored with the program, by number; null for a number that holds none.
    PictureRef (*bitmaps)(int id) = nullptr;
};

}  // namespace rt
