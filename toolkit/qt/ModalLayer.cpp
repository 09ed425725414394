#include "toolkit/qt/ModalLayer.h"

#include <QEvent>
#include <QKeyEvent>
#include <QMouseEvent>

namespace forms::qt {

namespace {

class Shield : public QWidget {
public:
    explicit Shield(QWidget& owner)
        : QWidget(&owner) {
        setGeometry(owner.rect());
        setFocusPolicy(Qt::NoFocus);
    }

protected:
    // Nothing reaches the owner: events that the layer's controls leave unhandled end here.
    void mousePressEvent(QMouseEvent* event) override { event->accept(); }
    void mouseReleaseEvent(QMouseEvent* event) override { event->accept(); }
    void mouseDoubleClickEvent(QMouseEvent* event) override { event->accept(); }
    void mouseMoveEvent(QMouseEvent* event) override { event->accept(); }
    void wheelEvent(QWheelEvent* event) override { event->accept(); }
    void keyPressEvent(QKeyEvent* event) override { event->accept(); }
    void keyReleaseEvent(QKeyEvent* event) override { event->accept(); }

    // Qt's walk when the layer hides with the focus in it: the owner's focus is its form's to give back.
    bool focusNextPrevChild(bool) override { return true; }
};

} // namespace

void ModalLayer::show(QWidget& owner, QWidget& window, QPoint position) {
    auto* shield = new Shield(owner);
    auto* layer = new ModalLayer(*shield);
    window.setParent(shield, Qt::Widget);
    window.move(position);
    window.installEventFilter(layer);
    shield->show();
    shield->raise();
}

ModalLayer::ModalLayer(QWidget& shield)
    : QObject(&shield)
    , shield_(shield) {}

bool ModalLayer::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Hide && shield_.isVisible()) {
        shield_.hide();
        shield_.deleteLater();
    }
    return QObject::eventFilter(watched, event);
}

} // namespace forms::qt
