// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT

#include "runtime/web/tick_clock.h"

#include <emscripten/emscripten.h>
#include <emscripten/eventloop.h>

#include <cmath>

#include "runtime/controls.h"
#include "runtime/form.h"

namespace rt {

namespace {
// A browser may run a timeout a little before the moment asked for; waiting again for so
// little would cost a whole clamped timeout (4 ms) instead.
constexpr double kEarlyMs = 0.25;
// Ticks held back no longer than this come late; longer, and they are dropped.
constexpr double kCatchUpMs = 20;
}  // namespace

TickClock::TickClock(std::function<void(Timer&)> dispatch) : dispatch_(std::move(dispatch)) {}

TickClock::~TickClock() {
    if (timeout_ != 0) {
        emscripten_clear_timeout(timeout_);
    }
}

void TickClock::apply(Timer& t) {
    if (!t.running()) {
        timers_.erase(&t);
    } else {
        auto [it, added] = timers_.try_emplace(&t);
        if (added) {
            it->second.order = nextOrder_++;
        }
        // A new interval counts from now; a running timer enabled again keeps its period.
        if (added || it->second.interval != t.Interval()) {
            it->second.interval = t.Interval();
            it->second.due = emscripten_get_now() + t.Interval();
        }
    }
    schedule();
}

void TickClock::forget(const Form& form) {
    for (Timer* t : form.timers()) {
        timers_.erase(t);
    }
    schedule();
}

void TickClock::hold(Hold why) {
    held_ |= why;
    schedule();
}

void TickClock::release(Hold why) {
    const bool wasHeld = held_ != 0;
    held_ &= ~static_cast<unsigned>(why);
    if (wasHeld && held_ == 0) {
        const double now = emscripten_get_now();
        for (auto& [t, s] : timers_) {
            s.due = now + s.interval;
        }
    }
    schedule();
}

Timer* TickClock::next() const {
    Timer* best = nullptr;
    const Schedule* bs = nullptr;
    for (const auto& [t, s] : timers_) {
        if (bs == nullptr || s.due < bs->due || (s.due == bs->due && s.order < bs->order)) {
            best = t;
            bs = &s;
        }
    }
    return best;
}

void TickClock::schedule() {
    Timer* t = held_ == 0 ? next() : nullptr;
    if (t == nullptr) {
        if (timeout_ != 0) {
            emscripten_clear_timeout(timeout_);
            timeout_ = 0;
        }
        return;
    }
    const double due = timers_.at(t).due;
    if (timeout_ != 0 && timeoutDue_ == due) {
        return;
    }
    if (timeout_ != 0) {
        emscripten_clear_timeout(timeout_);
    }
    timeoutDue_ = due;
    timeout_ = emscripten_set_timeout(&TickClock::onTimeout,
                                      std::max(0.0, due - emscripten_get_now()), this);
}

void TickClock::onTimeout(void* self) {
    auto& clock = *static_cast<TickClock*>(self);
    clock.timeout_ = 0;
    clock.fire();
}

void TickClock::fire() {
    for (;;) {
        Timer* t = held_ == 0 ? next() : nullptr;
        if (t == nullptr) {
            break;
        }
        Schedule& s = timers_.at(t);
        const double now = emscripten_get_now();
        if (s.due > now + kEarlyMs) {
            break;
        }
        // The next tick is due one period on, or, after a long hold-up, on the first whole
        // period still ahead.
        const double missed = now - s.due > kCatchUpMs ? std::floor((now - s.due) / s.interval) : 0;
        s.due += s.interval * (missed + 1);
        // The handler may change any timer, unload the form or open a box: nothing here is
        // kept across it.
        dispatch_(*t);
    }
    schedule();
}

}  // namespace rt
