// The form's client area: the one widget that draws the controls.
#pragma once

#include <QRegion>
#include <QTimer>
#include <QWidget>

namespace rt {

class Form;

class Canvas : public QWidget {
  public:
    Canvas(const Form& form, QWidget* parent);

    // A property write changed these pixels. `fastestTimerMs` is the shortest interval of a
    // running timer of the form (0: none runs), which decides how soon they are painted.
    void changed(const QRect& rect, int fastestTimerMs);

  protected:
    void paintEvent(QPaintEvent* e) override;
    // Keys go on to the window, which hands them to the host.
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;

  private:
    void endFrame();

    const Form& form_;
    int frameMs_ = 17;
    QTimer frame_;
    QRegion pending_;
};

}  // namespace rt
