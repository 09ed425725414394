#include "toolkit/qt/WindowMover.h"

#include <QGuiApplication>
#include <QWindow>

namespace forms::qt {

namespace {

class ProgramMover : public WindowMover {
public:
    void moveTo(QWidget& window, QPoint position) override { window.move(position); }
};

class SystemMover : public WindowMover {
public:
    void moveTo(QWidget& window, QPoint) override {
        const bool dragging = QGuiApplication::mouseButtons() == Qt::LeftButton;
        if (dragging && !handedOver_ && window.windowHandle())
            handedOver_ = window.windowHandle()->startSystemMove();
        if (!dragging) handedOver_ = false;
    }

private:
    bool handedOver_ = false;
};

} // namespace

std::unique_ptr<WindowMover> createWindowMover() {
    if (QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        return std::make_unique<SystemMover>();
    return std::make_unique<ProgramMover>();
}

} // namespace forms::qt
