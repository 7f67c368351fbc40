// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT

// The sizes a page gives the scene, and the sharp scaling that draws it at the fractional ones,
// where most phones and tablets see it: the colours kept, the edges only blended, and a small
// change repainted in a small tile that matches the whole.
#include <QtTest>

#include <algorithm>
#include <array>
#include <cmath>

#include "runtime/scene_raster.h"
#include "runtime/sharp_scaling.h"
#include "support/game_fixture.h"

namespace {

constexpr int kWidth = 426;
constexpr int kHeight = 347;

int channel(uint32_t c, int k) {
    return static_cast<int>((c >> (16 - 8 * k)) & 0xFFU);
}

// The tile for `change` at `factor` device pixels a scene pixel, drawn sharp as the desktop does
// it (at the whole-number scale above, then averaged down) or, `direct`, as the browser does (the
// scene's own pixels averaged over each device pixel).
struct Drawn {
    rt::Picture large;  // at the whole-number scale above
    rt::Picture exact;  // averaged to the device pixels
    rt::PixelRect device;
};
Drawn draw(const rt::Form& form, const rt::PixelRect& change, double factor, bool direct) {
    const rt::SharpTile t = rt::sharpTile(change, kWidth, kHeight, factor);
    Drawn d{rt::rasterScene(form, t.part, t.scale), {}, t.device};
    d.exact =
        rt::boxScaled(direct ? rt::rasterScene(form, t.part, 1) : d.large, t.device.w, t.device.h);
    return d;
}
constexpr rt::PixelRect kWhole{0, 0, kWidth, kHeight};

// The first device pixel with a channel outside the range of the scene pixels it covers, as
// drawn at the whole-number scale; empty if none.
QString strayPixel(const Drawn& d) {
    const double kx = double(d.large.width) / d.exact.width;
    const double ky = double(d.large.height) / d.exact.height;
    const auto first = [](double v) { return static_cast<int>(std::floor(v + 1e-9)); };
    const auto end = [](double v, int limit) {
        return std::min(limit, static_cast<int>(std::ceil(v - 1e-9)));
    };
    for (int y = 0; y < d.exact.height; ++y) {
        for (int x = 0; x < d.exact.width; ++x) {
            std::array<int, 3> low{255, 255, 255};
            std::array<int, 3> high{0, 0, 0};
            for (int sy = first(y * ky); sy < end((y + 1) * ky, d.large.height); ++sy) {
                for (int sx = first(x * kx); sx < end((x + 1) * kx, d.large.width); ++sx) {
                    for (int k = 0; k < 3; ++k) {
                        low[k] = std::min(low[k], channel(d.large.at(sx, sy), k));
                        high[k] = std::max(high[k], channel(d.large.at(sx, sy), k));
                    }
                }
            }
            for (int k = 0; k < 3; ++k) {
                const int c = channel(d.exact.at(x, y), k);
                if (c < low[k] || c > high[k]) {
                    return QStringLiteral("device pixel %1,%2 has %3 in channel %4, outside %5..%6")
                        .arg(x)
                        .arg(y)
                        .arg(c)
                        .arg(k)
                        .arg(low[k])
                        .arg(high[k]);
                }
            }
        }
    }
    return {};
}

// Where a tile's device pixels differ from the whole scene's; empty if nowhere.
QString firstDifference(const Drawn& tile, const rt::Picture& whole) {
    const rt::PixelRect& at = tile.device;
    for (int y = 0; y < tile.exact.height && at.y + y < whole.height; ++y) {
        for (int x = 0; x < tile.exact.width && at.x + x < whole.width; ++x) {
            if (tile.exact.at(x, y) != whole.at(at.x + x, at.y + y)) {
                return QStringLiteral("differs at device pixel %1,%2").arg(at.x + x).arg(at.y + y);
            }
        }
    }
    return {};
}

}  // namespace

class ScalingTest : public QObject {
    Q_OBJECT
  private slots:
    void thePageFillsItsRoomWithSmallTiles_data() {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<double>("factor");
        // Rooms below the menu bar, in device pixels.
        QTest::newRow("desktop browser, 1400 x 1150") << 1400 << 1124 << 3.0;
        QTest::newRow("phone, portrait, ratio 3") << 1170 << 2400 << 19.0 / 7;
        QTest::newRow("phone, landscape, ratio 3") << 2532 << 888 << 2.5;
        QTest::newRow("tablet, portrait, ratio 2") << 1640 << 2272 << 23.0 / 6;
        QTest::newRow("narrow phone, ratio 1") << 320 << 500 << 0.75;
        QTest::newRow("exactly the scene") << kWidth << kHeight << 1.0;
        QTest::newRow("a whole zoom fills 85 %") << 1000 << 816 << 2.0;
        QTest::newRow("nothing at all") << 0 << 0 << 1.0 / rt::kLargestBlock;
    }
    void thePageFillsItsRoomWithSmallTiles() {
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(double, factor);
        QCOMPARE(rt::roomFactor(width, height, kWidth, kHeight), factor);
    }

