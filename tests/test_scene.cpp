// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT

// The start scene as the real Qt painting code draws it, against a reference drawn here from
// the layout's numbers and the written-out pictures.
#include <QAction>
#include <QFontInfo>
#include <QMainWindow>
#include <QMenuBar>
#include <QPainter>
#include <QtTest>

#include "playfield/sprites.h"
#include "support/qt_game.h"
#include "support/reference_maps.h"
#include "support/reference_scene.h"

namespace {

using reference::legend;

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

}  // namespace

class SceneTest : public QObject {
    Q_OBJECT
  private slots:
    void init() {
        game_ = std::make_unique<QtGame<>>();
        QVERIFY(game_->canvas() != nullptr);
    }
    void cleanup() { game_.reset(); }

    void startSceneMatchesTheReferenceOutsideTheLabels() {
        const QImage shot = game_->grab();
        QCOMPARE(shot.size(), QSize(426, 347));
        QCOMPARE(reference::differencesOutsideLabels(shot, reference::scene()), 0);
    }

    void labelsShowTheStartCaptionsInTheSerifFont() {
        const QImage shot = game_->grab();
        const QString captions[] = {"Health: 5", "Score: 0", "Balloons Left: 100"};
        for (int i = 0; i < 3; ++i) {
            const reference::LabelSpot& l = reference::kLabels[i];
            QCOMPARE(shot.copy(l.rect), reference::labelImage(l, captions[i]));
        }
        // A metric-compatible face stands in where the named one is missing.
        const QString family = QFontInfo(reference::labelFont()).family();
        QVERIFY2(family == "Times New Roman" || family == "Liberation Serif", qPrintable(family));
    }

    void windowHasItsCaptionMenuBarAndIcon() {
        QMainWindow* w = game_->window();
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
        const rt::HandlerScope asTheGame(game_->form);
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
            const rt::PictureRef p = playfield::storedBitmap(id);
            for (uint32_t px : p->pixels) {
                const rt::Rgb c = px & 0xFFFFFFU;
                QVERIFY(std::find(playfield::kPalette16.begin(), playfield::kPalette16.end(), c) !=
                        playfield::kPalette16.end());
            }
        }
    }

  private:
    std::unique_ptr<QtGame<>> game_;
};

QTEST_MAIN(SceneTest)
#include "test_scene.moc"
