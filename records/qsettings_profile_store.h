#pragma once

#include "records/profile_document.h"
#include "records/profile_file.h"
#include "records/profile_store.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <utility>

// The profile where QSettings keeps it ($XDG_CONFIG_HOME/Dravilo/pelko.conf),
// in QSettings' INI format, but read and written through ProfileFile:
// QSettings cannot put a group of values into one replacement of the file,
// tell why a write failed, or stay clear of a FIFO at its path.
//
// A write that fails keeps its value: it is read back for the rest of the
// run and written with the next write that succeeds (or Retry()). At the
// first write of a run the profile as it was is kept as <profile>.bak; a
// profile that cannot be read or parsed is moved to <profile>.unreadable
// instead of being written over.
class QSettingsProfileStore : public ProfileStore
{
public:
    // The per-user profile of the running application (organisation and
    // application name must be set on QCoreApplication first).
    QSettingsProfileStore();
    static QString UserProfilePath();
    // A profile file at an explicit path (tests, tools).
    explicit QSettingsProfileStore(const QString &iniFilePath);

    std::int32_t GetProfileInt(std::string_view section, std::string_view entry,
                               std::int32_t defaultValue) const override;
    std::u16string GetProfileString(std::string_view section, std::string_view entry,
                                    std::u16string_view defaultValue) const override;
    void WriteProfileInt(std::string_view section, std::string_view entry, std::int32_t value) override;
    void WriteProfileString(std::string_view section, std::string_view entry, std::u16string_view value) override;
    bool KeepCopy(std::string_view suffix) override;

    // The profile's path as configured (a link is followed when writing).
    QString fileName() const { return file_.path(); }

    // Why the profile could not be read or the last record written; none
    // once a write has succeeded.
    const ProfileFile::Problem &problem() const { return problem_; }
    // A profile found unreadable, and the name it was moved to.
    using SetAside = ProfileSetAside;
    const SetAside &setAside() const { return setAside_; }
    // Why the last KeepCopy() failed, if it did.
    const ProfileFile::Problem &copyProblem() const { return copyProblem_; }
    // The longest a write waits for another writer's lock; the window's
    // thread must not stall on one (0: a held lock is a failure at once).
    void SetLockWait(int ms) { lockWaitMs_ = ms; }
    // How often a write was let wait for a lock: never, from the window.
    int LockWaits() const { return lockWaits_; }
    bool HasUnsaved() const { return document_.HasUnsaved(); }
    // Writes what is kept; true when nothing is left unsaved. Without
    // waiting, a lock another writer holds counts as a failure at once.
    // With nothing kept, a problem still shown (an odd file found at start)
    // is checked as a write would meet it, without writing (ProfileFile::
    // Probe), and goes once its cause is gone; a lock held at that moment
    // proves nothing either way and changes nothing.
    bool Retry(bool wait = true);
    // The whole profile, kept values included, as a file elsewhere.
    ProfileFile::Problem SaveCopyTo(const QString &path) const;
    // Called whenever problem() or setAside() changes, and when values come
    // to wait unsaved on a problem already known.
    void SetProblemListener(std::function<void()> listener) { listener_ = std::move(listener); }
    // Replacements of the profile so far: one per record written.
    int Replacements() const { return replacements_; }

protected:
    void BeginWriteGroup() noexcept override;
    void EndWriteGroup() noexcept override;

private:
    void Open();
    void RefreshFromDisk();
    void Write(std::string_view section, std::string_view entry, QByteArray encoded);
    // lockWaitMs < 0: the store's own wait.
    void Commit(int lockWaitMs = -1);
    ProfileFile::Problem Lock(int waitMs);
    void WriteLocked();
    void SetProblem(ProfileFile::Problem problem);
    void Notify();

    ProfileFile file_;
    // What the disk holds with the kept values on top: what every read sees.
    ProfileDocument document_;
    // Until the profile as this run found it is kept as <profile>.bak.
    bool backupDue_ = true;
    bool unreadable_ = false;
    // Set when a group could not take the lock, so that its end does not wait again.
    ProfileFile::Problem groupLockProblem_;
    ProfileFile::Problem problem_;
    ProfileFile::Problem copyProblem_;
    SetAside setAside_;
    int lockWaitMs_ = ProfileFile::kLockWaitMs;
    int lockWaits_ = 0;
    bool notifiedUnsaved_ = false;
    std::function<void()> listener_;
    int replacements_ = 0;
};
