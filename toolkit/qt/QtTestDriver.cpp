#include "toolkit/TestDriver.h"

#include "toolkit/Hooks.h"
#include "toolkit/qt/QtControl.h"
#include "toolkit/qt/QtSkin.h"
#include "toolkit/qt/QtWindow.h"

#include <QApplication>

#include <QClipboard>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPointer>
#include <QTimer>
#include <cmath>

namespace forms::testing {

namespace {

QWidget& widgetOf(const Control& control) {
    auto* native = static_cast<qt::QtControl*>(control.native());
    if (!native || !native->widget()) throw Error("Control " + control.name() + " has no window");
    return *native->widget();
}

qt::QtWindow& windowOf(const Form& form) {
    auto* native = static_cast<qt::QtWindow*>(form.native());
    if (!native) throw Error("Form " + form.name() + " is not loaded");
    return *native;
}

Qt::MouseButtons qtButtons(int button) {
    return Qt::MouseButtons((button & LeftButton ? Qt::LeftButton : Qt::NoButton) |
                            (button & RightButton ? Qt::RightButton : Qt::NoButton) |
                            (button & MiddleButton ? Qt::MiddleButton : Qt::NoButton));
}

Qt::KeyboardModifiers qtModifiers(int shift) {
    return Qt::KeyboardModifiers((shift & ShiftMask ? Qt::ShiftModifier : Qt::NoModifier) |
                                 (shift & ControlMask ? Qt::ControlModifier : Qt::NoModifier) |
                                 (shift & AltMask ? Qt::AltModifier : Qt::NoModifier));
}

// A pointer event at (x, y) twips of the surface, as the window system would deliver it there.
void send(QWidget& surface, const qt::QtWindow& window, QEvent::Type type, int button, int buttonsHeld,
          int shift, float x, float y) {
    const QPointF local(x / kTwipsPerPixel, y / kTwipsPerPixel);
    const QPointF global =
        QPointF(window.placedPixels() + surface.mapTo(surface.window(), QPoint(0, 0))) + local;
    QMouseEvent event(type, local, local, global, Qt::MouseButton(int(qtButtons(button))),
                      qtButtons(buttonsHeld), qtModifiers(shift));
    QApplication::sendEvent(&surface, &event);
}

void activate(QWidget& widget) {
    QWidget* window = widget.window();
    window->activateWindow();
    QApplication::setActiveWindow(window);
}

// Where a key goes: the focused control of the active window, or of the modal window that is about to
// become active.
QWidget* focusTarget() {
    QWidget* window = QApplication::activeModalWidget();
    if (!window) window = QApplication::activeWindow();
    if (!window) throw Error("No window is active");
    return window->focusWidget() ? window->focusWidget() : window;
}

} // namespace

void processEvents() {
    QCoreApplication::processEvents();
}

void pointerDown(Control& control, int button, int shift, float x, float y) {
    send(widgetOf(control), windowOf(control.form()), QEvent::MouseButtonPress, button, button, shift, x, y);
}

void pointerMove(Control& control, int button, int shift, float x, float y) {
    send(widgetOf(control), windowOf(control.form()), QEvent::MouseMove, 0, button, shift, x, y);
}

void pointerUp(Control& control, int button, int shift, float x, float y) {
    send(widgetOf(control), windowOf(control.form()), QEvent::MouseButtonRelease, button, 0, shift, x, y);
}

void pointerDown(Form& form, int button, int shift, float x, float y) {
    qt::QtWindow& window = windowOf(form);
    send(*window.widget(), window, QEvent::MouseButtonPress, button, button, shift, x, y);
}

void pointerMove(Form& form, int button, int shift, float x, float y) {
    qt::QtWindow& window = windowOf(form);
    send(*window.widget(), window, QEvent::MouseMove, 0, button, shift, x, y);
}

void click(Control& control) {
    QWidget& widget = widgetOf(control);
    const float x = widget.width() * kTwipsPerPixel / 2;
    const float y = widget.height() * kTwipsPerPixel / 2;
    if (takesFocus(control.kind())) {
        activate(widget);
        widget.setFocus(Qt::MouseFocusReason);
    }
    pointerDown(control, LeftButton, 0, x, y);
    pointerUp(control, LeftButton, 0, x, y);
}

void doubleClick(Control& control) {
    QWidget& widget = widgetOf(control);
    const float x = widget.width() * kTwipsPerPixel / 2;
    const float y = widget.height() * kTwipsPerPixel / 2;
    pointerDown(control, LeftButton, 0, x, y);
    pointerUp(control, LeftButton, 0, x, y);
    send(widget, windowOf(control.form()), QEvent::MouseButtonDblClick, LeftButton, LeftButton, 0, x, y);
    pointerUp(control, LeftButton, 0, x, y);
}

void closeFromWindowSystem(Form& form) {
    QCloseEvent event;
    QApplication::sendEvent(windowOf(form).widget(), &event);
}

SizeLimits sizeLimits(const Form& form) {
    const QWidget& widget = *windowOf(form).widget();
    return {widget.minimumWidth(), widget.minimumHeight(), widget.maximumWidth(), widget.maximumHeight()};
}

void focus(Control& control) {
    QWidget& widget = widgetOf(control);
    activate(widget);
    widget.setFocus(Qt::TabFocusReason);
}

void activate(Form& form) {
    activate(*windowOf(form).widget());
}

void pressKey(Key key) {
    const int code = key == Key::Enter    ? Qt::Key_Return
                     : key == Key::Space  ? Qt::Key_Space
                     : key == Key::Escape ? Qt::Key_Escape
                                          : Qt::Key_Tab;
    const QString text = key == Key::Enter   ? QStringLiteral("\r")
                         : key == Key::Space ? QStringLiteral(" ")
                                             : QString();
    QWidget* target = focusTarget();
    const QPointer<QWidget> guard(target);
    QKeyEvent press(QEvent::KeyPress, code, Qt::NoModifier, text);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, code, Qt::NoModifier, text);
    // The press may have closed the window; the key still comes up where it went down.
    if (guard) QApplication::sendEvent(guard, &release);
}

