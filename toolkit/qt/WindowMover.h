#pragma once

#include <QPoint>
#include <QWidget>

#include <memory>

namespace forms::qt {

// Places a top-level window. Where the window system lets a program place its windows (X11, Windows) the
// window goes where it is asked; where it does not (Wayland), a move during a left-button drag hands the
// drag to the window system's own interactive move.
class WindowMover {
public:
    virtual ~WindowMover() = default;
    virtual void moveTo(QWidget& window, QPoint position) = 0;
    // Whether windows go where the program puts them, and the window system reports the move back.
    virtual bool placesWindows() const = 0;
};

// The one place that chooses by platform.
std::unique_ptr<WindowMover> createWindowMover();

} // namespace forms::qt
