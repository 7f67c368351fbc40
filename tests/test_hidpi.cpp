// The scene at a device pixel ratio of 2: each picture pixel a solid 2 × 2 block (4 × 4 for the
// stretched player), the building and its outlines on the pixel grid, the text drawn at the
// finer resolution rather than blown up, and partial repaints that leave no seams.
#include <QApplication>
#include <QPainter>
#include <QtTest>

#include "runtime/qt/qt_host.h"
#include "support/game_fixture.h"
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

QImage upscaled(const QImage& img) {
    QImage big(img.width() * kRatio, img.height() * kRatio, QImage::Format_RGB32);
    for (int y = 0; y < big.height(); ++y) {
        for (int x = 0; x < big.width(); ++x) {
            big.setPixel(x, y, img.pixel(x / kRatio, y / kRatio));
        }
    }
    return big;
}

// The label's text as the serif face draws it straight at the device resolution.
QImage labelAtRatio(const reference::LabelSpot& l, const QString& caption) {
    QImage img(l.rect.size() * kRatio, QImage::Format_RGB32);
    img.setDevicePixelRatio(kRatio);
    img.fill(Qt::white);
    QPainter p(&img);
    p.setFont(reference::labelFont());
    p.setPen(Qt::black);
    p.drawText(QRect(QPoint(0, 0), l.rect.size()), Qt::AlignTop | l.align, caption);
    p.end();
    img.setDevicePixelRatio(1);
    return img;
}

QRect deviceRect(const QRect& r) {
    return QRect(r.topLeft() * kRatio, r.size() * kRatio);
}

}  // namespace

class HiDpiTest : public QObject {
    Q_OBJECT
  private slots:
    void init() {
        host_ = std::make_unique<rt::QtHost>();
        form_ = std::make_unique<Form1>();
        host_->start(*form_);
        form_->Walker().setEnabled(false);  // the walkers stay where the reference has them
    }
    void cleanup() {
        form_.reset();
        host_.reset();
    }

    void theWindowRunsAtRatioTwo() {
        QCOMPARE(host_->canvasOf(*form_)->devicePixelRatio(), qreal(kRatio));
        const QImage shot = grabCanvas(host_->canvasOf(*form_));
        QCOMPARE(shot.size(), QSize(426, 347) * kRatio);
    }

    void everyPicturePixelIsASolidBlock() {
        const QImage shot = grabCanvas(host_->canvasOf(*form_));
        QCOMPARE(blockFaults(shot, reference::kPlayer, 95, -7, 2), 0);
        QCOMPARE(blockFaults(shot, reference::kQuib, 344, 309, 1), 0);
        QCOMPARE(blockFaults(shot, reference::kZorbo, 216, 309, 1), 0);
    }

    void theSceneIsTheReferenceWithEveryPixelDoubled() {
        // The building, its border and window outlines, and the pictures: sharp edges, no
        // smoothing, no half-covered device pixels anywhere outside the text.
        const QImage shot = grabCanvas(host_->canvasOf(*form_));
        const QImage want = upscaled(reference::scene());
        int differing = 0;
        for (int y = 0; y < shot.height(); ++y) {
            for (int x = 0; x < shot.width(); ++x) {
                if (!reference::inAnyLabel(x / kRatio, y / kRatio) &&
                    shot.pixel(x, y) != want.pixel(x, y) && differing++ < 5) {
                    qWarning("device pixel %d,%d is %08x, expected %08x", x, y, shot.pixel(x, y),
                             want.pixel(x, y));
                }
            }
        }
        QCOMPARE(differing, 0);
    }

    void textIsDrawnAtTheFinerResolution() {
        const QImage shot = grabCanvas(host_->canvasOf(*form_));
        const struct {
            reference::LabelSpot spot;
            const char* caption;
        } labels[] = {{reference::kHealthLabel, "Health: 5"},
                      {reference::kScoreLabel, "Score: 0"},
                      {reference::kBalloonsLabel, "Balloons Left: 100"}};
        for (const auto& l : labels) {
            const QImage shown = shot.copy(deviceRect(l.spot.rect));
            QCOMPARE(shown, labelAtRatio(l.spot, QString::fromLatin1(l.caption)));
            // Not the 96-dpi text blown up: that would repeat every pixel in 2 × 2 blocks.
            QVERIFY(shown !=
                    upscaled(reference::labelImage(l.spot, QString::fromLatin1(l.caption))));
        }
    }

    void partialRepaintsOfAFlyingBalloonLeaveNoSeams() {
        QWidget* canvas = host_->canvasOf(*form_);
        form_->dispatchKeyUp(32, 0);
        for (int i = 0; i < 3; ++i) {
            form_->dispatchTimer("Dropper");
        }
        // What the screen holds, then only the pixels the next tick asks to repaint painted
        // over it, as the window system's backing store would be.
        QPixmap screen(canvas->size() * kRatio);
        screen.setDevicePixelRatio(kRatio);
        canvas->render(&screen);
        const rt::PixelRect before = form_->WaterB()[1].pixelRect();
        form_->dispatchTimer("Dropper");
        const rt::PixelRect after = form_->WaterB()[1].pixelRect();
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
        form_->Zorbo().setTop(306.5F);
        const QImage shot = grabCanvas(host_->canvasOf(*form_));
        QCOMPARE(blockFaults(shot, reference::kZorbo, 216, 306, 1), 0);
    }

  private:
    std::unique_ptr<rt::QtHost> host_;
    std::unique_ptr<Form1> form_;
};

int main(int argc, char** argv) {
    // Set before the application exists: it decides the ratio of every window.
    qputenv("QT_SCALE_FACTOR", QByteArray::number(kRatio));
    QApplication app(argc, argv);
    HiDpiTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_hidpi.moc"
