#pragma once

#include <QObject>
#include <QPoint>
#include <QWidget>

namespace forms::qt {

// Shows a modal window as a layer inside its owner, for window systems that place an owned window wherever
// they like: a transparent shield over the owner takes every pointer and key event, so the owner takes no
// input until the layer is gone. The layer, with the window in it, goes once the window is hidden; the forms'
// focus trackers decide the focus in the layer and in the owner afterwards.
class ModalLayer : public QObject {
public:
    // position: where the window goes, in the owner's coordinates.
    static void show(QWidget& owner, QWidget& window, QPoint position);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit ModalLayer(QWidget& shield);

    QWidget& shield_;
};

} // namespace forms::qt
