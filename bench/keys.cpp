// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT

#include "bench/keys.h"

#include <sched.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QAbstractNativeEventFilter>
#include <QApplication>
#include <QDir>
#include <QProcess>
#include <QRandomGenerator>
#include <QTimer>
#include <cstdio>
#include <functional>

#include "bench/session.h"

namespace bench {
namespace {

// Notes when the X server's key events reach the GUI thread.
class KeyEventClock : public QAbstractNativeEventFilter {
  public:
    int64_t lastRelease = 0;
    int presses = 0;
    int releases = 0;
    bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override {
        if (type == "xcb_generic_event_t") {
            const int kind = static_cast<const uint8_t*>(message)[0] & 0x7f;
            if (kind == 3) {  // KeyRelease
                lastRelease = nowNs();
                ++releases;
            } else if (kind == 2) {  // KeyPress
                ++presses;
            }
        }
        return false;
    }
};

// xdotool reading its commands from a pipe: each line goes out with XTest as it arrives, so
// an event leaves at a moment this process knows.
class Xdotool {
  public:
    Xdotool() {
        proc_.start(QStringLiteral("xdotool"), {QStringLiteral("-")});
        if (!proc_.waitForStarted(5000)) {
            std::fprintf(stderr, "xdotool did not start\n");
            std::exit(1);
        }
    }
    ~Xdotool() {
        proc_.closeWriteChannel();
        proc_.waitForFinished(2000);
    }
    void send(const QByteArray& lines) {
        proc_.write(lines);
        proc_.waitForBytesWritten(1000);
    }

  private:
    QProcess proc_;
};

// The game and its key clock, once it has the keyboard; `run` starts the measurement.
int measureKeys(Session& s, KeyEventClock& keys, const std::function<void()>& run) {
    QCoreApplication::instance()->installNativeEventFilter(&keys);
    put("key_path_at_once", s.host.keyPath() == rt::KeyReleases::Path::AtOnce ? 1 : 0);
    QTimer::singleShot(kSettleMs, [&] {
        if (QApplication::focusWidget() != s.canvas()) {
            std::fprintf(stderr, "the game window does not have the keyboard\n");
            QCoreApplication::exit(1);
            return;
        }
        run();
    });
    return QApplication::exec();
}

// The trials of a key measurement. The game refuses throws during a counter-attack, so a trial
// starts outside one, with a game that cannot end under it, and a trial in which one began
// says nothing and is run again.
class Trials {
  public:
    explicit Trials(Session& s) : s_(s) {
        s.form.afterTick = [this] { attackSeen_ = attackSeen_ || s_.form.Attacking != 0; };
    }
    // False while a counter-attack runs, with `retry` called again a little later.
    bool begin(const std::function<void()>& retry) {
        if (s_.form.Attacking != 0) {
            QTimer::singleShot(50, retry);
            return false;
        }
        s_.form.Health = 5;
        s_.form.BalloonsLeft = 100;
        attackSeen_ = false;
        return true;
    }
    bool spoilt() const { return attackSeen_ || s_.form.Attacking != 0; }

  private:
    Session& s_;
    bool attackSeen_ = false;
};

// Every thread of process `pid` onto the CPUs of `cpus`.
void pin(pid_t pid, const cpu_set_t& cpus) {
    for (const QString& task : QDir(QStringLiteral("/proc/%1/task").arg(pid))
                                   .entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        sched_setaffinity(task.toInt(), sizeof cpus, &cpus);
    }
}

cpu_set_t cpuSet(bool onlyTheFirst) {
    cpu_set_t cpus;
    CPU_ZERO(&cpus);
    const long n = onlyTheFirst ? 1 : sysconf(_SC_NPROCESSORS_ONLN);
    for (long i = 0; i < n; ++i) {
        CPU_SET(i, &cpus);
    }
    return cpus;
}

// While it lives, this process and the X server share the first CPU with a busy loop.
class OneLoadedCpu {
  public:
    explicit OneLoadedCpu(pid_t xServer) : xServer_(xServer) {
        const cpu_set_t first = cpuSet(true);
        hog_ = fork();
        if (hog_ == 0) {
            sched_setaffinity(0, sizeof first, &first);
            for (;;) {
                asm volatile("" ::: "memory");  // spin, and let no compiler drop the loop
            }
        }
        pin(getpid(), first);
        pin(xServer_, first);
    }
    ~OneLoadedCpu() {
        kill(hog_, SIGKILL);
        waitpid(hog_, nullptr, 0);
        const cpu_set_t all = cpuSet(false);
        pin(getpid(), all);
        pin(xServer_, all);
    }

