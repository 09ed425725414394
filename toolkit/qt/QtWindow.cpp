#include "toolkit/qt/QtWindow.h"

#include "toolkit/Application.h"
#include "toolkit/Keyboard.h"
#include "toolkit/Stacking.h"
#include "toolkit/qt/ModalLayer.h"
#include "toolkit/qt/PackedPictures.h"
#include "toolkit/qt/QtControl.h"
#include "toolkit/qt/QtControlWidgets.h"
#include "toolkit/qt/QtSkin.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <QWindow>

#include <algorithm>
#include <utility>

namespace forms::qt {

namespace {

Qt::WindowFlags frameless(bool owned) {
    Qt::WindowFlags flags = (owned ? Qt::Dialog : Qt::Window) | Qt::FramelessWindowHint;
#ifdef Q_OS_WIN
    // Without them a frameless window can't be minimised or restored from its taskbar button.
    flags |= Qt::WindowMinimizeButtonHint | Qt::WindowSystemMenuHint;
#endif
    return flags;
}

// Sees the window system's next frame request reach a window.
class FrameWatch : public QObject {
public:
    explicit FrameWatch(QWindow& window)
        : window_(window) {
        window_.installEventFilter(this);
    }
    ~FrameWatch() override { window_.removeEventFilter(this); }
    bool seen() const { return seen_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == &window_ && event->type() == QEvent::UpdateRequest) seen_ = true;
        return false;
    }

private:
    QWindow& window_;
    bool seen_ = false;
};

} // namespace

FormWidget::FormWidget(Form& form, QtWindow& window)
    : QWidget(nullptr, frameless(false))
    , form_(&form)
    , window_(window) {
    setMouseTracking(true);
    setAttribute(Qt::WA_DeleteOnClose, false);
    // Growing the window by a strip draws only the strip, not the whole window again.
    setAttribute(Qt::WA_StaticContents);
}

void FormWidget::send(std::function<void(const PointerEvent&)> Form::*handler, const QMouseEvent& event,
                      int button) {
    if (!form_ || !(form_->*handler)) return;
    const PointerEvent pointer = pointerEvent(window_, *this, event, button);
    Form* form = form_;
    deliver([&] { (form->*handler)(pointer); });
}

void FormWidget::mousePressEvent(QMouseEvent* event) {
    send(&Form::onMouseDown, *event, buttonState(event->button()));
    event->accept();
}

void FormWidget::mouseMoveEvent(QMouseEvent* event) {
    send(&Form::onMouseMove, *event, buttonState(event->buttons()));
    event->accept();
}

void FormWidget::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && form_ && answerEscape(*form_)) {
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

void FormWidget::paintEvent(QPaintEvent* event) {
    QWidget::paintEvent(event);
    if (const auto cut = window_.cutOffRows()) {
        QPainter painter(this);
        painter.drawTiledPixmap(*cut, QPixmap::fromImage(*window_.cutOffFill()));
    }
    // Not once the window has let go of its form: the work is the window's.
    if (afterNextFrame_)
        QTimer::singleShot(0, this, [this, work = std::exchange(afterNextFrame_, nullptr)] {
            if (form_) work();
        });
}

// Tab and Shift+Tab, and Qt's own walk when a widget holding the focus hides, go where the form's focus
// tracker says; a window that has let go of its form moves no focus.
bool FormWidget::focusNextPrevChild(bool next) {
    if (Form* form = form_) deliver([form, next] { form->focusTracker().tab(!next); });
    return true;
}

void FormWidget::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    // The window has one size: a window manager's full screen or maximise is refused as its resizing is.
    if (event->type() == QEvent::WindowStateChange && isWindow() &&
        (windowState() & (Qt::WindowFullScreen | Qt::WindowMaximized))) {
        setWindowState(windowState() & ~(Qt::WindowFullScreen | Qt::WindowMaximized));
        return;
    }
    // Qt reports no focus within a window that is not active: a press that activates the window has given
    // its control the focus by now.
    if (event->type() == QEvent::ActivationChange && form_ && isWindow() && isActiveWindow()) {
        Form* form = form_;
        Control* pressed = nullptr;
        for (Control* control : form->controls())
            if (auto* native = static_cast<QtControl*>(control->native());
                native && native->widget() == focusWidget())
                pressed = control;
        deliver([form, pressed] {
            if (pressed) form->focusTracker().focusIn(*pressed);
            form->windowActivated();
        });
    }
    // Restored: the size the window reached while minimised. Nothing else is drawn on a state change: a new
    // frame can bring a window back that a compositor has just hidden.
    if (event->type() == QEvent::WindowStateChange && form_ && window_.restoresWithNewSize())
        window_.presentFrame();
}

