// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT

#include "support/sway.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <cstdlib>

namespace sway {

namespace {

using e2e::giveUp;

// Nobody is user 65534 on Debian: the compositor runs as that user when the test runs as root,
// since sway refuses to run as root.
constexpr uid_t kNobody = 65534;

const char* const kConfig =
    "xwayland disable\n"
    "output HEADLESS-1 mode 1024x768 position 0 0 scale 1\n"
    "default_border none\n"
    "default_floating_border none\n"
    "focus_follows_mouse no\n";

QString run(const QString& program, const QStringList& args, int* code = nullptr) {
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(20000)) {
        p.kill();
        p.waitForFinished();
        giveUp(program + " " + args.join(' ') + " did not finish");
    }
    const int rc = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    if (code != nullptr) {
        *code = rc;
    } else if (rc != 0) {
        giveUp(program + " " + args.join(' ') + " failed: " +
               QString::fromLocal8Bit(p.readAllStandardError()));
    }
    return QString::fromLocal8Bit(p.readAllStandardOutput());
}

class Compositor {
  public:
    ~Compositor() {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            int status = 0;
            ::waitpid(pid_, &status, 0);
        }
    }

    // Starts sway with its runtime folder in `dir`; returns the paths of its Wayland socket
    // and of its IPC socket once both are there.
    std::pair<QString, QString> start(const QString& dir, const QString& config) {
        const QByteArray runtime = QFile::encodeName(dir);
        const bool root = ::getuid() == 0;
        if (root && ::chown(runtime.constData(), kNobody, kNobody) != 0) {
            giveUp("cannot hand " + dir + " to user 65534");
        }
        ::chmod(runtime.constData(), 0700);
        pid_ = ::fork();
        if (pid_ < 0) {
            giveUp("cannot fork sway");
        }
        if (pid_ == 0) {
            ::prctl(PR_SET_PDEATHSIG, SIGTERM);  // never outlive a test that crashes
            const int log = ::open(QFile::encodeName(dir + "/../sway.log").constData(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0644);
            const int null = ::open("/dev/null", O_RDWR);
            ::dup2(null, 0);
            ::dup2(log >= 0 ? log : null, 1);
            ::dup2(log >= 0 ? log : null, 2);
            ::clearenv();
            ::setenv("PATH", "/usr/sbin:/usr/bin:/sbin:/bin", 1);
            ::setenv("HOME", runtime.constData(), 1);
            ::setenv("XDG_RUNTIME_DIR", runtime.constData(), 1);
            ::setenv("WLR_BACKENDS", "headless", 1);
            ::setenv("WLR_RENDERER", "pixman", 1);
            ::setenv("WLR_LIBINPUT_NO_DEVICES", "1", 1);
            const QByteArray conf = QFile::encodeName(config);
            if (root) {
                // The user changes, which clears the death signal: setpriv sets it again.
                ::execlp("setpriv", "setpriv", "--reuid=65534", "--regid=65534", "--clear-groups",
                         "--pdeathsig", "TERM", "sway", "-c", conf.constData(),
                         static_cast<char*>(nullptr));
            } else {
                ::execlp("sway", "sway", "-c", conf.constData(), static_cast<char*>(nullptr));
            }
            ::_exit(127);
        }
        QString display;
        QString ipc;
        for (int i = 0; i < 300 && (display.isEmpty() || ipc.isEmpty()); ++i) {
            int status = 0;
            if (::waitpid(pid_, &status, WNOHANG) == pid_) {
                pid_ = -1;
                giveUp("sway ended at once (is it installed?); see " + dir + "/../sway.log");
            }
            ::usleep(50 * 1000);
            const QDir d(dir);
            for (const QString& f : d.entryList(QDir::System)) {
                if (f.startsWith("wayland-") && !f.endsWith(".lock")) {
                    display = d.filePath(f);
                } else if (f.startsWith("sway-ipc.")) {
                    ipc = d.filePath(f);
                }
            }
        }
        if (display.isEmpty() || ipc.isEmpty()) {
            giveUp("sway made no sockets within 15 s");
        }
        return {display, ipc};
    }

  private:
    pid_t pid_ = -1;
};

Window windowFrom(const QJsonObject& node, bool floating) {
    Window w;
    w.pid = node.value("pid").toInteger();
    w.title = node.value("name").toString();
    w.appId = node.value("app_id").toString();
    const QJsonObject r = node.value("rect").toObject();
    w.rect = QRect(r.value("x").toInt(), r.value("y").toInt(), r.value("width").toInt(),
                   r.value("height").toInt());
    w.floating = floating;
    w.focused = node.value("focused").toBool();
    return w;
}

void collect(const QJsonObject& node, bool floating, QList<Window>* out) {
    if (node.value("pid").toInteger() > 0) {
        out->append(windowFrom(node, floating));
    }
    for (const QJsonValue& n : node.value("nodes").toArray()) {
        collect(n.toObject(), floating, out);
    }
    for (const QJsonValue& n : node.value("floating_nodes").toArray()) {
        collect(n.toObject(), true, out);
    }
}

}  // namespace

