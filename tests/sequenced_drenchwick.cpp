// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT

// The shipped program (see main.cpp) with one change: its random numbers follow a fixed
// sequence, given as the one argument (see support/random_script.h). The end-to-end tests use it
// where chance would make a game slow or flaky.
#include <QApplication>

#include "game/form1.h"
#include "runtime/qt/qt_host.h"
#include "support/random_script.h"

namespace {

class SequencedHost : public rt::QtHost {
  public:
    explicit SequencedHost(const std::string& script) : randoms_(script) {}
    rt::Single nextRandom() override { return randoms_.next(); }
    void randomize() override { randoms_.restart(); }

  private:
    RandomScript randoms_;
};

}  // namespace

int main(int argc, char** argv) {
    rt::QtHost::prepareProcess();
    new QApplication(argc, argv);
    QGuiApplication::setDesktopFileName(QStringLiteral("org.drenchwick.Drenchwick"));
    int status = 0;
    {
        SequencedHost host(QApplication::arguments().value(1).toStdString());
        Form1 form;
        status = host.run(form);
    }
    rt::QtHost::leave(status);
}
