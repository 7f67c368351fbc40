// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT

// What the web host asks of the page itself, where emscripten's html5 API has nothing: the
// canvas's pixels and text, the menu bar, the boxes and the page that says the game has ended.
// Each is a function of page.js.
#pragma once

#include <cstdint>

extern "C" {

// The page's title, and the game's place in it ready to be used.
void dw_page_open(const char* title);
// One item of the menu bar, left to right; a click calls dw_menu_chosen(index).
void dw_menu_add(int index, const char* caption);
void dw_menu_clear();
// The room below the menu bar, in CSS pixels from the viewport's top left.
void dw_client_rect(double* left, double* top, double* width, double* height);
// The canvas holds `deviceWidth` × `deviceHeight` device pixels at `ratio` device pixels a CSS
// pixel, its top left on device pixel (`deviceX`, `deviceY`) of the viewport.
void dw_scene_place(int deviceX, int deviceY, int deviceWidth, int deviceHeight, double ratio);
// `rgba` holds w × h pixels, 4 bytes each in the order R, G, B, A, for device pixel (x, y) on.
void dw_scene_blit(const uint8_t* rgba, int x, int y, int w, int h);
// A label's caption in the site's serif, `pixels` high, its top at `top`, at `factor` device
// pixels a form pixel; `align` is 0 left, 1 right, 2 centred in the label's width. Nothing is
// drawn outside the clip, which is in device pixels.
void dw_scene_text(const char* text, int left, int top, int width, int pixels, int align,
                   uint32_t rgb, double factor, int clipX, int clipY, int clipW, int clipH);
// The caption of the `index`-th label in reading order, as text for a screen reader.
void dw_caption(int index, const char* text);
// Shows a modal box and resolves with the button chosen (1 OK, 6 Yes, 7 No); it takes no answer
// for its first `armingMs`. Sleeps through ASYNCIFY: the handler that asked waits for it.
int dw_box_show(const char* text, int yesNo, const char* title, int armingMs);
// The game has ended: the page says so, with `report` if it ended on an error.
void dw_page_ended(const char* report);
// Full screen, or back.
void dw_toggle_full_screen();

// Called by the page.
void dw_menu_chosen(int index);
void dw_tapped();
void dw_relayout();
}
