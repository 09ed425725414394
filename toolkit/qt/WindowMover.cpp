#include "toolkit/qt/WindowMover.h"

#include "toolkit/qt/ServerWindow.h"

#include <QEvent>
#include <QGuiApplication>
#include <QWindow>

namespace forms::qt {

namespace {

class ProgramMover : public WindowMover {
public:
    bool moveTo(QWidget& window, QPoint position) override {
        window.move(position);
        return true;
    }
    bool placesWindows() const override { return true; }
};

// X11: a window that moves itself from the pointer's screen position falls behind a quick hand under some
// window managers (mutter through XWayland), and weston's ignores it, while their own move
// (_NET_WM_MOVERESIZE) follows exactly. Qt 6.4 may never hear the release that ends that move and reports the
// left button held until the next press (QTBUG-102488): the drag is handed over once per press, and only
// while the server has the button down, so the window never goes on following a pointer whose button is up.
class X11Mover : public QObject, public WindowMover {
public:
    X11Mover() { QCoreApplication::instance()->installEventFilter(this); }
    bool moveTo(QWidget& window, QPoint position) override {
        const bool dragging = QGuiApplication::mouseButtons() & Qt::LeftButton;
        if (dragging && press_ == Press::HandedOver) return false;
        if (dragging && press_ == Press::Fresh) {
            press_ = Press::Own;
            // The window manager's move starts from where the window is when it gets the request and where
            // Qt, which still has the window where it was, finds the pointer: the window is moved along
            // first, behind Qt's back.
            QWindow* handle = window.windowHandle();
            const qreal scale = window.devicePixelRatioF();
            if (handle && ServerWindow::leftButtonHeld() &&
                ServerWindow::requestPosition(window, (QPointF(position) * scale).toPoint()) &&
                handle->startSystemMove()) {
                press_ = Press::HandedOver;
                return false;
            }
        }
        window.move(position);
        return true;
    }
    bool placesWindows() const override { return true; }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::MouseButtonPress) press_ = Press::Fresh;
        return false;
    }

private:
    enum class Press { Fresh, HandedOver, Own };
    Press press_ = Press::Fresh;
};

// Qt releases its buttons as soon as the compositor takes a drag over, so each press-and-drag hands over
// exactly once, and the next press starts afresh.
class SystemMover : public WindowMover {
public:
    bool moveTo(QWidget& window, QPoint) override {
        if (QGuiApplication::mouseButtons() == Qt::LeftButton && window.windowHandle())
            window.windowHandle()->startSystemMove();
        return false;
    }
    bool placesWindows() const override { return false; }
};

} // namespace

std::unique_ptr<WindowMover> createWindowMover() {
    const QString platform = QGuiApplication::platformName();
    if (platform.startsWith(QLatin1String("wayland"))) return std::make_unique<SystemMover>();
    if (platform == QLatin1String("xcb")) return std::make_unique<X11Mover>();
    return std::make_unique<ProgramMover>();
}

} // namespace forms::qt
