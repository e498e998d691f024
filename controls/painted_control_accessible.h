#pragma once

#include <QAccessibleWidget>

// What a screen reader hears for the painted controls: their faces carry no
// text a reader could find, so name and value are taken from the state each
// control paints, at the moment they are asked for.
class PaintedControlAccessible : public QAccessibleWidget
{
public:
    PaintedControlAccessible(QWidget *widget, QAccessible::Role role);

    QString text(QAccessible::Text t) const override;
    QStringList actionNames() const override;
    void doAction(const QString &actionName) override;

    // Registers the factory once; every painted control's constructor calls it.
    static void Install();

private:
    static QAccessibleInterface *Factory(const QString &className, QObject *object);
    QString Name() const;
    QString Value() const;
};
