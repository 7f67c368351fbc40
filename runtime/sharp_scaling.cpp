// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT

#include "runtime/sharp_scaling.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace rt {

namespace {

// For each output pixel of one axis, the source pixels it covers and how much of each, in
// 1/65536ths that add up to exactly 65536: a pixel that covers one colour comes out that very
// colour, and one on an edge between the colours of its sources.
constexpr uint32_t kWhole = 65536;

struct Axis {
    std::vector<int> first;         // the first source pixel of output pixel i
    std::vector<int> start;         // where its weights begin in `weights`
    std::vector<uint32_t> weights;  // one per source pixel covered, start[i] to start[i + 1]
};

Axis axis(int from, int to) {
    const double k = static_cast<double>(from) / to;  // source pixels an output pixel covers
    Axis out;
    out.first.resize(static_cast<size_t>(to));
    out.start.resize(static_cast<size_t>(to) + 1);
    for (int i = 0; i < to; ++i) {
        const double a = i * k;
        const double b = std::min<double>(from, (i + 1) * k);
        const int first = std::min(from - 1, static_cast<int>(std::floor(a + 1e-9)));
        out.first[static_cast<size_t>(i)] = first;
        out.start[static_cast<size_t>(i)] = static_cast<int>(out.weights.size());
        // Each weight is what its pixel adds to the covered share, rounded: they end on 65536.
        uint32_t given = 0;
        for (int j = first; j < from && (j == first || j < b - 1e-9); ++j) {
            const double upTo = std::min<double>(b, j + 1);
            const auto total = static_cast<uint32_t>(std::lround((upTo - a) / (b - a) * kWhole));
            out.weights.push_back(total - given);
            given = total;
        }
    }
    out.start[static_cast<size_t>(to)] = static_cast<int>(out.weights.size());
    return out;
}

}  // namespace

int wholeZoom(int availableWidth, int availableHeight, int sceneWidth, int sceneHeight) {
    return std::max(1, std::min(availableWidth / sceneWidth, availableHeight / sceneHeight));
}

double roomFactor(int deviceWidth, int deviceHeight, int sceneWidth, int sceneHeight) {
    const double fit = std::min(static_cast<double>(deviceWidth) / sceneWidth,
                                static_cast<double>(deviceHeight) / sceneHeight);
    const double whole = std::floor(fit + 1e-9);
    if (whole >= 1 && whole >= kWholeFill * fit) {
        return whole;
    }
    // k/n for the largest k that fits, for each n; the largest of those.
    double best = 1.0 / kLargestBlock;
    for (int n = 1; n <= kLargestBlock; ++n) {
        best = std::max(best, std::floor(fit * n + 1e-9) / n);
    }
    return best;
}

int sharpBlock(double factor) {
    for (int n = 1; n <= 64; ++n) {
        const double device = n * factor;
        if (std::abs(device - std::round(device)) < 1e-6) {
            return n;
        }
    }
    return 0;
}

SharpTile sharpTile(const PixelRect& changed, int sceneWidth, int sceneHeight, double factor) {
    SharpTile t;
    const PixelRect scene{0, 0, sceneWidth, sceneHeight};
    if (std::abs(factor - std::round(factor)) < 1e-9) {
        t.scale = static_cast<int>(std::round(factor));
        const int x0 = std::max(changed.x, 0);
        const int y0 = std::max(changed.y, 0);
        const int x1 = std::min(changed.x + changed.w, sceneWidth);
        const int y1 = std::min(changed.y + changed.h, sceneHeight);
        t.part = x1 > x0 && y1 > y0 ? PixelRect{x0, y0, x1 - x0, y1 - y0} : PixelRect{};
        t.device = PixelRect{t.part.x * t.scale, t.part.y * t.scale, t.part.w * t.scale,
                             t.part.h * t.scale};
        return t;
    }
    t.scale = static_cast<int>(std::ceil(factor - 1e-9));
    t.part = scene;
    if (const int block = sharpBlock(factor); block > 0) {
        const auto down = [block](int v) { return std::max(0, v) / block * block; };
        const auto up = [block](int v) { return (v + block - 1) / block * block; };
        // One pixel more on each side: a device pixel on the edge of a change also averages the
        // form pixel beside it.
        const int x0 = std::max(changed.x - 1, 0);
        const int y0 = std::max(changed.y - 1, 0);
        const int x1 = std::min(changed.x + changed.w + 1, sceneWidth);
        const int y1 = std::min(changed.y + changed.h + 1, sceneHeight);
        if (x1 <= x0 || y1 <= y0) {
            return SharpTile{};
        }
        t.part = PixelRect{down(x0), down(y0), up(x1) - down(x0), up(y1) - down(y0)};
    }
    const auto at = [factor](int v) { return static_cast<int>(std::lround(v * factor)); };
    t.device = PixelRect{at(t.part.x), at(t.part.y), at(t.part.x + t.part.w) - at(t.part.x),
                         at(t.part.y + t.part.h) - at(t.part.y)};
    return t;
}

