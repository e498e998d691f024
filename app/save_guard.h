#pragma once

#include "records/platform_profile_store.h"

#include <QObject>
#include <QTimer>

class QLabel;
class QRect;
class QWidget;

// Keeps the learner told when results cannot be saved: a message in the
// window that names the file and the reason (shown only while something is
// wrong, or for the rest of the run when an unreadable profile was set
// aside), a retry in the background while values are kept unsaved, and a
// question before the window closes with results that are not on disk.
// It makes the store wait at most kLockWaitMs for a lock, so that no
// keystroke or click stalls the window on another program.
class SaveGuard : public QObject
{
    Q_OBJECT
public:
    static constexpr int kRetryMs = 3000;
    static constexpr int kLockWaitMs = 100;

    SaveGuard(PlatformProfileStore &store, QWidget *window);
    ~SaveGuard() override;

    // Where the message goes in the window.
    void Place(const QRect &area);
    QLabel *message() const { return message_; }
    const QTimer &retryTimer() const { return retry_; }

    // True when the window may close: everything is saved, or the learner
    // chose to save a copy elsewhere or to quit without saving.
    bool ConfirmClose();

    static QString Describe(const ProfileProblem &problem);
    static QString Describe(const PlatformProfileStore::SetAside &setAside);

private:
    void Update();

    PlatformProfileStore &store_;
    QWidget *window_;
    QLabel *message_;
    QTimer retry_;
};
