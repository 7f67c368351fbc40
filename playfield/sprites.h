// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT

// The pictures of the layout, the bitmaps stored with the program and the window icon.
#pragma once

#include <array>

#include "runtime/design.h"

namespace playfield {

// The standard 16-colour palette of the stored bitmaps, in index order.
constexpr std::array<rt::Rgb, 16> kPalette16 = {
    rt::rgb(0, 0, 0),       rt::rgb(128, 0, 0),   rt::rgb(0, 128, 0),   rt::rgb(128, 128, 0),
    rt::rgb(0, 0, 128),     rt::rgb(128, 0, 128), rt::rgb(0, 128, 128), rt::rgb(192, 192, 192),
    rt::rgb(128, 128, 128), rt::rgb(255, 0, 0),   rt::rgb(0, 255, 0),   rt::rgb(255, 255, 0),
    rt::rgb(0, 0, 255),     rt::rgb(255, 0, 255), rt::rgb(0, 255, 255), rt::rgb(255, 255, 255),
};

rt::Rgb colourOf(char letter);

rt::PictureRef balloonPicture();
rt::PictureRef zorboPicture();
rt::PictureRef quibPicture();
rt::PictureRef playerPicture();
// Zorbo's poses by number: 4 standing, 5 kicking, 6 jumping; null for any other number.
rt::PictureRef storedBitmap(int id);
rt::PictureRef framedBoxIcon(int size);

}  // namespace playfield
