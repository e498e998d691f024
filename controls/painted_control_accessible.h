#pragma once

#include <QAccessibleValueInterface>
#include <QAccessibleWidget>

// What a screen reader hears for the painted controls: their faces carry no
// text a reader could find, so name, value and description are taken from
// the state each control paints, at the moment they are asked for. The
// gauge and the two strips also carry their figure as a value (current,
// minimum, maximum), the only form the desktop's accessibility bus passes
// on; their description is the same figure in words.
class PaintedControlAccessible : public QAccessibleWidget, public QAccessibleValueInterface
{
public:
    PaintedControlAccessible(QWidget *widget, QAccessible::Role role);

    QString text(QAccessible::Text t) const override;
    void *interface_cast(QAccessible::InterfaceType type) override;
    QStringList actionNames() const override;
    void doAction(const QString &actionName) override;

    // Read-only: a value set from outside is ignored.
    QVariant currentValue() const override;
    void setCurrentValue(const QVariant &value) override;
    QVariant maximumValue() const override;
    QVariant minimumValue() const override;
    QVariant minimumStepSize() const override;

    // Registers the factory once; every painted control's constructor calls it.
    static void Install();

private:
    struct Range
    {
        double current = 0;
        double minimum = 0;
        double maximum = 0;
    };

    static QAccessibleInterface *Factory(const QString &className, QObject *object);
    bool HasValue() const;
    Range Figure() const;
    QString Name() const;
    QString Value() const;
};
