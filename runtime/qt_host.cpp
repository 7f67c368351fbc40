#include "runtime/qt_host.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLayout>
#include <QMainWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QPaintEvent>
#include <QPainter>
#include <QProxyStyle>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <chrono>
#include <cmath>

#include "runtime/form.h"
#include "runtime/tick_source.h"

namespace rt {

namespace {

QColor toColor(Rgb c) {
    return QColor(static_cast<QRgb>(0xFF000000U | c));
}

QRect toRect(const PixelRect& r) {
    return QRect(r.x, r.y, r.w, r.h);
}

QImage wrap(const Picture& p) {
    // No copy: the picture outlives the paint call that uses this image.
    return QImage(reinterpret_cast<const uchar*>(p.pixels.data()), p.width, p.height, p.width * 4,
                  QImage::Format_RGB32);
}

QFont toFont(const FontDesign& f) {
    QFont font(QString::fromStdString(f.name));
    // The layout is in pixels of a 96-dpi window, so points become pixels at that ratio,
    // whatever the screen reports; at a higher device pixel ratio Qt renders it sharper.
    font.setPixelSize(static_cast<int>(std::lround(f.points * 96.0 / 72.0)));
    font.setWeight(f.weight >= 700 ? QFont::Bold : QFont::Normal);
    font.setItalic(f.italic);
    font.setUnderline(f.underline);
    font.setStrikeOut(f.strikeout);
    font.setStyleHint(QFont::Serif);
    return font;
}

void paintShape(QPainter& p, const Shape& s) {
    const QRect r = toRect(s.pixelRect());
    if (s.Filled()) {
        p.fillRect(r, toColor(s.FillColor()));
    }
    // The border lies inside the rectangle; filled bands keep the corners exact.
    const int b = std::min({s.BorderWidth(), r.width(), r.height()});
    if (b <= 0) {
        return;
    }
    const QColor c = toColor(s.BorderColor());
    p.fillRect(QRect(r.x(), r.y(), r.width(), b), c);
    p.fillRect(QRect(r.x(), r.bottom() - b + 1, r.width(), b), c);
    p.fillRect(QRect(r.x(), r.y(), b, r.height()), c);
    p.fillRect(QRect(r.right() - b + 1, r.y(), b, r.height()), c);
}

void paintImage(QPainter& p, const Image& img) {
    if (!img.Picture()) {
        return;
    }
    const Picture& pic = *img.Picture();
    const QRect r = toRect(img.pixelRect());
    const QImage source = wrap(pic);
    if (img.Stretch()) {
        p.drawImage(r, source);  // nearest neighbour: smooth transforms stay off
    } else {
        p.save();
        p.setClipRect(r, Qt::IntersectClip);
        p.drawImage(r.topLeft(), source);
        p.restore();
    }
}

void paintLabel(QPainter& p, const Label& l) {
    const QRect r = toRect(l.pixelRect());
    if (!l.TransparentBack()) {
        p.fillRect(r, Qt::white);
    }
    p.setFont(toFont(l.Font()));
    p.setPen(toColor(l.ForeColor()));
    int align = Qt::AlignTop | Qt::TextSingleLine;
    switch (l.TextAlignment()) {
        case Alignment::Left:
            align |= Qt::AlignLeft;
            break;
        case Alignment::Right:
            align |= Qt::AlignRight;
            break;
        case Alignment::Center:
            align |= Qt::AlignHCenter;
            break;
    }
    p.drawText(r, align, QString::fromStdString(l.Caption()));
}

// The Qt key, as the 16-bit key code the handlers know (32 is Space).
int keyCodeOf(const QKeyEvent& e) {
    const int k = e.key();
    if ((k >= Qt::Key_A && k <= Qt::Key_Z) || (k >= Qt::Key_0 && k <= Qt::Key_9) ||
        k == Qt::Key_Space) {
        return k;
    }
    if (k >= Qt::Key_F1 && k <= Qt::Key_F24) {
        return 112 + (k - Qt::Key_F1);
    }
    switch (k) {
        case Qt::Key_Backspace:
            return 8;
        case Qt::Key_Tab:
            return 9;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return 13;
        case Qt::Key_Shift:
            return 16;
        case Qt::Key_Control:
            return 17;
        case Qt::Key_Alt:
            return 18;
        case Qt::Key_Pause:
            return 19;
        case Qt::Key_CapsLock:
            return 20;
        case Qt::Key_Escape:
            return 27;
        case Qt::Key_PageUp:
            return 33;
        case Qt::Key_PageDown:
            return 34;
        case Qt::Key_End:
            return 35;
        case Qt::Key_Home:
            return 36;
        case Qt::Key_Left:
            return 37;
        case Qt::Key_Up:
            return 38;
        case Qt::Key_Right:
            return 39;
        case Qt::Key_Down:
            return 40;
        case Qt::Key_Insert:
            return 45;
        case Qt::Key_Delete:
            return 46;
        default:
            break;
    }
    return k < 0x100 ? k : 0;  // printable Latin-1 keys as themselves; others are no key
}

int shiftOf(const QKeyEvent& e) {
    const Qt::KeyboardModifiers m = e.modifiers();
    return (m & Qt::ShiftModifier ? 1 : 0) | (m & Qt::ControlModifier ? 2 : 0) |
           (m & Qt::AltModifier ? 4 : 0);
}

// The application's style, except that Alt does not put the keyboard on the menu bar. With
// that navigation on, a tap of Alt followed by Space chose "Exit" instead of throwing: the
// window must keep every key, and the menu is used with the mouse.
class GameStyle : public QProxyStyle {
  public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == QStyle::SH_MenuBar_AltKeyNavigation) {
            return 0;
        }
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

bool hasDisplay() {
    const QString p = QGuiApplication::platformName();
    return p != QLatin1String("offscreen") && p != QLatin1String("minimal");
}

}  // namespace

// The form's client area: paints the controls, back to front, in the parts asked for.
class Canvas : public QWidget {
  public:
    Canvas(const Form& form, QWidget* parent) : QWidget(parent), form_(form) {
        const FormDesign& d = form.design();
        setFixedSize(d.clientWidth, d.clientHeight);
        setFocusPolicy(Qt::StrongFocus);
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

  protected:
    void paintEvent(QPaintEvent* e) override {
        QPainter p(this);
        p.setRenderHint(QPainter::SmoothPixmapTransform, false);
        p.fillRect(e->rect(), toColor(form_.design().backColor));
        if (!form_.loaded()) {
            return;
        }
        const auto& stack = form_.stacking();
        for (auto it = stack.rbegin(); it != stack.rend(); ++it) {
            const Visual* v = *it;
            if (!v->Visible() || !e->region().intersects(toRect(v->pixelRect()))) {
                continue;
            }
            switch (v->kind()) {
                case ControlKind::Shape:
                    paintShape(p, static_cast<const Shape&>(*v));
                    break;
                case ControlKind::Image:
                    paintImage(p, static_cast<const Image&>(*v));
                    break;
                case ControlKind::Label:
                    paintLabel(p, static_cast<const Label&>(*v));
                    break;
                default:
                    break;
            }
        }
    }
    // Keys go on to the window, which hands them to the host.
    void keyPressEvent(QKeyEvent* e) override { e->ignore(); }
    void keyReleaseEvent(QKeyEvent* e) override { e->ignore(); }

  private:
    const Form& form_;
};

class FormWindow : public QMainWindow {
  public:
    FormWindow(QtHost& host, Form& form) : host_(host), form_(form) {
        const FormDesign& d = form.design();
        setWindowTitle(QString::fromStdString(d.caption));
        QIcon icon;
        for (const PictureRef& p : d.icons) {
            icon.addPixmap(QPixmap::fromImage(wrap(*p).copy()));
        }
        setWindowIcon(icon);
        canvas_ = new Canvas(form, this);
        setCentralWidget(canvas_);
        // The client area is fixed in pixels; the window is as big as it and its menu bar.
        layout()->setSizeConstraint(QLayout::SetFixedSize);
        setFocusProxy(canvas_);
        const qreal hz = screen() != nullptr ? screen()->refreshRate() : 0;
        frameMs_ = static_cast<int>(std::lround(1000.0 / (hz >= 30 && hz <= 240 ? hz : 60)));
        frame_.setSingleShot(true);
        connect(&frame_, &QTimer::timeout, this, [this] { endFrame(); });
    }

