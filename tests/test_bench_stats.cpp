// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT

// The statistics the benchmark table is made of: a wrong rank or a drift of the wrong sign
// would report a missed target as met.
#include <QtTest>

#include "bench/support.h"

class BenchStatsTest : public QObject {
    Q_OBJECT
  private slots:
    void quantilesAreValuesThatOccurredByNearestRank() {
        std::vector<double> v;
        for (int i = 1; i <= 200; ++i) {
            v.push_back(i);
        }
        std::reverse(v.begin(), v.end());
        QCOMPARE(bench::quantile(v, 0.99), 198.0);  // 2 of 200 lie above the p99
        QCOMPARE(bench::quantile(v, 1.0), 200.0);
        QCOMPARE(bench::quantile(v, 0.0), 1.0);
        QCOMPARE(bench::median(v), 100.5);
        QCOMPARE(bench::median({3, 1, 2}), 2.0);
        QVERIFY(std::isnan(bench::quantile({}, 0.5)));
    }

    void tickErrorsAndDriftAreMeasuredAgainstTheNominalPeriod() {
        // Ticks 5 ms apart except every tenth, 1 ms late: the late tick and the one after it
        // are 1 ms off; the run as a whole ends 1 ms late.
        std::vector<int64_t> stamps;
        int64_t t = 1'000'000'000;
        for (int i = 0; i <= 100; ++i) {
            stamps.push_back(t + (i == 50 ? 1'000'000 : 0) + (i == 100 ? 1'000'000 : 0));
            t += 5'000'000;
        }
        const bench::TickStats s = bench::tickStats(stamps, 5);
        QCOMPARE(s.intervals, size_t(100));
        QCOMPARE(s.medianErrorMs, 0.0);
        QCOMPARE(s.p99ErrorMs, 1.0);
        QVERIFY(std::abs(s.driftPercent - 0.2) < 1e-9);  // 1 ms over 500 ms, late is positive
        // Too few ticks to say anything.
        QCOMPARE(bench::tickStats({42}, 5).intervals, size_t(0));
    }
};

QTEST_MAIN(BenchStatsTest)
#include "test_bench_stats.moc"
