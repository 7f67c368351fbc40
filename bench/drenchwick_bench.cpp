// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT

// Runs every benchmark against the real Qt host on an X server of its own (Xvfb, the xcb
// platform), each measurement in a fresh process, and prints one table of results beside
// their targets. `--measure MODE ...` runs a single measurement in this process instead.
#include <sys/utsname.h>
#include <unistd.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <cstdio>
#include <optional>

#include "bench/measure.h"
#include "bench/plot.h"
#include "bench/support.h"

namespace {

using Results = QMap<QString, double>;

void note(const QString& s) {
    std::fprintf(stderr, "%s\n", qPrintable(s));
}

// An X server for the bench alone; -displayfd lets it pick a free display number.
class XServer {
  public:
    bool start() {
        proc_.setProgram(QStringLiteral("Xvfb"));
        proc_.setArguments({QStringLiteral("-displayfd"), QStringLiteral("1"),
                            QStringLiteral("-nolisten"), QStringLiteral("tcp"),
                            QStringLiteral("-screen"), QStringLiteral("0"),
                            QStringLiteral("1920x1200x24")});
        proc_.setProcessChannelMode(QProcess::SeparateChannels);
        proc_.start();
        if (!proc_.waitForStarted(5000)) {
            return false;
        }
        while (proc_.state() == QProcess::Running && !proc_.canReadLine()) {
            proc_.waitForReadyRead(10000);
        }
        bool ok = false;
        const int n = proc_.readLine().trimmed().toInt(&ok);
        if (!ok) {
            return false;
        }
        display_ = QStringLiteral(":%1").arg(n);
        return true;
    }
    ~XServer() {
        if (proc_.state() == QProcess::Running) {
            proc_.terminate();
            proc_.waitForFinished(3000);
        }
    }
    const QString& display() const { return display_; }
    qint64 pid() const { return proc_.processId(); }
    // CPU seconds the server has used so far.
    double cpuSeconds() const {
        QFile f(QStringLiteral("/proc/%1/stat").arg(proc_.processId()));
        if (!f.open(QIODevice::ReadOnly)) {
            return 0;
        }
        const QByteArray stat = f.readAll();
        const QList<QByteArray> fields = stat.mid(stat.lastIndexOf(')') + 2).split(' ');
        // utime and stime are fields 14 and 15 of the line, 12 and 13 after the name.
        const double ticks = fields.value(11).toDouble() + fields.value(12).toDouble();
        return ticks / static_cast<double>(sysconf(_SC_CLK_TCK));
    }

  private:
    QProcess proc_;
    QString display_;
};

QProcessEnvironment childEnvironment(const QString& display) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), display);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.remove(QStringLiteral("QT_SCALE_FACTOR"));
    return env;
}

Results parse(const QByteArray& out) {
    Results r;
    for (const QByteArray& line : out.split('\n')) {
        const int eq = line.indexOf('=');
        if (eq > 0) {
            r.insert(QString::fromUtf8(line.left(eq)), line.mid(eq + 1).toDouble());
        }
    }
    return r;
}

std::optional<Results> measure(const QString& display, const QStringList& args) {
    note(QStringLiteral("  measuring %1").arg(args.join(QLatin1Char(' '))));
    QProcess p;
    p.setProcessEnvironment(childEnvironment(display));
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.start(QCoreApplication::applicationFilePath(),
            QStringList{QStringLiteral("--measure")} + args);
    if (!p.waitForFinished(300000) || p.exitStatus() != QProcess::NormalExit) {
        note(QStringLiteral("  measurement did not finish: %1").arg(args.join(QLatin1Char(' '))));
        return std::nullopt;
    }
    Results r = parse(p.readAllStandardOutput());
    r.insert(QStringLiteral("exit_code"), p.exitCode());
    return r;
}

struct Startup {
    double ms = 0;
    double rssKiB = 0;
};

