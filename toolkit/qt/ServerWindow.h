#pragma once

#include <QAbstractNativeEventFilter>
#include <QImage>
#include <QPoint>
#include <QSize>

#include <cstdint>
#include <optional>
#include <vector>

class QWidget;

namespace forms::qt {

// A top-level window as the X server has it. A window manager applies a resize some time after the program
// asks for it, and resizes its frame around the window before the window when shrinking and after it when
// growing, so for a moment the frame shows only the top of the window. An animation frame painted before both
// have the size would show rows that are not the window's: the frame waits for the server instead, which
// shows the frame given ahead until then. Elsewhere than on X11 nothing is watched, nothing waits and nothing
// is given ahead.
class ServerWindow : public QAbstractNativeEventFilter {
public:
    explicit ServerWindow(QWidget& window);
    ~ServerWindow() override;
    ServerWindow(const ServerWindow&) = delete;
    ServerWindow& operator=(const ServerWindow&) = delete;

    // The window is on the server at this size (just mapped, with nothing asked of it since).
    void assume(QSize size) { known_ = size; }
    // Whether the server has the window at this size (in the window's own pixels) with a window manager's
    // frame reaching down to its bottom, as far as it has said.
    bool has(QSize size) const {
        return (!known_ || *known_ == size) && (!frameHeight_ || *frameHeight_ >= bottom_);
    }
    // Whether the server can be given a frame ahead (X11 only).
    bool drawsAhead() const { return watching_; }
    // The server shows this frame, in device pixels, the moment it next resizes the window, the whole window
    // at once, until the program paints: neither the old bottom edge nor rows the window gains or loses show
    // for a moment.
    void showAhead(const QImage& frame);
    // Lets the window system's events through, but no input and no timer, until the server has the size or a
    // few frames' time has passed.
    void await(QSize size);

    // Gives the window manager the window's icon: each size's unpremultiplied ARGB32 pixels, read in place
    // from the executable and sent without a copy. False elsewhere than on X11.
    bool setIcon(const std::vector<QImage>& sizes);
    // Sends what the program has asked of the X server so far, a frame included, without waiting.
    static void flushConnection();
    // Whether the X server has the left button held now; false elsewhere than on X11.
    static bool leftButtonHeld();
    // Asks the X server to move the window there, in device pixels, without Qt's knowing until the server
    // reports it; false elsewhere than on X11.
    static bool requestPosition(QWidget& window, QPoint position);

    bool nativeEventFilter(const QByteArray& type, void* message, qintptr* result) override;

private:
    // What the server shows wherever the program has not painted, from the window's corner.
    void setBackground(const QImage& picture);
    // Follows the size of the window manager's frame around the window, if there is one.
    void watchFrame();

    QWidget& window_;
    bool watching_ = false;
    bool waiting_ = false;
    bool forgets_ = false;
    int depth_ = 0;
    std::optional<QSize> known_;
    // The frame's id once looked for (0: none, the window lies on the root), its height and the window's top
    // and bottom within it, in device pixels. The X server's notices of the window's place may come from the
    // window manager, in screen coordinates, and Qt keeps only the last of a run: the place within the frame
    // is read once.
    std::optional<std::uint32_t> frame_;
    std::optional<int> frameHeight_;
    int top_ = 0;
    int bottom_ = 0;
};

} // namespace forms::qt
