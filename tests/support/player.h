// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT

// What every test that plays the shipped program needs, whatever the display it runs on: the
// program as a child process, patience, and reading the game's client area off a screenshot.
#pragma once

#include <QImage>
#include <QList>
#include <QPoint>
#include <QProcess>
#include <QRect>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

#include "support/reference_scene.h"

namespace e2e {

// Stops the whole test program with a reason, for a fault of the harness rather than the game
// (a tool that cannot be run, a server that does not start).
[[noreturn]] void giveUp(const QString& why);

// Polls `done` (with the test's event loop running in between) until it holds or `ms` pass.
bool waitFor(const std::function<bool()>& done, int ms);

// A program under test, started on the test's display.
class Program {
  public:
    Program() = default;
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    bool start(const QString& path, const QStringList& args = {});
    qint64 pid() const { return process_.processId(); }
    bool running() const { return process_.state() != QProcess::NotRunning; }
    // True when it has ended on its own within `ms`.
    bool waitForExit(int ms);
    int exitCode() const { return process_.exitCode(); }
    bool crashed() const { return process_.exitStatus() == QProcess::CrashExit; }
    QString standardError();

  private:
    QProcess process_;
    QString stderr_;
};

// Reading the client area.
// The caption among `prefix` + Str(n) for n in [lo, hi] that the label shows exactly.
std::optional<int> readNumber(const QImage& canvas, const reference::LabelSpot& label,
                              const QString& prefix, int lo, int hi);
struct Captions {
    std::optional<int> health, score, balloonsLeft;
    bool areStart() const { return health == 5 && score == 0 && balloonsLeft == 100; }
};
Captions readCaptions(const QImage& canvas);
// The places on the arc where a balloon shows whole; an empty list when none does.
QList<QPoint> balloonsOnTheArc(const QImage& canvas);
// Where the walkers stand, when the street shows exactly Quib and Zorbo (in his design picture
// or bitmap 4) at places the walk can reach.
struct Walkers {
    int zorbo = 0;
    int quib = 0;
    bool zorboInBitmap4 = false;
};
std::optional<Walkers> readWalkers(const QImage& canvas);
// Pixels that differ from the reference scene with those walkers, labels left out, and any
// pixel in `ignore` too.
int differencesFromScene(const QImage& canvas, const Walkers& w, const QRect& ignore = QRect());

QImage rgb32(const QImage& img);

// Ends the program under test; when the test has failed, first shows what it wrote on stderr.
void finish(std::unique_ptr<Program>& program);

// Waits until the canvas shows the start scene pixel for pixel outside the labels, with the
// walkers wherever their first steps took them; returns the canvas as last seen.
QImage waitForTheScene(const std::function<QImage()>& canvas, bool* shown);

// A tap of Space, seen on the screen: one balloon falls along the arc and lands, and 99 are
// left. Fails the running test otherwise.
void checkOneThrow(const std::function<QImage()>& canvas);

// One throw watched on the screen until its balloon has landed.
struct Fall {
    QList<QPoint> places;  // where on the arc it showed, in the order seen
    bool twoAtOnce = false;
    bool landed = false;  // gone from the arc, with `balloonsLeft` on the caption
    // Seen often enough on its way, and always lower than before.
    bool alongTheArc() const;
};
Fall watchOneFall(const std::function<QImage()>& canvas, int balloonsLeft, int ms = 5000);

}  // namespace e2e