std::optional<Startup> startOnce(const QString& display, const QString& program) {
    QProcess p;
    p.setProcessEnvironment(childEnvironment(display));
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    const int64_t spawned = bench::nowNs();
    p.start(program, {});
    if (!p.waitForFinished(30000) || p.exitCode() != 0) {
        return std::nullopt;
    }
    const Results r = parse(p.readAllStandardOutput());
    if (!r.contains(QStringLiteral("first-frame-ns")) ||
        !r.contains(QStringLiteral("peak-rss-kib"))) {
        return std::nullopt;
    }
    return Startup{(r.value(QStringLiteral("first-frame-ns")) - static_cast<double>(spawned)) / 1e6,
                   r.value(QStringLiteral("peak-rss-kib"))};
}

// Jiffies the whole machine has spent busy and in all, from /proc/stat.
std::pair<double, double> machineTime() {
    QFile f(QStringLiteral("/proc/stat"));
    if (!f.open(QIODevice::ReadOnly)) {
        return {0, 0};
    }
    const QList<QByteArray> v = f.readLine().simplified().split(' ');
    double busy = 0;
    double all = 0;
    for (int i = 1; i < v.size() && i <= 8; ++i) {
        all += v[i].toDouble();
        busy += (i == 4 || i == 5) ? 0 : v[i].toDouble();  // idle and iowait are not busy
    }
    return {busy, all};
}

QString machine() {
    QString cpu = QStringLiteral("unknown CPU");
    QFile info(QStringLiteral("/proc/cpuinfo"));
    if (info.open(QIODevice::ReadOnly | QIODevice::Text)) {
        for (const QByteArray& line : info.readAll().split('\n')) {
            if (line.startsWith("model name")) {
                cpu = QString::fromUtf8(line.mid(line.indexOf(':') + 1).trimmed());
                break;
            }
        }
    }
    utsname u{};
    uname(&u);
    const long mem = sysconf(_SC_PHYS_PAGES) * sysconf(_SC_PAGE_SIZE) / (1024L * 1024 * 1024);
    QString load;
    QFile loadavg(QStringLiteral("/proc/loadavg"));
    if (loadavg.open(QIODevice::ReadOnly)) {
        load = QString::fromUtf8(loadavg.readAll()).section(QLatin1Char(' '), 0, 2);
    }
    return QStringLiteral("%1, %2 cores, %3 GiB, Linux %4, Qt %5; load average at start %6")
        .arg(cpu)
        .arg(sysconf(_SC_NPROCESSORS_ONLN))
        .arg(mem)
        .arg(QString::fromLatin1(u.release))
        .arg(QString::fromLatin1(qVersion()))
        .arg(load);
}

class Table {
  public:
    void row(const QString& what, const QString& result, const QString& baseline,
             const QString& target, std::optional<bool> met) {
        rows_ << QStringLiteral("| %1 | %2 | %3 | %4 | %5 |")
                     .arg(what, result, baseline, target,
                          met ? (*met ? QStringLiteral("yes") : QStringLiteral("**no**"))
                              : QStringLiteral("–"));
        if (met && !*met) {
            ++missed_;
        }
    }
    void failed(const QString& what) {
        row(what, QStringLiteral("did not run"), QString(), QString(), false);
    }
    QString text() const {
        return QStringLiteral(
                   "| Measure | Result | Baseline (same run) | Target | Met |\n"
                   "|---|---|---|---|---|\n") +
               rows_.join(QLatin1Char('\n')) + QLatin1Char('\n');
    }
    int missed() const { return missed_; }

  private:
    QStringList rows_;
    int missed_ = 0;
};

QString ms(double v, int decimals = 3) {
    return QStringLiteral("%1 ms").arg(v, 0, 'f', decimals);
}

std::vector<double> readSamples(const QString& path) {
    std::vector<double> v;
    QFile f(path);
    if (f.open(QIODevice::ReadOnly | QIODevice::Text)) {
        for (const QByteArray& line : f.readAll().split('\n')) {
            if (!line.isEmpty()) {
                v.push_back(line.toDouble());
            }
        }
    }
    return v;
}