    // A timer faster than the screen's refresh would have every tick painted and sent to the
    // window system, most of them never seen: at the counter-attack's 5 ms that was most of
    // the game's CPU. While one runs, changes are gathered and painted once a frame; the first
    // change after a quiet frame is painted at once, so a throw shows without delay.
    void repaint(const QRect& r, int fastestTimerMs) {
        if (frame_.isActive()) {
            pending_ += r;
            return;
        }
        canvas_->update(r);
        if (fastestTimerMs > 0 && fastestTimerMs < frameMs_) {
            frame_.start(frameMs_);
        }
    }

    // The menu bar is rebuilt on every load: its items belong to the loaded controls.
    void buildMenus() {
        // clear() only takes the items off the bar; they stay the bar's children, three more
        // with every restart. They go once the click that may be running in one has returned.
        const QList<QAction*> old = menuBar()->actions();
        menuBar()->clear();
        for (QAction* a : old) {
            a->deleteLater();
        }
        for (MenuItem* m : form_.menus()) {
            QAction* a = menuBar()->addAction(QString::fromStdString(m->Caption()));
            const std::string name = m->Name();
            Form* form = &form_;
            connect(a, &QAction::triggered, this, [form, name] { form->dispatchMenu(name); });
        }
    }

    Canvas* canvas() const { return canvas_; }
    void closeFromEnd() {
        closingFromEnd_ = true;
        close();
    }