  private:
    pid_t xServer_;
    pid_t hog_ = -1;
};

}  // namespace

int keyLatency(int trials) {
    Session s;
    KeyEventClock keys;
    Xdotool xdotool;
    std::vector<double> toFrame, toGame;
    int missed = 0;
    int voided = 0;
    Trials attempts(s);
    int count0 = 0;
    int64_t t0 = 0;
    auto* rng = QRandomGenerator::global();
    auto lastBalloonShown = [&](const QRegion& region) {
        const int count = s.form.WaterB().Count().value();
        if (count <= count0) {
            return false;
        }
        const rt::Image& b = s.form.WaterB()[count - 1];
        const rt::PixelRect r = b.pixelRect();
        return b.Visible() && region.intersects(QRect(r.x, r.y, r.w, r.h));
    };
    std::function<void()> next = [&] {
        if (static_cast<int>(toFrame.size()) + missed == trials || voided > trials) {
            put("trials", static_cast<double>(toFrame.size()));
            put("missed", missed);
            put("voided", voided);
            put("to_game_median_ms", median(toGame));
            put("to_frame_median_ms", median(toFrame));
            put("to_frame_p99_ms", quantile(toFrame, 0.99));
            put("to_frame_max_ms", quantile(toFrame, 1.0));
            QCoreApplication::exit(0);
            return;
        }
        if (!attempts.begin(next)) {
            return;
        }
        xdotool.send("keydown space\n");
        // The hold varies so that releases fall at every phase of the game's timers.
        const int holdMs = 40 + static_cast<int>(rng->bounded(20));
        QTimer::singleShot(holdMs, [&] {
            count0 = s.form.WaterB().Count().value();
            s.paints->onPainted(lastBalloonShown, [&] {
                const int64_t t1 = nowNs();
                if (t0 == 0) {
                    return;
                }
                toFrame.push_back(static_cast<double>(t1 - t0) / 1e6);
                toGame.push_back(static_cast<double>(keys.lastRelease - t0) / 1e6);
                t0 = 0;
                QTimer::singleShot(40 + static_cast<int>(rng->bounded(20)), next);
            });
            t0 = nowNs();
            xdotool.send("keyup space\n");
            const int64_t sent = t0;
            QTimer::singleShot(500, [&, sent] {
                if (t0 == sent) {  // no frame came: counted as missed, never as fast
                    t0 = 0;
                    if (attempts.spoilt()) {
                        ++voided;
                    } else {
                        ++missed;
                    }
                    s.paints->onPainted(nullptr, nullptr);
                    next();
                }
            });
        });
    };
    const int rc = measureKeys(s, keys, next);
    return rc != 0 ? rc : (missed == 0 ? 0 : 1);
}

int heldKeys(int holds, int xServerPid) {
    Session s;
    KeyEventClock keys;
    Xdotool xdotool;
    std::unique_ptr<OneLoadedCpu> busy;
    if (xServerPid > 0) {
        busy = std::make_unique<OneLoadedCpu>(xServerPid);
    }
    int done = 0;
    int voided = 0;
    int throwingOnce = 0;
    int mostThrown = 0;
    int repeats = 0;
    int releases = 0;
    Trials attempts(s);
    std::function<void()> hold = [&] {
        if (done == holds || voided > holds) {
            busy.reset();
            put("holds", done);
            put("holds_throwing_once", throwingOnce);
            put("most_thrown_in_a_hold", mostThrown);
            put("repeats_per_hold", done > 0 ? static_cast<double>(repeats) / done : 0);
            put("releases_per_hold", done > 0 ? static_cast<double>(releases) / done : 0);
            QCoreApplication::exit(0);
            return;
        }
        if (!attempts.begin(hold)) {
            return;
        }
        const int count0 = s.form.WaterB().Count().value();
        const int presses0 = keys.presses;
        const int releases0 = keys.releases;
        xdotool.send("keydown space\n");
        QTimer::singleShot(1500, [&, count0, presses0, releases0] {
            xdotool.send("keyup space\n");
            QTimer::singleShot(300, [&, count0, presses0, releases0] {
                if (attempts.spoilt()) {
                    ++voided;
                    hold();
                    return;
                }
                const int thrown = s.form.WaterB().Count().value() - count0;
                repeats += keys.presses - presses0 - 1;
                releases += keys.releases - releases0;
                ++done;
                throwingOnce += thrown == 1 ? 1 : 0;
                mostThrown = std::max(mostThrown, thrown);
                hold();
            });
        });
    };
    return measureKeys(s, keys, hold);
}

int taps(int runs, int count) {
    Session s;
    KeyEventClock keys;
    Xdotool xdotool;
    int done = 0;
    int sent = 0;
    int thrown = 0;
    int count0 = 0;
    int releases0 = 0;
    int64_t deadline = 0;
    std::function<void()> run;
    // Counted once the last release has reached the game (xdotool may lag on a busy machine),
    // and a moment more for it to be handled.
    std::function<void()> tally = [&] {
        if (keys.releases - releases0 < count && nowNs() < deadline) {
            QTimer::singleShot(20, tally);
            return;
        }
        QTimer::singleShot(100, [&] {
            thrown += s.form.WaterB().Count().value() - count0;
            sent += count;
            ++done;
            run();
        });
    };
    run = [&] {
        if (done == runs) {
            put("taps", sent);
            put("thrown", thrown);
            QCoreApplication::exit(0);
            return;
        }
        // Every balloon of the last run has landed: none of them can set off a counter-attack,
        // which refuses throws, while these taps go in.
        if (s.form.Attacking != 0 || s.form.Dropper().Enabled()) {
            s.form.RestartGame();
            QTimer::singleShot(100, run);
            return;
        }
        count0 = s.form.WaterB().Count().value();
        releases0 = keys.releases;
        deadline = nowNs() + 5'000'000'000;
        QByteArray script;
        for (int i = 0; i < count; ++i) {
            script += "keydown space\nsleep 0.010\nkeyup space\nsleep 0.015\n";
        }
        xdotool.send(script);
        QTimer::singleShot(count * 25, tally);
    };
    return measureKeys(s, keys, run);
}

}  // namespace bench
