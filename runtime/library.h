// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT

// The runtime's functions that handlers call as plain functions. Each one acts for the form
// whose handler is running: that form's host shows the box, draws the number or ends the
// program, and that form's design holds the stored bitmaps. Two hosts in one process (a test
// beside a tool, say) never take each other's calls.
#pragma once

#include <string>

#include "runtime/basic.h"
#include "runtime/design.h"

namespace rt {

class Form;

// Marks `form` as the one whose handler is running, for as long as it lives; scopes nest, as a
// box's event loop may run another form's handler. The form opens one around every call into its
// handlers. A test or tool that calls the functions below outside any handler opens its own.
class HandlerScope {
  public:
    explicit HandlerScope(Form& form);
    ~HandlerScope();
    HandlerScope(const HandlerScope&) = delete;
    HandlerScope& operator=(const HandlerScope&) = delete;

    // The form whose handler runs now. With none running, a call is a fault of the program
    // itself, not of a handler: it says so and stops.
    static Form& form(const char* caller);

  private:
    Form* outer_;
};

// Shows a message box and returns the button chosen: 6 Yes, 7 No, 1 OK.
int MsgBox(const std::string& prompt, int buttons, const std::string& title);
// Stops the program at once: every form is unloaded and no further event runs.
[[noreturn]] void End();
// The next number of the random sequence, at least 0 and below 1.
Single Rnd();
// Seeds the random sequence from the clock.
void Randomize();
// A stored bitmap by number; format 0 asks for a bitmap.
PictureRef LoadResPicture(int id, int format);

}  // namespace rt
