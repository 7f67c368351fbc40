// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT

#include "support/e2e.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <QtGui/qguiapplication_platform.h>
#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QHash>
#include <QLabel>
#include <QLayout>
#include <QMainWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace e2e {

namespace {

// Xvfb on the first free display, which it reports through -displayfd once it takes clients.
class XServer {
  public:
    ~XServer() {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            int status = 0;
            ::waitpid(pid_, &status, 0);
        }
    }

    int start() {
        int fds[2];
        if (::pipe(fds) != 0) {
            giveUp("no pipe for Xvfb");
        }
        pid_ = ::fork();
        if (pid_ < 0) {
            giveUp("cannot fork Xvfb");
        }
        if (pid_ == 0) {
            ::close(fds[0]);
            // The server must not outlive a test that crashes.
            ::prctl(PR_SET_PDEATHSIG, SIGTERM);
            const int null = ::open("/dev/null", O_RDWR);
            ::dup2(null, 0);
            ::dup2(null, 1);
            ::dup2(null, 2);
            const std::string fd = std::to_string(fds[1]);
            ::execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1024x768x24",
                     "-dpi", "96", "-nolisten", "tcp", "-noreset", static_cast<char*>(nullptr));
            ::_exit(127);
        }
        ::close(fds[1]);
        std::string number;
        pollfd p{fds[0], POLLIN, 0};
        while (number.find('\n') == std::string::npos) {
            if (::poll(&p, 1, 30000) <= 0) {
                giveUp("Xvfb did not report a display within 30 s");
            }
            char buf[16];
            const ssize_t n = ::read(fds[0], buf, sizeof buf);
            if (n <= 0) {
                giveUp("Xvfb ended before it reported a display (is it installed?)");
            }
            number.append(buf, static_cast<size_t>(n));
        }
        ::close(fds[0]);
        return std::stoi(number);
    }

  private:
    pid_t pid_ = -1;
};

QString runXdotool(const QStringList& args, int* code) {
    QProcess p;
    p.start(QStringLiteral("xdotool"), args);
    if (!p.waitForFinished(20000)) {
        p.kill();
        p.waitForFinished();
        giveUp("xdotool " + args.join(' ') + " did not finish");
    }
    *code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    return QString::fromLocal8Bit(p.readAllStandardOutput()).trimmed();
}

QString escapeRegex(const QString& text) {
    QString out;
    for (QChar c : text) {
        if (QStringLiteral(".[]()*+?{}|^$\\").contains(c)) {
            out += QLatin1Char('\\');
        }
        out += c;
    }
    return out;
}

xcb_atom_t atom(xcb_connection_t* c, const char* name) {
    xcb_intern_atom_reply_t* r = xcb_intern_atom_reply(
        c, xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr);
    const xcb_atom_t a = r != nullptr ? r->atom : xcb_atom_t{XCB_ATOM_NONE};
    std::free(r);
    return a;
}

}  // namespace

int runOnOwnDisplay(int argc, char** argv, const std::function<std::unique_ptr<QObject>()>& make) {
    QTemporaryDir runtimeDir;  // Qt wants a private runtime directory; the games inherit it
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtimeDir.path()));
    XServer server;
    const int display = server.start();
    qputenv("DISPLAY", QByteArray(":") + QByteArray::number(display));
    qputenv("QT_QPA_PLATFORM", "xcb");
    // Unlike QTEST_MAIN, no forced 96 dpi: the reference layouts drawn here must come out as the
    // game's own, which runs with the display's settings.
    QApplication app(argc, argv);
    std::unique_ptr<QObject> test = make();
    return QTest::qExec(test.get(), argc, argv);
}

QString xdotool(const QStringList& args) {
    int code = 0;
    const QString out = runXdotool(args, &code);
    if (code != 0) {
        giveUp("xdotool " + args.join(' ') + " failed with " + QString::number(code));
    }
    return out;
}