int drive(const QString& plotPath, int tickSeconds, int startups) {
    const QString header = machine();
    const auto time0 = machineTime();
    XServer x;
    if (!x.start()) {
        note(QStringLiteral("Xvfb could not be started"));
        return 2;
    }
    note(QStringLiteral("Xvfb on %1").arg(x.display()));
    QTemporaryDir scratch;
    Table t;

    std::vector<bench::TickSeries> series;
    for (int interval : {5, 50, 100}) {
        const QString samples = scratch.filePath(QStringLiteral("ticks-%1.txt").arg(interval));
        const auto r = measure(x.display(), {QStringLiteral("ticks"), QString::number(interval),
                                             QString::number(tickSeconds), samples});
        const QString name = QStringLiteral("%1 ms ticks (%2 s)").arg(interval).arg(tickSeconds);
        if (!r || r->value(QStringLiteral("exit_code")) != 0) {
            t.failed(name);
            continue;
        }
        series.push_back({interval, readSamples(samples)});
        const double med = r->value(QStringLiteral("median_error_ms"));
        const double p99 = r->value(QStringLiteral("p99_error_ms"));
        const double drift = r->value(QStringLiteral("drift_percent"));
        const QString n =
            QStringLiteral(", %1 intervals").arg(r->value(QStringLiteral("intervals")));
        if (interval == 5) {
            const auto bare =
                measure(x.display(), {QStringLiteral("bare-ticks"), QString::number(interval),
                                      QString::number(tickSeconds)});
            auto baseline = [&](const char* key, bool percent) {
                if (!bare) {
                    return QString();
                }
                const double v = bare->value(QString::fromLatin1(key));
                return QStringLiteral("bare timerfd loop, no Qt: ") +
                       (percent ? QStringLiteral("%1 %").arg(v, 0, 'f', 3) : ms(v));
            };
            t.row(name + QStringLiteral(": median error") + n, ms(med),
                  baseline("median_error_ms", false), QStringLiteral("≤ 0.2 ms"), med <= 0.2);
            t.row(name + QStringLiteral(": p99 error"), ms(p99), baseline("p99_error_ms", false),
                  QStringLiteral("≤ 1 ms"), p99 <= 1.0);
            t.row(name + QStringLiteral(": cumulative drift"),
                  QStringLiteral("%1 %").arg(drift, 0, 'f', 3), baseline("drift_percent", true),
                  QStringLiteral("≤ 0.5 %"), std::abs(drift) <= 0.5);
        } else {
            t.row(name + QStringLiteral(": median / p99 error") + n,
                  ms(med) + QStringLiteral(" / ") + ms(p99), {}, {}, std::nullopt);
            t.row(name + QStringLiteral(": cumulative drift"),
                  QStringLiteral("%1 %").arg(drift, 0, 'f', 3), {}, QStringLiteral("≤ 0.2 %"),
                  std::abs(drift) <= 0.2);
        }
    }

    const double xCounterAtOne0 = x.cpuSeconds();
    const auto counterAtOne = measure(
        x.display(), {QStringLiteral("counter"), QStringLiteral("5"), QStringLiteral("1")});
    const double xCounterAtOne = x.cpuSeconds() - xCounterAtOne0;
    if (const auto& counter = counterAtOne; counter && counter->value(QStringLiteral("runs")) > 0) {
        const double med = counter->value(QStringLiteral("wall_median_s"));
        const double lo = counter->value(QStringLiteral("wall_min_s"));
        const double hi = counter->value(QStringLiteral("wall_max_s"));
        const bool ticksRight = counter->value(QStringLiteral("wrong_tick_counts")) == 0;
        t.row(QStringLiteral(
                  "Counter-attack from Left 400, 345 ticks: wall time, median (min–max) of %1")
                  .arg(counter->value(QStringLiteral("runs"))),
              QStringLiteral("%1 s (%2–%3 s)%4")
                  .arg(med, 0, 'f', 4)
                  .arg(lo, 0, 'f', 4)
                  .arg(hi, 0, 'f', 4)
                  .arg(ticksRight ? QString() : QStringLiteral(", wrong tick count")),
              {}, QStringLiteral("1.725 s ± 2 % (1.6905–1.7595 s)"),
              ticksRight && lo >= 1.725 * 0.98 && hi <= 1.725 * 1.02);
    } else {
        t.failed(QStringLiteral("Counter-attack from Left 400"));
    }

    QString keyPath;
    const auto latency =
        measure(x.display(), {QStringLiteral("latency"), QStringLiteral("200")});
    if (latency && latency->value(QStringLiteral("trials")) > 0) {
        keyPath = latency->value(QStringLiteral("key_path_at_once")) == 1
                      ? QStringLiteral("delivered at once (the server granted detectable "
                                       "auto-repeat)")
                      : QStringLiteral("held back 8 ms (the server refused detectable "
                                       "auto-repeat)");
        const double p99 = latency->value(QStringLiteral("to_frame_p99_ms"));
        const double med = latency->value(QStringLiteral("to_frame_median_ms"));
        const double missed = latency->value(QStringLiteral("missed"));
        t.row(QStringLiteral("Space release (XTest) → balloon's first frame flushed: p99 of %1")
                  .arg(latency->value(QStringLiteral("trials")) + missed),
              ms(p99, 2) +
                  QStringLiteral(" (median %1, max %2; release reaches the game after %3)")
                      .arg(ms(latency->value(QStringLiteral("to_frame_median_ms")), 2),
                           ms(latency->value(QStringLiteral("to_frame_max_ms")), 2),
                           ms(latency->value(QStringLiteral("to_game_median_ms")), 2)) +
                  (missed > 0 ? QStringLiteral(", %1 releases drew nothing").arg(missed)
                              : QString()) +
                  (latency->value(QStringLiteral("voided")) > 0
                       ? QStringLiteral("; %1 more run again, a counter-attack having refused the "
                                        "throw")
                             .arg(latency->value(QStringLiteral("voided")))
                       : QString()),
              {}, QStringLiteral("median ≤ 2 ms, p99 ≤ 5 ms"),
              missed == 0 && med <= 2.0 && p99 <= 5.0);
    } else {
        t.failed(QStringLiteral("Space release → first frame"));
    }
    // Held on a quiet machine, then with the game and the X server sharing one CPU that a busy
    // loop keeps loaded, where the two halves of a repeat pair can reach the game far apart.
    for (bool busy : {false, true}) {
        QStringList args{QStringLiteral("holds"), QStringLiteral("5")};
        if (busy) {
            args << QString::number(x.pid());
        }
        const auto held = measure(x.display(), args);
        const QString name = QStringLiteral("Space held 1.5 s under X auto-repeat%1: holds that "
                                            "threw exactly once")
                                 .arg(busy ? QStringLiteral(", game and X server on one loaded "
                                                            "CPU")
                                           : QString());
        if (!held || held->value(QStringLiteral("holds")) == 0) {
            t.failed(name);
            continue;
        }
        const double holds = held->value(QStringLiteral("holds"));
        const double once = held->value(QStringLiteral("holds_throwing_once"));
        t.row(name,
              QStringLiteral("%1 of %2 (%3 repeats and %4 releases a hold; at most %5 thrown)")
                  .arg(once)
                  .arg(holds)
                  .arg(held->value(QStringLiteral("repeats_per_hold")), 0, 'f', 1)
                  .arg(held->value(QStringLiteral("releases_per_hold")), 0, 'f', 1)
                  .arg(held->value(QStringLiteral("most_thrown_in_a_hold"))),
              {}, QStringLiteral("all"), once == holds);
    }
    const auto tapped =
        measure(x.display(), {QStringLiteral("taps"), QStringLiteral("5"), QStringLiteral("20")});
    if (tapped && tapped->value(QStringLiteral("taps")) > 0) {
        const double sent = tapped->value(QStringLiteral("taps"));
        const double thrown = tapped->value(QStringLiteral("thrown"));
        t.row(QStringLiteral("Taps of Space 25 ms apart (10 ms down), in runs of 20: taps that threw"),
              QStringLiteral("%1 of %2").arg(thrown).arg(sent), {}, QStringLiteral("all"),
              thrown == sent);
    } else {
        t.failed(QStringLiteral("Taps 25 ms apart"));
    }

    // Idle and counter-attack CPU at zoom 1, and again with the window big enough for zoom 3.
    const double canvasArea = 426.0 * 347.0;
    for (int zoom : {1, 3}) {
        const QString at =
            zoom == 1 ? QString() : QStringLiteral(", at zoom %1 (1278 × 1041 canvas)").arg(zoom);
        const double xWalk0 = x.cpuSeconds();
        const auto walk = measure(x.display(), {QStringLiteral("walk"), QStringLiteral("10"),
                                                QString::number(zoom)});
        const double xWalk = x.cpuSeconds() - xWalk0;
        if (walk && walk->value(QStringLiteral("zoom")) == zoom) {
            const double cpu = walk->value(QStringLiteral("cpu_percent"));
            t.row(QStringLiteral("CPU while walking only (%1 s)%2")
                      .arg(walk->value(QStringLiteral("wall_s")), 0, 'f', 1)
                      .arg(at),
                  QStringLiteral("%1 % of a core (X server: %2 %)")
                      .arg(cpu, 0, 'f', 2)
                      .arg(xWalk / walk->value(QStringLiteral("wall_s")) * 100.0, 0, 'f', 2),
                  {}, QStringLiteral("≤ 1 %"), cpu <= 1.0);
            const double area = walk->value(QStringLiteral("area_per_tick"));
            t.row(QStringLiteral("Painted area per walking tick (100 ms)%1").arg(at),
                  QStringLiteral("%1 px² (%2 % of the scene)")
                      .arg(area, 0, 'f', 0)
                      .arg(area / (canvasArea * zoom * zoom) * 100, 0, 'f', 2),
                  {}, {}, std::nullopt);
        } else {
            t.failed(QStringLiteral("CPU while walking%1").arg(at));
        }
        const double xCounter0 = x.cpuSeconds();
        const auto counter =
            zoom == 1 ? counterAtOne
                      : measure(x.display(), {QStringLiteral("counter"), QStringLiteral("5"),
                                              QString::number(zoom)});
        const double xCounter = zoom == 1 ? xCounterAtOne : x.cpuSeconds() - xCounter0;
        if (counter && counter->value(QStringLiteral("runs")) > 0 &&
            counter->value(QStringLiteral("zoom")) == zoom) {
            const double cpu = counter->value(QStringLiteral("cpu_percent_median"));
            const double wall = counter->value(QStringLiteral("wall_median_s")) *
                                counter->value(QStringLiteral("runs"));
            t.row(QStringLiteral("CPU during a counter-attack (5 ms ticks), median (max) of runs%1")
                      .arg(at),
                  QStringLiteral("%1 % (%2 %) of a core (X server: %3 %)")
                      .arg(cpu, 0, 'f', 2)
                      .arg(counter->value(QStringLiteral("cpu_percent_max")), 0, 'f', 2)
                      .arg(xCounter / (wall + 0.3 * counter->value(QStringLiteral("runs"))) * 100.0,
                           0, 'f', 2),
                  {}, QStringLiteral("≤ 5 %"),
                  counter->value(QStringLiteral("cpu_percent_max")) <= 5.0);
            const double area = counter->value(QStringLiteral("area_per_tick"));
            t.row(QStringLiteral("Painted area per counter-attack tick (5 ms)%1").arg(at),
                  QStringLiteral("%1 px² (%2 % of the scene)")
                      .arg(area, 0, 'f', 0)
                      .arg(area / (canvasArea * zoom * zoom) * 100, 0, 'f', 2),
                  {}, {}, std::nullopt);
        } else {
            t.failed(QStringLiteral("CPU during a counter-attack%1").arg(at));
        }
    }

    // The game and the bare window start in turn, so drifts of the machine touch both alike.
    const QString dir = QCoreApplication::applicationDirPath();
    std::vector<double> gameMs, bareMs, gameRss, bareRss;
    for (int i = 0; i < startups; ++i) {
        if (auto g = startOnce(x.display(), dir + QStringLiteral("/bench_startup_game"))) {
            gameMs.push_back(g->ms);
            gameRss.push_back(g->rssKiB);
        }
        if (auto b = startOnce(x.display(), dir + QStringLiteral("/bench_startup_bare"))) {
            bareMs.push_back(b->ms);
            bareRss.push_back(b->rssKiB);
        }
    }
    note(QStringLiteral("  measured %1 + %2 start-ups").arg(gameMs.size()).arg(bareMs.size()));
    if (!gameMs.empty() && !bareMs.empty()) {
        const double g = bench::median(gameMs);
        const double b = bench::median(bareMs);
        t.row(QStringLiteral("Start-up to first painted frame, median of %1").arg(gameMs.size()),
              QStringLiteral("%1 (ratio %2)").arg(ms(g, 1)).arg(g / b, 0, 'f', 3),
              QStringLiteral("bare window with menu bar: %1").arg(ms(b, 1)),
              QStringLiteral("ratio ≤ 1.2"), g / b <= 1.2);
        const double gr = bench::median(gameRss);
        const double br = bench::median(bareRss);
        t.row(QStringLiteral("Peak RSS (VmHWM, 1 s after the first frame), median"),
              QStringLiteral("%1 MiB (ratio %2)").arg(gr / 1024, 0, 'f', 1).arg(gr / br, 0, 'f', 3),
              QStringLiteral("bare window with menu bar: %1 MiB").arg(br / 1024, 0, 'f', 1),
              QStringLiteral("ratio ≤ 1.2"), gr / br <= 1.2);
    } else {
        t.failed(QStringLiteral("Start-up and peak RSS"));
    }

    const auto restart = measure(x.display(), {QStringLiteral("restart"), QStringLiteral("200")});
    if (restart && restart->value(QStringLiteral("restarts")) > 0) {
        const double p99 = restart->value(QStringLiteral("p99_ms"));
        t.row(QStringLiteral("One restart (Unload + Show): p99 of %1")
                  .arg(restart->value(QStringLiteral("restarts"))),
              ms(p99) + QStringLiteral(" (median %1, max %2)")
                            .arg(ms(restart->value(QStringLiteral("median_ms"))),
                                 ms(restart->value(QStringLiteral("max_ms")))),
              {}, QStringLiteral("≤ 2 ms"),
              p99 <= 2.0 && restart->value(QStringLiteral("window_intact")) == 1);
    } else {
        t.failed(QStringLiteral("Restart"));
    }

    const auto time1 = machineTime();
    const double busy = (time1.first - time0.first) / std::max(1.0, time1.second - time0.second);
    QTextStream out(stdout);
    out << "Machine: " << header << "\n";
    out << "Both cores were " << QString::number(busy * 100, 'f', 0)
        << " % busy over the run, the bench's own processes and the X server included\n";
    out << "Platform: xcb on the bench's own Xvfb (1920x1200x24); "
        << QDateTime::currentDateTimeUtc().toString(Qt::ISODate) << "  \n";
    out << "Key releases: " << (keyPath.isEmpty() ? QStringLiteral("not measured") : keyPath)
        << "\n\n";
    out << t.text();
    out << "\n" << (t.missed() == 0 ? "Every target met." : "Targets missed: ");
    if (t.missed() != 0) {
        out << t.missed() << "\n";
    } else {
        out << "\n";
    }
    out.flush();
    if (!plotPath.isEmpty() && !series.empty()) {
        if (bench::plotTickHistogram(
                series, QStringLiteral("Walker timer intervals on the Qt host (xcb, Xvfb)"),
                plotPath)) {
            note(QStringLiteral("plot written to %1").arg(plotPath));
        } else {
            note(QStringLiteral("plot could not be written to %1").arg(plotPath));
        }
    }
    return t.missed() == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::string(argv[1]) == "--measure") {
        return bench::measure(argc, argv);
    }
    // The driver only draws the plot; it needs no display of its own.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QString plot = QStringLiteral(DRENCHWICK_SOURCE_DIR "/docs/bench-ticks.png");
    int tickSeconds = 10;
    int startups = 10;
    const QStringList args = QCoreApplication::arguments();
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--plot") && i + 1 < args.size()) {
            plot = args[++i];
        } else if (args[i] == QLatin1String("--quick")) {
            tickSeconds = 2;
            startups = 3;
        } else {
            note(QStringLiteral("usage: drenchwick_bench [--plot FILE.png] [--quick]"));
            return 2;
        }
    }
    return drive(plot, tickSeconds, startups);
}