    void everyRoomGetsTheLargestSizeThatFitsWithinABlock() {
        for (int w = 100; w < 4000; w += 13) {
            for (int h = 100; h < 3000; h += 17) {
                const double fit = std::min(double(w) / kWidth, double(h) / kHeight);
                const double f = rt::roomFactor(w, h, kWidth, kHeight);
                const int block = rt::sharpBlock(f);
                const QByteArray where =
                    QStringLiteral("%1 x %2: %3").arg(w).arg(h).arg(f).toUtf8();
                QVERIFY2(std::lround(kWidth * f) <= w && std::lround(kHeight * f) <= h,
                         where.constData());
                QVERIFY2(block >= 1 && block <= rt::kLargestBlock, where.constData());
                // Whole where that fills enough; otherwise short by less than 1/8 of a pixel.
                if (block == 1) {
                    QVERIFY2(f >= rt::kWholeFill * fit, where.constData());
                } else {
                    QVERIFY2(f > fit - 1.0 / rt::kLargestBlock, where.constData());
                }
            }
        }
    }

    void coloursKeepInsideAndBlendOnlyAtTheirEdges() {
        // A balloon in flight, both walkers, the building and the player: every colour of the
        // scene. Each device pixel must lie, channel by channel, between the colours of the
        // scene pixels it covers, and be one of them where it covers only one.
        Game game;
        game.space();
        game.dropperTicks(5);
        const struct {
            const char* what;
            int x, y;
        } inside[] = {
            {"the building's green", 48, 200},
            {"Zorbo's shirt", 216 + 15, 309 + 16},
            {"Quib's shirt", 344 + 15, 309 + 16},
            {"the balloon's water", 197 + 8, 106 + 9},
        };
        for (const double factor : {19.0 / 7, 2.5, 23.0 / 6, 1.5, 0.75}) {
            for (const bool direct : {false, true}) {
                const Drawn d = draw(game.form, kWhole, factor, direct);
                const int scale = d.large.width / kWidth;
                const QString stray = strayPixel(d);
                QVERIFY2(stray.isEmpty(),
                         qPrintable(QStringLiteral("at %1: %2").arg(factor).arg(stray)));
                for (const auto& p : inside) {
                    const uint32_t want = d.large.at(p.x * scale, p.y * scale);
                    const uint32_t got =
                        d.exact.at(static_cast<int>(p.x * factor), static_cast<int>(p.y * factor));
                    QVERIFY2(got == want && want != 0xFFFFFFFFU,
                             qPrintable(QStringLiteral("%1 at %2: %3, not %4")
                                            .arg(p.what)
                                            .arg(factor)
                                            .arg(got, 8, 16)
                                            .arg(want, 8, 16)));
                }
            }
        }
    }

    void aSmallChangeRepaintsASmallTileThatMatchesTheWhole() {
        // A walker's step or a balloon's drop, repainted alone, gives the very device pixels that
        // drawing the whole scene gives there: no seams, at any size the page picks.
        Game game;
        game.space();
        game.dropperTicks(3);
        const rt::PixelRect changes[] = {
            {188, 86, 16, 16}, {216, 309, 50, 36}, {344, 309, 35, 36}, {410, 330, 16, 17}};
        for (const double factor : {19.0 / 7, 2.5, 23.0 / 6, 1.5, 0.75, 3.0}) {
            for (const bool direct : {false, true}) {
                const rt::Picture whole = draw(game.form, kWhole, factor, direct).exact;
                for (const rt::PixelRect& change : changes) {
                    const int block = rt::sharpBlock(factor);
                    const Drawn tile = draw(game.form, change, factor, direct);
                    QVERIFY(tile.device.w <= (change.w + 2 * (block + 1)) * factor + 1 &&
                            tile.device.h <= (change.h + 2 * (block + 1)) * factor + 1);
                    const QString seam = firstDifference(tile, whole);
                    QVERIFY2(seam.isEmpty(),
                             qPrintable(QStringLiteral("at %1, the tile of %2,%3 %4")
                                            .arg(factor)
                                            .arg(change.x)
                                            .arg(change.y)
                                            .arg(seam)));
                }
            }
        }
    }
};

QTEST_APPLESS_MAIN(ScalingTest)

#include "test_scaling.moc"
