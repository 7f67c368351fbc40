// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT

#include "runtime/qt/canvas.h"

#include <QKeyEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <algorithm>
#include <cmath>
#include <utility>

#include "runtime/form.h"
#include "runtime/qt/conversions.h"
#include "runtime/scene_raster.h"
#include "runtime/sharp_scaling.h"

namespace rt {

namespace {

QFont toFont(const FontDesign& f) {
    QFont font(QString::fromStdString(f.name));
    // The layout is in pixels of a 96-dpi window, so points become pixels at that ratio,
    // whatever the screen reports; at a higher device pixel ratio Qt renders it sharper.
    font.setPixelSize(static_cast<int>(std::lround(f.points * 96.0 / 72.0)));
    font.setWeight(f.weight >= 700 ? QFont::Bold : QFont::Normal);
    font.setItalic(f.italic);
    font.setUnderline(f.underline);
    font.setStrikeOut(f.strikeout);
    font.setStyleHint(QFont::Serif);
    return font;
}

void paintLabel(QPainter& p, const Label& l) {
    const QRect r = toRect(l.pixelRect());
    if (!l.TransparentBack()) {
        p.fillRect(r, Qt::white);
    }
    p.setFont(toFont(l.Font()));
    p.setPen(toColor(l.ForeColor()));
    int align = Qt::AlignTop | Qt::TextSingleLine;
    switch (l.TextAlignment()) {
        case Alignment::Left:
            align |= Qt::AlignLeft;
            break;
        case Alignment::Right:
            align |= Qt::AlignRight;
            break;
        case Alignment::Center:
            align |= Qt::AlignHCenter;
            break;
    }
    p.drawText(r, align, QString::fromStdString(l.Caption()));
}

}  // namespace

Canvas::Canvas(const Form& form, QWidget* parent)
    : QWidget(parent), form_(form), design_(form.design().clientWidth, form.design().clientHeight) {
    setMinimumSize(design_);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    const qreal hz = screen() != nullptr ? screen()->refreshRate() : 0;
    frameMs_ = static_cast<int>(std::lround(1000.0 / (hz >= 30 && hz <= 240 ? hz : 60)));
    frame_.setSingleShot(true);
    connect(&frame_, &QTimer::timeout, this, [this] { endFrame(); });
}

QSize Canvas::sizeHint() const {
    return design_;
}

int Canvas::zoom() const {
    return wholeZoom(width(), height(), design_.width(), design_.height());
}

QRect Canvas::toWidget(const QRect& formRect) const {
    const int z = zoom();
    const QRect r(formRect.topLeft() * z, formRect.size() * z);
    // At a fractional ratio the scene lands on the whole device pixel nearest to where Qt puts
    // the widget, up to half a device pixel off the region Qt repaints: one pixel more covers it.
    const qreal ratio = devicePixelRatioF();
    return ratio == std::floor(ratio) ? r : r.adjusted(-1, -1, 1, 1);
}

QRect Canvas::toForm(const QRect& r, int zoom) const {
    // Every form pixel that the widget pixels touch.
    return QRect(QPoint(r.left() / zoom, r.top() / zoom),
                 QPoint(r.right() / zoom, r.bottom() / zoom))
        .intersected(QRect(QPoint(0, 0), design_));
}

// A timer faster than the screen's refresh would have every tick painted and sent to the window
// system, most of them never seen: at the counter-attack's 5 ms that was most of the game's CPU.
// While one runs, changes are gathered and painted once a frame; the first change after a quiet
// frame is painted at once, so a throw shows without delay.
void Canvas::changed(const QRect& formRect, int fastestTimerMs) {
    if (frame_.isActive()) {
        pending_ += formRect;
        return;
    }
    update(toWidget(formRect));
    if (fastestTimerMs > 0 && fastestTimerMs < frameMs_) {
        frame_.start(frameMs_);
    }
}

void Canvas::endFrame() {
    if (pending_.isEmpty()) {
        return;
    }
    for (const QRect& r : pending_) {
        update(toWidget(r));
    }
    pending_ = QRegion();
    frame_.start(frameMs_);  // the next changes wait for the frame after this one
}

void Canvas::paintEvent(QPaintEvent* e) {
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform, false);
    p.fillRect(e->rect(), toColor(form_.design().backColor));
    if (form_.loaded()) {
        const int z = zoom();
        const QRect formRect = toForm(e->rect(), z);
        const qreal ratio = devicePixelRatioF();
        if (ratio == std::floor(ratio)) {
            // Whole device pixels: drawn straight, each picture pixel a block of zoom × ratio.
            const int scale = z * static_cast<int>(ratio);
            Picture pixels = rasterScene(form_, toPixelRect(formRect), scale);
            QImage image = wrap(pixels);
            image.setDevicePixelRatio(ratio);
            p.drawImage(formRect.topLeft() * z, image);
            p.scale(z, z);
            paintLabels(p, formRect);
        } else {
            paintSharp(p, formRect, z);
        }
    }
    if (onFirstPaint_) {
        QTimer::singleShot(0, this, std::exchange(onFirstPaint_, nullptr));
    }
}

void Canvas::paintLabels(QPainter& p, const QRect& formRect) const {
    for (const Label* l : labelsIn(form_, toPixelRect(formRect))) {
        paintLabel(p, *l);
    }
}

void Canvas::paintSharp(QPainter& p, const QRect& formRect, int zoom) const {
    const qreal ratio = devicePixelRatioF();
    const SharpTile tile =
        sharpTile(toPixelRect(formRect), design_.width(), design_.height(), zoom * ratio);
    if (tile.part.empty()) {
        return;
    }
    Picture large = rasterScene(form_, tile.part, tile.scale);
    {
        QImage onLarge = wrap(large);
        QPainter lp(&onLarge);
        lp.scale(tile.scale, tile.scale);
        lp.translate(-tile.part.x, -tile.part.y);
        paintLabels(lp, toRect(tile.part));
    }
    const Picture exact = boxScaled(large, tile.device.w, tile.device.h);
    // One device pixel an image pixel: the scene's origin goes to the whole device pixel
    // nearest to where the widget begins (at 1.5 the menu bar puts that at y 28.5).
    const QTransform device = p.deviceTransform();
    const QPointF origin(device.dx(), device.dy());
    const QPointF shift(std::round(origin.x()) - origin.x(), std::round(origin.y()) - origin.y());
    p.setWorldTransform(QTransform::fromTranslate(shift.x() / ratio, shift.y() / ratio)
                            .scale(1 / ratio, 1 / ratio));
    p.drawImage(QPoint(tile.device.x, tile.device.y), wrap(exact));
}

void Canvas::keyPressEvent(QKeyEvent* e) {
    e->ignore();
}

void Canvas::keyReleaseEvent(QKeyEvent* e) {
    e->ignore();
}

}  // namespace rt
