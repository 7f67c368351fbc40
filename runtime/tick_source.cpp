#include "runtime/tick_source.h"

#include <sys/timerfd.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <QTimer>
#include <cerrno>
#include <cstdint>

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

}  // namespace rt
