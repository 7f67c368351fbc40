// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT

// The ticks of the timer controls on the Qt host.
#pragma once

#include <QObject>
#include <functional>
#include <map>

class QSocketNotifier;
class QTimer;

namespace rt {

// QTimer wakes the event loop on whole milliseconds only (Qt rounds every wait up), so each of
// its ticks comes up to 1 ms late: a fifth of the counter-attack's 5 ms period, with the
// intervals swinging between 4 and 6 ms. A timerfd has the kernel keep the period, and the
// event loop wakes as soon as the descriptor is due. Where no timerfd can be had, a QTimer
// stands in.
class Form;
class Timer;

class TickSource : public QObject {
  public:
    explicit TickSource(std::function<void()> onTick, QObject* parent = nullptr);
    ~TickSource() override;
    TickSource(const TickSource&) = delete;
    TickSource& operator=(const TickSource&) = delete;

    // Ticks every `ms` milliseconds from now; a running source starts its period afresh.
    void start(int ms);
    void stop();
    bool isActive() const { return active_; }
    int interval() const { return interval_; }
    bool precise() const { return fd_ >= 0; }

  private:
    void expired();

    std::function<void()> onTick_;
    int fd_ = -1;
    QSocketNotifier* notifier_ = nullptr;
    QTimer* fallback_ = nullptr;
    int interval_ = 0;
    bool active_ = false;
};

// One source for each timer control of the loaded forms, following its Enabled and Interval.
class TimerTicks : public QObject {
  public:
    explicit TimerTicks(std::function<void(Timer&)> dispatch, QObject* parent = nullptr);

    // The timer's Enabled or Interval may have changed, or it is new.
    void apply(Timer& timer);
    // The form's timers are about to go.
    void forget(const Form& form);
    // While frozen no timer ticks; thawing starts each running one on a fresh period.
    void freeze();
    void thaw();

  private:
    std::function<void(Timer&)> dispatch_;
    std::map<Timer*, TickSource*> sources_;
    bool frozen_ = false;
};

}  // namespace rt
