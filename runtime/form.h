// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT

// A window built from a design-time layout, with its event handlers.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/controls.h"
#include "runtime/design.h"
#include "runtime/library.h"

namespace rt {

class Host;

class Form {
  public:
    explicit Form(const FormDesign& design);
    virtual ~Form();
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    // Creates every control from the layout and runs Form_Load; does nothing if loaded. A
    // handler bound to a name that is no control's event is a runtime error here, before
    // anything is made.
    void Load();
    // Destroys every control, run-time array elements included. The form object and its
    // fields stay as they are.
    void Unload();
    // Loads if needed, then displays the window.
    void Show();

    bool loaded() const { return loaded_; }
    bool shown() const { return shown_; }
    const FormDesign& design() const { return design_; }
    const std::string& Caption() const { return design_.caption; }
    // The host the form runs in, from the moment it is started there.
    Host& host() const;

    // For the hosts. The stacking order runs from front to back.
    const std::vector<Visual*>& stacking() const { return stacking_; }
    const std::vector<Timer*>& timers() const { return timers_; }
    const std::vector<MenuItem*>& menus() const { return menus_; }
    Control* find(std::string_view name) const;

    // Event delivery. Each runs the handler to its end; a runtime error or End inside it
    // halts the program through the host. Events for an unloaded form are dropped.
    void dispatchKeyUp(int keyCode, int shift);
    void dispatchTimer(Timer& timer);
    void dispatchMenu(MenuItem& item);
    void dispatchTimer(std::string_view timerName);
    void dispatchMenu(std::string_view menuName);

    // Runs fn as the named handler: the one place where errors become the program's report.
    void guarded(std::string_view handlerName, const std::function<void()>& fn);

    // Runtime side: a property write asks for these pixels to be painted again.
    void invalidate(const PixelRect& rect);
    // Runtime side: a timer's Enabled or Interval changed.
    void timerChanged(Timer& timer);
    // Runtime side: a control array has loaded a new element in front of `inFrontOf`.
    Image& addElement(const Image& model, int index, const Visual* inFrontOf);

  protected:
    virtual void Form_Load() {}
    virtual void Form_KeyUp(Integer KeyCode, Integer Shift) {
        (void)KeyCode;
        (void)Shift;
    }
    // Binds "Control_Event" names (e.g. "Dropper_Timer", "mnuExit_Click") to handlers.
    void on(std::string handlerName, std::function<void()> handler);

    // Named control access for the handlers; a missing control is a runtime error.
    Image& image(std::string_view name) const;
    Label& label(std::string_view name) const;
    Timer& timer(std::string_view name) const;
    ImageArray& imageArray(std::string_view name) const;

  private:
    friend class Host;  // binds the form to itself when it starts it
    void checkHandlerNames() const;
    void runHandler(const std::string& name);
    template <typename T>
    T& named(std::string_view name) const;

    const FormDesign& design_;
    Host* host_ = nullptr;
    bool loaded_ = false;
    bool shown_ = false;
    std::vector<std::unique_ptr<Control>> owned_;
    std::map<std::string, Control*, std::less<>> named_;
    std::map<std::string, std::unique_ptr<ImageArray>, std::less<>> arrays_;
    std::vector<Visual*> stacking_;
    std::vector<Timer*> timers_;
    std::vector<MenuItem*> menus_;
    std::map<std::string, std::function<void()>, std::less<>> handlers_;
};

}  // namespace rt