  protected:
    void keyPressEvent(QKeyEvent* e) override { host_.keyPressed(form_, *e); }
    void keyReleaseEvent(QKeyEvent* e) override { host_.keyReleased(form_, *e); }
    void closeEvent(QCloseEvent* e) override {
        e->accept();
        if (!closingFromEnd_) {
            host_.windowClosed(form_);
        }
    }

  private:
    QtHost& host_;
    Form& form_;
    void endFrame() {
        if (pending_.isEmpty()) {
            return;
        }
        canvas_->update(pending_);
        pending_ = QRegion();
        frame_.start(frameMs_);  // the next changes wait for the frame after this one
    }

    Canvas* canvas_ = nullptr;
    bool closingFromEnd_ = false;
    int frameMs_ = 17;
    QTimer frame_;
    QRegion pending_;
};

void QtHost::prepareProcess() {
    // On X11 Qt hands the window's pixels over through shared memory, and before it paints over
    // pixels the server may not have read yet it waits for the server to answer. The game's
    // changes touch last frame's every frame, so each frame made that round trip, and a server
    // slow to answer held the 5 ms ticks back by up to 6 ms. The window is small and its changes
    // smaller: sending them down the socket costs less and never waits. Anyone who sets the
    // variable themselves keeps their choice.
    if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM")) {
        qputenv("QT_XCB_NO_MITSHM", "1");
    }
}

QtHost::QtHost() {
    // The application owns its style; one is enough for every host made in the process.
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr &&
        dynamic_cast<GameStyle*>(QApplication::style()) == nullptr) {
        QApplication::setStyle(new GameStyle);
    }
    releaseGrace_ = new QTimer(this);
    releaseGrace_->setSingleShot(true);
    releaseGrace_->setTimerType(Qt::PreciseTimer);
    connect(releaseGrace_, &QTimer::timeout, this, [this] { deliverPendingRelease(); });
    randomize();
}

