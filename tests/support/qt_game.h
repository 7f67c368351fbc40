// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT

// A game in a real Qt window (on the offscreen platform in the qt tests), with what those tests
// look at and count.
#pragma once

#include <QAbstractButton>
#include <QAction>
#include <QImage>
#include <QMainWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QPaintEvent>
#include <QWidget>

#include "game/form1.h"
#include "runtime/qt/qt_host.h"

template <class F = Form1>
struct QtGame {
    rt::QtHost host;
    F form;

    QtGame() { host.start(form); }

    QMainWindow* window() const { return host.windowOf(form); }
    QWidget* canvas() const { return host.canvasOf(form); }
    // What the canvas shows now, one image pixel a device pixel.
    QImage grab() const {
        QImage img = canvas()->grab().toImage().convertToFormat(QImage::Format_RGB32);
        img.setDevicePixelRatio(1);
        return img;
    }
    // The menu bar's item with that caption, as the user would choose it.
    QAction* menu(const QString& caption) const {
        for (QAction* a : window()->menuBar()->actions()) {
            if (a->text() == caption) {
                return a;
            }
        }
        return nullptr;
    }
};

// Answers a box the moment it opens. A new box takes no answer for a moment (a mashed key must
// not answer it); a test of what an answer does, not of a player's pace, enables the button
// first.
inline void answerAtOnce(QMessageBox& box, QMessageBox::StandardButton which) {
    if (QAbstractButton* b = box.button(which)) {
        b->setEnabled(true);
        b->click();
    }
}

// The regions of every paint event a widget receives.
struct PaintLog : QObject {
    explicit PaintLog(QWidget* w) { w->installEventFilter(this); }
    QList<QRegion> regions;
    bool eventFilter(QObject* o, QEvent* e) override {
        if (e->type() == QEvent::Paint) {
            regions << static_cast<QPaintEvent*>(e)->region();
        }
        return QObject::eventFilter(o, e);
    }
};

// A main for a test whose every window runs at a device pixel ratio of `ratio`: the scale is set
// before the application exists, which decides the ratio of every window.
#define RATIO_TEST_MAIN(TestClass, ratio)                         \
    int main(int argc, char** argv) {                             \
        qputenv("QT_SCALE_FACTOR", QByteArray::number(ratio));    \
        QApplication app(argc, argv);                             \
        TestClass test;                                           \
        return QTest::qExec(&test, argc, argv);                   \
    }

// Form1 with a count of the ticks that reach its handlers.
struct CountingForm1 : Form1 {
    CountingForm1() {
        on("Walker_Timer", [this] {
            ++walkerTicks;
            Walker_Timer();
        });
        on("Dropper_Timer", [this] {
            ++dropperTicks;
            Dropper_Timer();
        });
    }
    int walkerTicks = 0;
    int dropperTicks = 0;
};
