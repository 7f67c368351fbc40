// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT

#include "playfield/form1_layout.h"

#include "playfield/sprites.h"

namespace playfield {
namespace {

using rt::Alignment;
using rt::ControlDesign;
using rt::ControlKind;

ControlDesign timer(const char* name, bool enabled, int interval) {
    ControlDesign d;
    d.kind = ControlKind::Timer;
    d.name = name;
    d.enabled = enabled;
    d.interval = interval;
    return d;
}

ControlDesign image(const char* name, int left, int top, int width, int height,
                    rt::PictureRef picture) {
    ControlDesign d;
    d.kind = ControlKind::Image;
    d.name = name;
    d.left = left;
    d.top = top;
    d.width = width;
    d.height = height;
    d.picture = std::move(picture);
    return d;
}

ControlDesign label(const char* name, const char* caption, int left, int top, int width,
                    Alignment alignment) {
    ControlDesign d;
    d.kind = ControlKind::Label;
    d.name = name;
    d.caption = caption;
    d.left = left;
    d.top = top;
    d.width = width;
    d.height = 25;
    d.alignment = alignment;
    return d;  // font: "Times New Roman" 14.25 pt regular, transparent back (the defaults)
}

// A window of the building: a black outline over the building's green.
ControlDesign windowOutline(int number, int left, int top) {
    ControlDesign d;
    d.kind = ControlKind::Shape;
    d.name = "Shape" + std::to_string(number);
    d.left = left;
    d.top = top;
    d.width = 33;
    d.height = 41;
    d.borderColor = rt::rgb(0, 0, 0);
    d.borderWidth = 1;
    return d;
}

ControlDesign menu(const char* name, const char* caption) {
    ControlDesign d;
    d.kind = ControlKind::Menu;
    d.name = name;
    d.caption = caption;
    return d;
}

rt::FormDesign build() {
    rt::FormDesign f;
    f.name = "Form1";
    f.caption = "Drenchwick";
    f.backColor = rt::rgb(255, 255, 255);
    f.clientWidth = 426;
    f.clientHeight = 347;
    f.icons = {framedBoxIcon(32), framedBoxIcon(16)};
    f.bitmaps = &storedBitmap;

    auto& c = f.controls;
    c.push_back(timer("Dropper", false, 50));
    c.push_back(timer("Walker", true, 100));

    // Front to back.
    c.push_back(label("Balloons", "Balloons Left: 100", 200, 40, 193, Alignment::Center));
    ControlDesign balloon = image("WaterB", 160, 56, 16, 16, balloonPicture());
    balloon.index = 0;
    balloon.visible = false;
    c.push_back(balloon);
    c.push_back(label("Scr", "Score: 0", 304, 16, 113, Alignment::Left));
    c.push_back(label("Hlth", "Health: 10", 200, 16, 97, Alignment::Left));
    c.push_back(image("Zorbo", 216, 309, 35, 36, zorboPicture()));
    c.push_back(image("Quib", 344, 309, 35, 36, quibPicture()));
    ControlDesign you = image("You", 95, -7, 70, 72, playerPicture());
    you.stretch = true;
    c.push_back(you);
    for (int n = 13; n >= 2; --n) {
        const int k = n - 2;  // Shape2 is the top left window, rows of three
        c.push_back(windowOutline(n, 8 + 48 * (k % 3), 72 + 64 * (k / 3)));
    }
    ControlDesign building;
    building.kind = ControlKind::Shape;
    building.name = "Shape1";
    building.left = 0;
    building.top = 56;
    building.width = 145;
    building.height = 289;
    building.filled = true;
    building.fillColor = rt::rgb(0, 255, 0);
    building.borderColor = rt::rgb(0, 128, 0);
    building.borderWidth = 2;
    c.push_back(building);

    c.push_back(menu("mnuExit", "Exit"));
    c.push_back(menu("mnuReset", "Reset"));
    c.push_back(menu("mnuHelp", "Help"));
    return f;
}

}  // namespace

const rt::FormDesign& form1Design() {
    static const rt::FormDesign design = build();
    return design;
}

}  // namespace playfield
