#include "controls/accessibility_notifier.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QTimer>

AccessibilityNotifier::AccessibilityNotifier(QObject *parent) : QObject(parent) { }

void AccessibilityNotifier::SetMinimumInterval(QWidget *control, int milliseconds)
{
    Said &said = said_[control];
    said.control = control;
    said.interval = milliseconds;
}

void AccessibilityNotifier::QuietValue(QWidget *control)
{
    Said &said = said_[control];
    said.control = control;
    said.quietValue = true;
}

void AccessibilityNotifier::Changed(QWidget *control)
{
    // Nothing listens: skip the work, which would otherwise run on every tick.
    if (control == nullptr || !QAccessible::isActive()) {
        return;
    }
    Said &said = said_[control];
    said.control = control;
    if (said.deferred) {
        return;
    }
    const qint64 since = said.sentAt.isValid() ? said.sentAt.elapsed() : said.interval;
    if (since < said.interval) {
        said.deferred = true;
        QTimer::singleShot(static_cast<int>(said.interval - since), this, [this, key = control] {
            Said &late = said_[key];
            late.deferred = false;
            if (late.control != nullptr && QAccessible::isActive()) {
                Send(late);
            }
        });
        return;
    }
    Send(said);
}

void AccessibilityNotifier::Send(Said &said)
{
    QWidget *control = said.control;
    QAccessibleInterface *ai = QAccessible::queryAccessibleInterface(control);
    if (ai == nullptr) {
        return;
    }
    QAccessibleValueInterface *valueInterface = ai->valueInterface();
    const QVariant value = valueInterface != nullptr ? valueInterface->currentValue() : QVariant();
    const QString description = ai->text(QAccessible::Description);
    // A button's caption is set through setText, which announces it itself.
    const QString name = qobject_cast<QAbstractButton *>(control) == nullptr ? ai->text(QAccessible::Name) : QString();
    // The first look only learns what the control says: nothing has changed yet.
    const bool known = said.known;
    said.known = true;
    bool sent = false;
    if (value != said.value) {
        said.value = value;
        if (known && valueInterface != nullptr && !said.quietValue) {
            QAccessibleValueChangeEvent event(control, value);
            QAccessible::updateAccessibility(&event);
            sent = true;
        }
    }
    if (description != said.description) {
        said.description = description;
        if (known) {
            QAccessibleEvent event(control, QAccessible::DescriptionChanged);
            QAccessible::updateAccessibility(&event);
            sent = true;
        }
    }
    if (name != said.name) {
        said.name = name;
        if (known) {
            QAccessibleEvent event(control, QAccessible::NameChanged);
            QAccessible::updateAccessibility(&event);
            sent = true;
        }
    }
    if (sent) {
        said.sentAt.start();
    }
}

void AccessibilityNotifier::RepeatName(QWidget *control)
{
    if (control != nullptr && QAccessible::isActive()) {
        QAccessibleEvent event(control, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&event);
    }
}