QtHost::~QtHost() {
    for (auto& [t, q] : timers_) {
        delete q;
    }
    timers_.clear();
    windows_.clear();
}

void QtHost::start(Form& startup) {
    startup.guarded("Form_Load", [&] { startup.Show(); });
}

int QtHost::run(Form& startup) {
    start(startup);
    if (halted()) {
        return exitStatus();
    }
    const int rc = QApplication::exec();
    return halted() ? exitStatus() : rc;
}

QMainWindow* QtHost::windowOf(const Form& form) const {
    auto it = windows_.find(&form);
    return it == windows_.end() ? nullptr : it->second.get();
}

QWidget* QtHost::canvasOf(const Form& form) const {
    auto it = windows_.find(&form);
    return it == windows_.end() ? nullptr : it->second->canvas();
}

void QtHost::formLoaded(Form& form) {
    auto& w = windows_[&form];
    if (!w) {
        w = std::make_unique<FormWindow>(*this, form);
    }
    w->buildMenus();
    w->canvas()->update();
    for (Timer* t : form.timers()) {
        applyTimer(*t);
    }
}

void QtHost::formShown(Form& form) {
    FormWindow* w = windows_[&form].get();
    if (w == nullptr) {
        return;
    }
    if (!w->isVisible()) {
        w->show();
    }
    takeFocus(form);
}

void QtHost::takeFocus(Form& form) {
    FormWindow* w = static_cast<FormWindow*>(windowOf(form));
    if (w == nullptr || !w->isVisible()) {
        return;
    }
    // A restart shows a window that already has the keyboard; asking again would cost a
    // round trip to the X server (Qt waits for it) inside every restart.
    if (QGuiApplication::focusWindow() == w->windowHandle() && w->canvas()->hasFocus()) {
        return;
    }
    // Without a window manager nobody hands out the keyboard, so the window takes it.
    w->raise();
    w->activateWindow();
    w->canvas()->setFocus(Qt::ActiveWindowFocusReason);
}

void QtHost::formUnloaded(Form& form) {
    for (Timer* t : form.timers()) {
        auto it = timers_.find(t);
        if (it != timers_.end()) {
            it->second->stop();
            it->second->deleteLater();  // it may be the one whose tick is running now
            timers_.erase(it);
        }
    }
    if (pending_.form == &form) {
        pending_ = PendingRelease{};
        releaseGrace_->stop();
    }
    FormWindow* w = static_cast<FormWindow*>(windowOf(form));
    if (w == nullptr) {
        return;
    }
    w->canvas()->update();
    // A restart shows the form again before control returns to the event loop; the window
    // is kept for it, so it does not jump or flicker. Otherwise it goes.
    Form* f = &form;
    QTimer::singleShot(0, this, [this, f] {
        auto it = windows_.find(f);
        if (it != windows_.end() && !f->loaded()) {
            it->second->closeFromEnd();
            it->second.release()->deleteLater();
            windows_.erase(it);
        }
    });
}

void QtHost::invalidate(Form& form, const PixelRect& rect) {
    auto it = windows_.find(&form);
    if (it == windows_.end()) {
        return;
    }
    int fastest = 0;
    for (const Timer* t : form.timers()) {
        if (t->running() && (fastest == 0 || t->Interval() < fastest)) {
            fastest = t->Interval();
        }
    }
    it->second->repaint(toRect(rect), modal_ > 0 ? 0 : fastest);
}

void QtHost::applyTimer(Timer& t) {
    TickSource*& q = timers_[&t];
    if (q == nullptr) {
        Timer* timer = &t;
        q = new TickSource(
            [this, timer] {
                if (modal_ == 0 && timers_.count(timer) != 0) {
                    timer->form().dispatchTimer(*timer);
                }
            },
            this);
    }
    if (!t.running() || modal_ > 0) {
        q->stop();
    } else if (!q->isActive() || q->interval() != t.Interval()) {
        q->start(t.Interval());  // a new interval counts from now
    }
}

