// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT

#include "runtime/headless/headless_host.h"

#include <stdexcept>

#include "runtime/form.h"

namespace rt {

void HeadlessHost::formLoaded(Form& form) {
    for (Timer* t : form.timers()) {
        timerChanged(*t);
    }
}

void HeadlessHost::formShown(Form&) {}

void HeadlessHost::formUnloaded(Form& form) {
    for (Timer* t : form.timers()) {
        timers_.erase(t);
    }
}

void HeadlessHost::invalidate(Form&, const PixelRect& rect) {
    invalidated_.push_back(rect);
}

std::vector<PixelRect> HeadlessHost::takeInvalidated() {
    std::vector<PixelRect> out;
    out.swap(invalidated_);
    return out;
}

void HeadlessHost::timerChanged(Timer& t) {
    if (!t.running()) {
        timers_.erase(&t);
        return;
    }
    // Switched on, or a new interval: the next tick is one interval from now.
    auto [it, inserted] = timers_.try_emplace(&t);
    if (inserted) {
        it->second.order = nextOrder_++;
    }
    it->second.due = now_ + t.Interval();
}

void HeadlessHost::advance(int64_t ms) {
    const int64_t target = now_ + ms;
    while (!halted()) {
        Timer* next = nullptr;
        Schedule best;
        for (auto& [t, s] : timers_) {
            if (s.due <= target && (next == nullptr || s.due < best.due ||
                                    (s.due == best.due && s.order < best.order))) {
                next = t;
                best = s;
            }
        }
        if (next == nullptr) {
            break;
        }
        now_ = best.due;
        timers_[next].due = now_ + next->Interval();
        next->form().dispatchTimer(*next);
    }
    if (!halted()) {
        now_ = target;
    }
}

void HeadlessHost::tick(Form& form, const std::string& timerName) {
    form.dispatchTimer(timerName);
}

void HeadlessHost::keyUp(Form& form, int keyCode, int shift) {
    if (!halted()) {
        form.dispatchKeyUp(keyCode, shift);
    }
}

void HeadlessHost::click(Form& form, const std::string& menuName) {
    if (!halted()) {
        form.dispatchMenu(menuName);
    }
}

void HeadlessHost::scriptRandom(std::initializer_list<Single> values) {
    script_.insert(script_.end(), values.begin(), values.end());
}

void HeadlessHost::scriptRandom(const std::vector<Single>& values) {
    script_.insert(script_.end(), values.begin(), values.end());
}

Single HeadlessHost::nextRandom() {
    ++drawn_;
    if (!script_.empty()) {
        const Single v = script_.front();
        script_.pop_front();
        return v;
    }
    if (fallback_) {
        return fallback_();
    }
    // Walking with no script: everybody stands still, which no test mistakes for a step.
    return 0.0F;
}

void HeadlessHost::answer(std::initializer_list<int> answers) {
    answers_.insert(answers_.end(), answers.begin(), answers.end());
}

int HeadlessHost::messageBox(const std::string& text, int buttons, const std::string& title) {
    boxes_.push_back(Box{text, buttons, title});
    ++openBoxes_;
    maxOpenBoxes_ = std::max(maxOpenBoxes_, openBoxes_);
    int reply = 0;
    if (!answers_.empty()) {
        reply = answers_.front();
        answers_.pop_front();
    } else if (answerer_) {
        reply = answerer_(boxes_.back());
    } else {
        reply = (buttons & kButtonSetMask) == kButtonsYesNo ? kAnswerNo : kAnswerOk;  // unanswered
    }
    --openBoxes_;
    return reply;
}

}  // namespace rt
