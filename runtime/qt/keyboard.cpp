// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT

#include "runtime/qt/keyboard.h"

#include <xcb/xcb.h>
// The C header names a field `explicit`, a C++ keyword; Qt's own xcb code renames it the same way.
#define explicit xkb_explicit
#include <xcb/xkb.h>
#undef explicit

#include <QGuiApplication>
#include <QKeyEvent>
#include <QTimer>
#include <QtGui/qguiapplication_platform.h>
#include <cstdlib>

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

bool askForDetectableAutoRepeat() {
    auto* x11 = qGuiApp != nullptr ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>()
                                   : nullptr;
    if (x11 == nullptr) {
        return false;
    }
    xcb_connection_t* c = x11->connection();
    const uint32_t flag = XCB_XKB_PER_CLIENT_FLAG_DETECTABLE_AUTO_REPEAT;
    xcb_xkb_per_client_flags_reply_t* r = xcb_xkb_per_client_flags_reply(
        c, xcb_xkb_per_client_flags(c, XCB_XKB_ID_USE_CORE_KBD, flag, flag, 0, 0, 0), nullptr);
    const bool granted = r != nullptr && (r->supported & flag) != 0 && (r->value & flag) != 0;
    std::free(r);
    return granted;
}

// How long a release waits for the press of a repeat pair, where the platform does not mark
// the pairs. The two halves leave the X server together; on a loaded machine they can still
// reach the game further apart than this, which is why this path is only the fallback.
constexpr int kHoldBackMs = 8;

KeyReleases::KeyReleases(Path path, Deliver deliver, QObject* parent)
    : QObject(parent), path_(path), deliver_(std::move(deliver)) {
    grace_ = new QTimer(this);
    grace_->setSingleShot(true);
    grace_->setTimerType(Qt::PreciseTimer);
    connect(grace_, &QTimer::timeout, this, [this] { deliverPending(); });
}

KeyReleases::KeyId KeyReleases::idOf(const QKeyEvent& e) {
    // The scan code, where the platform gives one, names the same key whatever the modifiers
    // make of it ("1" going down and "!" coming up under Shift).
    return e.nativeScanCode() != 0 ? KeyId{e.nativeScanCode(), 0} : KeyId{0, e.key()};
}

void KeyReleases::pressed(const QKeyEvent& e) {
    const KeyId key = idOf(e);
    if (pending_.waiting && pending_.key == key) {
        if (e.isAutoRepeat() || e.timestamp() == pending_.timestamp) {
            // The second half of a repeat pair: the key never went up.
            grace_->stop();
            pending_ = Pending{};
            held_.pressed(key);
            return;
        }
        deliverPending();
    }
    if (!e.isAutoRepeat()) {
        held_.pressed(key);
    }
}

void KeyReleases::released(const QKeyEvent& e) {
    if (e.isAutoRepeat()) {
        return;
    }
    const KeyId key = idOf(e);
    // A release whose press this window never saw counts: Qt does not pass on a press handed
    // over with the keyboard (sway does that when another keyboard takes over).
    if (!held_.released(key)) {
        return;
    }
    if (path_ == Path::AtOnce) {
        deliver_(keyCodeOf(e), shiftOf(e));
        return;
    }
    if (pending_.waiting) {
        deliverPending();
    }
    pending_ = Pending{true, key, keyCodeOf(e), shiftOf(e), e.timestamp()};
    grace_->start(kHoldBackMs);
}

void KeyReleases::forget() {
    grace_->stop();
    pending_ = Pending{};
    held_.forget();
}

void KeyReleases::deliverPending() {
    grace_->stop();
    const Pending p = pending_;
    pending_ = Pending{};
    if (p.waiting) {
        deliver_(p.keyCode, p.shift);
    }
}

}  // namespace rt
