// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT

#include "runtime/qt/form_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLayout>
#include <QMenuBar>
#include <QProxyStyle>

#include "runtime/form.h"
#include "runtime/qt/canvas.h"
#include "runtime/qt/conversions.h"

namespace rt {

namespace {

// The application's style, except that Alt does not put the keyboard on the menu bar. With
// that navigation on, a tap of Alt followed by Space chose "Exit" instead of throwing: the
// window must keep every key, and the menu is used with the mouse.
class GameStyle : public QProxyStyle {
  public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == QStyle::SH_MenuBar_AltKeyNavigation) {
            return 0;
        }
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

}  // namespace

void FormWindow::installStyle() {
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr &&
        dynamic_cast<GameStyle*>(QApplication::style()) == nullptr) {
        QApplication::setStyle(new GameStyle);
    }
}

FormWindow::FormWindow(Form& form, Events events) : form_(form), events_(std::move(events)) {
    const FormDesign& d = form.design();
    setWindowTitle(QString::fromStdString(d.caption));
    QIcon icon;
    for (const PictureRef& p : d.icons) {
        icon.addPixmap(QPixmap::fromImage(wrap(*p).copy()));
    }
    setWindowIcon(icon);
    canvas_ = new Canvas(form, this);
    setCentralWidget(canvas_);
    setFocusProxy(canvas_);
    // The window opens at exactly the layout's size, and fixed: a tiling window manager or
    // compositor floats a window of fixed size rather than stretching it over the screen, and
    // decides so when the window first shows. Once it has, the player may make it bigger.
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    canvas_->setOnFirstPaint([this] {
        layout()->setSizeConstraint(QLayout::SetMinimumSize);
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    });
}

void FormWindow::buildMenus() {
    // clear() only takes the items off the bar; they stay the bar's children, three more with
    // every restart. They go once the click that may be running in one has returned.
    const QList<QAction*> old = menuBar()->actions();
    menuBar()->clear();
    for (QAction* a : old) {
        a->deleteLater();
    }
    for (MenuItem* m : form_.menus()) {
        QAction* a = menuBar()->addAction(QString::fromStdString(m->Caption()));
        const std::string name = m->Name();
        Form* form = &form_;
        connect(a, &QAction::triggered, this, [form, name] { form->dispatchMenu(name); });
    }
}

void FormWindow::closeFromProgram() {
    closingFromProgram_ = true;
    close();
}

void FormWindow::keyPressEvent(QKeyEvent* e) {
    // Full screen, as in most programs; the game itself ignores both keys.
    if (!e->isAutoRepeat()) {
        if (e->key() == Qt::Key_F11) {
            setWindowState(windowState() ^ Qt::WindowFullScreen);
        } else if (e->key() == Qt::Key_Escape) {
            setWindowState(windowState() & ~Qt::WindowFullScreen);
        }
    }
    events_.keyPressed(*e);
}

void FormWindow::keyReleaseEvent(QKeyEvent* e) {
    events_.keyReleased(*e);
}

void FormWindow::changeEvent(QEvent* e) {
    if (e->type() == QEvent::ActivationChange && !isActiveWindow()) {
        events_.keyboardLost();
    }
    QMainWindow::changeEvent(e);
}

void FormWindow::closeEvent(QCloseEvent* e) {
    e->accept();
    if (!closingFromProgram_) {
        events_.closedByUser();
    }
}

}  // namespace rt
