#include "runtime/qt/message_boxes.h"

#include <QMessageBox>
#include <QTimer>

#include "runtime/codes.h"

namespace rt {

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
