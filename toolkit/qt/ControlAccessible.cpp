#include "toolkit/qt/ControlAccessible.h"

#include "toolkit/Accessibility.h"
#include "toolkit/qt/QtControl.h"
#include "toolkit/qt/QtControlWidgets.h"

namespace forms::qt {

namespace {

LabelWidget* clickableLabel(QWidget* widget) {
    auto* label = dynamic_cast<LabelWidget*>(widget);
    return label && label->control() && offersPress(*label->control()) ? label : nullptr;
}

const Control* controlOf(QWidget* widget) {
    if (auto* label = dynamic_cast<LabelWidget*>(widget)) return label->control();
    if (auto* picture = dynamic_cast<PictureWidget*>(widget)) return picture->control();
    return nullptr;
}

} // namespace

ControlAccessible::ControlAccessible(QWidget* widget, QAccessible::Role role)
    : QAccessibleWidget(widget, role) {}

QAccessible::State ControlAccessible::state() const {
    QAccessible::State state = QAccessibleWidget::state();
    if (const Control* control = controlOf(widget()); control && offscreen(*control)) {
        state.invisible = true;
        state.offscreen = true;
    }
    return state;
}

QStringList ControlAccessible::actionNames() const {
    QStringList names = QAccessibleWidget::actionNames();
    if (clickableLabel(widget())) names.prepend(pressAction());
    return names;
}

void ControlAccessible::doAction(const QString& actionName) {
    if (LabelWidget* label = clickableLabel(widget()); label && actionName == pressAction()) {
        label->activate();
        return;
    }
    QAccessibleWidget::doAction(actionName);
}

QList<QPair<QAccessibleInterface*, QAccessible::Relation>>
ControlAccessible::relations(QAccessible::Relation match) const {
    auto result = QAccessibleWidget::relations(match);
    const auto* label = dynamic_cast<LabelWidget*>(widget());
    const Control* caption = label && label->control() ? label->control()->labelledBy : nullptr;
    if (caption && (match & QAccessible::Label) && caption->native())
        if (QWidget* by = static_cast<QtControl*>(caption->native())->widget())
            if (QAccessibleInterface* named = QAccessible::queryAccessibleInterface(by))
                result.append({named, QAccessible::Label});
    return result;
}

QAccessibleInterface* ControlAccessible::create(const QString&, QObject* object) {
    if (auto* label = dynamic_cast<LabelWidget*>(object))
        return new ControlAccessible(label, QAccessible::StaticText);
    if (auto* picture = dynamic_cast<PictureWidget*>(object))
        return new ControlAccessible(picture, QAccessible::Graphic);
    return nullptr;
}

} // namespace forms::qt
