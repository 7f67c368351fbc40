// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT

// The baseline: the least a Qt program with the game's kind of window does, a main window with
// a three-item menu bar over a white client area of the same size, reporting as the game does.
#include <QApplication>
#include <QLayout>
#include <QMainWindow>
#include <QMenuBar>
#include <QPainter>

#include "bench/startup_probe.h"

namespace {

class White : public QWidget {
  public:
    White() {
        setFixedSize(426, 347);
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

  protected:
    void paintEvent(QPaintEvent* e) override { QPainter(this).fillRect(e->rect(), Qt::white); }
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Bare"));
    for (const char* caption : {"Exit", "Reset", "Help"}) {
        window.menuBar()->addAction(QString::fromLatin1(caption));
    }
    auto* client = new White;
    window.setCentralWidget(client);
    window.layout()->setSizeConstraint(QLayout::SetFixedSize);
    window.show();
    bench::reportStartup(client);
    QApplication::exec();
    return 0;
}
