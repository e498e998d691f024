#include "records/qsettings_profile_store.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QtGlobal>

#include <algorithm>
#include <limits>

#ifndef Q_OS_WIN
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>
#endif

// How the file stays whole: QSettings (Qt 6) writes an INI file under its
// lock file "<name>.lock" through QSaveFile, which fdatasync()s a temporary
// file in the same directory and renames it over the profile. A reader or a
// crash therefore sees the old file or the new one. The rename itself is only
// durable once the directory is synced, which Qt does not do; syncDirectory()
// does it after every write. Under the lock QSettings reads the file again if
// another process changed it and merges its own keys in, so two processes do
// not drop each other's keys. (It tells a change by size and modification
// time in milliseconds, so a same-size change of a value in the same clock
// tick can still be overwritten; a new key always changes the size.)
//
// One gap is left: a process killed between creating the lock file and
// writing its owner into it leaves an empty lock, which QLockFile only takes
// for stale after 30 seconds, and every write would block that long.
// clearCrashedLock() removes such a leftover first.

namespace {

QString keyOf(std::string_view section, std::string_view entry)
{
    QString key = QString::fromLatin1(section.data(), static_cast<qsizetype>(section.size()));
    key += QLatin1Char('/');
    key += QString::fromLatin1(entry.data(), static_cast<qsizetype>(entry.size()));
    return key;
}

// Plain decimal with an optional sign, nothing around it, within 32 bits.
bool parseInt32(QStringView text, std::int32_t &out)
{
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) {
        negative = text[i] == u'-';
        ++i;
    }
    if (i == text.size()) {
        return false;
    }
    const std::int64_t limit = negative ? -std::int64_t {std::numeric_limits<std::int32_t>::min()}
                                        : std::int64_t {std::numeric_limits<std::int32_t>::max()};
    std::int64_t magnitude = 0;
    for (; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9') {
            return false;
        }
        magnitude = magnitude * 10 + (c - u'0');
        if (magnitude > limit) {
            return false;
        }
    }
    out = static_cast<std::int32_t>(negative ? -magnitude : magnitude);
    return true;
}

bool variantToInt32(const QVariant &value, std::int32_t &out)
{
    switch (value.metaType().id()) {
    case QMetaType::Int:
        out = value.toInt();
        return true;
    case QMetaType::UInt:
        // A registry DWORD: the same 32 bits, read as signed.
        out = static_cast<std::int32_t>(value.toUInt());
        return true;
    case QMetaType::LongLong: {
        const qlonglong v = value.toLongLong();
        if (v < std::numeric_limits<std::int32_t>::min() || v > std::numeric_limits<std::int32_t>::max()) {
            return false;
        }
        out = static_cast<std::int32_t>(v);
        return true;
    }
    case QMetaType::ULongLong: {
        const qulonglong v = value.toULongLong();
        if (v > static_cast<qulonglong>(std::numeric_limits<std::int32_t>::max())) {
            return false;
        }
        out = static_cast<std::int32_t>(v);
        return true;
    }
    case QMetaType::QString:
        return parseInt32(value.toString(), out);
    default:
        return false;
    }
}

bool variantToText(const QVariant &value, QString &out)
{
    switch (value.metaType().id()) {
    case QMetaType::QString:
        out = value.toString();
        return true;
    case QMetaType::QStringList:
        // An INI value with bare commas (not one this program writes).
        out = value.toStringList().join(QLatin1String(", "));
        return true;
    default:
        return false;
    }
}

std::u16string toU16(const QString &text)
{
    return std::u16string(reinterpret_cast<const char16_t *>(text.utf16()), static_cast<std::size_t>(text.size()));
}

} // namespace

QSettingsProfileStore::QSettingsProfileStore()
{
    try {
        settings_ = openSettings();
        checkReadable();
    } catch (...) {
    }
}

QSettingsProfileStore::QSettingsProfileStore(const QString &iniFilePath) : iniPath_(iniFilePath)
{
    try {
        settings_ = openSettings();
        checkReadable();
    } catch (...) {
    }
}

QSettingsProfileStore::~QSettingsProfileStore() = default;

