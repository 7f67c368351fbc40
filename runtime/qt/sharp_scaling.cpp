// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT

#include "runtime/qt/sharp_scaling.h"

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

}  // namespace

int sharpBlock(double factor) {
    for (int n = 1; n <= 64; ++n) {
        const double device = n * factor;
        if (std::abs(device - std::round(device)) < 1e-6) {
            return n;
        }
    }
    return 0;
}

QImage boxScaled(const QImage& source, int width, int height) {
    const QImage src = source.convertToFormat(QImage::Format_RGB32);
    const std::vector<Span> across = spans(src.width(), width);
    const std::vector<Span> down = spans(src.height(), height);
    // Across first, into three channels of floats, then down.
    std::vector<float> mid(static_cast<size_t>(width) * src.height() * 3);
    for (int y = 0; y < src.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(src.constScanLine(y));
        float* row = &mid[static_cast<size_t>(y) * width * 3];
        for (int x = 0; x < width; ++x) {
            const Span& s = across[static_cast<size_t>(x)];
            float r = 0, g = 0, b = 0;
            for (size_t j = 0; j < s.weights.size(); ++j) {
                const QRgb c = line[s.first + static_cast<int>(j)];
                r += s.weights[j] * static_cast<float>(qRed(c));
                g += s.weights[j] * static_cast<float>(qGreen(c));
                b += s.weights[j] * static_cast<float>(qBlue(c));
            }
            row[x * 3] = r;
            row[x * 3 + 1] = g;
            row[x * 3 + 2] = b;
        }
    }
    QImage out(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        const Span& s = down[static_cast<size_t>(y)];
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < width; ++x) {
            float c[3] = {0, 0, 0};
            for (size_t j = 0; j < s.weights.size(); ++j) {
                const float* from =
                    &mid[(static_cast<size_t>(s.first) + j) * width * 3 + static_cast<size_t>(x) * 3];
                for (int k = 0; k < 3; ++k) {
                    c[k] += s.weights[j] * from[k];
                }
            }
            line[x] = qRgb(static_cast<int>(std::lround(c[0])), static_cast<int>(std::lround(c[1])),
                           static_cast<int>(std::lround(c[2])));
        }
    }
    return out;
}

}  // namespace rt
