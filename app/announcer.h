#pragma once

#include <QString>
#include <QStringList>
#include <QTimer>
#include <QWidget>

class QAccessibleInterface;

// Speaks short texts to a screen reader without moving the focus. The
// accessibility bus of Qt 6.4 has no announcement of its own, but Orca speaks
// a notification the moment it is shown, and leaves out its role name when
// it sits in a status bar: so this is an empty status bar of no size with one
// such notification, named for what is to be said and shown again for each
// text. From
// Qt 6.8 the platform's own announcement is sent as well, for readers and
// platforms that know it.
class Announcer : public QWidget
{
    Q_OBJECT
public:
    explicit Announcer(QWidget *window);

    // Spoken once the current handler returns, so that it follows (and cuts
    // short) what the handler's other changes make a reader say; texts given
    // meanwhile are spoken as one.
    void Say(const QString &text);
    // Speaks what is waiting now: before a dialog takes the focus.
    void Flush();

    QString lastText() const { return last_; }
    QWidget *notice() const { return notice_; }

private:
    static QAccessibleInterface *Factory(const QString &className, QObject *object);

    QWidget *notice_;
    QStringList pending_;
    QString last_;
    QTimer flushTimer_;
};
