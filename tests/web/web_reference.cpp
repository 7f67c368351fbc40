// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT

// Writes the desktop tests' reference pictures for the browser test to compare against, so that
// there is one reference, not a second copy of it:
//   web_reference DIR  ->  DIR/scene.ppm, the start scene at zoom 1 drawn from the layout's
//                          numbers and the written-out pictures, labels left white;
//                          DIR/Hlth.ppm, Scr.ppm, Balloons.ppm, each label with its start
//                          caption as the desktop draws it in the serif face;
//                          DIR/balloon.ppm, the balloon's picture.
#include <QGuiApplication>
#include <cstdio>

#include "support/reference_scene.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT-DIR\n", argv[0]);
        return 2;
    }
    QGuiApplication app(argc, argv);
    const QString dir = QString::fromLocal8Bit(argv[1]);
    bool ok = reference::scene().save(dir + "/scene.ppm", "PPM") &&
              reference::mapImage(reference::kBalloon).save(dir + "/balloon.ppm", "PPM");
    const QString captions[] = {"Health: 5", "Score: 0", "Balloons Left: 100"};
    for (int i = 0; i < 3; ++i) {
        const reference::LabelSpot& l = reference::kLabels[i];
        ok = reference::labelImage(l, captions[i]).save(dir + "/" + l.name + ".ppm", "PPM") && ok;
    }
    if (!ok) {
        std::fprintf(stderr, "could not write the pictures to %s\n", argv[1]);
        return 1;
    }
    return 0;
}
