#include "runtime/qt/keyboard.h"

#include <QKeyEvent>
#include <QTimer>

#include "runtime/codes.h"

namespace rt {

int keyCodeOf(const QKeyEvent& e) {
    const int k = e.key();
    if ((k >= Qt::Key_A && k <= Qt::Key_Z) || (k >= Qt::Key_0 && k <= Qt::Key_9)) {
        return k;
    }
    if (k >= Qt::Key_F1 && k <= Qt::Key_F24) {
        return 112 + (k - Qt::Key_F1);
    }
    switch (k) {
        case Qt::Key_Space:
            return kKeySpace;
        case Qt::Key_Backspace:
            return 8;
        case Qt::Key_Tab:
            return 9;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return 13;
        case Qt::Key_Shift:
            return 16;
        case Qt::Key_Control:
            return 17;
        case Qt::Key_Alt:
            return 18;
        case Qt::Key_Pause:
            return 19;
        case Qt::Key_CapsLock:
            return 20;
        case Qt::Key_Escape:
            return 27;
        case Qt::Key_PageUp:
            return 33;
        case Qt::Key_PageDown:
            return 34;
        case Qt::Key_End:
            return 35;
        case Qt::Key_Home:
            return 36;
        case Qt::Key_Left:
            return 37;
        case Qt::Key_Up:
            return 38;
        case Qt::Key_Right:
            return 39;
        case Qt::Key_Down:
            return 40;
        case Qt::Key_Insert:
            return 45;
        case Qt::Key_Delete:
            return 46;
        default:
            break;
    }
    return k < 0x100 ? k : 0;  // printable Latin-1 keys as themselves; others are no key
}

int shiftOf(const QKeyEvent& e) {
    const Qt::KeyboardModifiers m = e.modifiers();
    return (m & Qt::ShiftModifier ? 1 : 0) | (m & Qt::ControlModifier ? 2 : 0) |
           (m & Qt::AltModifier ? 4 : 0);
}

KeyReleases::KeyReleases(Deliver deliver, QObject* parent)
    : QObject(parent), deliver_(std::move(deliver)) {
    grace_ = new QTimer(this);
    grace_->setSingleShot(true);
    grace_->setTimerType(Qt::PreciseTimer);
    connect(grace_, &QTimer::timeout, this, [this] { deliverPending(); });
}

void KeyReleases::pressed(const QKeyEvent& e) {
    if (pending_.held && pending_.qtKey == e.key()) {
        if (e.isAutoRepeat() || e.timestamp() == pending_.timestamp) {
            forget();  // the second half of a repeat pair: the key never went up
        } else {
            deliverPending();
        }
    }
}

void KeyReleases::released(const QKeyEvent& e) {
    if (e.isAutoRepeat()) {
        return;
    }
    if (pending_.held) {
        deliverPending();
    }
    pending_ = Pending{true, e.key(), keyCodeOf(e), shiftOf(e), e.timestamp()};
    grace_->start(8);
}

void KeyReleases::forget() {
    grace_->stop();
    pending_ = Pending{};
}

void KeyReleases::deliverPending() {
    const Pending p = pending_;
    forget();
    if (p.held) {
        deliver_(p.keyCode, p.shift);
    }
}

}  // namespace rt
