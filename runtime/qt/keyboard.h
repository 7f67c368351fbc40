// The keyboard as the game knows it: Qt's keys as 16-bit key codes, and only the releases of
// keys that really went up.
#pragma once

#include <QObject>
#include <functional>

class QKeyEvent;
class QTimer;

namespace rt {

// The Qt key as the key code a handler knows (32 is Space); 0 for a key without one.
int keyCodeOf(const QKeyEvent& e);
// Shift, Ctrl and Alt as the bits 1, 2 and 4.
int shiftOf(const QKeyEvent& e);

// A held key repeats as release+press pairs, and Qt does not always mark them as repeats. A
// release is held back for a moment, so that the press of a repeat pair can cancel it; a held
// key therefore counts as released once, when it really goes up.
class KeyReleases : public QObject {
  public:
    using Deliver = std::function<void(int keyCode, int shift)>;
    explicit KeyReleases(Deliver deliver, QObject* parent = nullptr);

    void pressed(const QKeyEvent& e);
    void released(const QKeyEvent& e);
    // Drops a release still held back: what it would have reached is gone or covered.
    void forget();

  private:
    void deliverPending();

    struct Pending {
        bool held = false;
        int qtKey = 0;
        int keyCode = 0;
        int shift = 0;
        unsigned long timestamp = 0;
    };
    Deliver deliver_;
    Pending pending_;
    QTimer* grace_ = nullptr;
};

}  // namespace rt
