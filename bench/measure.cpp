// The measurements, each run in a process of its own on the real Qt host with the game
// running. Each prints `key=value` lines for the driver.
#include "bench/measure.h"

#include <poll.h>
#include <sys/timerfd.h>
#include <unistd.h>

#include <QAbstractNativeEventFilter>
#include <QApplication>
#include <QFile>
#include <QMainWindow>
#include <QProcess>
#include <QRandomGenerator>
#include <QTimer>
#include <cstdio>
#include <memory>

#include "bench/support.h"
#include "game/form1.h"
#include "runtime/qt/qt_host.h"

namespace bench {
namespace {

void put(const char* key, double value) {
    std::printf("%s=%.6f\n", key, value);
    std::fflush(stdout);
}

// Form1 whose Walker ticks are timestamped on their way to the real handler.
struct TimedForm1 : Form1 {
    TimedForm1() {
        on("Walker_Timer", [this] {
            if (recording) {
                stamps.push_back(nowNs());
            }
            Walker_Timer();
            if (afterTick) {
                afterTick();
            }
        });
    }
    bool recording = false;
    std::vector<int64_t> stamps;
    std::function<void()> afterTick;
};

// The game on the Qt host, with a moment to be mapped and painted before anything is timed.
struct Session {
    rt::QtHost host;
    TimedForm1 form;
    PaintWatch* paints = nullptr;

