// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT

// A runtime error inside a handler ends the program with one clear report and a failing
// status, on both hosts, whichever handler it is in.
#include <QProcess>
#include <QtTest>

class FailureTest : public QObject {
    Q_OBJECT
  private slots:
    void aRuntimeErrorInAHandlerEndsTheProgramWithAReport_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("handler");
        for (const char* host : {"", "--qt"}) {
            const QString name = *host ? "qt host" : "headless host";
            const QStringList first = *host ? QStringList{host} : QStringList{};
            QTest::newRow(qPrintable(name + ", key release"))
                << first + QStringList{"key"} << "Form_KeyUp";
            QTest::newRow(qPrintable(name + ", walker tick"))
                << first + QStringList{"tick"} << "Walker_Timer";
            QTest::newRow(qPrintable(name + ", loading"))
                << first + QStringList{"load"} << "Form_Load";
        }
    }
    void aRuntimeErrorInAHandlerEndsTheProgramWithAReport() {
        QFETCH(QStringList, args);
        QFETCH(QString, handler);
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        child.setProcessEnvironment(env);
        child.start(QStringLiteral(FAILING_GAME), args);
        QVERIFY(child.waitForFinished(20000));
        QCOMPARE(child.exitStatus(), QProcess::NormalExit);
        QCOMPARE(child.exitCode(), 1);
        const QString err = QString::fromLocal8Bit(child.readAllStandardError());
        QVERIFY2(err.contains("Drenchwick stopped: run-time error 6 in " + handler + ": Overflow"),
                 qPrintable(err));
        QCOMPARE(err.count("Drenchwick stopped"), 1);
    }
};

QTEST_GUILESS_MAIN(FailureTest)
#include "test_failure.moc"
