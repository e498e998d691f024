#pragma once

#include "stores/posix/profile_document.h"
#include "stores/posix/profile_file.h"
#include "stores/saved_profile.h"

#include <QByteArray>
#include <QString>

// The profile where QSettings keeps it ($XDG_CONFIG_HOME/Dravilo/pelko.conf),
// in QSettings' INI format, but read and written through ProfileFile:
// QSettings cannot put a group of values into one replacement of the file,
// tell why a write failed, or stay clear of a FIFO at its path.
//
// At the first write of a run the profile as it was is kept as <profile>.bak; a
// profile that cannot be read or parsed is moved to <profile>.unreadable
// instead of being written over.
class QSettingsProfileStore : public SavedProfile
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
    QString fileName() const override { return file_.path(); }
    bool HasUnsaved() const override { return document_.HasUnsaved(); }
    // With nothing kept, a problem still shown (an odd file found at start)
    // is checked as a write would meet it, without writing (ProfileFile::
    // Probe), and goes once its cause is gone; a lock held at that moment
    // proves nothing either way and changes nothing.
    bool Retry(bool wait = true) override;
    ProfileFile::Problem SaveCopyTo(const QString &path) const override;

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
    bool notifiedUnsaved_ = false;
};