int runInOwnSession(int argc, char** argv, const std::function<std::unique_ptr<QObject>()>& make) {
    QTemporaryDir base;
    ::chmod(QFile::encodeName(base.path()).constData(), 0755);  // the compositor's user reads in it
    const QString config = base.filePath("sway.conf");
    QFile conf(config);
    if (!conf.open(QIODevice::WriteOnly) || conf.write(kConfig) < 0) {
        giveUp("cannot write " + config);
    }
    conf.close();
    QDir(base.path()).mkdir("compositor");
    QDir(base.path()).mkdir("clients");
    Compositor compositor;
    const auto [display, ipc] = compositor.start(base.filePath("compositor"), config);
    // The clients (the game, the tools, this test) have a runtime folder of their own.
    const QString clients = base.filePath("clients");
    ::chmod(QFile::encodeName(clients).constData(), 0700);
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(clients));
    qputenv("WAYLAND_DISPLAY", QFile::encodeName(display));
    qputenv("SWAYSOCK", QFile::encodeName(ipc));
    qunsetenv("DISPLAY");
    // The test draws its references offscreen; the programs it starts use Wayland.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    qputenv("QT_QPA_PLATFORM", "wayland");
    std::unique_ptr<QObject> test = make();
    return QTest::qExec(test.get(), argc, argv);
}

QImage grab(const QRect& a) {
    QProcess grim;
    grim.start("grim", {"-g",
                        QStringLiteral("%1,%2 %3x%4")
                            .arg(a.x())
                            .arg(a.y())
                            .arg(a.width())
                            .arg(a.height()),
                        "-t", "png", "-"});
    if (!grim.waitForFinished(20000) || grim.exitCode() != 0) {
        giveUp("grim failed: " + QString::fromLocal8Bit(grim.readAllStandardError()));
    }
    return e2e::rgb32(QImage::fromData(grim.readAllStandardOutput(), "PNG"));
}

QList<Window> windows() {
    const QJsonDocument tree =
        QJsonDocument::fromJson(run("swaymsg", {"-r", "-t", "get_tree"}).toUtf8());
    QList<Window> found;
    collect(tree.object(), false, &found);
    return found;
}

std::optional<Window> findWindow(qint64 pid, const QString& title) {
    for (const Window& w : windows()) {
        if (w.pid == pid && w.title == title) {
            return w;
        }
    }
    return std::nullopt;
}

std::optional<Window> waitForWindow(qint64 pid, const QString& title, int ms) {
    std::optional<Window> w;
    e2e::waitFor([&] { return (w = findWindow(pid, title)).has_value(); }, ms);
    return w;
}

void type(const QStringList& args) {
    // Each run of wtype brings a keyboard of its own, and sway hands that keyboard's first key
    // to the window inside the event that gives it the keyboard, where Qt sees no press. A key
    // the game ignores goes first, so that the keys asked for arrive as a player's would.
    run("wtype", QStringList{"-k", "F24"} + args);
}

void tap(const QString& key) {
    type({"-k", key});
}

void close(qint64 pid) {
    run("swaymsg", {QStringLiteral("[pid=%1] kill").arg(pid)});
}

}  // namespace sway
