// The host that runs forms in real windows on Qt.
#pragma once

#include <QObject>
#include <QPointer>
#include <functional>
#include <map>
#include <memory>

#include "runtime/host.h"

class QMessageBox;
class QTimer;
class QKeyEvent;
class QMainWindow;
class QWidget;

namespace rt {

class Form;
class FormWindow;
class TickSource;

class QtHost : public QObject, public Host {
    Q_OBJECT
  public:
    QtHost();
    ~QtHost() override;

    // Settings Qt reads only when the application object is made: call before making it.
    static void prepareProcess();

    // Shows `startup`, runs the event loop and returns the program's exit status.
    int run(Form& startup);
    // Shows `startup` without entering the event loop (for tests that drive the loop).
    void start(Form& startup);

    // The window of a loaded form and the widget its controls are painted on; null if none.
    QMainWindow* windowOf(const Form& form) const;
    QWidget* canvasOf(const Form& form) const;
    // Tests watch every box as it opens, e.g. to press one of its buttons.
    void setBoxObserver(std::function<void(QMessageBox&)> observer) {
        boxObserver_ = std::move(observer);
    }
    int openBoxes() const { return modal_; }

    // Host interface.
    void formLoaded(Form& form) override;
    void formShown(Form& form) override;
    void formUnloaded(Form& form) override;
    void invalidate(Form& form, const PixelRect& rect) override;
    void timerChanged(Timer& timer) override;
    int messageBox(const std::string& text, int buttons, const std::string& title) override;
    Single nextRandom() override;
    void randomize() override;

    // From the window.
    void keyPressed(Form& form, const QKeyEvent& event);
    void keyReleased(Form& form, const QKeyEvent& event);
    void windowClosed(Form& form);

  protected:
    void onEnded() override;
    void onFailed(const std::string& report) override;

  private:
    void applyTimer(Timer& timer);
    void resyncTimers();
    void deliverPendingRelease();
    void takeFocus(Form& form);

    std::map<const Form*, std::unique_ptr<FormWindow>> windows_;
    std::map<Timer*, TickSource*> timers_;
    int modal_ = 0;
    std::function<void(QMessageBox&)> boxObserver_;
    uint64_t randomState_ = 0;

    // A held key repeats as release+press pairs; a release is held back for a moment so the
    // press of a repeat pair can cancel it.
    struct PendingRelease {
        Form* form = nullptr;
        int qtKey = 0;
        int keyCode = 0;
        int shift = 0;
        unsigned long timestamp = 0;
    };
    PendingRelease pending_;
    QTimer* releaseGrace_ = nullptr;
};

}  // namespace rt
