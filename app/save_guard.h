#pragma once

#include "stores/saved_profile.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QTimer>

class QFont;
class QLabel;
class QMessageBox;
class QWidget;
class WordSpeaker;

// Keeps the learner told when results or the choice of "Speak French Words"
// cannot be kept: a message in the window that names the file (or key) and
// the reason, shown only while something is wrong (or for the rest of the run
// when an unreadable profile was set aside); a retry every kRetryMs while it
// is shown, which writes what waits or, with nothing waiting, checks whether
// the cause is gone, so that the message goes when it is; and a question
// before the window closes with results that are not on disk.
//
// The window never waits for another program's lock: the store is told not
// to wait at all. A value that meets a held lock waits in memory and is
// written by a retry every kLockRetryMs once the lock is free; the lock is
// only told when it has been in the way for kLockPatienceMs, so another
// program's brief write flashes nothing.
class SaveGuard : public QObject
{
    Q_OBJECT
public:
    static constexpr int kRetryMs = 3000;
    static constexpr int kLockRetryMs = 200;
    static constexpr int kLockPatienceMs = 3000;
    // The message's letters: this size, or smaller down to the floor when a
    // long path would not fit otherwise.
    static constexpr int kFontPx = 14;
    static constexpr int kMinFontPx = 9;

    SaveGuard(SavedProfile &store, QWidget *window);
    ~SaveGuard() override;

    // The choice of speaking words is told and retried with the results.
    void Watch(WordSpeaker &speaker);

    // Where the message goes in the window.
    void Place(const QRect &area);
    // The message as shown: broken into lines that fit its area; its whole
    // text, unbroken, is its accessible name and tool tip (Text()).
    QLabel *message() const { return message_; }
    QString Text() const { return text_; }
    const QTimer &retryTimer() const { return retry_; }

    // True when the window may close: everything is saved, or the learner
    // chose to save a copy elsewhere or to quit without saving.
    bool ConfirmClose();

    static QString Describe(const ProfileProblem &problem);
    static QString Describe(const SavedProfile::SetAside &setAside);
    // text broken into lines no wider than width in font: at blanks, after
    // the separators of a path, and anywhere in a word too long for a line.
    static QStringList Lines(const QString &text, const QFont &font, int width);

private:
    void Update();
    void Fit();
    void Show(const QString &text);
    void RetryNow();

    SavedProfile &store_;
    QWidget *window_;
    QPointer<WordSpeaker> speaker_;
    QLabel *message_;
    QString text_;
    QTimer retry_;
    // Since when the lock of another program has kept values waiting.
    QElapsedTimer lockedFor_;
    // The question at closing, while it is open.
    QPointer<QMessageBox> question_;
};
