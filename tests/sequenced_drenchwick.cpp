// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT

// The shipped program (see main.cpp) with one change: its random numbers follow a fixed
// sequence, given as the one argument, that starts over at every Randomize, so that each game
// walks the same way. The end-to-end tests use it where chance would make a game slow or flaky.
//
// The argument is "a,b,...;c,d,...": the numbers before the semicolon are drawn once, the ones
// after it over and over. Each walking tick draws twice, first for Quib, then for Zorbo; a
// number of 1/3 or more makes that walker step.
#include <QApplication>
#include <cstdio>
#include <vector>

#include "game/form1.h"
#include "runtime/qt/qt_host.h"

namespace {

std::vector<rt::Single> numbers(const QString& list) {
    std::vector<rt::Single> out;
    for (const QString& n : list.split(',', Qt::SkipEmptyParts)) {
        bool ok = false;
        const float v = n.toFloat(&ok);
        if (!ok || v < 0 || v >= 1) {
            std::fprintf(stderr, "not a number in [0, 1): %s\n", qPrintable(n));
            std::exit(2);
        }
        out.push_back(v);
    }
    return out;
}

class SequencedHost : public rt::QtHost {
  public:
    SequencedHost(std::vector<rt::Single> once, std::vector<rt::Single> repeated)
        : once_(std::move(once)), repeated_(std::move(repeated)) {}

    rt::Single nextRandom() override {
        const size_t i = next_++;
        if (i < once_.size()) {
            return once_[i];
        }
        return repeated_.empty() ? 0.0F : repeated_[(i - once_.size()) % repeated_.size()];
    }
    void randomize() override { next_ = 0; }

  private:
    std::vector<rt::Single> once_;
    std::vector<rt::Single> repeated_;
    size_t next_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
    rt::QtHost::prepareProcess();
    new QApplication(argc, argv);
    QGuiApplication::setDesktopFileName(QStringLiteral("org.drenchwick.Drenchwick"));
    const QStringList parts = QApplication::arguments().value(1).split(';');
    int status = 0;
    {
        SequencedHost host(numbers(parts.value(0)), numbers(parts.value(1)));
        Form1 form;
        status = host.run(form);
    }
    rt::QtHost::leave(status);
}
