// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT

#include "runtime/form.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "runtime/host.h"

namespace rt {

Form::Form(const FormDesign& design) : design_(design) {}

Host& Form::host() const {
    if (host_ == nullptr) {
        // A fault of the program, not of a handler: nobody is there to report it to.
        std::fprintf(stderr, "drenchwick: %s was used before any host started it\n",
                     design_.name.c_str());
        std::abort();
    }
    return *host_;
}

Form::~Form() {
    if (loaded_) {
        host().formUnloaded(*this);
        host().unregisterForm(this);
    }
}

void Form::on(std::string handlerName, std::function<void()> handler) {
    handlers_[std::move(handlerName)] = std::move(handler);
}

void Form::checkHandlerNames() const {
    for (const auto& [name, handler] : handlers_) {
        const size_t cut = name.rfind('_');
        const std::string_view control =
            cut == std::string::npos ? std::string_view() : std::string_view(name).substr(0, cut);
        const std::string_view event =
            cut == std::string::npos ? std::string_view() : std::string_view(name).substr(cut + 1);
        const bool known = std::any_of(
            design_.controls.begin(), design_.controls.end(), [&](const ControlDesign& d) {
                return d.name == control &&
                       ((d.kind == ControlKind::Timer && event == "Timer") ||
                        (d.kind == ControlKind::Menu && event == "Click"));
            });
        if (!known) {
            throw RuntimeError(kErrNoSuchEvent,
                               design_.name + " has no event for the handler " + name);
        }
    }
}

void Form::Load() {
    if (loaded_) {
        return;
    }
    checkHandlerNames();
    for (const ControlDesign& d : design_.controls) {
        std::unique_ptr<Control> c;
        switch (d.kind) {
            case ControlKind::Image:
                c = std::make_unique<Image>(*this, d);
                break;
            case ControlKind::Label:
                c = std::make_unique<Label>(*this, d);
                break;
            case ControlKind::Shape:
                c = std::make_unique<Shape>(*this, d);
                break;
            case ControlKind::Timer:
                c = std::make_unique<Timer>(*this, d);
                timers_.push_back(static_cast<Timer*>(c.get()));
                break;
            case ControlKind::Menu:
                c = std::make_unique<MenuItem>(*this, d);
                menus_.push_back(static_cast<MenuItem*>(c.get()));
                break;
        }
        if (auto* v = dynamic_cast<Visual*>(c.get())) {
            stacking_.push_back(v);
        }
        if (d.index >= 0) {
            auto& array = arrays_[d.name];
            if (!array) {
                array = std::make_unique<ImageArray>(*this, d.name);
            }
            array->adopt(d.index, static_cast<Image*>(c.get()));
        } else {
            named_[d.name] = c.get();
        }
        owned_.push_back(std::move(c));
    }
    loaded_ = true;
    host().registerForm(this);
    host().formLoaded(*this);
    const HandlerScope running(*this);
    Form_Load();
}

void Form::Unload() {
    if (!loaded_) {
        return;
    }
    // The host forgets the timers and the window first, so nothing can reach a control
    // that is being destroyed.
    host().formUnloaded(*this);
    host().unregisterForm(this);
    loaded_ = false;
    shown_ = false;
    stacking_.clear();
    timers_.clear();
    menus_.clear();
    named_.clear();
    arrays_.clear();
    owned_.clear();
}

void Form::Show() {
    Load();
    if (loaded_ && !shown_) {
        shown_ = true;
        host().formShown(*this);
    }
}

Control* Form::find(std::string_view name) const {
    auto it = named_.find(name);
    return it == named_.end() ? nullptr : it->second;
}

template <typename T>
T& Form::named(std::string_view name) const {
    if (!loaded_) {
        throw RuntimeError(kErrNotLoaded,
                           design_.name + " is not loaded (control " + std::string(name) + ")");
    }
    auto* c = dynamic_cast<T*>(find(name));
    if (c == nullptr) {
        throw RuntimeError(kErrBadIndex, "No control named " + std::string(name));
    }
    return *c;
}

Image& Form::image(std::string_view name) const {
    return named<Image>(name);
}
Label& Form::label(std::string_view name) const {
    return named<Label>(name);
}
Timer& Form::timer(std::string_view name) const {
    return named<Timer>(name);
}

ImageArray& Form::imageArray(std::string_view name) const {
    if (!loaded_) {
        throw RuntimeError(kErrNotLoaded, design_.name + " is not loaded (control array " +
                                              std::string(name) + ")");
    }
    auto it = arrays_.find(name);
    if (it == arrays_.end()) {
        throw RuntimeError(kErrBadIndex, "No control array named " + std::string(name));
    }
    return *it->second;
}

Image& Form::addElement(const Image& model, int index, const Visual* inFrontOf) {
    ControlDesign d;
    d.kind = ControlKind::Image;
    d.name = model.Name();
    d.index = index;
    d.width = static_cast<int>(model.Width());
    d.height = static_cast<int>(model.Height());
    d.visible = false;
    d.picture = model.Picture();
    d.stretch = model.Stretch();
    auto element = std::make_unique<Image>(*this, d);
    element->setLeft(model.Left());
    element->setTop(model.Top());
    Image& ref = *element;
    auto at = std::find(stacking_.begin(), stacking_.end(), inFrontOf);
    stacking_.insert(at, &ref);
    owned_.push_back(std::move(element));
    return ref;
}

void Form::invalidate(const PixelRect& rect) {
    if (shown_ && !rect.empty()) {
        host().invalidate(*this, rect);
    }
}

void Form::timerChanged(Timer& t) {
    if (loaded_) {
        host().timerChanged(t);
    }
}

void Form::runHandler(const std::string& name) {
    auto it = handlers_.find(name);
    if (it != handlers_.end()) {
        // Copy: a restart inside the handler must not pull the function out from under us.
        auto handler = it->second;
        handler();
    }
}

void Form::guarded(std::string_view handlerName, const std::function<void()>& fn) {
    Host& h = host();
    if (h.halted()) {
        return;
    }
    const HandlerScope running(*this);
    try {
        fn();
    } catch (const Halt&) {
        // The program was halted inside; the host has already said how.
    } catch (const RuntimeError& e) {
        h.fail(e, std::string(handlerName));
    } catch (const std::exception& e) {
        h.fail(RuntimeError(kErrInternal, std::string("Internal error: ") + e.what()),
               std::string(handlerName));
    }
}

void Form::dispatchKeyUp(int keyCode, int shift) {
    if (!loaded_) {
        return;
    }
    guarded("Form_KeyUp", [&] {
        // Key codes are 16 bits wide; the shift state is a small bit mask.
        Form_KeyUp(Integer(static_cast<int16_t>(keyCode & 0xFFFF)), Integer(shift & 7));
    });
}

void Form::dispatchTimer(Timer& t) {
    if (!loaded_ || !t.running()) {
        return;
    }
    const std::string name = t.Name() + "_Timer";
    guarded(name, [&] { runHandler(name); });
}

void Form::dispatchMenu(MenuItem& item) {
    if (!loaded_) {
        return;
    }
    const std::string name = item.Name() + "_Click";
    guarded(name, [&] { runHandler(name); });
}

void Form::dispatchTimer(std::string_view timerName) {
    if (auto* t = dynamic_cast<Timer*>(find(timerName))) {
        dispatchTimer(*t);
    }
}

void Form::dispatchMenu(std::string_view menuName) {
    if (auto* m = dynamic_cast<MenuItem*>(find(menuName))) {
        dispatchMenu(*m);
    }
}

}  // namespace rt
