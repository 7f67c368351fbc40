// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT

#include "runtime/qt/message_boxes.h"

#include <QAbstractButton>
#include <QEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include "runtime/codes.h"
#include "runtime/host.h"

namespace rt {

namespace {

// For kBoxArmingMs a new box takes no answer: its buttons show disabled, and neither a key, a
// click nor a close request reaches them.
class Arming : public QObject {
  public:
    explicit Arming(QMessageBox& box) : QObject(&box), box_(box) {
        setButtonsEnabled(false);
        box.installEventFilter(this);
        QTimer::singleShot(kBoxArmingMs, this, [this] { arm(); });
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* e) override {
        if (!armed_ && watched == &box_ && e->type() == QEvent::Close) {
            e->ignore();  // closing a Yes/No box would answer No
            return true;
        }
        return false;
    }

  private:
    void arm() {
        armed_ = true;
        setButtonsEnabled(true);
        // Return and Space answer with the default button, as in any box.
        if (QPushButton* b = box_.defaultButton()) {
            b->setFocus();
        }
    }
    void setButtonsEnabled(bool enabled) {
        for (QAbstractButton* b : box_.buttons()) {
            b->setEnabled(enabled);
        }
    }

    QMessageBox& box_;
    bool armed_ = false;
};

}  // namespace

int MessageBoxes::show(QWidget* parent, const std::string& text, int buttons,
                       const std::string& title) {
    QMessageBox box(parent);
    box.setWindowTitle(QString::fromStdString(title));
    box.setTextFormat(Qt::PlainText);
    // The texts break their lines with a carriage return alone.
    QString shown = QString::fromStdString(text);
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    box.setText(shown);
    box.setIcon(QMessageBox::NoIcon);
    if ((buttons & kButtonSetMask) == kButtonsYesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
        box.setDefaultButton(QMessageBox::Ok);
    }
    box.setWindowModality(Qt::ApplicationModal);
    new Arming(box);

    if (open_++ == 0 && freeze_.begin) {
        freeze_.begin();
    }
    if (observer_) {
        QMessageBox* b = &box;
        QTimer::singleShot(0, &box, [this, b] { observer_(*b); });
    }
    const int result = box.exec();
    if (--open_ == 0 && freeze_.end) {
        freeze_.end();
    }
    switch (result) {
        case QMessageBox::Yes:
            return kAnswerYes;
        case QMessageBox::No:
            return kAnswerNo;
        case QMessageBox::Ok:
            return kAnswerOk;
        default:
            return kAnswerNone;
    }
}

}  // namespace rt
