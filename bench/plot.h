// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT

// The tick-interval histogram the bench draws for the README.
#pragma once

#include <QString>
#include <vector>

namespace bench {

struct TickSeries {
    int nominalMs = 0;
    std::vector<double> intervalsMs;
};

// Draws one panel per series: how far each interval fell from its nominal period.
bool plotTickHistogram(const std::vector<TickSeries>& series, const QString& title,
                       const QString& path);

}  // namespace bench
