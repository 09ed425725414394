#include "toolkit/qt/ModalLayer.h"

#include <QApplication>
#include <QFocusEvent>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <vector>

using forms::qt::ModalLayer;

namespace {

// An owner window that records what reaches it past its controls.
class Owner : public QWidget {
public:
    Owner() {
        resize(514, 282);
        box.setGeometry(20, 20, 100, 24);
        button.setGeometry(400, 240, 100, 30);
        QObject::connect(&button, &QPushButton::clicked, [this] { ++buttonClicks; });
        box.installEventFilter(this);
    }
    ~Owner() override { box.removeEventFilter(this); }
    // Through the window, as the window system delivers it, so that it lands on whatever is on top.
    void click(QPoint point) { QTest::mouseClick(windowHandle(), Qt::LeftButton, {}, point); }
    QLineEdit box{this};
    QPushButton button{this};
    int buttonClicks = 0;
    int keys = 0;
    int presses = 0;
    std::vector<Qt::FocusReason> boxFocusReasons;

protected:
    void keyPressEvent(QKeyEvent*) override { ++keys; }
    void mousePressEvent(QMouseEvent*) override { ++presses; }
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut)
            boxFocusReasons.push_back(static_cast<QFocusEvent*>(event)->reason());
        return false;
    }
};

class ModalLayerTest : public ::testing::Test {
protected:
    void SetUp() override {
        owner.show();
        QApplication::setActiveWindow(&owner);
        owner.box.setFocus(Qt::OtherFocusReason);
        QApplication::processEvents();
        ASSERT_TRUE(owner.box.hasFocus());
        owner.boxFocusReasons.clear();
        window->resize(330, 186);
        first->setGeometry(10, 140, 80, 30);
        second->setGeometry(100, 140, 80, 30);
        ModalLayer::show(owner, *window, {92, 48});
        window->show();
        first->setFocus(Qt::ActiveWindowFocusReason);
        QApplication::processEvents();
    }

    Owner owner;
    QPointer<QWidget> window = new QWidget;
    QPushButton* first = new QPushButton(window);
    QPushButton* second = new QPushButton(window);
};

TEST_F(ModalLayerTest, SitsInsideItsOwnerWhereAsked) {
    EXPECT_FALSE(window->isWindow());
    EXPECT_EQ(window->window(), &owner);
    EXPECT_EQ(window->mapTo(&owner, QPoint(0, 0)), QPoint(92, 48));
    EXPECT_TRUE(first->hasFocus());
}

TEST_F(ModalLayerTest, OwnerTakesNoPointerOrKeyInputWhileItIsUp) {
    owner.click(owner.button.geometry().center());
    owner.click(QPoint(5, 270));
    QTest::keyClick(first, Qt::Key_Escape);
    QTest::keyClick(first, Qt::Key_7);
    EXPECT_EQ(owner.buttonClicks, 0);
    EXPECT_EQ(owner.presses, 0);
    EXPECT_EQ(owner.keys, 0);
    EXPECT_TRUE(owner.box.text().isEmpty());
    EXPECT_TRUE(first->hasFocus());
}

// Where the focus goes within the layer is its form's; Qt never walks it out into the owner.
TEST_F(ModalLayerTest, TabNeverReachesTheOwner) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    EXPECT_TRUE(window->isAncestorOf(QApplication::focusWidget()));
    EXPECT_EQ(owner.boxFocusReasons, (std::vector<Qt::FocusReason>{Qt::ActiveWindowFocusReason}));
}

TEST_F(ModalLayerTest, HidingMovesNoFocusIntoTheOwnerAndGivesItsInputBack) {
    window->hide();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window.isNull());
    // Only the loss when the layer took the focus: hiding the layer hands nothing on as Tab would.
    EXPECT_EQ(owner.boxFocusReasons, (std::vector<Qt::FocusReason>{Qt::ActiveWindowFocusReason}));
    owner.click(owner.button.geometry().center());
    EXPECT_EQ(owner.buttonClicks, 1);
}

} // namespace
