// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT

// Clocks, resource readings and statistics shared by the benchmark programs.
#pragma once

#include <sys/resource.h>
#include <time.h>

#include <QEvent>
#include <QObject>
#include <QPaintEvent>
#include <QRegion>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace bench {

// CLOCK_MONOTONIC is shared by every process on the machine, so a parent and its child can
// compare their readings.
inline int64_t nowNs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<int64_t>(ts.tv_sec) * 1'000'000'000 + ts.tv_nsec;
}

// User plus system time this process has used, in seconds.
inline double cpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// The high-water mark of the resident set, in KiB (VmHWM); -1 if it cannot be read.
inline long peakRssKiB() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0) {
            return std::stol(line.substr(6));
        }
    }
    return -1;
}

// The q-quantile (0..1) by the nearest-rank rule: a value that really occurred, and the p99
// of 2000 samples is the 20th largest.
inline double quantile(std::vector<double> v, double q) {
    if (v.empty()) {
        return std::nan("");
    }
    std::sort(v.begin(), v.end());
    const double rank = std::ceil(q * static_cast<double>(v.size()));
    const size_t i = static_cast<size_t>(std::clamp(rank, 1.0, static_cast<double>(v.size())));
    return v[i - 1];
}

inline double median(std::vector<double> v) {
    if (v.empty()) {
        return std::nan("");
    }
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 == 1 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2.0;
}

// How a run of timer ticks kept to its nominal period.
struct TickStats {
    size_t intervals = 0;
    double medianErrorMs = 0;  // of |interval - nominal|
    double p99ErrorMs = 0;
    double driftPercent = 0;  // (first to last tick) against the nominal time for as many ticks
};

inline TickStats tickStats(const std::vector<int64_t>& stampsNs, double nominalMs) {
    TickStats s;
    if (stampsNs.size() < 2) {
        return s;
    }
    std::vector<double> errors;
    errors.reserve(stampsNs.size() - 1);
    for (size_t i = 1; i < stampsNs.size(); ++i) {
        const double ms = static_cast<double>(stampsNs[i] - stampsNs[i - 1]) / 1e6;
        errors.push_back(std::abs(ms - nominalMs));
    }
    s.intervals = errors.size();
    s.medianErrorMs = median(errors);
    s.p99ErrorMs = quantile(errors, 0.99);
    const double actual = static_cast<double>(stampsNs.back() - stampsNs.front()) / 1e6;
    const double nominal = nominalMs * static_cast<double>(s.intervals);
    s.driftPercent = (actual - nominal) / nominal * 100.0;
    return s;
}

// The pixels a region covers; its rectangles never overlap.
inline int64_t areaOf(const QRegion& region) {
    int64_t a = 0;
    for (const QRect& r : region) {
        a += static_cast<int64_t>(r.width()) * r.height();
    }
    return a;
}

// Watches a widget's paint events: how many, how many pixels they asked for, and a call once
// the paint that `wanted` picks out is over. The call goes through the event queue, so it runs
// after the paint has been flushed to the window system.
class PaintWatch : public QObject {
  public:
    explicit PaintWatch(QWidget* widget) : QObject(widget) { widget->installEventFilter(this); }

    int64_t paints = 0;
    int64_t area = 0;

    void reset() {
        paints = 0;
        area = 0;
    }
    void onPainted(std::function<bool(const QRegion&)> wanted, std::function<void()> after) {
        wanted_ = std::move(wanted);
        after_ = std::move(after);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* e) override {
        if (e->type() == QEvent::Paint) {
            const QRegion& region = static_cast<QPaintEvent*>(e)->region();
            ++paints;
            area += areaOf(region);
            if (wanted_ && wanted_(region)) {
                wanted_ = nullptr;
                QTimer::singleShot(0, this, std::move(after_));
            }
        }
        return QObject::eventFilter(watched, e);
    }

  private:
    std::function<bool(const QRegion&)> wanted_;
    std::function<void()> after_;
};

}  // namespace bench
