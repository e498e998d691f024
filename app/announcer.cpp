#include "app/announcer.h"

#include <QAccessible>
#include <QAccessibleWidget>

Announcer::Announcer(QWidget *window) : QWidget(window)
{
    static const bool installed = [] {
        QAccessible::installFactory(&Announcer::Factory);
        return true;
    }();
    (void)installed;
    setObjectName(QStringLiteral("announcer"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    setGeometry(0, 0, 0, 0);
    for (QWidget *&notice : notices_) {
        notice = new QWidget(this);
        notice->setGeometry(0, 0, 0, 0);
        notice->setFocusPolicy(Qt::NoFocus);
        // Only the first shows with the window: the others wait for a text.
        if (notice != notices_.front()) {
            notice->hide();
        }
    }
    flushTimer_.setSingleShot(true);
    flushTimer_.setInterval(0);
    connect(&flushTimer_, &QTimer::timeout, this, &Announcer::Flush);
}

QAccessibleInterface *Announcer::Factory(const QString & /*className*/, QObject *object)
{
    auto *widget = qobject_cast<QWidget *>(object);
    if (widget == nullptr) {
        return nullptr;
    }
    // The window it speaks in is a main window, not a dialog: Orca reads a
    // dialog's title and every label in it before each notification in it.
    if (widget->isWindow() && widget->findChild<Announcer *>(QString(), Qt::FindDirectChildrenOnly) != nullptr) {
        return new QAccessibleWidget(widget, QAccessible::Window);
    }
    if (qobject_cast<Announcer *>(widget) != nullptr) {
        return new QAccessibleWidget(widget, QAccessible::StatusBar);
    }
    if (qobject_cast<Announcer *>(widget->parentWidget()) != nullptr) {
        return new QAccessibleWidget(widget, QAccessible::Notification);
    }
    return nullptr;
}

void Announcer::Say(const QString &text)
{
    if (text.isEmpty()) {
        return;
    }
    pending_.append(text);
    flushTimer_.start();
}

void Announcer::Flush()
{
    flushTimer_.stop();
    if (pending_.isEmpty()) {
        return;
    }
    if (pending_.size() > 1) {
        // Said as sentences one after the other.
        for (QString &text : pending_) {
            if (!text.endsWith(QLatin1Char('.'))) {
                text += QLatin1Char('.');
            }
        }
    }
    last_ = pending_.join(QLatin1Char(' '));
    pending_.clear();
    // Nothing listens: the text is kept for a reader that asks later, no more.
    if (!QAccessible::isActive()) {
        notices_[current_]->setAccessibleName(last_);
        return;
    }
    // The next notification, even for the same text: a word asked twice is
    // heard twice. It was hidden since it was last shown.
    QWidget *previous = notices_[current_];
    current_ = (current_ + 1) % kNotices;
    QWidget *notice = notices_[current_];
    notice->setAccessibleName(last_);
    previous->hide();
    notice->show();
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    QAccessibleAnnouncementEvent event(notice, last_);
    event.setPoliteness(QAccessible::AnnouncementPoliteness::Assertive);
    QAccessible::updateAccessibility(&event);
#endif
}
