#pragma once

#include <QAccessibleWidget>

namespace forms::qt {

// What assistive technology sees of a label or a picture beyond what Qt gives it: a label that clicks offers
// the platform's press action, which clicks it; a control lying wholly outside its window's area (the picture
// holders below the window) is not reported as showing.
class ControlAccessible : public QAccessibleWidget {
public:
    ControlAccessible(QWidget* widget, QAccessible::Role role);
    QAccessible::State state() const override;
    QStringList actionNames() const override;
    void doAction(const QString& actionName) override;
    QList<QPair<QAccessibleInterface*, QAccessible::Relation>>
    relations(QAccessible::Relation match) const override;

    // For QAccessible::installFactory: labels and pictures of the toolkit, nothing else.
    static QAccessibleInterface* create(const QString& className, QObject* object);
};

} // namespace forms::qt