void FormWidget::closeEvent(QCloseEvent* event) {
    // The form decides: it unloads, which takes this window away, or stays.
    event->ignore();
    if (Form* form = form_) deliver([form] { form->closeRequestedByWindowSystem(); });
}

void FormWidget::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    if (form_ && isVisible() && isWindow()) window_.windowSystemMoved(pos());
}

QtWindow::QtWindow(Form& form)
    : form_(form)
    , widget_(new FormWidget(form, *this)) {
    const FormProps& p = form.props();
    widget_->setObjectName(QString::fromStdString(p.name));
    QPalette palette = widget_->palette();
    palette.setColor(QPalette::Window, color(p.backColor));
    widget_->setPalette(palette);
    widget_->setAutoFillBackground(true);
    if (!p.accessibleName.empty()) widget_->setAccessibleName(QString::fromStdString(p.accessibleName));
    updateCaption();
    updateSize();
}

QtWindow::~QtWindow() {
    if (!widget_) return;
    widget_->unlink();
    widget_->hide();
    // The window may be unloading from one of its own event handlers.
    widget_->deleteLater();
}

namespace {
QWidget* widgetOf(const Control& control) {
    return static_cast<QtControl*>(control.native())->widget();
}
} // namespace

std::unique_ptr<NativeControl> QtWindow::createControl(Control& control) {
    auto native = std::make_unique<QtControl>(control, *this);
    if (!controlsSettled_) return native;
    // A new child lies above all others.
    if (Control* above = createdAbove(form_, control)) native->widget()->stackUnder(widgetOf(*above));
    return native;
}

void QtWindow::controlsCreated() {
    for (Control* control : form_.controls())
        if (isWindowed(control->kind()) && control->native()) widgetOf(*control)->raise();
    controlsSettled_ = true;
}

Twips QtWindow::textWidth(const Font& font, const std::string& text) const {
    return toTwips(singleLineWidth(displayText(text), qt::font(font)));
}

void QtWindow::updateSize() {
    const FormProps& p = form_.props();
    const QSize size(toPixels(p.width), toPixels(p.height));
    const bool shown = widget_->isVisible();
    // The server is given each frame ahead, with its size, once the tick has moved the controls.
    if (shown && !minimised() && serverWindow_.drawsAhead() && size != widget_->size()) {
        if (!pendingSize_)
            QMetaObject::invokeMethod(
                &sizeLater_, [this] { presentFrame(); }, Qt::QueuedConnection);
        pendingSize_ = size;
        return;
    }
    // A window manager may take a resize of a minimised window for a request to show it again, and a shown
    // window shrinks with its next frame (see presentFrame).
    if (!minimised() && !(shown && size.height() < widget_->height())) {
        pendingSize_.reset();
        applySize(size);
        return;
    }
    // Until then the rows to be cut off continue the bottom edge, not the background behind the moved edge.
    if (shown && !minimised() && !cutOffFill_) cutOffFill_ = bottomRow();
    // Changes outside a timer tick are put on screen from the event loop.
    if (!pendingSize_)
        QMetaObject::invokeMethod(
            &sizeLater_, [this] { presentFrame(); }, Qt::QueuedConnection);
    pendingSize_ = size;
}

