// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT

#include "runtime/sharp_scaling.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace rt {

namespace {

// For each output pixel of one axis, the source pixels it covers and how much of each.
struct Span {
    int first = 0;
    std::vector<float> weights;  // they add up to 1
};

std::vector<Span> spans(int from, int to) {
    const double k = static_cast<double>(from) / to;  // source pixels an output pixel covers
    std::vector<Span> out(static_cast<size_t>(to));
    for (int i = 0; i < to; ++i) {
        const double a = i * k;
        const double b = std::min<double>(from, (i + 1) * k);
        Span& s = out[static_cast<size_t>(i)];
        s.first = static_cast<int>(std::floor(a));
        for (int j = s.first; j < b; ++j) {
            const double cover = std::min<double>(b, j + 1) - std::max<double>(a, j);
            if (cover > 1e-9) {
                s.weights.push_back(static_cast<float>(cover / (b - a)));
            }
        }
    }
    return out;
}

int channel(uint32_t c, int k) {
    return static_cast<int>((c >> (16 - 8 * k)) & 0xFFU);
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
    const std::vector<Span> across = spans(src.width, width);
    const std::vector<Span> down = spans(src.height, height);
    // Across first, into three channels of floats, then down.
    std::vector<float> mid(static_cast<size_t>(width) * src.height * 3);
    for (int y = 0; y < src.height; ++y) {
        const uint32_t* line = &src.pixels[static_cast<size_t>(y) * src.width];
        float* row = &mid[static_cast<size_t>(y) * width * 3];
        for (int x = 0; x < width; ++x) {
            const Span& s = across[static_cast<size_t>(x)];
            float c[3] = {0, 0, 0};
            for (size_t j = 0; j < s.weights.size(); ++j) {
                const uint32_t p = line[s.first + static_cast<int>(j)];
                for (int k = 0; k < 3; ++k) {
                    c[k] += s.weights[j] * static_cast<float>(channel(p, k));
                }
            }
            std::copy(c, c + 3, row + x * 3);
        }
    }
    Picture out;
    out.width = width;
    out.height = height;
    out.pixels.resize(static_cast<size_t>(width) * height);
    for (int y = 0; y < height; ++y) {
        const Span& s = down[static_cast<size_t>(y)];
        for (int x = 0; x < width; ++x) {
            float c[3] = {0, 0, 0};
            for (size_t j = 0; j < s.weights.size(); ++j) {
                const float* from = &mid[(static_cast<size_t>(s.first) + j) * width * 3 +
                                         static_cast<size_t>(x) * 3];
                for (int k = 0; k < 3; ++k) {
                    c[k] += s.weights[j] * from[k];
                }
            }
            uint32_t p = 0xFF000000U;
            for (int k = 0; k < 3; ++k) {
                p |= static_cast<uint32_t>(std::lround(c[k])) << (16 - 8 * k);
            }
            out.pixels[static_cast<size_t>(y) * width + x] = p;
        }
    }
    return out;
}

}  // namespace rt
