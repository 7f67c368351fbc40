// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT

// What both start-up programs report, so the game and the bare window are measured alike:
// the moment their first frame has been painted and flushed, then, a second later, their
// peak resident set.
#pragma once

#include <QApplication>
#include <QTimer>
#include <cstdio>

#include "bench/support.h"

namespace bench {

inline void reportStartup(QWidget* painted) {
    auto* watch = new PaintWatch(painted);
    watch->onPainted([](const QRegion&) { return true; },
                     [] {
                         std::printf("first-frame-ns=%lld\n", static_cast<long long>(nowNs()));
                         std::fflush(stdout);
                         QTimer::singleShot(1000, [] {
                             std::printf("peak-rss-kib=%ld\n", peakRssKiB());
                             std::fflush(stdout);
                             QCoreApplication::exit(0);
                         });
                     });
}

}  // namespace bench
