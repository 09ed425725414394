#pragma once

#include <QPoint>
#include <QWidget>

#include <memory>

namespace forms::qt {

// Places a top-level window. Where the window system lets a program place its windows (X11, Windows) the
// window goes where it is asked, unless a left-button drag is on, which goes to the window system's own
// interactive move where it has one; where the program cannot place windows (Wayland), a move during a
// left-button drag hands the drag over, and nothing else moves the window.
class WindowMover {
public:
    virtual ~WindowMover() = default;
    // False when the window system moves the window instead, and reports where it goes.
    virtual bool moveTo(QWidget& window, QPoint position) = 0;
    // Whether windows go where the program puts them, and the window system reports the move back.
    virtual bool placesWindows() const = 0;
};

// The one place that chooses by platform.
std::unique_ptr<WindowMover> createWindowMover();

} // namespace forms::qt
