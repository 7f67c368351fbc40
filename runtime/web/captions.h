// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT

// The labels' captions as text in the page, in a polite live region, for a player who uses a
// screen reader or a magnifier: the scene itself is only pixels. Each label is one line of the
// region, so only the caption that changed is read out.
#pragma once

#include <string>
#include <vector>

namespace rt {

class Form;
class Label;

class Captions {
  public:
    // The form's labels are new; the page shows their captions in reading order, top to
    // bottom, left to right, from the next update on.
    void loaded(const Form& form);
    // A caption may have changed: the page follows. Once the form is shown, so that the
    // captions its Form_Load replaces are never read out.
    void update();
    // The labels are about to go.
    void forget() { labels_.clear(); }

  private:
    std::vector<const Label*> labels_;
    std::vector<std::string> shown_;
};

}  // namespace rt
