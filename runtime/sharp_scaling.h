// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT

// Pixel art at a scale that is not a whole number, with every pixel the same size.
//
// Drawn straight at 1.5 device pixels a picture pixel, nearest neighbour makes columns of 1 and
// 2 device pixels by turns, and the walkers' one-pixel eyes and mouths come out smeared. Drawn
// "sharp" instead: first at the whole-number scale at or above the one wanted, every pixel a
// solid block, then scaled down to the exact size with each device pixel the average of what it
// covers. Every picture pixel then gives each device row and column exactly its share. Averaging
// the picture's own pixels over each device pixel gives the same, without the large picture: a
// host that draws nothing into that picture itself (the browser's draws its text apart) may do
// so.
#pragma once

#include "runtime/controls.h"
#include "runtime/design.h"

namespace rt {

// The largest whole-number zoom at which a scene fits the space it is given, never below 1:
// the scene grows by whole picture pixels, anchored at the top left.
int wholeZoom(int availableWidth, int availableHeight, int sceneWidth, int sceneHeight);

// The page's rule, where the room may be smaller than the scene or far bigger than any whole
// zoom of it: the device pixels a scene pixel takes so that the scene is as big as
// `deviceWidth` × `deviceHeight` allows. A whole number where that fills at least kWholeFill of
// the largest size that fits, every picture pixel a solid block; otherwise the largest k/n with
// n at most kLargestBlock, drawn sharp, whose tiles end on whole device pixels every n scene
// pixels, so that a small change repaints a small tile. Never below 1/kLargestBlock.
inline constexpr double kWholeFill = 0.85;
inline constexpr int kLargestBlock = 8;
double roomFactor(int deviceWidth, int deviceHeight, int sceneWidth, int sceneHeight);

// The smallest number of pixels after which pixels of `factor` device pixels end on a whole
// device pixel again (2 for 1.5, 4 for 1.25); 0 if none does within 64.
int sharpBlock(double factor);

// What to draw when the form pixels `changed` of a scene of `sceneWidth` × `sceneHeight` are
// shown at `factor` device pixels each.
struct SharpTile {
    PixelRect part;    // the form pixels to draw
    int scale = 1;     // drawn at this whole-number scale first (or at 1: see above)...
    PixelRect device;  // ...then averaged down to these device pixels, from the scene's origin
};
// At a whole factor the tile is `changed` itself, drawn at that scale. Otherwise it is widened to
// whole blocks, where form pixels end on whole device pixels, so that the part scaled down is
// the same as that part of the whole scene scaled down: no seams. A block may reach past the
// scene's far edges.
SharpTile sharpTile(const PixelRect& changed, int sceneWidth, int sceneHeight, double factor);

// `src` scaled to `width` × `height`, up or down, each pixel the area average of the part of
// `src` it covers: exactly a colour of `src` where it covers only that colour, and between the
// colours it covers, channel by channel, where it covers several.
Picture boxScaled(const Picture& src, int width, int height);

}  // namespace rt
