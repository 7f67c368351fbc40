// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT

// The scene at a device pixel ratio of 1.5, as a laptop at 150 % shows it: every picture pixel
// gives its rows and columns the same share of ink, whichever column or row it falls on, and a
// repaint of part of the window leaves nothing stale.
#include <QApplication>
#include <QtTest>

#include "support/qt_game.h"

namespace {

constexpr qreal kRatio = 1.5;

QImage grabWindow(QWidget* w) {
    QImage img = w->grab().toImage().convertToFormat(QImage::Format_RGB32);
    img.setDevicePixelRatio(1);  // read in device pixels
    return img;
}

// The ink of a black line on the building's green, across it: 1 for each device pixel it
// covers in full. `along` is the device row (or column) to read on, `from` where to start.
double inkAcross(const QImage& shot, bool vertical, int along, int from) {
    double ink = 0;
    for (int i = from; i < from + 8; ++i) {
        const QRgb c = vertical ? shot.pixel(i, along) : shot.pixel(along, i);
        ink += (255 - qGreen(c)) / 255.0;
    }
    return ink;
}

}  // namespace

class SharpScaleTest : public QObject {
    Q_OBJECT
  private slots:
    void init() {
        game_ = std::make_unique<QtGame<>>();
        game_->form.Walker().setEnabled(false);
        QTest::qWait(50);
    }
    void cleanup() { game_.reset(); }

    void everyOutlineOfTheBuildingsWindowsIsEquallyThick() {
        // Drawn straight at 1.5, a one-pixel line covers one device pixel or two by turns; with
        // the menu bar putting the canvas at y 28.5, all horizontal ones came out 1 and all
        // vertical ones 2.
        QCOMPARE(game_->canvas()->devicePixelRatio(), kRatio);
        const QImage shot = grabWindow(game_->window());
        const QPointF origin = QPointF(game_->canvas()->mapTo(game_->window(), QPoint(0, 0))) * kRatio;
        const auto device = [&](double formX, double formY) {
            return QPoint(static_cast<int>(origin.x() + formX * kRatio),
                          static_cast<int>(origin.y() + formY * kRatio));
        };
        for (int top : {72, 136, 200, 264}) {
            for (int left : {8, 56, 104}) {
                for (int edge : {left, left + 32}) {  // the window's left and right columns
                    const QPoint at = device(edge, top + 20.5);
                    QVERIFY2(std::abs(inkAcross(shot, true, at.y(), at.x() - 3) - kRatio) < 0.1,
                             qPrintable(QStringLiteral("column %1 at row %2").arg(edge).arg(top)));
                }
                for (int edge : {top, top + 40}) {  // its top and bottom rows
                    const QPoint at = device(left + 16.5, edge);
                    QVERIFY2(std::abs(inkAcross(shot, false, at.x(), at.y() - 3) - kRatio) < 0.1,
                             qPrintable(QStringLiteral("row %1 at column %2").arg(edge).arg(left)));
                }
            }
        }
    }

    void aPartialRepaintLeavesTheWindowAsAWholeRepaintWould() {
        // What the window system holds, then only what the canvas asks to repaint painted over
        // it, as its backing store would be.
        QWidget* window = game_->window();
        QWidget* canvas = game_->canvas();
        QPixmap screen = window->grab();
        PaintLog log(canvas);
        for (int step = 0; step < 4; ++step) {
            log.regions.clear();
            game_->form.Quib().setLeft(game_->form.Quib().Left() - 15);
            game_->form.Zorbo().setTop(game_->form.Zorbo().Top() - 2.5F);
            QTRY_VERIFY(!log.regions.isEmpty());
            for (const QRegion& r : log.regions) {
                const QRegion inWindow = r.translated(canvas->mapTo(window, QPoint(0, 0)));
                window->render(&screen, inWindow.boundingRect().topLeft(), inWindow);
            }
        }
        QImage patched = screen.toImage().convertToFormat(QImage::Format_RGB32);
        patched.setDevicePixelRatio(1);
        QCOMPARE(patched, grabWindow(window));
    }

  private:
    std::unique_ptr<QtGame<>> game_;
};

RATIO_TEST_MAIN(SharpScaleTest, kRatio)

#include "test_sharp_scale.moc"
