#pragma once

#include "stores/saved_profile.h"

#include <QString>

#include <map>
#include <string>
#include <utility>
#include <variant>

// The profile in the Windows registry: the values of the key
// HKEY_CURRENT_USER\Software\Dravilo\pelko\Results, texts as REG_SZ and
// numbers as REG_DWORD, as learners of earlier versions have them.
//
// The registry writes one value at a time, so a record (a group of writes)
// is first written whole as one binary value beside Results, the journal,
// then applied value by value, then the journal is deleted. Whoever finds a
// journal (the next start, the next writer) applies it again first, so a
// process killed at any instant leaves the state before or after a whole
// record; one it cannot apply yet goes out again with the next record, and
// one it can never apply (a newer pelko's) is kept as a .reg copy before the
// next record replaces it. Writers take a named mutex, which Windows hands on
// when its owner dies, and no call waits longer than kLockWaitMs for it.
//
// Copies of the profile are .reg files, which a double-click puts back.
class RegistryProfileStore : public SavedProfile
{
public:
    static constexpr int kLockWaitMs = 100;
    // A killed writer's journal is worth a longer wait at start-up.
    static constexpr int kOpenLockWaitMs = 1500;

    // The per-user profile of the running application (organisation and
    // application name must be set on QCoreApplication first); its copies
    // go to %APPDATA%\<organisation>\<application>.
    RegistryProfileStore();
    // "HKEY_CURRENT_USER\Software\Dravilo\pelko": the one name of the profile.
    static QString UserProfilePath();
    // A profile under another key of HKEY_CURRENT_USER ("Software\pelko-test\1"),
    // its copies in copyFolder (tests, tools).
    RegistryProfileStore(const QString &keyPath, const QString &copyFolder);
    ~RegistryProfileStore() override;
    RegistryProfileStore(const RegistryProfileStore &) = delete;
    RegistryProfileStore &operator=(const RegistryProfileStore &) = delete;

    std::int32_t GetProfileInt(std::string_view section, std::string_view entry,
                               std::int32_t defaultValue) const override;
    std::u16string GetProfileString(std::string_view section, std::string_view entry,
                                    std::u16string_view defaultValue) const override;
    void WriteProfileInt(std::string_view section, std::string_view entry, std::int32_t value) override;
    void WriteProfileString(std::string_view section, std::string_view entry, std::u16string_view value) override;
    bool KeepCopy(std::string_view suffix) override;

    // "HKEY_CURRENT_USER\Software\Dravilo\pelko\Results", for messages.
    QString fileName() const override;
    // Where KeepCopy(suffix) puts its copy: <copy folder>\pelko<suffix>.reg.
    QString CopyPath(std::string_view suffix) const;
    // The registry has no unreadable whole to set aside: a value of another
    // type reads as its default and is written over by the next result.
    bool HasUnsaved() const override { return !unsaved_.empty(); }
    // Every problem of this store comes from a write whose values still
    // wait, so there is no problem to check without them.
    bool Retry(bool wait = true) override;
    // A .reg file.
    ProfileProblem SaveCopyTo(const QString &path) const override;

protected:
    void BeginWriteGroup() noexcept override;
    void EndWriteGroup() noexcept override;

private:
    using Value = std::variant<std::int32_t, std::u16string>;
    using Values = std::map<std::string, Value>;

    void Open();
    ProfileProblem OpenKeys();
    ProfileProblem Lock(int waitMs);
    void Unlock();
    // Under the lock, after OpenKeys() (opened: what it found): a record
    // pending is applied and removed, or, where it cannot be, kept and its
    // values taken in. True when it is not a record this pelko can apply.
    bool ReplayJournal(const ProfileProblem &opened);
    // Such a record is kept as a .reg copy before a record replaces it.
    ProfileProblem SetJournalAside();
    ProfileProblem Apply(const Values &values);
    void Commit(int lockWaitMs);
    void WriteLocked();
    ProfileProblem Export(const QString &path, bool withUnsaved) const;
    ProfileProblem RegistryProblem(long error) const;
    void SetProblem(ProfileProblem problem);

    QString keyPath_; // under HKEY_CURRENT_USER
    QString copyFolder_;
    void *base_ = nullptr; // HKEY of keyPath_: holds the journal (read-only while not writable_)
    void *results_ = nullptr; // HKEY of keyPath_\Results
    bool writable_ = false;
    void *mutex_ = nullptr;
    bool locked_ = false;
    // Values written but not yet in the registry: what every read sees first.
    Values unsaved_;
    bool backupDue_ = true;
    ProfileProblem groupLockProblem_;
};
