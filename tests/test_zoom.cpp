// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT

// A window made bigger: the scene at the largest whole-number zoom that fits, anchored at the
// top left with white beyond, every picture pixel a solid block, text drawn at the finer size,
// and nothing of the game changed by it.
#include <QApplication>
#include <QtTest>

#include "support/qt_game.h"
#include "support/reference_scene.h"

namespace {

// The client area asked for, whatever the menu bar takes above it.
void resizeClient(QtGame<>& g, QSize client) {
    QMainWindow* w = g.window();
    w->resize(client + QSize(0, w->height() - g.canvas()->height()));
    QTRY_COMPARE(g.canvas()->size(), client);
}

// Pixels of the canvas beyond the zoomed scene that are not white.
int notWhiteBeyond(const QImage& shot, QSize scene) {
    int n = 0;
    for (int y = 0; y < shot.height(); ++y) {
        for (int x = 0; x < shot.width(); ++x) {
            n += (x >= scene.width() || y >= scene.height()) && shot.pixel(x, y) != qRgb(255, 255, 255);
        }
    }
    return n;
}

}  // namespace

class ZoomTest : public QObject {
    Q_OBJECT
  private slots:
    void init() {
        game_ = std::make_unique<QtGame<>>();
        game_->form.Walker().setEnabled(false);  // the walkers stay where the reference has them
        QTest::qWait(50);                        // the window may grow once it has been shown
    }
    void cleanup() { game_.reset(); }

    void eachZoomShowsTheSceneScaledAtTheTopLeft_data() {
        QTest::addColumn<QSize>("client");
        QTest::addColumn<int>("zoom");
        QTest::newRow("a little bigger: zoom 1") << QSize(700, 600) << 1;
        QTest::newRow("maximised on a large screen: zoom 3") << QSize(1300, 1100) << 3;
    }
    void eachZoomShowsTheSceneScaledAtTheTopLeft() {
        QFETCH(QSize, client);
        QFETCH(int, zoom);
        resizeClient(*game_, client);
        const QImage shot = game_->grab();
        const QImage want = reference::scaled(reference::scene(), zoom);
        QCOMPARE(reference::differencesOutsideLabels(shot.copy(want.rect()), want, zoom), 0);
        QCOMPARE(notWhiteBeyond(shot, want.size()), 0);
        const char* const captions[] = {"Health: 5", "Score: 0", "Balloons Left: 100"};
        for (int i = 0; i < 3; ++i) {
            const reference::LabelSpot& l = reference::kLabels[i];
            QCOMPARE(shot.copy(QRect(l.rect.topLeft() * zoom, l.rect.size() * zoom)),
                     reference::labelImage(l, QString::fromLatin1(captions[i]), zoom));
        }
        // The game itself is where it was: a throw lands as at zoom 1.
        game_->form.dispatchKeyUp(32, 0);
        QCOMPARE(game_->form.WaterB()[1].Left(), 145.0F);
    }

    void aThrowRepaintsOnlyItsBalloonScaled() {
        resizeClient(*game_, QSize(1300, 1100));
        PaintLog log(game_->canvas());
        QTest::qWait(50);  // the repaint of the whole window that the resize asked for
        log.regions.clear();
        game_->form.dispatchKeyUp(32, 0);
        QTRY_VERIFY(!log.regions.isEmpty());
        const rt::PixelRect b = game_->form.WaterB()[1].pixelRect();
        QRegion painted;
        for (const QRegion& r : log.regions) {
            painted += r;
        }
        QVERIFY(painted.contains(QRect(b.x * 3, b.y * 3, b.w * 3, b.h * 3)));
        // The balloon and the caption that counts it off, not the window.
        QVERIFY2(areaOf(painted) < 1300 * 1100 / 20, "more than a twentieth repainted");
    }

    void theWindowIsNeverSmallerThanTheLayout() {
        game_->window()->resize(100, 100);
        QTest::qWait(50);
        QVERIFY(game_->canvas()->width() >= 426 && game_->canvas()->height() >= 347);
    }

    void f11TogglesFullScreenAndEscapeLeavesItWithoutAThrow() {
        QWidget* w = game_->window();
        QTest::keyClick(w, Qt::Key_F11);
        QTRY_VERIFY(w->isFullScreen());
        QTest::keyClick(w, Qt::Key_Escape);
        QTRY_VERIFY(!w->isFullScreen());
        QTest::keyClick(w, Qt::Key_F11);
        QTRY_VERIFY(w->isFullScreen());
        QTest::keyClick(w, Qt::Key_F11);
        QTRY_VERIFY(!w->isFullScreen());
        QTest::qWait(30);
        QCOMPARE(game_->form.BalloonsLeft.value(), 100);
        QVERIFY(!game_->host.halted());
    }

  private:
    static int areaOf(const QRegion& region) {
        int a = 0;
        for (const QRect& r : region) {
            a += r.width() * r.height();
        }
        return a;
    }

    std::unique_ptr<QtGame<>> game_;
};

QTEST_MAIN(ZoomTest)
#include "test_zoom.moc"
