#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QVariant>
#include <QWidget>

#include <map>

// Tells a screen reader when a control's value, description or name has
// changed. The painted controls compute them from state the engine writes, so
// no setter of theirs can send the event: the window calls Changed() wherever
// the engine asks for a repaint, and only what really differs from the last
// event is sent. Readers keep names and descriptions until told otherwise.
class AccessibilityNotifier : public QObject
{
public:
    explicit AccessibilityNotifier(QObject *parent = nullptr);

    // Sends at most one event of each kind per interval for this control;
    // a change inside the interval is sent when it ends.
    void SetMinimumInterval(QWidget *control, int milliseconds);
    void Changed(QWidget *control);
    // No value events for this control: its changes are announced in words,
    // and a reader that speaks every new figure would cut those short.
    void QuietValue(QWidget *control);
    // A text set again unchanged sends no event of its own; a question asked
    // twice in a row must still be heard twice.
    static void RepeatName(QWidget *control);

private:
    struct Said
    {
        QPointer<QWidget> control;
        QVariant value;
        QString description;
        QString name;
        int interval = 0;
        bool quietValue = false;
        bool known = false;
        bool deferred = false;
        QElapsedTimer sentAt;
    };

    void Send(Said &said);

    std::map<const QWidget *, Said> said_;
};
