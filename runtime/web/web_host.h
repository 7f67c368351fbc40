// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT

// The host that runs a form in a browser page. It only connects the pieces: the page with its
// menu bar, the scene's canvas and its captions as text, the keyboard and taps, the boxes and
// the timer ticks. A page has
// room for one window: the form started here.
#pragma once

#include <memory>

#include "runtime/host.h"
#include "runtime/random.h"
#include "runtime/web/captions.h"

namespace rt {

class Keyboard;
class SceneView;
class TickClock;

class WebHost : public Host {
  public:
    WebHost();
    ~WebHost() override;

    // Shows `startup` in the page and returns at once: from then on the page's events drive it.
    void run(Form& startup);

    // Host interface.
    void formLoaded(Form& form) override;
    void formShown(Form& form) override;
    void formUnloaded(Form& form) override;
    void invalidate(Form& form, const PixelRect& rect) override;
    void timerChanged(Timer& timer) override;
    int messageBox(const std::string& text, int buttons, const std::string& title) override;
    Single nextRandom() override;
    void randomize() override;

    // The page's events, from page.js and the html5 callbacks.
    void menuChosen(int index);
    void tapped();
    void relayout();
    void visibilityChanged(bool hidden);
    void focusLost();

  protected:
    void onEnded() override;
    void onFailed(const std::string& report) override;

  private:
    bool accepting() const;
    // What a player's input changed is painted at once.
    void paintAtOnce();
    void shutDown(const std::string& report);

    Form* form_ = nullptr;
    std::unique_ptr<SceneView> view_;
    std::unique_ptr<Keyboard> keys_;
    std::unique_ptr<TickClock> ticks_;
    Captions captions_;
    int openBoxes_ = 0;
    RandomSequence random_;
};

}  // namespace rt
