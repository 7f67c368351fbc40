// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT

// A game on the headless host, with shorthands for what a player does.
#pragma once

#include <memory>
#include <string>

#include "game/form1.h"
#include "runtime/headless/headless_host.h"

struct Game {
    rt::HeadlessHost host;
    Form1 form;

    Game() { host.start(form); }

    void space(int shift = 0) { host.keyUp(form, 32, shift); }
    void dropperTick() { host.tick(form, "Dropper"); }
    void walkerTick() { host.tick(form, "Walker"); }
    void dropperTicks(int n) {
        for (int i = 0; i < n; ++i) {
            dropperTick();
        }
    }
    void walkerTicks(int n) {
        for (int i = 0; i < n; ++i) {
            walkerTick();
        }
    }
    void click(const std::string& menu) { host.click(form, menu); }

    rt::Image& balloon(int i) { return form.WaterB()[i]; }
    int balloonsThrown() { return form.WaterB().Count().value() - 1; }
    int zorboLeft() { return static_cast<int>(form.Zorbo().Left()); }
    int quibLeft() { return static_cast<int>(form.Quib().Left()); }
    // Puts a walker where a test wants him, as the walk itself could have.
    void place(rt::Image& walker, rt::Single left) { walker.setLeft(left); }
};

inline bool samePicture(const rt::PictureRef& a, const rt::PictureRef& b) {
    return a && b && a->width == b->width && a->height == b->height && a->pixels == b->pixels;
}
