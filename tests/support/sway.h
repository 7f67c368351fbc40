// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT

// For tests that play the shipped program on Wayland, natively: a headless sway of the test's
// own, keys typed with wtype, the screen grabbed with grim, and the windows read from sway's tree
// with swaymsg.
#pragma once

#include <QImage>
#include <QList>
#include <QObject>
#include <QRect>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

#include "support/player.h"

namespace sway {

// Runs the Qt Test object made by `make` with a fresh headless sway, which every program the
// test starts (the game, wtype, grim, swaymsg) talks to. The test itself draws offscreen.
int runInOwnSession(int argc, char** argv, const std::function<std::unique_ptr<QObject>()>& make);

#define SWAY_MAIN(TestClass)                                                                   \
    int main(int argc, char** argv) {                                                          \
        return sway::runInOwnSession(argc, argv, [] { return std::make_unique<TestClass>(); }); \
    }

QImage grab(const QRect& area);

// A window in sway's tree. The session draws no borders, so its rectangle is its surface.
struct Window {
    qint64 pid = 0;
    QString title;
    QString appId;
    QRect rect;
    bool floating = false;
    bool focused = false;
    // The game's client area: below the menu bar.
    QRect client() const { return QRect(rect.left(), rect.bottom() - 346, 426, 347); }
    QImage canvas() const { return grab(client()); }
};
QList<Window> windows();
std::optional<Window> findWindow(qint64 pid, const QString& title);
std::optional<Window> waitForWindow(qint64 pid, const QString& title, int ms = 10000);

// Keys as wtype takes them, e.g. {"-k", "Return"} or {"-P", "space", "-s", "1500", "-p", "space"}.
// Runs to its end.
void type(const QStringList& args);
void tap(const QString& key);
// What the compositor sends when the user closes the window.
void close(qint64 pid);

}  // namespace sway
