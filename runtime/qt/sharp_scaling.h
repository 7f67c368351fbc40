// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT

// Pixel art at a scale that is not a whole number, with every pixel the same size.
//
// Drawn straight at 1.5 device pixels a picture pixel, nearest neighbour makes columns of 1 and
// 2 device pixels by turns, and the walkers' one-pixel eyes and mouths come out smeared. Drawn
// "sharp" instead: first at the whole-number scale at or above the one wanted, every pixel a
// solid block, then scaled down to the exact size with each device pixel the average of what it
// covers. Every picture pixel then gives each device row and column exactly its share.
#pragma once

#include <QImage>
#include <QRect>

namespace rt {

// The smallest number of pixels after which pixels of `factor` device pixels end on a whole
// device pixel again (2 for 1.5, 4 for 1.25); 0 if none does within 64.
int sharpBlock(double factor);

// `src` scaled down to `width` × `height`, each pixel the area average of the part of `src` it
// covers. Not for scaling up.
QImage boxScaled(const QImage& src, int width, int height);

}  // namespace rt
