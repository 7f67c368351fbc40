// A runtime error inside a handler ends the program with one clear report and a failing
// status, on both hosts.
#include <QProcess>
#include <QtTest>

class FailureTest : public QObject {
    Q_OBJECT
  private slots:
    void overflowInAHandlerEndsTheProgramWithAReport_data() {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("headless host") << QStringList{};
        QTest::newRow("qt host") << QStringList{"--qt"};
    }
    void overflowInAHandlerEndsTheProgramWithAReport() {
        QFETCH(QStringList, args);
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        child.setProcessEnvironment(env);
        child.start(QStringLiteral(FAILING_GAME), args);
        QVERIFY(child.waitForFinished(20000));
        QCOMPARE(child.exitStatus(), QProcess::NormalExit);
        QCOMPARE(child.exitCode(), 1);
        const QString err = QString::fromLocal8Bit(child.readAllStandardError());
        QVERIFY2(err.contains("Drenchwick stopped: run-time error 6 in Form_KeyUp: Overflow"),
                 qPrintable(err));
        QCOMPARE(err.count("Drenchwick stopped"), 1);
    }
};

QTEST_GUILESS_MAIN(FailureTest)
#include "test_failure.moc"
