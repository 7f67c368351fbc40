// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT

// The window's client area as it must look, drawn here from the layout's numbers and the
// written-out pictures, without the game's painting code; and the captions as the serif face
// draws them. Shared by the scene test and the tests that read the real screen.
#pragma once

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QRect>
#include <QString>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "support/reference_maps.h"

namespace reference {

inline QRgb legend(char c) {
    switch (c) {
        case '.':
            return qRgb(255, 255, 255);
        case 'K':
            return qRgb(0, 0, 0);
        case 'L':
            return qRgb(255, 255, 128);
        case 'S':
            return qRgb(192, 192, 192);
        case 'Y':
            return qRgb(255, 255, 0);
        case 'U':
            return qRgb(0, 0, 255);
        case 'T':
            return qRgb(0, 255, 255);
        case 'R':
            return qRgb(255, 0, 0);
        case 'G':
            return qRgb(0, 255, 0);
        case 'H':
            return qRgb(0, 128, 0);
        case 'N':
            return qRgb(128, 64, 0);
        case 'M':
            return qRgb(128, 0, 0);
        case 'P':
            return qRgb(255, 0, 255);
    }
    std::fprintf(stderr, "unknown letter %c in a reference map\n", c);
    std::abort();
}

template <size_t Rows>
void drawMap(QImage& img, const char* const (&map)[Rows], int left, int top, int scale = 1) {
    for (int y = 0; y < static_cast<int>(Rows); ++y) {
        for (int x = 0; map[y][x] != '\0'; ++x) {
            for (int dy = 0; dy < scale; ++dy) {
                for (int dx = 0; dx < scale; ++dx) {
                    const int px = left + x * scale + dx;
                    const int py = top + y * scale + dy;
                    if (img.rect().contains(px, py)) {
                        img.setPixel(px, py, legend(map[y][x]));
                    }
                }
            }
        }
    }
}

template <size_t Rows>
QImage mapImage(const char* const (&map)[Rows]) {
    QImage img(static_cast<int>(std::strlen(map[0])), static_cast<int>(Rows), QImage::Format_RGB32);
    drawMap(img, map, 0, 0);
    return img;
}

inline void outline(QImage& img, int left, int top, int w, int h, int width, QRgb c) {
    for (int y = top; y < top + h; ++y) {
        for (int x = left; x < left + w; ++x) {
            const bool edge = x < left + width || x >= left + w - width || y < top + width ||
                              y >= top + h - width;
            if (edge) {
                img.setPixel(x, y, c);
            }
        }
    }
}

// The scene with the walkers where they stand (their design places by default); Zorbo is in
// front of Quib, in his design picture or, after a counter-attack, in bitmap 4.
inline QImage scene(int zorboLeft = 216, int quibLeft = 344, bool zorboInBitmap4 = false) {
    QImage img(426, 347, QImage::Format_RGB32);
    img.fill(qRgb(255, 255, 255));
    // The building, x 0-144 and y 56-344, its border inside.
    for (int y = 56; y <= 344; ++y) {
        for (int x = 0; x <= 144; ++x) {
            img.setPixel(x, y, qRgb(0, 255, 0));
        }
    }
    outline(img, 0, 56, 145, 289, 2, qRgb(0, 128, 0));
    for (int top : {72, 136, 200, 264}) {
        for (int left : {8, 56, 104}) {
            outline(img, left, top, 33, 41, 1, qRgb(0, 0, 0));
        }
    }
    drawMap(img, kPlayer, 95, -7, 2);
    drawMap(img, kQuib, quibLeft, 309);
    if (zorboInBitmap4) {
        drawMap(img, kStored4, zorboLeft, 309);
    } else {
        drawMap(img, kZorbo, zorboLeft, 309);
    }
    return img;
}

struct LabelSpot {
    const char* name;
    QRect rect;
    int align;
};
inline const LabelSpot kHealthLabel{"Hlth", QRect(200, 16, 97, 25), Qt::AlignLeft};
inline const LabelSpot kScoreLabel{"Scr", QRect(304, 16, 113, 25), Qt::AlignLeft};
inline const LabelSpot kBalloonsLabel{"Balloons", QRect(200, 40, 193, 25), Qt::AlignHCenter};
inline const LabelSpot kLabels[] = {kHealthLabel, kScoreLabel, kBalloonsLabel};

inline bool inAnyLabel(int x, int y) {
    for (const LabelSpot& l : kLabels) {
        if (l.rect.contains(x, y)) {
            return true;
        }
    }
    return false;
}

// Every pixel of `img` as a solid block of `k` × `k`.
inline QImage scaled(const QImage& img, int k) {
    QImage big(img.width() * k, img.height() * k, QImage::Format_RGB32);
    for (int y = 0; y < big.height(); ++y) {
        for (int x = 0; x < big.width(); ++x) {
            big.setPixel(x, y, img.pixel(x / k, y / k));
        }
    }
    return big;
}

// `img` zoomed out by `k`, one pixel for each k × k block; `uneven` counts the blocks outside
// the labels whose pixels are not all alike.
inline QImage unzoomed(const QImage& img, int k, int* uneven) {
    QImage small(img.width() / k, img.height() / k, QImage::Format_RGB32);
    *uneven = 0;
    for (int y = 0; y < small.height(); ++y) {
        for (int x = 0; x < small.width(); ++x) {
            const QRgb c = img.pixel(x * k, y * k);
            small.setPixel(x, y, c);
            bool solid = true;
            for (int i = 0; i < k * k && solid; ++i) {
                solid = img.pixel(x * k + i % k, y * k + i / k) == c;
            }
            *uneven += !solid && !inAnyLabel(x, y);
        }
    }
    return small;
}

// The pixels in which `shot` differs from `want`, leaving out the labels and `ignore` (both in
// window pixels, each `k` × `k` image pixels). The first `report` of them are logged.
inline int differencesOutsideLabels(const QImage& shot, const QImage& want, int k = 1,
                                    const QRect& ignore = QRect(), int report = 5) {
    if (shot.size() != want.size()) {
        qWarning("the image is %dx%d, expected %dx%d", shot.width(), shot.height(), want.width(),
                 want.height());
        return want.width() * want.height();
    }
    int differing = 0;
    for (int y = 0; y < want.height(); ++y) {
        for (int x = 0; x < want.width(); ++x) {
            if (inAnyLabel(x / k, y / k) || ignore.contains(x / k, y / k) ||
                shot.pixel(x, y) == want.pixel(x, y)) {
                continue;
            }
            if (differing++ < report) {
                qWarning("pixel %d,%d is %08x, expected %08x", x, y, shot.pixel(x, y),
                         want.pixel(x, y));
            }
        }
    }
    return differing;
}

inline QFont labelFont() {
    QFont f(QStringLiteral("Times New Roman"));
    f.setPixelSize(19);  // 14.25 pt on a 96-dpi window
    return f;
}

// What a label shows with `caption` on the white window, drawn straight at `ratio` device
// pixels a window pixel.
inline QImage labelImage(const LabelSpot& l, const QString& caption, qreal ratio = 1) {
    QImage img(l.rect.size() * ratio, QImage::Format_RGB32);
    img.setDevicePixelRatio(ratio);
    img.fill(Qt::white);
    QPainter p(&img);
    p.setFont(labelFont());
    p.setPen(Qt::black);
    p.drawText(QRect(QPoint(0, 0), l.rect.size()), Qt::AlignTop | l.align, caption);
    p.end();
    img.setDevicePixelRatio(1);
    return img;
}

}  // namespace reference
