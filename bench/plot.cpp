// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT

#include "bench/plot.h"

#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace bench {

namespace {

constexpr double kRangeMs = 1.0;  // errors shown from -1 to +1 ms; beyond that, counted apart
constexpr int kBins = 80;

}  // namespace

bool plotTickHistogram(const std::vector<TickSeries>& series, const QString& title,
                       const QString& path) {
    const int width = 900;
    const int panelHeight = 220;
    const int top = 50;
    const int left = 70;
    const int right = 30;
    QImage img(width, top + panelHeight * static_cast<int>(series.size()) + 40,
               QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, false);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(13);
    p.setFont(font);
    QFont bold = font;
    bold.setBold(true);
    bold.setPixelSize(15);
    p.setFont(bold);
    p.drawText(QRect(0, 10, width, 24), Qt::AlignHCenter, title);
    p.setFont(font);

    const int plotW = width - left - right;
    for (size_t k = 0; k < series.size(); ++k) {
        const TickSeries& s = series[k];
        const int y0 = top + static_cast<int>(k) * panelHeight;
        const int plotH = panelHeight - 60;
        std::vector<int> bins(kBins, 0);
        int below = 0;
        int above = 0;
        for (double v : s.intervalsMs) {
            const double e = v - s.nominalMs;
            if (e < -kRangeMs) {
                ++below;
            } else if (e >= kRangeMs) {
                ++above;
            } else {
                const int b = static_cast<int>((e + kRangeMs) / (2 * kRangeMs) * kBins);
                ++bins[static_cast<size_t>(std::clamp(b, 0, kBins - 1))];
            }
        }
        const int highest = std::max(1, *std::max_element(bins.begin(), bins.end()));
        // Counts on a log scale, so the rare late ticks stay visible beside the peak.
        const double logTop = std::log10(static_cast<double>(highest) + 1);
        const QRect frame(left, y0 + 20, plotW, plotH);
        p.setPen(QColor(120, 120, 120));
        p.drawRect(frame.adjusted(0, 0, -1, -1));
        const int zeroX = left + plotW / 2;
        p.setPen(QPen(QColor(200, 0, 0), 1, Qt::DashLine));
        p.drawLine(zeroX, frame.top(), zeroX, frame.bottom());
        for (int b = 0; b < kBins; ++b) {
            if (bins[static_cast<size_t>(b)] == 0) {
                continue;
            }
            const double h = std::log10(bins[static_cast<size_t>(b)] + 1.0) / logTop * (plotH - 4);
            const int x = left + b * plotW / kBins;
            const int w = std::max(1, (b + 1) * plotW / kBins - b * plotW / kBins - 1);
            p.fillRect(QRect(x, frame.bottom() - static_cast<int>(h), w, static_cast<int>(h)),
                       QColor(30, 90, 200));
        }
        p.setPen(Qt::black);
        p.drawText(QRect(left, y0, plotW, 18), Qt::AlignLeft,
                   QStringLiteral("%1 ms timer: %2 intervals, %3 earlier than -1 ms, %4 later "
                                  "than +1 ms (log-scaled counts, peak %5)")
                       .arg(s.nominalMs)
                       .arg(s.intervalsMs.size())
                       .arg(below)
                       .arg(above)
                       .arg(highest));
        for (int t = -4; t <= 4; ++t) {
            const double ms = t * kRangeMs / 4;
            const int x = left + static_cast<int>((ms + kRangeMs) / (2 * kRangeMs) * plotW);
            p.drawLine(x, frame.bottom(), x, frame.bottom() + 4);
            p.drawText(QRect(x - 30, frame.bottom() + 6, 60, 16), Qt::AlignHCenter,
                       QString::number(ms, 'f', 2));
        }
        p.drawText(QRect(left, frame.bottom() + 22, plotW, 16), Qt::AlignHCenter,
                   QStringLiteral("interval minus nominal period (ms)"));
    }
    p.end();
    return img.save(path);
}

}  // namespace bench