QList<unsigned long> findWindows(qint64 pid, const QString& title) {
    int code = 0;
    const QString out = runXdotool(
        {"search", "--all", "--onlyvisible", "--pid", QString::number(pid), "--name", title},
        &code);
    QList<unsigned long> found;
    if (code == 0) {
        for (const QString& id : out.split('\n', Qt::SkipEmptyParts)) {
            found.append(id.toULong());
        }
    }
    return found;
}

std::optional<unsigned long> findWindow(qint64 pid, const QString& title) {
    const QList<unsigned long> found = findWindows(pid, title);
    return found.isEmpty() ? std::nullopt : std::optional<unsigned long>(found.first());
}

unsigned long waitForWindow(qint64 pid, const QString& title, int ms) {
    std::optional<unsigned long> w;
    waitFor([&] { return (w = findWindow(pid, title)).has_value(); }, ms);
    return w.value_or(0);
}

QRect windowGeometry(unsigned long window) {
    // A window found a moment ago may be gone by now (the game's, as its error box comes up).
    int code = 0;
    const QString out =
        runXdotool({"getwindowgeometry", "--shell", QString::number(window)}, &code);
    if (code != 0) {
        return QRect();
    }
    QMap<QString, int> v;
    for (const QString& line : out.split('\n')) {
        const int eq = line.indexOf('=');
        if (eq > 0) {
            v[line.left(eq)] = line.mid(eq + 1).toInt();
        }
    }
    return QRect(v["X"], v["Y"], v["WIDTH"], v["HEIGHT"]);
}

QString windowTitle(unsigned long window) {
    return xdotool({"getwindowname", QString::number(window)});
}

unsigned long focusedWindow() {
    return xdotool({"getwindowfocus", "-f"}).toULong();
}

bool sendCloseRequest(unsigned long window) {
    auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 == nullptr) {
        giveUp("the test does not run on X");
    }
    xcb_connection_t* c = x11->connection();
    const xcb_atom_t protocols = atom(c, "WM_PROTOCOLS");
    const xcb_atom_t deleteWindow = atom(c, "WM_DELETE_WINDOW");
    const auto w = static_cast<xcb_window_t>(window);
    xcb_get_property_reply_t* r = xcb_get_property_reply(
        c, xcb_get_property(c, 0, w, protocols, XCB_ATOM_ATOM, 0, 32), nullptr);
    bool asks = false;
    if (r != nullptr) {
        const auto* atoms = static_cast<const xcb_atom_t*>(xcb_get_property_value(r));
        const int n = xcb_get_property_value_length(r) / 4;
        for (int i = 0; i < n; ++i) {
            asks = asks || atoms[i] == deleteWindow;
        }
        std::free(r);
    }
    if (!asks) {
        return false;
    }
    xcb_client_message_event_t e{};
    e.response_type = XCB_CLIENT_MESSAGE;
    e.format = 32;
    e.window = w;
    e.type = protocols;
    e.data.data32[0] = deleteWindow;
    e.data.data32[1] = XCB_CURRENT_TIME;
    xcb_send_event(c, 0, w, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&e));
    xcb_flush(c);
    return true;
}

void tap(const QString& key) {
    xdotool({"key", key});
}
void keyDown(const QString& key) {
    xdotool({"keydown", key});
}
void keyUp(const QString& key) {
    xdotool({"keyup", key});
}
void click(QPoint at) {
    xdotool({"mousemove", QString::number(at.x()), QString::number(at.y()), "click", "1"});
}
void parkPointer() {
    const QRect s = QGuiApplication::primaryScreen()->geometry();
    xdotool({"mousemove", QString::number(s.right()), QString::number(s.bottom())});
}

QImage grabScreen(const QRect& a) {
    return rgb32(QGuiApplication::primaryScreen()
                     ->grabWindow(0, a.x(), a.y(), a.width(), a.height())
                     .toImage());
}

