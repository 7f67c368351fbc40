// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT

// The scene at a device pixel ratio of 2: each picture pixel a solid 2 × 2 block (4 × 4 for the
// stretched player), the building and its outlines on the pixel grid, the text drawn at the
// finer resolution rather than blown up, and partial repaints that leave no seams.
#include <QApplication>
#include <QPainter>
#include <QtTest>

#include "support/qt_game.h"
#include "support/reference_scene.h"

namespace {

constexpr int kRatio = 2;

QImage grabCanvas(QWidget* canvas) {
    const QPixmap shot = canvas->grab();
    if (shot.devicePixelRatio() != kRatio) {
        qWarning("grabbed at ratio %f", shot.devicePixelRatio());
    }
    QImage img = shot.toImage().convertToFormat(QImage::Format_RGB32);
    img.setDevicePixelRatio(1);  // compared pixel for pixel, in device pixels
    return img;
}

// Checks that the picture drawn at logical (left, top) with `scale` window pixels per picture
// pixel is there in device pixels, each picture pixel one solid block.
template <size_t Rows>
int blockFaults(const QImage& shot, const char* const (&map)[Rows], int left, int top, int scale) {
    const int block = scale * kRatio;
    int faults = 0;
    for (int y = 0; y < static_cast<int>(Rows); ++y) {
        for (int x = 0; map[y][x] != '\0'; ++x) {
            const QRgb want = reference::legend(map[y][x]);
            for (int dy = 0; dy < block; ++dy) {
                for (int dx = 0; dx < block; ++dx) {
                    const int px = (left * kRatio) + x * block + dx;
                    const int py = (top * kRatio) + y * block + dy;
                    if (!shot.rect().contains(px, py)) {
                        continue;  // the player's blank top rows lie above the window
                    }
                    if (shot.pixel(px, py) != want && faults++ < 5) {
                        qWarning("picture pixel %d,%d: device pixel %d,%d is %08x, not %08x", x, y,
                                 px, py, shot.pixel(px, py), want);
                    }
                }
            }
        }
    }
    return faults;
}

QRect deviceRect(const QRect& r) {
    return QRect(r.topLeft() * kRatio, r.size() * kRatio);
}

}  // namespace

class HiDpiTest : public QObject {
    Q_OBJECT
  private slots:
    void init() {
        game_ = std::make_unique<QtGame<>>();
        game_->form.Walker().setEnabled(false);  // the walkers stay where the reference has them
    }
    void cleanup() { game_.reset(); }

    void theWindowRunsAtRatioTwo() {
        QCOMPARE(game_->canvas()->devicePixelRatio(), qreal(kRatio));
        const QImage shot = grabCanvas(game_->canvas());
        QCOMPARE(shot.size(), QSize(426, 347) * kRatio);
    }

    void everyPicturePixelIsASolidBlock() {
        const QImage shot = grabCanvas(game_->canvas());
        QCOMPARE(blockFaults(shot, reference::kPlayer, 95, -7, 2), 0);
        QCOMPARE(blockFaults(shot, reference::kQuib, 344, 309, 1), 0);
        QCOMPARE(blockFaults(shot, reference::kZorbo, 216, 309, 1), 0);
    }

    void theSceneIsTheReferenceWithEveryPixelDoubled() {
        // The building, its border and window outlines, and the pictures: sharp edges, no
        // smoothing, no half-covered device pixels anywhere outside the text.
        const QImage shot = grabCanvas(game_->canvas());
        QCOMPARE(reference::differencesOutsideLabels(
                     shot, reference::scaled(reference::scene(), kRatio), kRatio),
                 0);
    }

    void textIsDrawnAtTheFinerResolution() {
        const QImage shot = grabCanvas(game_->canvas());
        const struct {
            reference::LabelSpot spot;
            const char* caption;
        } labels[] = {{reference::kHealthLabel, "Health: 5"},
                      {reference::kScoreLabel, "Score: 0"},
                      {reference::kBalloonsLabel, "Balloons Left: 100"}};
        for (const auto& l : labels) {
            const QImage shown = shot.copy(deviceRect(l.spot.rect));
            QCOMPARE(shown, reference::labelImage(l.spot, QString::fromLatin1(l.caption), kRatio));
            // Not the 96-dpi text blown up: that would repeat every pixel in 2 × 2 blocks.
            QVERIFY(shown != reference::scaled(
                                 reference::labelImage(l.spot, QString::fromLatin1(l.caption)),
                                 kRatio));
        }
    }

    void partialRepaintsOfAFlyingBalloonLeaveNoSeams() {
        QWidget* canvas = game_->canvas();
        game_->form.dispatchKeyUp(32, 0);
        for (int i = 0; i < 3; ++i) {
            game_->form.dispatchTimer("Dropper");
        }
        // What the screen holds, then only the pixels the next tick asks to repaint painted
        // over it, as the window system's backing store would be.
        QPixmap screen(canvas->size() * kRatio);
        screen.setDevicePixelRatio(kRatio);
        canvas->render(&screen);
        const rt::PixelRect before = game_->form.WaterB()[1].pixelRect();
        game_->form.dispatchTimer("Dropper");
        const rt::PixelRect after = game_->form.WaterB()[1].pixelRect();
        QVERIFY(!(before == after));
        const QRegion damaged = QRegion(before.x, before.y, before.w, before.h) +
                                QRegion(after.x, after.y, after.w, after.h);
        // render() puts the region's bounding corner at the offset given.
        canvas->render(&screen, damaged.boundingRect().topLeft(), damaged);
        QImage patched = screen.toImage().convertToFormat(QImage::Format_RGB32);
        patched.setDevicePixelRatio(1);
        QCOMPARE(patched, grabCanvas(canvas));
        QCOMPARE(blockFaults(patched, reference::kBalloon, after.x, after.y, 1), 0);
    }

    void aHalfPixelPositionStaysOnTheWindowPixelGrid() {
        // Zorbo rises in steps of 2.5; a position with a fraction falls in the window pixel
        // that holds it, so at ratio 2 his blocks never straddle two device rows.
        game_->form.Zorbo().setTop(306.5F);
        const QImage shot = grabCanvas(game_->canvas());
        QCOMPARE(blockFaults(shot, reference::kZorbo, 216, 306, 1), 0);
    }

  private:
    std::unique_ptr<QtGame<>> game_;
};

RATIO_TEST_MAIN(HiDpiTest, kRatio)

#include "test_hidpi.moc"