    Session() {
        host.start(form);
        paints = new PaintWatch(host.canvasOf(form));
    }
    QWidget* canvas() const { return host.canvasOf(form); }
};

constexpr int kSettleMs = 500;

int ticks(int intervalMs, int seconds, const QString& samplesFile) {
    Session s;
    const size_t wanted = static_cast<size_t>(seconds * 1000 / intervalMs) + 1;
    s.form.afterTick = [&] {
        if (s.form.stamps.size() >= wanted) {
            s.form.recording = false;
            s.form.afterTick = nullptr;
            QTimer::singleShot(0, [] { QCoreApplication::exit(0); });
        }
    };
    QTimer::singleShot(kSettleMs, [&] {
        s.form.recording = true;
        s.form.Walker().setInterval(intervalMs);
    });
    QApplication::exec();
    const TickStats st = tickStats(s.form.stamps, intervalMs);
    put("intervals", static_cast<double>(st.intervals));
    put("median_error_ms", st.medianErrorMs);
    put("p99_error_ms", st.p99ErrorMs);
    put("drift_percent", st.driftPercent);
    if (!samplesFile.isEmpty()) {
        QFile f(samplesFile);
        if (f.open(QIODevice::WriteOnly | QIODevice::Text)) {
            for (size_t i = 1; i < s.form.stamps.size(); ++i) {
                f.write(QByteArray::number(
                            static_cast<double>(s.form.stamps[i] - s.form.stamps[i - 1]) / 1e6, 'f',
                            4) +
                        '\n');
            }
        }
    }
    return st.intervals + 1 == wanted ? 0 : 1;
}

// The baseline for the tick rows: the best this machine does at that moment, a loop that does
// nothing but wait on a timerfd, with no Qt, no event loop and no painting.
int bareTicks(int intervalMs, int seconds) {
    const int fd = timerfd_create(CLOCK_MONOTONIC, TFD_CLOEXEC);
    if (fd < 0) {
        return 1;
    }
    itimerspec period{};
    period.it_interval.tv_sec = intervalMs / 1000;
    period.it_interval.tv_nsec = static_cast<long>(intervalMs % 1000) * 1'000'000;
    period.it_value = period.it_interval;
    timerfd_settime(fd, 0, &period, nullptr);
    const size_t wanted = static_cast<size_t>(seconds * 1000 / intervalMs) + 1;
    std::vector<int64_t> stamps;
    while (stamps.size() < wanted) {
        pollfd p{fd, POLLIN, 0};
        uint64_t expiries = 0;
        if (poll(&p, 1, -1) == 1 && read(fd, &expiries, sizeof expiries) == sizeof expiries) {
            stamps.push_back(nowNs());
        }
    }
    close(fd);
    const TickStats st = tickStats(stamps, intervalMs);
    put("intervals", static_cast<double>(st.intervals));
    put("median_error_ms", st.medianErrorMs);
    put("p99_error_ms", st.p99ErrorMs);
    put("drift_percent", st.driftPercent);
    return 0;
}

// Counter-attacks from the re-entry place, started as a hit on Zorbo starts them.
int counterAttacks(int runs) {
    Session s;
    std::vector<double> walls, cpus, areas;
    int wrongTickCounts = 0;
    int ticksInRun = 0;
    int64_t t0 = 0;
    double cpu0 = 0;

    std::function<void()> startRun = [&] {
        s.form.Health = 5;  // keeps the fifth kick from ending the game mid-bench
        s.form.Zorbo().setLeft(400);
        s.paints->reset();
        ticksInRun = 0;
        cpu0 = cpuSeconds();
        t0 = nowNs();
        s.form.Attacking = -1;
        s.form.Walker().setInterval(5);
    };
    s.form.afterTick = [&] {
        if (t0 == 0) {
            return;
        }
        ++ticksInRun;
        if (s.form.Attacking != 0) {
            return;
        }
        const double wall = static_cast<double>(nowNs() - t0) / 1e9;
        t0 = 0;
        walls.push_back(wall);
        cpus.push_back((cpuSeconds() - cpu0) / wall * 100.0);
        areas.push_back(static_cast<double>(s.paints->area) / ticksInRun);
        wrongTickCounts += ticksInRun == 345 ? 0 : 1;
        if (static_cast<int>(walls.size()) < runs) {
            QTimer::singleShot(300, startRun);
        } else {
            QTimer::singleShot(0, [] { QCoreApplication::exit(0); });
        }
    };
    QTimer::singleShot(kSettleMs, startRun);
    QApplication::exec();
    put("runs", static_cast<double>(walls.size()));
    put("wrong_tick_counts", wrongTickCounts);
    put("wall_median_s", median(walls));
    put("wall_min_s", *std::min_element(walls.begin(), walls.end()));
    put("wall_max_s", *std::max_element(walls.begin(), walls.end()));
    put("cpu_percent_median", median(cpus));
    put("cpu_percent_max", *std::max_element(cpus.begin(), cpus.end()));
    put("area_per_tick", median(areas));
    return wrongTickCounts == 0 ? 0 : 1;
}

// The game as it stands between throws: only the walkers move.
int walking(int seconds) {
    Session s;
    int tickCount = 0;
    double cpu0 = 0;
    int64_t t0 = 0;
    s.form.afterTick = [&] { tickCount += t0 != 0 ? 1 : 0; };
    QTimer::singleShot(kSettleMs, [&] {
        s.paints->reset();
        cpu0 = cpuSeconds();
        t0 = nowNs();
    });
    QTimer::singleShot(kSettleMs + seconds * 1000, [&] {
        const double wall = static_cast<double>(nowNs() - t0) / 1e9;
        put("wall_s", wall);
        put("cpu_percent", (cpuSeconds() - cpu0) / wall * 100.0);
        put("ticks", tickCount);
        put("paints", static_cast<double>(s.paints->paints));
        put("area_per_tick", static_cast<double>(s.paints->area) / std::max(1, tickCount));
        QCoreApplication::exit(0);
    });
    QApplication::exec();
    return 0;
}

// Notes when the X server's key events reach the GUI thread.
class KeyEventClock : public QAbstractNativeEventFilter {
  public:
    int64_t lastRelease = 0;
    int presses = 0;
    bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override {
        if (type == "xcb_generic_event_t") {
            const int kind = static_cast<const uint8_t*>(message)[0] & 0x7f;
            if (kind == 3) {  // KeyRelease
                lastRelease = nowNs();
            } else if (kind == 2) {  // KeyPress
                ++presses;
            }
        }
        return false;
    }
};

// Real key events through the X server: xdotool reads its commands from a pipe and sends them
// with XTest as each line arrives, so the release leaves at a moment this process knows.
int keyLatency(int trials, int holds) {
    Session s;
    KeyEventClock keys;
    QCoreApplication::instance()->installNativeEventFilter(&keys);
    QProcess xdotool;
    xdotool.start(QStringLiteral("xdotool"), {QStringLiteral("-")});
    if (!xdotool.waitForStarted(5000)) {
        std::fprintf(stderr, "xdotool did not start\n");
        return 1;
    }
    auto send = [&](const char* line) {
        xdotool.write(line);
        xdotool.waitForBytesWritten(1000);
    };

    std::vector<double> toFrame, toGame;
    int missed = 0;
    int voided = 0;
    bool attackSeen = false;
    s.form.afterTick = [&] { attackSeen = attackSeen || s.form.Attacking != 0; };
    int holdsDone = 0;
    int holdsThrowingOnce = 0;
    int repeatsSeen = 0;
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

    std::function<void()> next;
    auto finish = [&] {
        put("trials", static_cast<double>(toFrame.size()));
        put("missed", missed);
        put("voided", voided);
        put("to_game_median_ms", median(toGame));
        put("to_frame_median_ms", median(toFrame));
        put("to_frame_p99_ms", quantile(toFrame, 0.99));
        put("to_frame_max_ms", quantile(toFrame, 1.0));
        put("holds", holdsDone);
        put("holds_throwing_once", holdsThrowingOnce);
        put("repeats_per_hold", holdsDone > 0 ? static_cast<double>(repeatsSeen) / holdsDone : 0);
        QCoreApplication::exit(0);
    };
    // A long hold: the X server's auto-repeat sends release+press pairs that must not throw.
    std::function<void()> hold = [&] {
        if (holdsDone == holds || voided > trials) {
            finish();
            return;
        }
        if (s.form.Attacking != 0) {
            QTimer::singleShot(50, hold);
            return;
        }
        s.form.Health = 5;
        s.form.BalloonsLeft = 100;
        attackSeen = false;
        count0 = s.form.WaterB().Count().value();
        const int presses0 = keys.presses;
        send("keydown space\n");
        QTimer::singleShot(1500, [&, presses0] {
            send("keyup space\n");
            QTimer::singleShot(300, [&, presses0] {
                if (attackSeen || s.form.Attacking != 0) {
                    ++voided;
                    hold();
                    return;
                }
                repeatsSeen += keys.presses - presses0 - 1;
                const int thrown = s.form.WaterB().Count().value() - count0;
                ++holdsDone;
                holdsThrowingOnce += thrown == 1 ? 1 : 0;
                hold();
            });
        });
    };
    next = [&] {
        if (static_cast<int>(toFrame.size()) + missed == trials || voided > trials) {
            hold();
            return;
        }
        if (s.form.Attacking != 0) {  // no throws during a counter-attack: wait it out
            QTimer::singleShot(50, next);
            return;
        }
        s.form.Health = 5;
        s.form.BalloonsLeft = 100;
        attackSeen = false;
        send("keydown space\n");
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
            send("keyup space\n");
            const int64_t sent = t0;
            QTimer::singleShot(500, [&, sent] {
                if (t0 == sent) {  // no frame came: counted as missed, never as fast
                    t0 = 0;
                    // A balloon that hit Zorbo during the hold started a counter-attack, and
                    // the game refuses throws then: that trial says nothing and is run again.
                    if (attackSeen || s.form.Attacking != 0) {
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
    QTimer::singleShot(kSettleMs, [&] {
        if (QApplication::focusWidget() != s.canvas()) {
            std::fprintf(stderr, "the game window does not have the keyboard\n");
            QCoreApplication::exit(1);
            return;
        }
        next();
    });
    const int rc = QApplication::exec();
    xdotool.closeWriteChannel();
    xdotool.waitForFinished(2000);
    return rc != 0 ? rc : (missed == 0 ? 0 : 1);
}

// Restarts, each Unload and Show timed on its own, with the event loop let run between them
// so that every restart finds the window as a player's Reset would.
int restarts(int count) {
    Session s;
    std::vector<double> costs;
    std::function<void()> once = [&] {
        const int64_t t0 = nowNs();
        s.form.RestartGame();
        costs.push_back(static_cast<double>(nowNs() - t0) / 1e6);
        if (static_cast<int>(costs.size()) < count) {
            QTimer::singleShot(15, once);
        } else {
            QTimer::singleShot(50, [] { QCoreApplication::exit(0); });
        }
    };
    QTimer::singleShot(kSettleMs, once);
    QApplication::exec();
    const bool intact = s.form.loaded() && s.host.windowOf(s.form) != nullptr &&
                        s.host.windowOf(s.form)->isVisible();
    put("restarts", static_cast<double>(costs.size()));
    put("median_ms", median(costs));
    put("p99_ms", quantile(costs, 0.99));
    put("max_ms", quantile(costs, 1.0));
    put("window_intact", intact ? 1 : 0);
    return intact ? 0 : 1;
}

}  // namespace

int measure(int argc, char** argv) {
    if (argc >= 5 && std::string(argv[2]) == "bare-ticks") {
        return bareTicks(std::atoi(argv[3]), std::atoi(argv[4]));
    }
    rt::QtHost::prepareProcess();
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(2);
    const QString mode = args.value(0);
    auto num = [&](int i, int fallback) {
        bool ok = false;
        const int v = args.value(i).toInt(&ok);
        return ok ? v : fallback;
    };
    if (mode == QLatin1String("ticks")) {
        return ticks(num(1, 5), num(2, 10), args.value(3));
    }
    if (mode == QLatin1String("counter")) {
        return counterAttacks(num(1, 5));
    }
    if (mode == QLatin1String("walk")) {
        return walking(num(1, 10));
    }
    if (mode == QLatin1String("latency")) {
        return keyLatency(num(1, 200), num(2, 5));
    }
    if (mode == QLatin1String("restart")) {
        return restarts(num(1, 200));
    }
    std::fprintf(stderr, "unknown measurement: %s\n", qPrintable(mode));
    return 2;
}

}  // namespace bench