// The window at the new size as the next paint will draw it, in device pixels: the controls where the tick
// put them. Rows below the present height, which the window cannot draw yet, take the controls reaching there
// one by one in their stacking order, each without a background it does not paint itself, so that none covers
// one that lies above it.
QImage QtWindow::frameAhead(QSize size) const {
    const qreal scale = widget_->devicePixelRatioF();
    QImage frame((QSizeF(size) * scale).toSize(), QImage::Format_RGB32);
    frame.setDevicePixelRatio(scale);
    frame.fill(widget_->palette().color(QPalette::Window));
    QPainter painter(&frame);
    const int kept = std::min(size.height(), widget_->height());
    widget_->render(&painter, QPoint(), QRegion(0, 0, size.width(), kept));
    for (QObject* object : widget_->children()) {
        auto* child = qobject_cast<QWidget*>(object);
        const QRect below = child && child->isVisible() && !child->isWindow()
                                ? child->geometry() & QRect(0, kept, size.width(), size.height() - kept)
                                : QRect();
        if (!below.isEmpty())
            child->render(&painter, below.topLeft(), QRegion(below.translated(-child->pos())),
                          QWidget::DrawChildren);
    }
    return frame;
}

// The window's lowest row as drawn, in device pixels.
QImage QtWindow::bottomRow() const {
    return widget_->grab(QRect(0, widget_->height() - 1, widget_->width(), 1)).toImage();
}

std::optional<QRect> QtWindow::cutOffRows() const {
    if (!pendingSize_ || !cutOffFill_ || pendingSize_->height() >= widget_->height()) return std::nullopt;
    return QRect(0, pendingSize_->height(), widget_->width(), widget_->height() - pendingSize_->height());
}

bool QtWindow::restoresWithNewSize() const {
    return pendingSize_ && !minimised();
}

bool QtWindow::minimised() const {
    return widget_->windowState() & Qt::WindowMinimized;
}

// Equal minimum and maximum tell the window manager that the user can neither resize nor maximise.
void QtWindow::applySize(QSize size) {
    widget_->setFixedSize(size);
}

void QtWindow::updateCaption() {
    widget_->setWindowTitle(QString::fromStdString(form_.windowTitle()));
}

void QtWindow::place() {
    placed_ = QPoint(toPixels(form_.left()), toPixels(form_.top()));
    // No move is ever reported back where the window system places windows itself.
    if (!mover_->placesWindows()) {
        mover_->moveTo(*widget_, placed_);
        return;
    }
    if (widget_->pos() == placed_ && pendingMoves_.empty()) return;
    pendingMoves_.push_back(placed_);
    if (pendingMoves_.size() > 64) pendingMoves_.pop_front();
    if (mover_->moveTo(*widget_, placed_)) return;
    // The window system's own move has the drag: each place it reports is the window's.
    pendingMoves_.clear();
    placed_ = widget_->pos();
    form_.movedByWindowSystem(toTwips(placed_.x()), toTwips(placed_.y()));
}

void QtWindow::windowSystemMoved(QPoint position) {
    if (!mover_->placesWindows()) return;
    const auto ours = std::find(pendingMoves_.begin(), pendingMoves_.end(), position);
    if (ours != pendingMoves_.end()) {
        pendingMoves_.erase(pendingMoves_.begin(), ours + 1);
        return;
    }
    if (!pendingMoves_.empty()) return;
    placed_ = position;
    form_.movedByWindowSystem(toTwips(position.x()), toTwips(position.y()));
}