std::unique_ptr<QSettings> QSettingsProfileStore::openSettings() const
{
    auto settings = iniPath_.isEmpty()
        ? std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                      QCoreApplication::organizationName(), QCoreApplication::applicationName())
        : std::make_unique<QSettings>(iniPath_, QSettings::IniFormat);
    // Only our own file: no organisation-wide or system-wide values.
    settings->setFallbacksEnabled(false);
    return settings;
}

QString QSettingsProfileStore::fileName() const
{
    return settings_ ? settings_->fileName() : QString();
}

void QSettingsProfileStore::checkReadable()
{
    if (settings_->status() == QSettings::NoError) {
        return;
    }
    // Only a regular file can be kept aside; anything else at that path
    // simply makes every write fail.
    unreadable_ = QFileInfo(settings_->fileName()).isFile();
    if (unreadable_) {
        qWarning("Profile %s cannot be read; starting with empty results", qPrintable(settings_->fileName()));
    }
}

bool QSettingsProfileStore::setAsideUnreadable()
{
    const QString path = settings_->fileName();
    if (QFileInfo::exists(path)) {
        QString aside = path + QLatin1String(".unreadable");
        for (int n = 2; QFileInfo::exists(aside) && n < 1000; ++n) {
            aside = path + QLatin1String(".unreadable.") + QString::number(n);
        }
        if (!QFile::rename(path, aside)) {
            return false;
        }
        qWarning("Unreadable profile kept as %s", qPrintable(aside));
    }
    unreadable_ = false;
    // A fresh QSettings drops what it half-parsed from the old file.
    settings_.reset();
    settings_ = openSettings();
    return true;
}

void QSettingsProfileStore::renewSettings()
{
    // QSettings keeps its first error for good, so every write after a
    // failed one is judged on a fresh object. Both share Qt's in-memory copy
    // of the file, so values not yet saved survive the swap.
    auto fresh = openSettings();
    settings_ = std::move(fresh);
}

const QVariant *QSettingsProfileStore::unsaved(const QString &key) const
{
    const auto it = unsaved_.constFind(key);
    return it == unsaved_.constEnd() ? nullptr : &it.value();
}

std::int32_t QSettingsProfileStore::GetProfileInt(std::string_view section, std::string_view entry,
                                                  std::int32_t defaultValue) const
{
    try {
        if (!settings_) {
            return defaultValue;
        }
        const QString key = keyOf(section, entry);
        std::int32_t value = 0;
        if (const QVariant *pending = unsaved(key)) {
            return variantToInt32(*pending, value) ? value : defaultValue;
        }
        if (unreadable_) {
            return defaultValue;
        }
        return variantToInt32(settings_->value(key), value) ? value : defaultValue;
    } catch (...) {
        return defaultValue;
    }
}

std::u16string QSettingsProfileStore::GetProfileString(std::string_view section, std::string_view entry,
                                                       std::u16string_view defaultValue) const
{
    try {
        const std::u16string fallback(defaultValue);
        if (!settings_) {
            return fallback;
        }
        const QString key = keyOf(section, entry);
        QString text;
        if (const QVariant *pending = unsaved(key)) {
            return variantToText(*pending, text) && !text.isEmpty() ? toU16(text) : fallback;
        }
        if (unreadable_) {
            return fallback;
        }
        return variantToText(settings_->value(key), text) && !text.isEmpty() ? toU16(text) : fallback;
    } catch (...) {
        try {
            return std::u16string(defaultValue);
        } catch (...) {
            return {};
        }
    }
}

void QSettingsProfileStore::WriteProfileInt(std::string_view section, std::string_view entry, std::int32_t value)
{
    try {
        write(section, entry, QVariant(static_cast<int>(value)));
    } catch (...) {
    }
}

void QSettingsProfileStore::WriteProfileString(std::string_view section, std::string_view entry,
                                               std::u16string_view value)
{
    try {
        write(section, entry, QVariant(QString::fromUtf16(value.data(), static_cast<qsizetype>(value.size()))));
    } catch (...) {
    }
}

