// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT

// A runtime error in a handler, with a display: the host reports it in a box as well as on
// stderr; once the player dismisses the box the program ends with status 1.
#include <QMessageBox>
#include <QtTest>

#include "support/e2e.h"

using namespace e2e;

class FailureOnScreenTest : public QObject {
    Q_OBJECT
  private slots:
    void theErrorBoxIsDismissedAndTheProgramFails_data() {
        QTest::addColumn<QString>("where");
        QTest::addColumn<QString>("handler");
        QTest::newRow("key release (a real Space)") << "key"
                                                    << "Form_KeyUp";
        QTest::newRow("walker tick") << "tick"
                                     << "Walker_Timer";
        QTest::newRow("loading") << "load"
                                 << "Form_Load";
    }
    void theErrorBoxIsDismissedAndTheProgramFails() {
        QFETCH(QString, where);
        QFETCH(QString, handler);
        Program game;
        QVERIFY(game.start(QStringLiteral(FAILING_GAME), {"--qt-player", where}));
        const QString report = "Drenchwick stopped: run-time error 6 in " + handler +
                               ": Overflow (16-bit integer arithmetic)";
        const BoxLayout layout =
            layOutBox("Drenchwick", report, QMessageBox::Ok, QMessageBox::Critical);
        if (where == "key") {
            QVERIFY(waitForGameWindow(game.pid()).id != 0);
            tap("space");
        }
        // The game's window goes; the report's box, titled like it, comes: told apart by its
        // size, which is that of the box laid out here for the report.
        std::optional<Box> box;
        QStringList seen;
        QVERIFY2(waitFor(
                     [&] {
                         for (unsigned long id : findWindows(game.pid(), "^Drenchwick$")) {
                             const QRect r = windowGeometry(id);
                             seen << QStringLiteral("%1x%2").arg(r.width()).arg(r.height());
                             if (r.size() == layout.size) {
                                 box = Box{id, r, windowTitle(id)};
                             }
                         }
                         return box.has_value();
                     },
                     10000),
                 qPrintable("windows seen: " + seen.join(' ')));
        QString why;
        QVERIFY2(boxShows(*box, layout, &why), qPrintable(why));
        QTest::qWait(200);
        QVERIFY2(game.running(), "the program did not wait for the box");
        press(*box, layout, QMessageBox::Ok);
        QVERIFY(game.waitForExit(10000));
        QVERIFY(!game.crashed());
        QCOMPARE(game.exitCode(), 1);
        const QString err = game.standardError();
        QVERIFY2(err.contains(report), qPrintable(err));
        QCOMPARE(err.count("Drenchwick stopped"), 1);
    }
};

E2E_MAIN(FailureOnScreenTest)
#include "test_e2e_failure.moc"