void QtWindow::show(Form* owner, bool modal) {
    if (owner && modal && !mover_->placesWindows()) {
        auto* ownerWindow = static_cast<QtWindow*>(owner->native());
        ModalLayer::show(*ownerWindow->widget(), *widget_, placed_ - ownerWindow->placedPixels());
    } else if (owner) {
        auto* ownerWindow = static_cast<QtWindow*>(owner->native());
        // An owned window stays above its owner and has no taskbar button of its own.
        widget_->setParent(ownerWindow->widget(), frameless(true));
        widget_->move(placed_);
    }
    if (widget_->isWindow()) widget_->setWindowModality(modal ? Qt::ApplicationModal : Qt::NonModal);
    widget_->show();
    serverWindow_.assume(widget_->size());
    // A window drawn inside its owner leaves the owner's activation alone: on Wayland a late activation
    // would undo a minimise that follows.
    if (widget_->isWindow()) widget_->activateWindow();
    // Once the first frame is out: the icon, whose sizes together are more bytes for the server than the
    // frame itself. The frame is still in the connection's buffer then, and would wait behind the work.
    widget_->afterNextFrame([this, window = widget_.data()] {
        ServerWindow::flushConnection();
        if (window->isWindow() && !iconGiven_) applyIcon();
    });
}

// The window system has the icon before the window shows. Qt would convert every size of it on the heap
// first.
void QtWindow::applyIcon() {
    iconGiven_ = true;
    const Picture& picture = form_.props().icon;
    if (picture.empty()) return;
    const std::vector<QImage> sizes = packed::iconSizes(picture.name(), true);
    widget_->winId();
    if (sizes.empty() || !serverWindow_.setIcon(sizes)) widget_->setWindowIcon(icon(picture));
}

WindowState QtWindow::windowState() const {
    return widget_->windowState() & Qt::WindowMinimized ? WindowState::Minimized : WindowState::Normal;
}

void QtWindow::setWindowState(WindowState state) {
    if (state != WindowState::Minimized) {
        widget_->showNormal();
        return;
    }
    // Natively on Wayland, Qt asks the compositor for a token to activate the window whenever the focus moves
    // (a press on Minimise moves it) and activates the window once the token comes: after the minimise, that
    // brings the window back. The minimise waits for the compositor's next frame, whose notice comes after
    // the token's.
    if (QWindow* window = widget_->windowHandle();
        window && QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) {
        FrameWatch watch(*window);
        window->requestUpdate();
        // A hidden window gets no frame: the limit's own tick ends the wait.
        QTimer limit;
        limit.setSingleShot(true);
        limit.start(200);
        while (!watch.seen() && limit.isActive())
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents |
                                            QEventLoop::WaitForMoreEvents);
    }
    widget_->showMinimized();
}

ScreenArea QtWindow::screenArea() const {
    QScreen* screen = widget_->screen() ? widget_->screen() : QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    return ScreenArea{toTwips(area.x()), toTwips(area.y()), toTwips(area.width()), toTwips(area.height())};
}

// A window shrinks only once the frame has painted its bottom edge higher up, so that every frame of a
// shrink reaches the screen with its edge; a minimised window takes the size it reached when restored.
void QtWindow::presentFrame() {
    if (!widget_ || presenting_) return;
    presenting_ = true;
    if (pendingSize_ && !minimised() && widget_->isVisible() && serverWindow_.drawsAhead()) {
        // A frame ahead stands for one size: while the window manager has yet to apply the last one, nothing
        // is drawn and the newest size waits.
        if (!serverWindow_.has(widget_->size())) {
            widget_->setUpdatesEnabled(false);
            presenting_ = false;
            QTimer::singleShot(1, &sizeLater_, [this] { presentFrame(); });
            return;
        }
        // Nothing is painted before the server has the size, not even from the events the wait lets through.
        const QSize size = *std::exchange(pendingSize_, std::nullopt);
        // A widget whose updates are off renders none of its children.
        widget_->setUpdatesEnabled(true);
        serverWindow_.showAhead(frameAhead(size));
        widget_->setUpdatesEnabled(false);
        applySize(size);
        serverWindow_.await(size);
        widget_->setUpdatesEnabled(true);
    }
    if (widget_->isVisible()) QCoreApplication::sendPostedEvents(widget_, QEvent::UpdateRequest);
    if (pendingSize_ && !minimised()) {
        const QSize size = *std::exchange(pendingSize_, std::nullopt);
        applySize(size);
        serverWindow_.await(size);
        cutOffFill_.reset();
    }
    presenting_ = false;
}

} // namespace forms::qt
