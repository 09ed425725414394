#pragma once

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QWidget>

namespace forms::qt {

// Shows a modal window as a layer inside its owner, for window systems that place an owned window wherever
// they like: a transparent shield over the owner takes every pointer and key event and keeps the keyboard
// focus among the layer's controls, so the owner takes no input until the layer is gone. The owner gets back
// the focus it had, without focus events, as when a real modal window closes. The layer, with the window in
// it, goes once the window is hidden.
class ModalLayer : public QObject {
public:
    // position: where the window goes, in the owner's coordinates.
    static void show(QWidget& owner, QWidget& window, QPoint position);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    ModalLayer(QWidget& shield, QWidget* ownerFocus);

    QWidget& shield_;
    QPointer<QWidget> ownerFocus_;
};

} // namespace forms::qt
