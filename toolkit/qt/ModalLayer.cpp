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

    // Tab and Backtab cycle through the layer's controls only.
    bool focusNextPrevChild(bool next) override {
        QWidget* start = window()->focusWidget();
        if (!start || !isAncestorOf(start)) return false;
        for (QWidget* w = next ? start->nextInFocusChain() : start->previousInFocusChain(); w != start;
             w = next ? w->nextInFocusChain() : w->previousInFocusChain()) {
            if (isAncestorOf(w) && w->isVisible() && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus)) {
                w->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
                return true;
            }
        }
        return true;
    }
};

} // namespace

void ModalLayer::show(QWidget& owner, QWidget& window, QPoint position) {
    auto* shield = new Shield(owner);
    auto* layer = new ModalLayer(*shield, owner.focusWidget());
    window.setParent(shield, Qt::Widget);
    window.move(position);
    window.installEventFilter(layer);
    shield->show();
    shield->raise();
}

ModalLayer::ModalLayer(QWidget& shield, QWidget* ownerFocus)
    : QObject(&shield)
    , shield_(shield)
    , ownerFocus_(ownerFocus) {}

// Hand the focus back before the window's own controls give it up on hiding, which would pass it to the
// owner's next control as if the user had tabbed there.
bool ModalLayer::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Hide && shield_.isVisible()) {
        if (ownerFocus_) ownerFocus_->setFocus(Qt::ActiveWindowFocusReason);
        shield_.hide();
        shield_.deleteLater();
    }
    return QObject::eventFilter(watched, event);
}

} // namespace forms::qt
