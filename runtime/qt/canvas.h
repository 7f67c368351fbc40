// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT

// The form's client area: the one widget that draws the controls. The scene is drawn at the
// largest whole-number zoom that fits, anchored at the top left, with the window's colour
// beyond it; nothing about the form changes with the zoom.
#pragma once

#include <QRegion>
#include <QTimer>
#include <QWidget>
#include <functional>

namespace rt {

class Form;

class Canvas : public QWidget {
  public:
    Canvas(const Form& form, QWidget* parent);

    // Window pixels of the form for each pixel of the layout.
    int zoom() const;
    // A property write changed these pixels of the form. `fastestTimerMs` is the shortest
    // interval of a running timer of the form (0: none runs), which decides how soon they are
    // painted.
    void changed(const QRect& formRect, int fastestTimerMs);
    // Called once, after the first paint has gone to the window system.
    void setOnFirstPaint(std::function<void()> call) { onFirstPaint_ = std::move(call); }

    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* e) override;
    // Keys go on to the window, which hands them to the host.
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;

  private:
    // The labels that reach into `formRect`, in pixels of the form; the rest is rasterScene's.
    void paintLabels(QPainter& p, const QRect& formRect) const;
    // At a fractional device pixel ratio: see runtime/sharp_scaling.h.
    void paintSharp(QPainter& p, const QRect& formRect, int zoom) const;
    QRect toForm(const QRect& widgetRect, int zoom) const;
    QRect toWidget(const QRect& formRect) const;
    void endFrame();

    const Form& form_;
    QSize design_;
    int frameMs_ = 17;
    QTimer frame_;
    QRegion pending_;  // in pixels of the form
    std::function<void()> onFirstPaint_;
};

}  // namespace rt
