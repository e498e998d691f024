#pragma once

#include "records/qsettings_profile_store.h"

#include <QString>
#include <QTemporaryDir>

#include <memory>

// A profile of its own for one test: <temporary dir>/Dravilo/pelko.conf,
// removed with the test.
class TempProfile
{
public:
    TempProfile()
        : path_(dir_.path() + QStringLiteral("/Dravilo/pelko.conf"))
        , store_(std::make_unique<QSettingsProfileStore>(path_))
    {
    }

    QSettingsProfileStore &store() { return *store_; }
    // The profile file (it need not exist yet).
    const QString &path() const { return path_; }
    // The temporary directory that holds Dravilo/.
    QString dirPath() const { return dir_.path(); }

    // Drops the store and opens a fresh one on the same file.
    QSettingsProfileStore &reopen()
    {
        store_.reset();
        store_ = std::make_unique<QSettingsProfileStore>(path_);
        return *store_;
    }

private:
    QTemporaryDir dir_;
    QString path_;
    std::unique_ptr<QSettingsProfileStore> store_;
};
