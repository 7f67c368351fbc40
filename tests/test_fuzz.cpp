// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT

// A long random play on the headless host with every rule checked after each event (see
// support/event_fuzz.h). CI plays 100 000 events; DRENCHWICK_FUZZ_EVENTS asks for more, and
// DRENCHWICK_FUZZ_SEED replays another sequence.
#include <QElapsedTimer>
#include <QtTest>
#include <random>

#include "support/event_fuzz.h"

namespace {

class SeededChooser : public fuzz::Chooser {
  public:
    explicit SeededChooser(uint64_t seed) : generator_(seed) {}
    uint32_t below(uint32_t n) override {
        return std::uniform_int_distribution<uint32_t>(0, n - 1)(generator_);
    }

  private:
    std::mt19937_64 generator_;
};

uint64_t fromEnvironment(const char* name, uint64_t fallback) {
    const QByteArray v = qgetenv(name);
    bool ok = false;
    const uint64_t n = v.toULongLong(&ok);
    return ok ? n : fallback;
}

}  // namespace

class FuzzTest : public QObject {
    Q_OBJECT
  private slots:
    void randomPlayKeepsEveryRule() {
        const uint64_t events = fromEnvironment("DRENCHWICK_FUZZ_EVENTS", 100000);
        const uint64_t seed = fromEnvironment("DRENCHWICK_FUZZ_SEED", 5061994);
        SeededChooser chooser(seed);
        fuzz::Run run(chooser);
        QElapsedTimer clock;
        clock.start();
        for (uint64_t i = 0; i < events; ++i) {
            const std::string broken = run.step();
            if (!broken.empty()) {
                QFAIL(qPrintable(QStringLiteral("event %1 of seed %2: %3")
                                     .arg(i)
                                     .arg(seed)
                                     .arg(QString::fromStdString(broken))));
            }
        }
        const fuzz::Stats& s = run.stats();
        qInfo(
            "%llu events in %lld ms (seed %llu): %llu programs, %llu throws, %llu kicks, "
            "%llu out-of-balloons and %llu death prompts, %llu help boxes; answers %llu Yes, "
            "%llu No, %llu other; %llu resets, %llu exits",
            static_cast<unsigned long long>(s.events), clock.elapsed(),
            static_cast<unsigned long long>(seed), static_cast<unsigned long long>(s.programs),
            static_cast<unsigned long long>(s.throws), static_cast<unsigned long long>(s.kicks),
            static_cast<unsigned long long>(s.noMorePrompts),
            static_cast<unsigned long long>(s.ouchPrompts),
            static_cast<unsigned long long>(s.helpBoxes),
            static_cast<unsigned long long>(s.answeredYes),
            static_cast<unsigned long long>(s.answeredNo),
            static_cast<unsigned long long>(s.answeredOther),
            static_cast<unsigned long long>(s.resets), static_cast<unsigned long long>(s.exits));
        // The play reached everything it is there to try.
        if (events >= 100000) {
            QVERIFY(s.noMorePrompts > 0 && s.ouchPrompts > 0 && s.helpBoxes > 0);
            QVERIFY(s.answeredYes > 0 && s.answeredNo > 0 && s.answeredOther > 0);
            QVERIFY(s.resets > 0 && s.exits > 0 && s.programs > 1);
        }
    }
};

QTEST_GUILESS_MAIN(FuzzTest)
#include "test_fuzz.moc"
