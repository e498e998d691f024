#pragma once

#include "records/profile_store.h"

#include <QHash>
#include <QSettings>
#include <QString>
#include <QVariant>

#include <memory>

// The profile on QSettings: the registry on Windows, an INI file under
// $XDG_CONFIG_HOME/Dravilo/pelko.conf on Linux. Every write is synced to
// disk before it returns.
class QSettingsProfileStore : public ProfileStore
{
public:
    // The per-user profile of the running application (organisation and
    // application name must be set on QCoreApplication first).
    QSettingsProfileStore();
    // An INI file at an explicit path (tests, tools).
    explicit QSettingsProfileStore(const QString &iniFilePath);
    ~QSettingsProfileStore() override;

    std::int32_t GetProfileInt(std::string_view section, std::string_view entry,
                               std::int32_t defaultValue) const override;
    std::u16string GetProfileString(std::string_view section, std::string_view entry,
                                    std::u16string_view defaultValue) const override;
    void WriteProfileInt(std::string_view section, std::string_view entry, std::int32_t value) override;
    void WriteProfileString(std::string_view section, std::string_view entry, std::u16string_view value) override;

    bool KeepCopy(std::string_view suffix) override;

    // Where the profile lives (a file path, or a registry path on Windows).
    QString fileName() const;

private:
    void checkReadable();
    bool setAsideUnreadable();
    std::unique_ptr<QSettings> openSettings() const;
    void renewSettings();
    void write(std::string_view section, std::string_view entry, const QVariant &value);
    void reportFailedWrite(const char *why);
    void syncDirectory() const;
    void clearCrashedLock() const;
    const QVariant *unsaved(const QString &key) const;

    // The INI file of the path constructor; empty for the native profile.
    QString iniPath_;
    std::unique_ptr<QSettings> settings_;
    // The file was there but could not be parsed or read: it is moved aside
    // before the first write, and reads give the defaults until then.
    bool unreadable_ = false;
    // Values whose write failed: still read back for the rest of this run.
    QVariantHash unsaved_;
    bool warned_ = false;
};
