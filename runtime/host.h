// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT

// What a form needs from the place it runs in: a real window system, or a test's virtual one.
// The handlers never see which.
#pragma once

#include <string>
#include <vector>

#include "runtime/basic.h"
#include "runtime/controls.h"

namespace rt {

class Form;

// A player hammering Space when a prompt opens (the death prompt opens in the middle of a
// counter-attack, while throws are refused) would answer it with the next press, before the
// summary has been read. For this long a new box takes no answer, on every host.
constexpr int kBoxArmingMs = 600;

// Thrown to unwind a handler once the program has been halted (End or a runtime error), so
// that no more of its code runs. Only the event dispatcher catches it.
struct Halt {};

class Host {
  public:
    Host();
    virtual ~Host();
    Host(const Host&) = delete;
    Host& operator=(const Host&) = delete;

    // Starts the program here: `startup` runs on this host from now on and is shown, which
    // loads it and runs its Form_Load.
    void start(Form& startup);

    // Form lifecycle, called by Form.
    virtual void formLoaded(Form& form) = 0;
    virtual void formShown(Form& form) = 0;
    virtual void formUnloaded(Form& form) = 0;
    virtual void invalidate(Form& form, const PixelRect& rect) = 0;
    virtual void timerChanged(Timer& timer) = 0;

    virtual int messageBox(const std::string& text, int buttons, const std::string& title) = 0;
    virtual Single nextRandom() = 0;
    virtual void randomize() = 0;

    // End: unload every form, deliver nothing more, exit with status 0.
    void end();
    // A runtime error inside `handler`: one report, nothing more delivered, a failing exit.
    void fail(const RuntimeError& error, const std::string& handler);

    bool halted() const { return halted_; }
    bool ended() const { return halted_ && exitStatus_ == 0; }
    int exitStatus() const { return exitStatus_; }
    const std::string& errorReport() const { return report_; }

    // The loaded forms, so that End can unload them all.
    void registerForm(Form* form);
    void unregisterForm(Form* form);

  protected:
    virtual void onEnded() = 0;
    virtual void onFailed(const std::string& report) = 0;

  private:
    void unloadAll();
    bool halted_ = false;
    int exitStatus_ = 0;
    std::string report_;
    std::vector<Form*> forms_;
};

}  // namespace rt
