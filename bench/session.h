// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT

// The game as every measurement runs it: on the real Qt host, in this process, with its Walker
// ticks timestamped and its paints watched; and the `key=value` lines the driver reads back.
#pragma once

#include <QMainWindow>
#include <cstdio>
#include <functional>
#include <vector>

#include "bench/support.h"
#include "game/form1.h"
#include "runtime/qt/qt_host.h"

namespace bench {

inline void put(const char* key, double value) {
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
    // Makes the window big enough for the scene at `zoom` (once it has been shown: it opens
    // fixed).
    void zoomTo(int zoom) {
        QWidget* w = host.windowOf(form);
        const QSize client(form.design().clientWidth * zoom, form.design().clientHeight * zoom);
        w->resize(client + QSize(0, w->height() - canvas()->height()));
    }
};

constexpr int kSettleMs = 500;

}  // namespace bench
