#include "runtime/qt/canvas.h"

#include <QKeyEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <algorithm>
#include <cmath>

#include "runtime/form.h"
#include "runtime/qt/conversions.h"

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

void paintShape(QPainter& p, const Shape& s) {
    const QRect r = toRect(s.pixelRect());
    if (s.Filled()) {
        p.fillRect(r, toColor(s.FillColor()));
    }
    // The border lies inside the rectangle; filled bands keep the corners exact.
    const int b = std::min({s.BorderWidth(), r.width(), r.height()});
    if (b <= 0) {
        return;
    }
    const QColor c = toColor(s.BorderColor());
    p.fillRect(QRect(r.x(), r.y(), r.width(), b), c);
    p.fillRect(QRect(r.x(), r.bottom() - b + 1, r.width(), b), c);
    p.fillRect(QRect(r.x(), r.y(), b, r.height()), c);
    p.fillRect(QRect(r.right() - b + 1, r.y(), b, r.height()), c);
}

void paintImage(QPainter& p, const Image& img) {
    if (!img.Picture()) {
        return;
    }
    const Picture& pic = *img.Picture();
    const QRect r = toRect(img.pixelRect());
    const QImage source = wrap(pic);
    if (img.Stretch()) {
        p.drawImage(r, source);  // nearest neighbour: smooth transforms stay off
    } else {
        p.save();
        p.setClipRect(r, Qt::IntersectClip);
        p.drawImage(r.topLeft(), source);
        p.restore();
    }
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

Canvas::Canvas(const Form& form, QWidget* parent) : QWidget(parent), form_(form) {
    const FormDesign& d = form.design();
    setFixedSize(d.clientWidth, d.clientHeight);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    const qreal hz = screen() != nullptr ? screen()->refreshRate() : 0;
    frameMs_ = static_cast<int>(std::lround(1000.0 / (hz >= 30 && hz <= 240 ? hz : 60)));
    frame_.setSingleShot(true);
    connect(&frame_, &QTimer::timeout, this, [this] { endFrame(); });
}

// A timer faster than the screen's refresh would have every tick painted and sent to the window
// system, most of them never seen: at the counter-attack's 5 ms that was most of the game's CPU.
// While one runs, changes are gathered and painted once a frame; the first change after a quiet
// frame is painted at once, so a throw shows without delay.
void Canvas::changed(const QRect& rect, int fastestTimerMs) {
    if (frame_.isActive()) {
        pending_ += rect;
        return;
    }
    update(rect);
    if (fastestTimerMs > 0 && fastestTimerMs < frameMs_) {
        frame_.start(frameMs_);
    }
}

void Canvas::endFrame() {
    if (pending_.isEmpty()) {
        return;
    }
    update(pending_);
    pending_ = QRegion();
    frame_.start(frameMs_);  // the next changes wait for the frame after this one
}

void Canvas::paintEvent(QPaintEvent* e) {
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform, false);
    p.fillRect(e->rect(), toColor(form_.design().backColor));
    if (!form_.loaded()) {
        return;
    }
    const auto& stack = form_.stacking();
    for (auto it = stack.rbegin(); it != stack.rend(); ++it) {
        const Visual* v = *it;
        if (!v->Visible() || !e->region().intersects(toRect(v->pixelRect()))) {
            continue;
        }
        switch (v->kind()) {
            case ControlKind::Shape:
                paintShape(p, static_cast<const Shape&>(*v));
                break;
            case ControlKind::Image:
                paintImage(p, static_cast<const Image&>(*v));
                break;
            case ControlKind::Label:
                paintLabel(p, static_cast<const Label&>(*v));
                break;
            default:
                break;
        }
    }
}

void Canvas::keyPressEvent(QKeyEvent* e) {
    e->ignore();
}

void Canvas::keyReleaseEvent(QKeyEvent* e) {
    e->ignore();
}

}  // namespace rt
