// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT

// For tests that use the shipped program as a player does on X11: an X server of the test's own,
// real key and mouse input through XTest (xdotool), the screen grabbed from the server, and the
// boxes and the menu bar laid out here to be read against.
#pragma once

#include <QImage>
#include <QMap>
#include <QObject>
#include <QPoint>
#include <QProcess>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <functional>
#include <memory>
#include <optional>

#include "support/player.h"

namespace e2e {

// Runs the Qt Test object made by `make` with a fresh Xvfb as the display of the test and of
// every program it starts.
int runOnOwnDisplay(int argc, char** argv, const std::function<std::unique_ptr<QObject>()>& make);

#define E2E_MAIN(TestClass)                                                                    \
    int main(int argc, char** argv) {                                                          \
        return e2e::runOnOwnDisplay(argc, argv, [] { return std::make_unique<TestClass>(); }); \
    }

// One xdotool command; its standard output, trimmed. Fails the program loudly if xdotool does.
QString xdotool(const QStringList& args);

// A visible top-level window of `pid` whose title matches the regular expression `title`.
std::optional<unsigned long> findWindow(qint64 pid, const QString& title);
QList<unsigned long> findWindows(qint64 pid, const QString& title);
unsigned long waitForWindow(qint64 pid, const QString& title, int ms = 10000);
QRect windowGeometry(unsigned long window);  // empty once the window has gone
QString windowTitle(unsigned long window);
unsigned long focusedWindow();

// What a window manager sends when the user closes a window: WM_DELETE_WINDOW, after checking
// that the window asks for it in WM_PROTOCOLS. False if it does not.
bool sendCloseRequest(unsigned long window);

// Input.
void tap(const QString& key);  // xdotool key names: "space", "Return", "shift+space", ...
void keyDown(const QString& key);
void keyUp(const QString& key);
void click(QPoint screenPos);
void parkPointer();  // away from every window, so nothing shows a hover

QImage grabScreen(const QRect& area);

// The game's window as the screen shows it: the menu bar strip on top, the client area below.
struct GameWindow {
    unsigned long id = 0;
    QRect frame;  // in screen pixels
    QRect client() const { return QRect(frame.left(), frame.bottom() - 346, 426, 347); }
    QRect menuBar() const {
        return QRect(frame.topLeft(), QPoint(frame.right(), client().top() - 1));
    }
    QImage canvas() const { return grabScreen(client()); }
};
GameWindow waitForGameWindow(qint64 pid);

// A message box of the game, found on the screen.
struct Box {
    unsigned long id = 0;
    QRect frame;
    QString title;
};
std::optional<Box> findBox(qint64 pid, const QString& title);
Box waitForBox(qint64 pid, const QString& title, int ms = 10000);

// The box the host builds for that text, title and buttons (QMessageBox::StandardButtons),
// laid out here in the same style and font, to read the real one against.
struct BoxLayout {
    QSize size;
    QRect textArea;                  // the message, in box coordinates
    QImage image;                    // the whole box as drawn here
    QMap<int, QPoint> buttonCentre;  // by QMessageBox::StandardButton
};
BoxLayout layOutBox(const QString& title, const QString& text, int buttons, int icon = 0);
// The real box shows that layout's text pixel for pixel.
bool boxShows(const Box& box, const BoxLayout& layout, QString* why);
// Clicks the button at a reader's pace: a new box's buttons take no answer for a moment.
void press(const Box& box, const BoxLayout& layout, int button);

// The menu bar as the host builds it, laid out here: each caption's place and the strip.
struct MenuLayout {
    QImage strip;
    QMap<QString, QPoint> centre;
};
MenuLayout layOutMenuBar();

}  // namespace e2e
