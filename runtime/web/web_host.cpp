// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT

#include "runtime/web/web_host.h"

#include <emscripten/emscripten.h>
#include <emscripten/html5.h>

#include <chrono>

#include "runtime/codes.h"
#include "runtime/form.h"
#include "runtime/web/keyboard.h"
#include "runtime/web/page.h"
#include "runtime/web/scene_view.h"
#include "runtime/web/tick_clock.h"

namespace rt {

namespace {

// The page calls back into the one host it has.
WebHost* g_host = nullptr;

int onVisibility(int, const EmscriptenVisibilityChangeEvent* e, void*) {
    g_host->visibilityChanged(e->hidden != 0);
    return EM_FALSE;
}

int onBlur(int, const EmscriptenFocusEvent*, void*) {
    g_host->focusLost();
    return EM_FALSE;
}

}  // namespace

WebHost::WebHost() {
    g_host = this;
    ticks_ = std::make_unique<TickClock>([](Timer& t) { t.form().dispatchTimer(t); });
    keys_ = std::make_unique<Keyboard>(Keyboard::Events{
        [this](int keyCode, int shift) {
            if (accepting()) {
                form_->dispatchKeyUp(keyCode, shift);
                paintAtOnce();
            }
        },
        [this] { return openBoxes_ > 0; },
        [] { dw_toggle_full_screen(); },
    });
    emscripten_set_visibilitychange_callback(nullptr, EM_FALSE, &onVisibility);
    emscripten_set_blur_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_FALSE, &onBlur);
    randomize();
}

WebHost::~WebHost() {
    g_host = nullptr;
}

void WebHost::run(Form& startup) {
    dw_page_open(startup.Caption().c_str());
    form_ = &startup;
    view_ = std::make_unique<SceneView>(startup);
    EmscriptenVisibilityChangeEvent visibility{};
    if (emscripten_get_visibility_status(&visibility) == EMSCRIPTEN_RESULT_SUCCESS &&
        visibility.hidden) {
        ticks_->hold(TickClock::kHidden);  // opened in a tab behind the one in front
    }
    start(startup);
}

bool WebHost::accepting() const {
    return form_ != nullptr && form_->loaded() && openBoxes_ == 0 && !halted();
}

void WebHost::formLoaded(Form& form) {
    if (&form != form_) {
        return;
    }
    // The menu bar is rebuilt on every load: its items belong to the loaded controls.
    dw_menu_clear();
    for (size_t i = 0; i < form.menus().size(); ++i) {
        dw_menu_add(static_cast<int>(i), form.menus()[i]->Caption().c_str());
    }
    for (Timer* t : form.timers()) {
        ticks_->apply(*t);
    }
    captions_.loaded(form);
}

void WebHost::formShown(Form& form) {
    if (&form == form_) {
        if (view_) {
            view_->shown();
        }
        captions_.update();
    }
}

void WebHost::formUnloaded(Form& form) {
    captions_.forget();
    ticks_->forget(form);
    keys_->forget();
}

void WebHost::invalidate(Form& form, const PixelRect& rect) {
    if (&form == form_ && view_) {
        view_->changed(rect);
        if (form.shown()) {
            captions_.update();
        }
    }
}

void WebHost::timerChanged(Timer& t) {
    ticks_->apply(t);
}

int WebHost::messageBox(const std::string& text, int buttons, const std::string& title) {
    // The game stands still behind a box: no tick, and no key pressed before it counts after.
    if (openBoxes_++ == 0) {
        ticks_->hold(TickClock::kBox);
        keys_->forget();
    }
    const int answer = dw_box_show(text.c_str(), (buttons & kButtonSetMask) == kButtonsYesNo,
                                   title.c_str(), kBoxArmingMs);
    if (--openBoxes_ == 0 && !halted()) {
        ticks_->release(TickClock::kBox);
    }
    return answer;
}

Single WebHost::nextRandom() {
    return random_.next();
}

void WebHost::randomize() {
    // performance.now() starts near 0 in every page; the wall clock tells two loads apart.
    const auto wall = std::chrono::system_clock::now().time_since_epoch();
    random_.seed(
        static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::microseconds>(wall).count()) ^
        static_cast<uint64_t>(emscripten_get_now() * 1000.0));
}

void WebHost::menuChosen(int index) {
    if (accepting() && index >= 0 && static_cast<size_t>(index) < form_->menus().size()) {
        form_->dispatchMenu(*form_->menus()[static_cast<size_t>(index)]);
    }
}

void WebHost::tapped() {
    if (accepting()) {
        form_->dispatchKeyUp(kKeySpace, 0);
        paintAtOnce();
    }
}

void WebHost::paintAtOnce() {
    if (view_ && !halted()) {
        view_->flush();
    }
}

void WebHost::relayout() {
    if (view_ && form_ != nullptr && form_->shown()) {
        view_->relayout();
    }
}

void WebHost::visibilityChanged(bool hidden) {
    // A hidden page stands still, as behind a box, and goes on where it was when it shows again.
    if (hidden) {
        ticks_->hold(TickClock::kHidden);
        keys_->forget();
    } else {
        ticks_->release(TickClock::kHidden);
    }
}

void WebHost::focusLost() {
    keys_->forget();
}

void WebHost::shutDown(const std::string& report) {
    // Nothing more is delivered: no tick, key, tap or menu, and the page says the game is over.
    ticks_->hold(TickClock::kEnded);
    keys_->stop();
    emscripten_set_visibilitychange_callback(nullptr, EM_FALSE, nullptr);
    emscripten_set_blur_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_FALSE, nullptr);
    dw_page_ended(report.c_str());
}

void WebHost::onEnded() {
    shutDown("");
}

void WebHost::onFailed(const std::string& report) {
    shutDown(report);
}

}  // namespace rt

extern "C" {

EMSCRIPTEN_KEEPALIVE void dw_menu_chosen(int index) {
    if (rt::g_host != nullptr) {
        rt::g_host->menuChosen(index);
    }
}

EMSCRIPTEN_KEEPALIVE void dw_tapped() {
    if (rt::g_host != nullptr) {
        rt::g_host->tapped();
    }
}

EMSCRIPTEN_KEEPALIVE void dw_relayout() {
    if (rt::g_host != nullptr) {
        rt::g_host->relayout();
    }
}
}
