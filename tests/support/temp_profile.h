#pragma once

// A profile of its own for one test, on the platform's store: on Windows a
// registry key (temp_registry_profile.h), elsewhere a file in a temporary
// folder. Both offer store(), reopen(), Stored(key) (a value as a fresh
// reader finds it), CopyPath(suffix), CopyValue(suffix, key) and
// HoldLock()/ReleaseLock() (another writer's lock).
#ifdef _WIN32
#include "tests/support/temp_registry_profile.h"
using TempProfile = TempRegistryProfile;
#else

#include "stores/posix/options_file.h"
#include "stores/posix/profile_file.h"
#include "stores/posix/qsettings_profile_store.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QString>
#include <QTemporaryDir>

#include <memory>
#include <string>
#include <string_view>

// A file's bytes (none if it cannot be read); a file written whole, its folders made.
inline QByteArray ReadBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
inline bool WriteBytes(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

// A "Results" value as QSettings reads the file now, through a copy: QSettings keeps what it read per name.
inline QString StoredIn(const QString &path, const std::string &key)
{
    QTemporaryDir dir;
    QFile::copy(path, dir.path() + QStringLiteral("/copy.conf"));
    return QSettings(dir.path() + QStringLiteral("/copy.conf"), QSettings::IniFormat)
        .value("Results/" + QString::fromStdString(key))
        .toString();
}

// <temporary dir>/Dravilo/pelko.conf, removed with the test.
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

    // A value as QSettings reads the file now.
    QString Stored(const std::string &key) const { return StoredIn(path_, key); }
    QString CopyPath(std::string_view suffix) const
    {
        return path_ + QString::fromLatin1(suffix.data(), static_cast<qsizetype>(suffix.size()));
    }
    QString CopyValue(std::string_view suffix, const std::string &key) const { return StoredIn(CopyPath(suffix), key); }

    void HoldLock()
    {
        other_ = std::make_unique<ProfileFile>(path_);
        other_->Lock();
    }
    void ReleaseLock()
    {
        if (other_) {
            other_->Unlock();
            other_.reset();
        }
    }

    // A file where the profile's folder should be, and a store opened anew on
    // it: neither the profile nor the options beside it can be written.
    QSettingsProfileStore &Block()
    {
        QDir(dir_.path() + QStringLiteral("/Dravilo")).removeRecursively();
        QFile blocker(dir_.path() + QStringLiteral("/Dravilo"));
        blocker.open(QIODevice::WriteOnly);
        return reopen();
    }
    void Unblock() { QFile::remove(dir_.path() + QStringLiteral("/Dravilo")); }

    bool OptionFlag(std::string_view name, bool fallback) const
    {
        return OptionsFile(OptionsFile::BesideProfile(path_)).ReadFlag(name, fallback);
    }

private:
    QTemporaryDir dir_;
    QString path_;
    std::unique_ptr<QSettingsProfileStore> store_;
    std::unique_ptr<ProfileFile> other_;
};

#endif
