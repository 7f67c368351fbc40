// The start scene as the real Qt painting code draws it, against a reference drawn here from
// the layout's numbers and the written-out pictures.
#include <QAction>
#include <QFontInfo>
#include <QMainWindow>
#include <QMenuBar>
#include <QPainter>
#include <QtTest>

#include "playfield/sprites.h"
#include "runtime/qt_host.h"
#include "support/game_fixture.h"
#include "support/reference_maps.h"

namespace {

QRgb legend(char c) {
    switch (c) {
        case '.':
            return qRgb(255, 255, 255);
        case 'K':
            return qRgb(0, 0, 0);
        case 'L':
            return qRgb(255, 255, 128);
        case 'S':
            return qRgb(192, 192, 192);
        case 'Y':
            return qRgb(255, 255, 0);
        case 'U':
            return qRgb(0, 0, 255);
        case 'T':
            return qRgb(0, 255, 255);
        case 'R':
            return qRgb(255, 0, 0);
        case 'G':
            return qRgb(0, 255, 0);
        case 'H':
            return qRgb(0, 128, 0);
        case 'N':
            return qRgb(128, 64, 0);
        case 'M':
            return qRgb(128, 0, 0);
        case 'P':
            return qRgb(255, 0, 255);
    }
    qFatal("unknown letter %c", c);
}

template <size_t Rows>
void drawMap(QImage& img, const char* const (&map)[Rows], int left, int top, int scale) {
    for (int y = 0; y < static_cast<int>(Rows); ++y) {
        for (int x = 0; map[y][x] != '\0'; ++x) {
            for (int dy = 0; dy < scale; ++dy) {
                for (int dx = 0; dx < scale; ++dx) {
                    const int px = left + x * scale + dx;
                    const int py = top + y * scale + dy;
                    if (img.rect().contains(px, py)) {
                        img.setPixel(px, py, legend(map[y][x]));
                    }
                }
            }
        }
    }
}

template <size_t Rows>
bool pictureIs(const rt::PictureRef& p, const char* const (&map)[Rows]) {
    if (!p || p->height != static_cast<int>(Rows)) {
        return false;
    }
    for (int y = 0; y < p->height; ++y) {
        if (static_cast<int>(strlen(map[y])) != p->width) {
            return false;
        }
        for (int x = 0; x < p->width; ++x) {
            if ((p->at(x, y) | 0xFF000000U) != legend(map[y][x])) {
                qWarning("pixel %d,%d differs", x, y);
                return false;
            }
        }
    }
    return true;
}

void outline(QImage& img, int left, int top, int w, int h, int width, QRgb c) {
    for (int y = top; y < top + h; ++y) {
        for (int x = left; x < left + w; ++x) {
            const bool edge = x < left + width || x >= left + w - width || y < top + width ||
                              y >= top + h - width;
            if (edge) {
                img.setPixel(x, y, c);
            }
        }
    }
}

QImage referenceScene() {
    QImage img(426, 347, QImage::Format_RGB32);
    img.fill(qRgb(255, 255, 255));
    // The building, x 0-144 and y 56-344, its border inside.
    for (int y = 56; y <= 344; ++y) {
        for (int x = 0; x <= 144; ++x) {
            img.setPixel(x, y, qRgb(0, 255, 0));
        }
    }
    outline(img, 0, 56, 145, 289, 2, qRgb(0, 128, 0));
    for (int top : {72, 136, 200, 264}) {
        for (int left : {8, 56, 104}) {
            outline(img, left, top, 33, 41, 1, qRgb(0, 0, 0));
        }
    }
    drawMap(img, reference::kPlayer, 95, -7, 2);
    drawMap(img, reference::kQuib, 344, 309, 1);
    drawMap(img, reference::kZorbo, 216, 309, 1);
    return img;
}

struct LabelSpot {
    const char* caption;
    QRect rect;
    int align;
};
const LabelSpot kLabels[] = {
    {"Health: 5", QRect(200, 16, 97, 25), Qt::AlignLeft},
    {"Score: 0", QRect(304, 16, 113, 25), Qt::AlignLeft},
    {"Balloons Left: 100", QRect(200, 40, 193, 25), Qt::AlignHCenter},
};

QFont labelFont() {
    QFont f(QStringLiteral("Times New Roman"));
    f.setPixelSize(19);  // 14.25 pt on a 96-dpi window
    return f;
}

}  // namespace

class SceneTest : public QObject {
    Q_OBJECT
  private slots:
    void init() {
        host_ = std::make_unique<rt::QtHost>();
        form_ = std::make_unique<Form1>();
        host_->start(*form_);
        QVERIFY(host_->canvasOf(*form_) != nullptr);
    }
    void cleanup() {
        form_.reset();
        host_.reset();
    }