Picture boxScaled(const Picture& src, int width, int height) {
    const Axis across = axis(src.width, width);
    const Axis down = axis(src.height, height);
    // Across first, each channel kept in 1/256ths, then down: integers all the way, which the
    // browser's build runs several times faster than floats.
    std::vector<uint32_t> mid(static_cast<size_t>(width) * src.height * 3);
    for (int y = 0; y < src.height; ++y) {
        const uint32_t* line = &src.pixels[static_cast<size_t>(y) * src.width];
        uint32_t* row = &mid[static_cast<size_t>(y) * width * 3];
        for (int x = 0; x < width; ++x) {
            const uint32_t* from = line + across.first[static_cast<size_t>(x)];
            uint32_t r = 0;
            uint32_t g = 0;
            uint32_t b = 0;
            for (int j = across.start[static_cast<size_t>(x)];
                 j < across.start[static_cast<size_t>(x) + 1]; ++j, ++from) {
                const uint32_t w = across.weights[static_cast<size_t>(j)];
                r += w * ((*from >> 16) & 0xFFU);
                g += w * ((*from >> 8) & 0xFFU);
                b += w * (*from & 0xFFU);
            }
            row[x * 3] = (r + 128) >> 8;
            row[x * 3 + 1] = (g + 128) >> 8;
            row[x * 3 + 2] = (b + 128) >> 8;
        }
    }
    Picture out;
    out.width = width;
    out.height = height;
    out.pixels.resize(static_cast<size_t>(width) * height);
    for (int y = 0; y < height; ++y) {
        const int first = down.first[static_cast<size_t>(y)];
        const int begin = down.start[static_cast<size_t>(y)];
        const int end = down.start[static_cast<size_t>(y) + 1];
        uint32_t* line = &out.pixels[static_cast<size_t>(y) * width];
        const uint32_t* source = &mid[static_cast<size_t>(first) * width * 3];
        if (end - begin == 1) {
            // Scaled up, most rows lie wholly in one row of the source, and the row before may
            // have been the same one.
            const auto y0 = static_cast<size_t>(y);
            if (y > 0 && down.start[y0] - down.start[y0 - 1] == 1 && down.first[y0 - 1] == first) {
                std::copy_n(line - width, width, line);
                continue;
            }
            for (int x = 0; x < width; ++x, source += 3) {
                line[x] = 0xFF000000U | (((source[0] + 128) >> 8) << 16) |
                          (((source[1] + 128) >> 8) << 8) | ((source[2] + 128) >> 8);
            }
            continue;
        }
        for (int x = 0; x < width; ++x, source += 3) {
            uint32_t c[3] = {1U << 23, 1U << 23, 1U << 23};  // rounds to the nearest
            const uint32_t* from = source;
            for (int j = begin; j < end; ++j, from += static_cast<size_t>(width) * 3) {
                const uint32_t w = down.weights[static_cast<size_t>(j)];
                c[0] += w * from[0];
                c[1] += w * from[1];
                c[2] += w * from[2];
            }
            line[x] = 0xFF000000U | ((c[0] >> 24) << 16) | ((c[1] >> 24) << 8) | (c[2] >> 24);
        }
    }
    return out;
}

}  // namespace rt
