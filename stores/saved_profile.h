#pragma once

#include "records/profile_store.h"
#include "stores/profile_problem.h"

#include <QString>

#include <functional>
#include <utility>

// What the window needs of the learner's profile beyond reading and writing
// it: why results could not be kept, a profile set aside, retrying, copies.
// The file store (POSIX) and the registry store (Windows) both offer it; the
// window names neither.
//
// A write that fails keeps its value: it is read back for the rest of the
// run and written with the next write that succeeds (or Retry()).
class SavedProfile : public ProfileStore
{
public:
    using SetAside = ProfileSetAside;

    // The profile's name for messages: a file's path, or a registry key.
    virtual QString fileName() const = 0;
    // Why the profile could not be read or the last record written; none
    // once a write has succeeded.
    const ProfileProblem &problem() const { return problem_; }
    // A profile found unreadable, and the name it was moved to.
    const SetAside &setAside() const { return setAside_; }
    // Why the last KeepCopy() failed, if it did.
    const ProfileProblem &copyProblem() const { return copyProblem_; }
    // The longest a write waits for another writer's lock; the window's
    // thread must not stall on one (0: a held lock is a failure at once).
    void SetLockWait(int ms) { lockWaitMs_ = ms; }
    // How often a write was let wait for a lock: never, from the window.
    int LockWaits() const { return lockWaits_; }
    virtual bool HasUnsaved() const = 0;
    // Writes what is kept; true when nothing is left unsaved. Without
    // waiting, a lock another writer holds counts as a failure at once.
    virtual bool Retry(bool wait = true) = 0;
    // The whole profile, kept values included, as a file elsewhere.
    virtual ProfileProblem SaveCopyTo(const QString &path) const = 0;
    // Called whenever problem() or setAside() changes, and when values come
    // to wait unsaved on a problem already known.
    void SetProblemListener(std::function<void()> listener) { listener_ = std::move(listener); }
    // Records written so far.
    int Replacements() const { return replacements_; }

protected:
    explicit SavedProfile(int lockWaitMs) : lockWaitMs_(lockWaitMs) { }

    ProfileProblem problem_;
    ProfileProblem copyProblem_;
    SetAside setAside_;
    int lockWaitMs_;
    int lockWaits_ = 0;
    std::function<void()> listener_;
    int replacements_ = 0;
};
