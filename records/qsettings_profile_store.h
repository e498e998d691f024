#pragma once

#include "records/profile_store.h"

#include <QSettings>
#include <QString>

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

    // Where the profile lives (a file path, or a registry path on Windows).
    QString fileName() const;

private:
    std::unique_ptr<QSettings> settings_;
};
