// For tests that use the shipped program as a player does: an X server of the test's own, the
// game as a child process, real key and mouse input through XTest (xdotool), and the screen read
// back from pixels.
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

#include "support/reference_scene.h"

namespace e2e {

// Runs the Qt Test object made by `make` with a fresh Xvfb as the display of the test and of
// every program it starts.
int runOnOwnDisplay(int argc, char** argv, const std::function<std::unique_ptr<QObject>()>& make);

#define E2E_MAIN(TestClass)                                                                    \
    int main(int argc, char** argv) {                                                          \
        return e2e::runOnOwnDisplay(argc, argv, [] { return std::make_unique<TestClass>(); }); \
    }

// Polls `done` (with the test's event loop running in between) until it holds or `ms` pass.
bool waitFor(const std::function<bool()>& done, int ms);

// One xdotool command; its standard output, trimmed. Fails the program loudly if xdotool does.
QString xdotool(const QStringList& args);

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

// A visible top-level window of `pid` whose title matches the regular expression `title`.
std::optional<unsigned long> findWindow(qint64 pid, const QString& title);
QList<unsigned long> findWindows(qint64 pid, const QString& title);
unsigned long waitForWindow(qint64 pid, const QString& title, int ms = 10000);
QRect windowGeometry(unsigned long window);
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