GameWindow waitForGameWindow(qint64 pid) {
    GameWindow g;
    g.id = waitForWindow(pid, QStringLiteral("^Drenchwick$"));
    if (g.id != 0) {
        g.frame = windowGeometry(g.id);
    }
    return g;
}

std::optional<Box> findBox(qint64 pid, const QString& title) {
    const std::optional<unsigned long> w = findWindow(pid, "^" + escapeRegex(title) + "$");
    if (!w) {
        return std::nullopt;
    }
    return Box{*w, windowGeometry(*w), windowTitle(*w)};
}

Box waitForBox(qint64 pid, const QString& title, int ms) {
    std::optional<Box> b;
    waitFor([&] { return (b = findBox(pid, title)).has_value(); }, ms);
    return b.value_or(Box{});
}

BoxLayout layOutBox(const QString& title, const QString& text, int buttons, int icon) {
    QMessageBox box;
    box.setAttribute(Qt::WA_DontShowOnScreen);
    box.setWindowTitle(title);
    box.setTextFormat(Qt::PlainText);
    box.setText(text);
    box.setIcon(static_cast<QMessageBox::Icon>(icon));
    box.setStandardButtons(static_cast<QMessageBox::StandardButtons>(buttons));
    box.setDefaultButton(buttons & QMessageBox::Yes ? QMessageBox::Yes : QMessageBox::Ok);
    box.show();  // a box settles its size when shown
    QCoreApplication::processEvents();
    BoxLayout l;
    l.size = box.size();
    l.image = rgb32(box.grab().toImage());
    if (auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"))) {
        l.textArea = QRect(label->mapTo(&box, QPoint(0, 0)), label->size());
    }
    for (QAbstractButton* b : box.buttons()) {
        l.buttonCentre[box.standardButton(b)] = b->mapTo(&box, b->rect().center());
    }
    box.hide();
    return l;
}

bool boxShows(const Box& box, const BoxLayout& layout, QString* why) {
    const QImage real = grabScreen(box.frame);
    if (real.size() != layout.size) {
        *why = QStringLiteral("box is %1x%2, expected %3x%4")
                   .arg(real.width())
                   .arg(real.height())
                   .arg(layout.size.width())
                   .arg(layout.size.height());
        return false;
    }
    if (layout.textArea.isEmpty() ||
        real.copy(layout.textArea) != layout.image.copy(layout.textArea)) {
        const QString base = QDir::temp().filePath("drenchwick-e2e-" + QString::number(box.id));
        real.save(base + "-shown.png");
        layout.image.save(base + "-expected.png");
        *why = "the box's text differs; see " + base + "-*.png";
        return false;
    }
    return true;
}

void press(const Box& box, const BoxLayout& layout, int button) {
    // The box opened at most a moment ago; its buttons wake up 0.6 s after it does.
    QTest::qWait(700);
    click(box.frame.topLeft() + layout.buttonCentre.value(button));
}

MenuLayout layOutMenuBar() {
    QMainWindow w;
    w.setAttribute(Qt::WA_DontShowOnScreen);
    auto* client = new QWidget(&w);
    client->setFixedSize(426, 347);
    w.setCentralWidget(client);
    w.layout()->setSizeConstraint(QLayout::SetFixedSize);
    QMap<QString, QAction*> actions;
    for (const char* caption : {"Exit", "Reset", "Help"}) {
        actions[caption] = w.menuBar()->addAction(QString::fromLatin1(caption));
    }
    w.show();
    QCoreApplication::processEvents();
    MenuLayout m;
    m.strip = rgb32(w.grab(QRect(0, 0, w.width(), w.height() - 347)).toImage());
    for (auto it = actions.begin(); it != actions.end(); ++it) {
        m.centre[it.key()] = w.menuBar()->mapTo(&w, w.menuBar()->actionGeometry(*it).center());
    }
    return m;
}

}  // namespace e2e
