#pragma once

#include "toolkit/Native.h"
#include "toolkit/qt/ServerWindow.h"
#include "toolkit/qt/WindowMover.h"

#include <QImage>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QWidget>

#include <deque>
#include <optional>

namespace forms::qt {

class QtWindow;

// The top-level widget of a form: the window body.
class FormWidget : public QWidget {
public:
    FormWidget(Form& form, QtWindow& window);
    Form* form() const { return form_; }
    void unlink() { form_ = nullptr; }
    // Runs once the next frame has been painted, from the event loop.
    void afterNextFrame(std::function<void()> work) { afterNextFrame_ = std::move(work); }

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    void send(std::function<void(const PointerEvent&)> Form::*handler, const QMouseEvent& event, int button);
    Form* form_;
    QtWindow& window_;
    std::function<void()> afterNextFrame_;
};

class QtWindow : public NativeWindow {
public:
    explicit QtWindow(Form& form);
    ~QtWindow() override;

    std::unique_ptr<NativeControl> createControl(Control& control) override;
    void controlsCreated() override;
    Twips textWidth(const Font& font, const std::string& text) const override;
    void updateSize() override;
    void updateCaption() override;
    void place() override;
    void show(Form* owner, bool modal) override;
    WindowState windowState() const override;
    void setWindowState(WindowState state) override;
    ScreenArea screenArea() const override;
    void presentFrame() override;

    Form& form() const { return form_; }
    FormWidget* widget() const { return widget_; }
    // Where the toolkit last put the window, in pixels.
    QPoint placedPixels() const { return placed_; }
    // A size held while the window was minimised is waiting to be applied.
    bool restoresWithNewSize() const;
    // Rows that a pending shrink cuts off, and what they show until then.
    std::optional<QRect> cutOffRows() const;
    const std::optional<QImage>& cutOffFill() const { return cutOffFill_; }
    // The window system reports a position: ours once it catches up with our moves, else its own doing.
    void windowSystemMoved(QPoint position);

private:
    void applySize(QSize size);
    void applyIcon();
    bool minimised() const;
    QImage bottomRow() const;
    QImage frameAhead(QSize size) const;

    Form& form_;
    QPointer<FormWidget> widget_;
    std::optional<QSize> pendingSize_;
    QObject sizeLater_; // goes with the window, and so does what it has queued
    bool presenting_ = false;
    bool iconGiven_ = false;
    bool controlsSettled_ = false;
    std::optional<QImage> cutOffFill_;
    ServerWindow serverWindow_{*widget_};
    QPoint placed_;
    std::deque<QPoint> pendingMoves_;
    std::unique_ptr<WindowMover> mover_ = createWindowMover();
};

} // namespace forms::qt