void QtHost::timerChanged(Timer& t) {
    applyTimer(t);
}

void QtHost::resyncTimers() {
    for (auto& [t, q] : timers_) {
        applyTimer(*t);
    }
}

int QtHost::messageBox(const std::string& text, int buttons, const std::string& title) {
    QWidget* parent = nullptr;
    for (auto& [f, w] : windows_) {
        if (f->shown()) {
            parent = w.get();
        }
    }
    QMessageBox box(parent);
    box.setWindowTitle(QString::fromStdString(title));
    box.setTextFormat(Qt::PlainText);
    QString shown = QString::fromStdString(text);
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    box.setText(shown);
    box.setIcon(QMessageBox::NoIcon);
    if ((buttons & 7) == 4) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
        box.setDefaultButton(QMessageBox::Ok);
    }
    box.setWindowModality(Qt::ApplicationModal);

    // The game stands still behind a box: its timers stop until the box is answered.
    ++modal_;
    for (auto& [t, q] : timers_) {
        q->stop();
    }
    // A release still held back belongs to the game that the box now covers: it is dropped.
    pending_ = PendingRelease{};
    releaseGrace_->stop();
    if (boxObserver_) {
        QMessageBox* b = &box;
        QTimer::singleShot(0, &box, [this, b] { boxObserver_(*b); });
    }
    const int result = box.exec();
    --modal_;
    if (!halted() && modal_ == 0) {
        resyncTimers();
        for (auto& [f, w] : windows_) {
            if (f->shown()) {
                takeFocus(*const_cast<Form*>(f));
            }
        }
    }
    switch (result) {
        case QMessageBox::Yes:
            return 6;
        case QMessageBox::No:
            return 7;
        case QMessageBox::Ok:
            return 1;
        default:
            return 0;
    }
}

Single QtHost::nextRandom() {
    // splitmix64; the top 24 bits make a single in [0, 1) exactly, never 1.
    uint64_t z = (randomState_ += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    z ^= z >> 31;
    return static_cast<Single>(static_cast<double>(z >> 40) / 16777216.0);
}

void QtHost::randomize() {
    randomState_ =
        static_cast<uint64_t>(std::chrono::high_resolution_clock::now().time_since_epoch().count());
}

void QtHost::keyPressed(Form& form, const QKeyEvent& e) {
    if (pending_.form == &form && pending_.qtKey == e.key()) {
        if (e.isAutoRepeat() || e.timestamp() == pending_.timestamp) {
            // The second half of a repeat pair: the key never went up.
            pending_ = PendingRelease{};
            releaseGrace_->stop();
        } else {
            deliverPendingRelease();
        }
    }
}

void QtHost::keyReleased(Form& form, const QKeyEvent& e) {
    if (e.isAutoRepeat() || modal_ > 0) {
        return;
    }
    if (pending_.form != nullptr) {
        deliverPendingRelease();
    }
    pending_ = PendingRelease{&form, e.key(), keyCodeOf(e), shiftOf(e), e.timestamp()};
    releaseGrace_->start(8);
}

void QtHost::deliverPendingRelease() {
    releaseGrace_->stop();
    const PendingRelease p = pending_;
    pending_ = PendingRelease{};
    if (p.form != nullptr && modal_ == 0) {
        p.form->dispatchKeyUp(p.keyCode, p.shift);
    }
}

void QtHost::windowClosed(Form&) {
    // The only window is gone: the program ends, as with End.
    end();
}

void QtHost::onEnded() {
    for (auto& [f, w] : windows_) {
        w->hide();
    }
    QCoreApplication::exit(0);
}

void QtHost::onFailed(const std::string& report) {
    for (auto& [f, w] : windows_) {
        w->hide();
    }
    if (hasDisplay()) {
        QMessageBox::critical(nullptr, QStringLiteral("Drenchwick"),
                              QString::fromStdString(report));
    }
    QCoreApplication::exit(1);
}

}  // namespace rt
