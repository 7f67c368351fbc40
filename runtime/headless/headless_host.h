// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT

// A host without a window system, for tests: time advances only when the test says so,
// random numbers and message-box answers come from a script, and everything shown is recorded.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "runtime/host.h"

namespace rt {

class HeadlessHost : public Host {
  public:
    struct Box {
        std::string text;
        int buttons;
        std::string title;
    };

    // Moves the virtual clock forward, firing every due timer tick in time order.
    void advance(int64_t ms);
    int64_t now() const { return now_; }
    // Delivers one tick of the named timer at once, whatever its schedule.
    void tick(Form& form, const std::string& timerName);
    void keyUp(Form& form, int keyCode, int shift = 0);
    void click(Form& form, const std::string& menuName);

    // Random numbers: the scripted ones first, then the fallback generator.
    void scriptRandom(std::initializer_list<Single> values);
    void scriptRandom(const std::vector<Single>& values);
    void setRandomFallback(std::function<Single()> next) { fallback_ = std::move(next); }
    size_t randomDrawn() const { return drawn_; }
    size_t scriptedLeft() const { return script_.size(); }
    int randomizeCalls() const { return randomizeCalls_; }

    // Message boxes: answered from the queue, else by the answerer.
    void answer(std::initializer_list<int> answers);
    void setAnswerer(std::function<int(const Box&)> answerer) { answerer_ = std::move(answerer); }
    const std::vector<Box>& boxes() const { return boxes_; }
    // The boxes shown since the last call, forgotten here (a long run keeps no history).
    std::vector<Box> takeBoxes() {
        std::vector<Box> out;
        out.swap(boxes_);
        return out;
    }
    int openBoxes() const { return openBoxes_; }
    int maxOpenBoxes() const { return maxOpenBoxes_; }

    // Painting requests since the last call.
    std::vector<PixelRect> takeInvalidated();

    // Host interface.
    void formLoaded(Form& form) override;
    void formShown(Form& form) override;
    void formUnloaded(Form& form) override;
    void invalidate(Form& form, const PixelRect& rect) override;
    void timerChanged(Timer& timer) override;
    int messageBox(const std::string& text, int buttons, const std::string& title) override;
    Single nextRandom() override;
    void randomize() override { ++randomizeCalls_; }

  protected:
    void onEnded() override {}
    void onFailed(const std::string&) override {}

  private:
    struct Schedule {
        int64_t due = 0;
        uint64_t order = 0;  // ties fire in the order the timers were made
    };
    std::map<Timer*, Schedule> timers_;
    uint64_t nextOrder_ = 0;
    int64_t now_ = 0;
    std::deque<Single> script_;
    std::function<Single()> fallback_;
    size_t drawn_ = 0;
    int randomizeCalls_ = 0;
    std::deque<int> answers_;
    std::function<int(const Box&)> answerer_;
    std::vector<Box> boxes_;
    int openBoxes_ = 0;
    int maxOpenBoxes_ = 0;
    std::vector<PixelRect> invalidated_;
};

}  // namespace rt
