// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT

// Draws the window's framed-box icon at the sizes a desktop asks the hicolor theme for, as
// DIR/NxN/apps/ID.png. Run by the build, so the installed icons are the game's own drawing.
#include <QDir>
#include <QImage>
#include <cstdio>

#include "playfield/sprites.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s OUTPUT-DIR ICON-NAME\n", argv[0]);
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    const QString name = QString::fromLocal8Bit(argv[2]);
    for (int size : {16, 32, 48, 64, 128}) {
        const rt::PictureRef icon = playfield::framedBoxIcon(size);
        const QImage img(reinterpret_cast<const uchar*>(icon->pixels.data()), icon->width,
                         icon->height, icon->width * 4, QImage::Format_RGB32);
        const QString dir = QStringLiteral("%1/%2x%2/apps").arg(out).arg(size);
        const QString file = dir + QLatin1Char('/') + name + QStringLiteral(".png");
        if (!QDir().mkpath(dir) || !img.save(file, "PNG")) {
            std::fprintf(stderr, "could not write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
