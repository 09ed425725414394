#include "toolkit/qt/WindowMover.h"

#include <QGuiApplication>
#include <QWindow>

namespace forms::qt {

namespace {

class ProgramMover : public WindowMover {
public:
    void moveTo(QWidget& window, QPoint position) override { window.move(position); }
    bool placesWindows() const override { return true; }
};

// Qt releases its buttons as soon as the compositor takes a drag over, so each press-and-drag hands over
// exactly once, and the next press starts afresh.
class SystemMover : public WindowMover {
public:
    void moveTo(QWidget& window, QPoint) override {
        if (QGuiApplication::mouseButtons() == Qt::LeftButton && window.windowHandle())
            window.windowHandle()->startSystemMove();
    }
    bool placesWindows() const override { return false; }
};

} // namespace

std::unique_ptr<WindowMover> createWindowMover() {
    if (QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        return std::make_unique<SystemMover>();
    return std::make_unique<ProgramMover>();
}

} // namespace forms::qt
