// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT

// The runtime's colours, rectangles and pictures as Qt takes them.
#pragma once

#include <QColor>
#include <QImage>
#include <QRect>

#include "runtime/controls.h"
#include "runtime/design.h"

namespace rt {

inline QColor toColor(Rgb c) {
    return QColor(static_cast<QRgb>(0xFF000000U | c));
}

inline QRect toRect(const PixelRect& r) {
    return QRect(r.x, r.y, r.w, r.h);
}

inline PixelRect toPixelRect(const QRect& r) {
    return PixelRect{r.x(), r.y(), r.width(), r.height()};
}

// No copy: the picture must outlive the image, as it does a paint call that uses it.
inline QImage wrap(const Picture& p) {
    return QImage(reinterpret_cast<const uchar*>(p.pixels.data()), p.width, p.height, p.width * 4,
                  QImage::Format_RGB32);
}
// The same, to paint on.
inline QImage wrap(Picture& p) {
    return QImage(reinterpret_cast<uchar*>(p.pixels.data()), p.width, p.height, p.width * 4,
                  QImage::Format_RGB32);
}

}  // namespace rt
