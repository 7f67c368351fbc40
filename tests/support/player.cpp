// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT

#include "support/player.h"

#include <QElapsedTimer>
#include <QHash>
#include <QPainter>
#include <QTest>
#include <cstdio>
#include <cstdlib>

namespace e2e {

namespace {

bool sameArea(const QImage& canvas, const QPoint& at, const QImage& picture) {
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            const QPoint p = at + QPoint(x, y);
            if (canvas.rect().contains(p) && canvas.pixel(p) != picture.pixel(x, y)) {
                return false;
            }
        }
    }
    return true;
}

const QImage& balloonPicture() {
    static const QImage img = reference::mapImage(reference::kBalloon);
    return img;
}

// Every place a balloon in flight can show: Top 56 + 10k, Left from the arc.
QList<QPoint> arc() {
    QList<QPoint> places{{145, 56}};
    const int lefts[] = {160, 170, 188, 188, 197, 205, 208, 210, 211, 212};
    for (int k = 1; k <= 23; ++k) {
        places.append(QPoint(k <= 10 ? lefts[k - 1] : 212, 56 + 10 * k));
    }
    return places;
}

QList<int> zorboPlaces() {
    QList<int> v{216, 201, 186, 171, 156, 168, 153};
    for (int k = 0; k <= 17; ++k) {
        v.append(400 - 15 * k);
    }
    return v;
}

QList<int> quibPlaces() {
    QList<int> v;
    for (int k = 0; k <= 13; ++k) {
        v.append(344 - 15 * k);
    }
    for (int k = 0; k <= 17; ++k) {
        v.append(400 - 15 * k);
    }
    return v;
}

}  // namespace

void giveUp(const QString& why) {
    std::fprintf(stderr, "e2e: %s\n", qPrintable(why));
    std::fflush(stderr);
    std::abort();
}

void finish(std::unique_ptr<Program>& program) {
    if (QTest::currentTestFailed() && program) {
        qInfo("game's stderr: %s", qPrintable(program->standardError()));
    }
    program.reset();
}

QImage waitForTheScene(const std::function<QImage()>& canvas, bool* shown) {
    QImage seen;
    *shown = waitFor(
        [&] {
            seen = canvas();
            const std::optional<Walkers> w = readWalkers(seen);
            return w && differencesFromScene(seen, *w) == 0;
        },
        5000);
    return seen;
}

void checkOneThrow(const std::function<QImage()>& canvas) {
    const Fall fall = watchOneFall(canvas, 99);
    QVERIFY2(!fall.twoAtOnce, "two balloons after one tap");
    QVERIFY(fall.landed);
    QVERIFY2(fall.alongTheArc(), "not seen at 5 places of the arc, each lower than the last");
    QTest::qWait(300);
    QCOMPARE(readCaptions(canvas()).balloonsLeft, 99);
}

bool Fall::alongTheArc() const {
    if (places.size() < 5) {
        return false;
    }
    for (int i = 1; i < places.size(); ++i) {
        if (places[i].y() <= places[i - 1].y()) {
            return false;
        }
    }
    return true;
}

Fall watchOneFall(const std::function<QImage()>& canvas, int balloonsLeft, int ms) {
    Fall f;
    f.landed = waitFor(
        [&] {
            const QImage shown = canvas();
            const QList<QPoint> b = balloonsOnTheArc(shown);
            f.twoAtOnce = f.twoAtOnce || b.size() > 1;
            if (!b.isEmpty() && (f.places.isEmpty() || f.places.last() != b[0])) {
                f.places << b[0];
            }
            return f.twoAtOnce || (readCaptions(shown).balloonsLeft == balloonsLeft &&
                                   !f.places.isEmpty() && b.isEmpty());
        },
        ms) && !f.twoAtOnce;
    return f;
}

QImage rgb32(const QImage& img) {
    return img.convertToFormat(QImage::Format_RGB32);
}

bool waitFor(const std::function<bool()>& done, int ms) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > ms) {
            return false;
        }
        QTest::qWait(10);
    }
    return true;
}

Program::~Program() {
    if (running()) {
        process_.kill();
        process_.waitForFinished(5000);
    }
}

bool Program::start(const QString& path, const QStringList& args) {
    process_.start(path, args);
    return process_.waitForStarted(10000);
}

bool Program::waitForExit(int ms) {
    return waitFor([this] { return !running(); }, ms);
}

QString Program::standardError() {
    stderr_ += QString::fromLocal8Bit(process_.readAllStandardError());
    return stderr_;
}

std::optional<int> readNumber(const QImage& canvas, const reference::LabelSpot& label,
                              const QString& prefix, int lo, int hi) {
    static QHash<QString, QImage> rendered;
    const QImage shown = canvas.copy(label.rect);
    for (int n = lo; n <= hi; ++n) {
        const QString caption = prefix + (n >= 0 ? " " : "") + QString::number(n);
        const QString key = QLatin1String(label.name) + '|' + caption;
        auto it = rendered.find(key);
        if (it == rendered.end()) {
            it = rendered.insert(key, reference::labelImage(label, caption));
        }
        if (shown == *it) {
            return n;
        }
    }
    return std::nullopt;
}

Captions readCaptions(const QImage& canvas) {
    Captions c;
    c.health = readNumber(canvas, reference::kHealthLabel, "Health:", -5, 5);
    c.score = readNumber(canvas, reference::kScoreLabel, "Score:", 0, 100);
    c.balloonsLeft = readNumber(canvas, reference::kBalloonsLabel, "Balloons Left:", 0, 100);
    return c;
}

QList<QPoint> balloonsOnTheArc(const QImage& canvas) {
    QList<QPoint> found;
    for (const QPoint& p : arc()) {
        if (sameArea(canvas, p, balloonPicture())) {
            found.append(p);
        }
    }
    return found;
}

std::optional<Walkers> readWalkers(const QImage& canvas) {
    static const QImage quib = reference::mapImage(reference::kQuib);
    static const QImage zorbo[] = {reference::mapImage(reference::kZorbo),
                                   reference::mapImage(reference::kStored4)};
    // The street right of the building, from the walkers' Top to the ground.
    const QRect street(145, 309, 281, 36);
    const QImage shown = canvas.copy(street);
    QImage band(street.size(), QImage::Format_RGB32);
    for (int z : zorboPlaces()) {
        for (int pose = 0; pose < 2; ++pose) {
            for (int q : quibPlaces()) {
                band.fill(Qt::white);
                QPainter p(&band);
                p.drawImage(q - street.left(), 0, quib);
                p.drawImage(z - street.left(), 0, zorbo[pose]);
                p.end();
                if (band == shown) {
                    return Walkers{z, q, pose == 1};
                }
            }
        }
    }
    return std::nullopt;
}

int differencesFromScene(const QImage& canvas, const Walkers& w, const QRect& ignore) {
    return reference::differencesOutsideLabels(
        canvas, reference::scene(w.zorbo, w.quib, w.zorboInBitmap4), 1, ignore, 0);
}

}  // namespace e2e
