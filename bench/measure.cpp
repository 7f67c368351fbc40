// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT

// The measurements, each run in a process of its own on the real Qt host with the game
// running. Each prints `key=value` lines for the driver.
#include "bench/measure.h"

#include <poll.h>
#include <sys/timerfd.h>
#include <unistd.h>

#include <QApplication>
#include <QFile>
#include <QMainWindow>
#include <QTimer>
#include <cstdio>
#include <memory>

#include "bench/keys.h"
#include "bench/session.h"
#include "runtime/qt/canvas.h"

namespace bench {
namespace {


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
int counterAttacks(int runs, int zoom) {
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
    QTimer::singleShot(kSettleMs, [&] { s.zoomTo(zoom); });
    QTimer::singleShot(2 * kSettleMs, startRun);
    QApplication::exec();
    put("runs", static_cast<double>(walls.size()));
    put("wrong_tick_counts", wrongTickCounts);
    put("wall_median_s", median(walls));
    put("wall_min_s", *std::min_element(walls.begin(), walls.end()));
    put("wall_max_s", *std::max_element(walls.begin(), walls.end()));
    put("cpu_percent_median", median(cpus));
    put("cpu_percent_max", *std::max_element(cpus.begin(), cpus.end()));
    put("area_per_tick", median(areas));
    put("zoom", static_cast<rt::Canvas*>(s.canvas())->zoom());
    return wrongTickCounts == 0 ? 0 : 1;
}

// The game as it stands between throws: only the walkers move.
int walking(int seconds, int zoom) {
    Session s;
    int tickCount = 0;
    double cpu0 = 0;
    int64_t t0 = 0;
    s.form.afterTick = [&] { tickCount += t0 != 0 ? 1 : 0; };
    QTimer::singleShot(kSettleMs, [&] { s.zoomTo(zoom); });
    QTimer::singleShot(2 * kSettleMs, [&] {
        s.paints->reset();
        cpu0 = cpuSeconds();
        t0 = nowNs();
    });
    QTimer::singleShot(2 * kSettleMs + seconds * 1000, [&] {
        const double wall = static_cast<double>(nowNs() - t0) / 1e9;
        put("wall_s", wall);
        put("cpu_percent", (cpuSeconds() - cpu0) / wall * 100.0);
        put("ticks", tickCount);
        put("paints", static_cast<double>(s.paints->paints));
        put("area_per_tick", static_cast<double>(s.paints->area) / std::max(1, tickCount));
        put("zoom", static_cast<rt::Canvas*>(s.canvas())->zoom());
        QCoreApplication::exit(0);
    });
    QApplication::exec();
    return 0;
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
        return counterAttacks(num(1, 5), num(2, 1));
    }
    if (mode == QLatin1String("walk")) {
        return walking(num(1, 10), num(2, 1));
    }
    if (mode == QLatin1String("latency")) {
        return keyLatency(num(1, 200));
    }
    if (mode == QLatin1String("holds")) {
        return heldKeys(num(1, 5), num(2, 0));
    }
    if (mode == QLatin1String("taps")) {
        return taps(num(1, 5), num(2, 20));
    }
    if (mode == QLatin1String("restart")) {
        return restarts(num(1, 200));
    }
    std::fprintf(stderr, "unknown measurement: %s\n", qPrintable(mode));
    return 2;
}

}  // namespace bench
