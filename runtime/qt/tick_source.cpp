// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT

#include "runtime/qt/tick_source.h"

#include <sys/timerfd.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <QTimer>
#include <cerrno>
#include <cstdint>

#include "runtime/controls.h"
#include "runtime/form.h"

namespace rt {

TickSource::TickSource(std::function<void()> onTick, QObject* parent)
    : QObject(parent), onTick_(std::move(onTick)) {
    fd_ = timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
    if (fd_ >= 0) {
        notifier_ = new QSocketNotifier(fd_, QSocketNotifier::Read, this);
        connect(notifier_, &QSocketNotifier::activated, this, [this] { expired(); });
    } else {
        fallback_ = new QTimer(this);
        fallback_->setTimerType(Qt::PreciseTimer);
        connect(fallback_, &QTimer::timeout, this, [this] { expired(); });
    }
}

TickSource::~TickSource() {
    if (fd_ >= 0) {
        delete notifier_;  // before the descriptor it watches is closed
        ::close(fd_);
    }
}

void TickSource::start(int ms) {
    interval_ = ms;
    active_ = ms > 0;
    if (fallback_ != nullptr) {
        if (active_) {
            fallback_->start(ms);
        } else {
            fallback_->stop();
        }
        return;
    }
    itimerspec period{};
    if (active_) {
        period.it_interval.tv_sec = ms / 1000;
        period.it_interval.tv_nsec = static_cast<long>(ms % 1000) * 1'000'000;
        period.it_value = period.it_interval;
    }
    // Setting the timer also forgets any expiry not yet read.
    timerfd_settime(fd_, 0, &period, nullptr);
}

void TickSource::stop() {
    start(0);
}

void TickSource::expired() {
    if (fd_ >= 0) {
        uint64_t expiries = 0;
        ssize_t n = 0;
        do {
            n = ::read(fd_, &expiries, sizeof expiries);
        } while (n < 0 && errno == EINTR);
        if (n != static_cast<ssize_t>(sizeof expiries)) {
            return;  // nothing due: the timer was set again after the descriptor woke the loop
        }
    }
    // Periods missed while the loop was busy make one tick, as with QTimer: a burst of
    // catch-up ticks would make the game jump.
    if (active_) {
        onTick_();
    }
}

TimerTicks::TimerTicks(std::function<void(Timer&)> dispatch, QObject* parent)
    : QObject(parent), dispatch_(std::move(dispatch)) {}

void TimerTicks::apply(Timer& t) {
    TickSource*& source = sources_[&t];
    if (source == nullptr) {
        Timer* timer = &t;
        source = new TickSource(
            [this, timer] {
                if (!frozen_ && sources_.count(timer) != 0) {
                    dispatch_(*timer);
                }
            },
            this);
    }
    if (!t.running() || frozen_) {
        source->stop();
    } else if (!source->isActive() || source->interval() != t.Interval()) {
        source->start(t.Interval());  // a new interval counts from now
    }
}

void TimerTicks::forget(const Form& form) {
    for (Timer* t : form.timers()) {
        auto it = sources_.find(t);
        if (it != sources_.end()) {
            it->second->stop();
            it->second->deleteLater();  // it may be the one whose tick is running now
            sources_.erase(it);
        }
    }
}

void TimerTicks::freeze() {
    frozen_ = true;
    for (auto& [t, source] : sources_) {
        source->stop();
    }
}

void TimerTicks::thaw() {
    frozen_ = false;
    for (auto& [t, source] : sources_) {
        apply(*t);
    }
}

}  // namespace rt
