// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT

// Which key releases reach the game: one for each time a key that went down in the window comes
// up, on each path the platforms offer, and none for a key held while the keyboard went away.
#include <QtTest>
#include <vector>

#include "runtime/qt/keyboard.h"

namespace {

using Path = rt::KeyReleases::Path;
constexpr quint32 kSpaceScanCode = 65;

struct Keyboard {
    std::vector<int> released;  // key codes, as the game got them
    rt::KeyReleases keys;
    unsigned long clock = 1000;

    explicit Keyboard(Path path)
        : keys(path, [this](int keyCode, int) { released.push_back(keyCode); }) {}

    void send(QEvent::Type type, bool autoRepeat = false, unsigned long at = 0) {
        QKeyEvent e(type, Qt::Key_Space, Qt::NoModifier, kSpaceScanCode, 0, 0,
                    QStringLiteral(" "), autoRepeat);
        e.setTimestamp(at != 0 ? at : clock);
        type == QEvent::KeyPress ? keys.pressed(e) : keys.released(e);
    }
    void down() { send(QEvent::KeyPress); }
    void up() { send(QEvent::KeyRelease); }
    // Taps 25 ms apart, each 10 ms down.
    void taps(int n) {
        for (int i = 0; i < n; ++i) {
            down();
            clock += 10;
            up();
            clock += 15;
        }
    }
    // What the platform sends while the key stays down, 20 repeats' worth.
    void hold(bool pairs, bool marked) {
        for (int i = 0; i < 20; ++i) {
            clock += 40;
            if (pairs) {
                send(QEvent::KeyRelease, marked, clock);
            }
            send(QEvent::KeyPress, marked, clock);
        }
        clock += 40;
    }
};

const std::vector<int> kOneSpace{32};

}  // namespace

class KeyboardTest : public QObject {
    Q_OBJECT
  private slots:
    void aHeldKeyCountsOnceAtTheMomentItComesUp() {
        // Wayland marks both halves of each repeat pair; X11 with detectable auto-repeat sends
        // the repeated presses alone, unmarked.
        for (bool pairs : {true, false}) {
            Keyboard k(Path::AtOnce);
            k.down();
            k.hold(pairs, pairs);
            QVERIFY(k.released.empty());
            k.up();
            QCOMPARE(k.released, kOneSpace);  // at once, with no wait in an event loop
        }
    }

    void tapsCountEachAtOnce() {
        Keyboard k(Path::AtOnce);
        k.taps(3);
        QCOMPARE(k.released, (std::vector<int>{32, 32, 32}));
    }

    void withoutMarksAHeldKeyCountsOnceAfterAMoment() {
        // X11 where the server refuses the flag: release+press pairs with one timestamp, only
        // some of them marked.
        Keyboard k(Path::HeldBack);
        k.down();
        for (int i = 0; i < 10; ++i) {
            k.hold(true, i % 2 == 0);
        }
        QTest::qWait(30);
        QVERIFY(k.released.empty());
        k.up();
        QVERIFY(k.released.empty());
        QTRY_COMPARE(k.released, kOneSpace);
        // Taps 25 ms apart are each a throw.
        k.released.clear();
        k.taps(3);
        QTRY_COMPARE(k.released, (std::vector<int>{32, 32, 32}));
    }

    void aKeyHeldWhileTheKeyboardLeavesCountsForNothing() {
        // Wayland sends no release to a window that has lost the keyboard; the one that comes
        // once it is back must not throw. The next press and release do.
        for (Path path : {Path::AtOnce, Path::HeldBack}) {
            Keyboard k(path);
            k.down();
            k.hold(true, true);
            k.keys.forget();
            k.up();
            QTest::qWait(30);
            QVERIFY(k.released.empty());
            k.down();
            k.up();
            QTRY_COMPARE(k.released, kOneSpace);
        }
    }

    void aReleaseWhosePressWasNotSeenStillCounts() {
        // sway hands a new keyboard's first press over inside the event that gives the window
        // the keyboard, and Qt passes on only the release.
        Keyboard k(Path::AtOnce);
        k.up();
        QCOMPARE(k.released, kOneSpace);
    }
};

QTEST_MAIN(KeyboardTest)
#include "test_keyboard.moc"