void QSettingsProfileStore::write(std::string_view section, std::string_view entry, const QVariant &value)
{
    if (!settings_) {
        return;
    }
    const QString key = keyOf(section, entry);
    if (unreadable_ && !setAsideUnreadable()) {
        // Never write over a file we could not read.
        unsaved_.insert(key, value);
        reportFailedWrite("the unreadable profile could not be moved aside");
        return;
    }
    if (settings_->status() != QSettings::NoError) {
        renewSettings();
    }
    clearCrashedLock();
    // Values of earlier failed writes go out with this one (some were never
    // handed to QSettings, while an unreadable file was in the way).
    for (auto it = unsaved_.cbegin(); it != unsaved_.cend(); ++it) {
        settings_->setValue(it.key(), it.value());
    }
    settings_->setValue(key, value);
    settings_->sync();
    if (settings_->status() != QSettings::NoError) {
        unsaved_.insert(key, value);
        reportFailedWrite("it is not writable");
        return;
    }
    syncDirectory();
    unsaved_.clear();
    warned_ = false;
}

bool QSettingsProfileStore::KeepCopy(std::string_view suffix)
{
    try {
        if (!settings_ || unreadable_) {
            return false;
        }
#ifdef Q_OS_WIN
        if (settings_->format() != QSettings::IniFormat) {
            return false; // the registry: no file to copy
        }
#endif
        QFile source(settings_->fileName());
        if (!source.open(QIODevice::ReadOnly)) {
            return false;
        }
        const QByteArray bytes = source.readAll();
        // Written whole or not at all, like the profile itself.
        QSaveFile copy(settings_->fileName()
                       + QString::fromLatin1(suffix.data(), static_cast<qsizetype>(suffix.size())));
        if (!copy.open(QIODevice::WriteOnly) || copy.write(bytes) != bytes.size() || !copy.commit()) {
            return false;
        }
        syncDirectory();
        return true;
    } catch (...) {
        return false;
    }
}

void QSettingsProfileStore::reportFailedWrite(const char *why)
{
    if (warned_) {
        return;
    }
    warned_ = true;
    qWarning("Results cannot be saved to %s (%s); they are kept until the program ends",
             qPrintable(settings_->fileName()), why);
}

void QSettingsProfileStore::syncDirectory() const
{
#ifndef Q_OS_WIN
    if (settings_->format() != QSettings::IniFormat && settings_->format() != QSettings::NativeFormat) {
        return;
    }
    const QByteArray dir = QFile::encodeName(QFileInfo(settings_->fileName()).absolutePath());
    const int fd = ::open(dir.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
#endif
}

#ifndef Q_OS_WIN
namespace {

// An empty lock file that nobody holds: QLockFile writes the owner right
// after creating and flock()ing it, so one that stays empty for this long
// was left by a process that died in between.
bool removeIfAbandoned(const QByteArray &lockPath)
{
    constexpr long kGraceMs = 200;
    struct stat st
    {
    };
    if (::stat(lockPath.constData(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_size != 0) {
        return false;
    }
    const int fd = ::open(lockPath.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    bool removed = false;
    struct stat held
    {
    };
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::fstat(fd, &held) == 0 && held.st_size == 0) {
        timespec now {};
        ::clock_gettime(CLOCK_REALTIME, &now);
        const long long ageMs
            = (now.tv_sec - held.st_mtim.tv_sec) * 1000LL + (now.tv_nsec - held.st_mtim.tv_nsec) / 1000000LL;
        if (ageMs < kGraceMs) {
            ::usleep(static_cast<useconds_t>((kGraceMs - std::max(ageMs, 0LL)) * 1000));
        }
        // Still the same empty file at that name?
        if (::fstat(fd, &held) == 0 && held.st_size == 0 && ::stat(lockPath.constData(), &st) == 0
            && st.st_ino == held.st_ino && st.st_dev == held.st_dev) {
            removed = ::unlink(lockPath.constData()) == 0;
        }
    }
    ::close(fd);
    return removed;
}

} // namespace
#endif

void QSettingsProfileStore::clearCrashedLock() const
{
#ifndef Q_OS_WIN
    const QByteArray lock = QFile::encodeName(settings_->fileName() + QLatin1String(".lock"));
    if (removeIfAbandoned(lock)) {
        qWarning("Removed the abandoned lock file %s", lock.constData());
    }
    removeIfAbandoned(lock + ".rmlock");
#endif
}