void typeText(const std::string& text) {
    for (const QChar ch : QString::fromStdString(text)) {
        QWidget* target = focusTarget();
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(target, &press);
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(target, &release);
    }
}

void paste(const std::string& text) {
    QGuiApplication::clipboard()->setText(QString::fromStdString(text));
    QWidget* target = focusTarget();
    QKeyEvent press(QEvent::KeyPress, Qt::Key_V, Qt::ControlModifier, QStringLiteral("\x16"));
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_V, Qt::ControlModifier, QStringLiteral("\x16"));
    QApplication::sendEvent(target, &release);
}

PointerShape pointerShape(const Control& control) {
    const QWidget& widget = widgetOf(control);
    switch (widget.cursor().shape()) {
    case Qt::ArrowCursor:
        return PointerShape::Arrow;
    case Qt::IBeamCursor:
        return PointerShape::IBeam;
    case Qt::BitmapCursor:
        return PointerShape::Hand;
    default:
        return PointerShape::Other;
    }
}

Pixels grab(const Form& form) {
    const QImage image = windowOf(form).widget()->grab().toImage().convertToFormat(QImage::Format_ARGB32);
    Pixels pixels{image.width(), image.height(), {}};
    pixels.argb.reserve(static_cast<std::size_t>(image.width() * image.height()));
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        pixels.argb.insert(pixels.argb.end(), row, row + image.width());
    }
    return pixels;
}

std::string accessibleName(const Control& control) {
    const QWidget& widget = widgetOf(control);
    if (!widget.accessibleName().isEmpty()) return widget.accessibleName().toStdString();
    if (auto* label = dynamic_cast<const QLabel*>(&widget)) return label->text().toStdString();
    return {};
}

std::string windowTitle(const Form& form) {
    return windowOf(form).widget()->windowTitle().toStdString();
}

void setFatalErrorBoxHandler(std::function<void(const std::string&)> handler) {
    if (!handler) {
        hooks().fatalErrorBoxShowing = nullptr;
        return;
    }
    hooks().fatalErrorBoxShowing = [handler] {
        // Runs once the box waits: its text goes to the handler, then OK is pressed.
        QTimer::singleShot(0, [handler] {
            for (QWidget* widget : QApplication::topLevelWidgets()) {
                auto* box = qobject_cast<QMessageBox*>(widget);
                if (!box || !box->isVisible()) continue;
                handler(box->text().toStdString());
                box->accept();
                return;
            }
        });
    };
}

} // namespace forms::testing
