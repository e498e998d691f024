#pragma once

#include <QString>
#include <QStringList>
#include <QTimer>
#include <QWidget>

#include <array>

class QAccessibleInterface;

// Speaks short texts to a screen reader without moving the focus. The
// accessibility bus of Qt 6.4 has no announcement of its own, but Orca speaks
// a notification the moment it is shown, and leaves out its role name when
// it sits in a status bar: so this is an empty status bar of no size with
// notifications in it, each text shown on one of its own (the one before is
// hidden). A reader handles an event a while after it is sent and reads the
// name only then, and Orca takes two shows of one object waiting in its queue
// for one: a single notification renamed for the next text would lose the
// text before (the verdict when the next question follows at once). So a
// notification keeps its text until kNotices later texts have been shown.
// From Qt 6.8 the platform's own announcement is sent as well, for readers
// and platforms that know it.
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

private:
    static constexpr int kNotices = 16;

    static QAccessibleInterface *Factory(const QString &className, QObject *object);

    std::array<QWidget *, kNotices> notices_ {};
    // The one shown last.
    int current_ = 0;
    QStringList pending_;
    QString last_;
    QTimer flushTimer_;
};
