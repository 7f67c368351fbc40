// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT

// The ticks of the timer controls in the page. Each timer keeps its period on the page's clock
// (performance.now()): a tick is due a whole number of periods after the timer started, however
// late the browser ran the one before, so lateness never adds up to drift. A page's thread is
// busier than the desktop's: a frame or a garbage collection can hold a 5 ms tick back by a period
// or two, and those ticks come at once, within the frame that shows them anyway. Periods missed
// for longer make one tick, as on the desktop: a burst of catch-up ticks would make the game jump.
// One browser timeout waits for whichever tick is due first.
#pragma once

#include <cstdint>
#include <functional>
#include <map>

namespace rt {

class Form;
class Timer;

class TickClock {
  public:
    explicit TickClock(std::function<void(Timer&)> dispatch);
    ~TickClock();
    TickClock(const TickClock&) = delete;
    TickClock& operator=(const TickClock&) = delete;

    // The timer's Enabled or Interval may have changed, or it is new.
    void apply(Timer& timer);
    // The form's timers are about to go.
    void forget(const Form& form);

    // While anything holds the clock no timer ticks; once nothing does, each running timer
    // starts on a fresh period, so the game goes on where it stood.
    enum Hold : unsigned { kBox = 1, kHidden = 2, kEnded = 4 };
    void hold(Hold why);
    void release(Hold why);

  private:
    struct Schedule {
        double due = 0;
        int interval = 0;
        uint64_t order = 0;  // ties tick in the order the timers were made
    };
    static void onTimeout(void* self);
    void fire();
    void schedule();
    Timer* next() const;

    std::function<void(Timer&)> dispatch_;
    std::map<Timer*, Schedule> timers_;
    uint64_t nextOrder_ = 0;
    unsigned held_ = 0;
    long timeout_ = 0;
    double timeoutDue_ = 0;
};

}  // namespace rt