    void startSceneMatchesTheReferenceOutsideTheLabels() {
        const QImage shot =
            host_->canvasOf(*form_)->grab().toImage().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(shot.size(), QSize(426, 347));
        const QImage ref = referenceScene();
        int differing = 0;
        for (int y = 0; y < 347; ++y) {
            for (int x = 0; x < 426; ++x) {
                bool inLabel = false;
                for (const LabelSpot& l : kLabels) {
                    inLabel = inLabel || l.rect.contains(x, y);
                }
                if (!inLabel && shot.pixel(x, y) != ref.pixel(x, y)) {
                    if (differing++ < 10) {
                        qWarning("pixel %d,%d is %08x, expected %08x", x, y, shot.pixel(x, y),
                                 ref.pixel(x, y));
                    }
                }
            }
        }
        QCOMPARE(differing, 0);
    }

    void labelsShowTheStartCaptionsInTheSerifFont() {
        const QImage shot =
            host_->canvasOf(*form_)->grab().toImage().convertToFormat(QImage::Format_RGB32);
        for (const LabelSpot& l : kLabels) {
            QImage expected(l.rect.size(), QImage::Format_RGB32);
            expected.fill(Qt::white);
            QPainter p(&expected);
            p.setFont(labelFont());
            p.setPen(Qt::black);
            p.drawText(QRect(QPoint(0, 0), l.rect.size()), Qt::AlignTop | l.align,
                       QString::fromLatin1(l.caption));
            p.end();
            QCOMPARE(shot.copy(l.rect), expected);
        }
        // A metric-compatible face stands in where the named one is missing.
        const QString family = QFontInfo(labelFont()).family();
        QVERIFY2(family == "Times New Roman" || family == "Liberation Serif", qPrintable(family));
    }

    void windowHasItsCaptionMenuBarAndIcon() {
        QMainWindow* w = host_->windowOf(*form_);
        QCOMPARE(w->windowTitle(), QStringLiteral("Drenchwick"));
        const QList<QAction*> items = w->menuBar()->actions();
        QCOMPARE(items.size(), 3);
        const QStringList captions = {"Exit", "Reset", "Help"};
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(items[i]->text(), captions[i]);
            QVERIFY(items[i]->menu() == nullptr);  // a command, not a drop-down
            QVERIFY(items[i]->shortcut().isEmpty());
            QVERIFY(!items[i]->isSeparator());
        }
        const QList<QSize> sizes = w->windowIcon().availableSizes();
        QVERIFY(sizes.contains(QSize(16, 16)));
        QVERIFY(sizes.contains(QSize(32, 32)));
    }

    void picturesMatchTheirDrawingsPixelForPixel() {
        QVERIFY(pictureIs(playfield::balloonPicture(), reference::kBalloon));
        QVERIFY(pictureIs(playfield::zorboPicture(), reference::kZorbo));
        QVERIFY(pictureIs(playfield::quibPicture(), reference::kQuib));
        QVERIFY(pictureIs(playfield::playerPicture(), reference::kPlayer));
        QVERIFY(pictureIs(rt::LoadResPicture(4, 0), reference::kStored4));
        QVERIFY(pictureIs(rt::LoadResPicture(5, 0), reference::kStored5));
        QVERIFY(pictureIs(rt::LoadResPicture(6, 0), reference::kStored6));
        // Each load hands out a fresh picture; no number but 4, 5 and 6 is stored.
        QVERIFY(rt::LoadResPicture(6, 0) != rt::LoadResPicture(6, 0));
        QVERIFY_THROWS_EXCEPTION(rt::RuntimeError, rt::LoadResPicture(3, 0));
        QVERIFY_THROWS_EXCEPTION(rt::RuntimeError, rt::LoadResPicture(4, 1));
    }

    void storedBitmapsUseOnlyTheSixteenColourPalette() {
        for (int id : {4, 5, 6}) {
            const rt::PictureRef p = rt::LoadResPicture(id, 0);
            for (uint32_t px : p->pixels) {
                const rt::Rgb c = px & 0xFFFFFFU;
                QVERIFY(std::find(playfield::kPalette16.begin(), playfield::kPalette16.end(), c) !=
                        playfield::kPalette16.end());
            }
        }
    }

  private:
    std::unique_ptr<rt::QtHost> host_;
    std::unique_ptr<Form1> form_;
};

QTEST_MAIN(SceneTest)
#include "test_scene.moc"
