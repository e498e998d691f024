#include "stores/posix/qsettings_profile_store.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

#include <limits>

namespace {

// Plain decimal with an optional sign, nothing around it, within 32 bits.
bool ParseInt32(QStringView text, std::int32_t &out)
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

QByteArray Bytes(std::string_view text)
{
    return QByteArray(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

QString QSettingsProfileStore::UserProfilePath()
{
    // Where QSettings keeps it, worked out as QSettings does, without
    // building one: that reads the whole file, and a FIFO there never ends.
    QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (folder.isEmpty()) {
        folder = QDir::homePath() + QLatin1String("/.config");
    }
    return folder + QLatin1Char('/') + QCoreApplication::organizationName() + QLatin1Char('/')
        + QCoreApplication::applicationName() + QLatin1String(".conf");
}

namespace {

bool SameProblem(const ProfileFile::Problem &a, const ProfileFile::Problem &b)
{
    return a.kind == b.kind && a.error == b.error && a.path == b.path;
}

// Why a profile is set aside: what kept it from being read, or else its text.
QString UnreadableReason(const ProfileFile::Problem &readProblem)
{
    if (readProblem.kind == ProfileFile::Problem::NoPermission) {
        return QStringLiteral("pelko has no permission to read it");
    }
    return readProblem ? readProblem.Reason() : QStringLiteral("it is not a profile pelko can read");
}

} // namespace

QSettingsProfileStore::QSettingsProfileStore() : SavedProfile(ProfileFile::kLockWaitMs), file_(UserProfilePath())
{
    Open();
}

QSettingsProfileStore::QSettingsProfileStore(const QString &iniFilePath)
    : SavedProfile(ProfileFile::kLockWaitMs), file_(iniFilePath)
{
    Open();
}

void QSettingsProfileStore::Open()
{
    QByteArray bytes;
    bool exists = false;
    const ProfileFile::Problem problem = file_.Read(bytes, exists);
    // Something that is not a file stays where it is and is never replaced.
    if (problem.kind == ProfileFile::Problem::NotRegular) {
        SetProblem(problem);
        return;
    }
    auto parsed = problem ? std::nullopt : ProfileDocument::Parse(bytes);
    if (!parsed) {
        // A file that could not be read or parsed is never trusted and never
        // written over: it is moved aside before the first write.
        unreadable_ = true;
        setAside_ = {file_.RealPath(), UnreadableReason(problem), {}};
        qWarning("Profile %s cannot be read; starting with empty results", qPrintable(file_.path()));
        return;
    }
    document_ = std::move(*parsed);
}

void QSettingsProfileStore::RefreshFromDisk()
{
    if (!file_.ChangedOnDisk()) {
        return;
    }
    QByteArray bytes;
    bool exists = false;
    const ProfileFile::Problem problem = file_.Read(bytes, exists);
    if (problem.kind == ProfileFile::Problem::NotRegular) {
        return; // the write that follows tells what is wrong, and never replaces it
    }
    auto parsed = problem ? std::nullopt : ProfileDocument::Parse(bytes);
    if (!parsed) {
        // Another writer left a file that cannot be read: set aside like one
        // found at start, never replaced unread.
        unreadable_ = true;
        setAside_ = {file_.RealPath(), UnreadableReason(problem), {}};
        Notify();
        return;
    }
    // What another writer put there, with this run's kept values on top.
    parsed->TakeUnsaved(document_);
    document_ = std::move(*parsed);
}

std::int32_t QSettingsProfileStore::GetProfileInt(std::string_view section, std::string_view entry,
                                                  std::int32_t defaultValue) const
{
    const std::optional<QString> text = document_.Text(Bytes(section), Bytes(entry));
    std::int32_t value = 0;
    return text && ParseInt32(*text, value) ? value : defaultValue;
}

std::u16string QSettingsProfileStore::GetProfileString(std::string_view section, std::string_view entry,
                                                       std::u16string_view defaultValue) const
{
    const std::optional<QString> text = document_.Text(Bytes(section), Bytes(entry));
    return text && !text->isEmpty() ? text->toStdU16String() : std::u16string(defaultValue);
}

void QSettingsProfileStore::WriteProfileInt(std::string_view section, std::string_view entry, std::int32_t value)
{
    Write(section, entry, QByteArray::number(value));
}

void QSettingsProfileStore::WriteProfileString(std::string_view section, std::string_view entry,
                                               std::u16string_view value)
{
    Write(section, entry,
          ProfileDocument::EncodeText(QString::fromUtf16(value.data(), static_cast<qsizetype>(value.size()))));
}

void QSettingsProfileStore::Write(std::string_view section, std::string_view entry, QByteArray encoded)
{
    document_.SetUnsaved(Bytes(section), Bytes(entry), std::move(encoded));
    if (!InWriteGroup()) {
        Commit();
    }
}

ProfileFile::Problem QSettingsProfileStore::Lock(int waitMs)
{
    if (waitMs > 0 && !file_.Locked()) {
        ++lockWaits_;
    }
    return file_.Lock(waitMs);
}

void QSettingsProfileStore::BeginWriteGroup() noexcept
{
    groupLockProblem_ = Lock(lockWaitMs_);
    if (!groupLockProblem_) {
        RefreshFromDisk();
    }
}

void QSettingsProfileStore::EndWriteGroup() noexcept
{
    if (groupLockProblem_) {
        // Already waited for at the start: the values stay kept.
        if (document_.HasUnsaved()) {
            SetProblem(groupLockProblem_);
        }
        groupLockProblem_ = {};
        return;
    }
    WriteLocked();
    file_.Unlock();
}

void QSettingsProfileStore::Commit(int lockWaitMs)
{
    lockWaitMs = lockWaitMs < 0 ? lockWaitMs_ : lockWaitMs;
    if (const ProfileFile::Problem problem = Lock(lockWaitMs)) {
        SetProblem(problem);
        return;
    }
    RefreshFromDisk();
    WriteLocked();
    file_.Unlock();
}

void QSettingsProfileStore::WriteLocked()
{
    if (!document_.HasUnsaved()) {
        return;
    }
    if (unreadable_) {
        QString keptAs;
        if (const ProfileFile::Problem problem = file_.MoveAside(QStringLiteral(".unreadable"), keptAs)) {
            SetProblem(problem);
            return;
        }
        qWarning("Unreadable profile kept as %s", qPrintable(keptAs));
        unreadable_ = false;
        setAside_.keptAs = keptAs;
        Notify();
    }
    // If even the copy cannot be kept the record still goes out: losing the
    // learner's result would be worse than missing the copy.
    bool kept = false;
    const QString backup = backupDue_ ? file_.RealPath() + QLatin1String(".bak") : QString();
    if (const ProfileFile::Problem problem = file_.Replace(document_.Serialise(), backup, kept)) {
        SetProblem(problem);
        return;
    }
    ++replacements_;
    document_.MarkSaved();
    backupDue_ = backupDue_ && !kept;
    SetProblem({});
}

bool QSettingsProfileStore::Retry(bool wait)
{
    if (document_.HasUnsaved()) {
        Commit(wait ? lockWaitMs_ : 0);
    } else if (problem_) {
        ProfileFile::Problem found = file_.Probe(document_.Serialise());
        if (found.kind != ProfileFile::Problem::Locked) {
            SetProblem(std::move(found));
        }
    }
    return !document_.HasUnsaved();
}

bool QSettingsProfileStore::KeepCopy(std::string_view suffix)
{
    copyProblem_ = {};
    if (document_.IsEmpty()) {
        return false;
    }
    const QString copy = file_.RealPath() + QString::fromLatin1(suffix.data(), static_cast<qsizetype>(suffix.size()));
    // Values not yet on disk belong in the copy too; an unreadable file on
    // disk is not what this run shows.
    copyProblem_
        = document_.HasUnsaved() || unreadable_ ? file_.WriteCopy(copy, document_.Serialise()) : file_.Keep(copy);
    return !copyProblem_;
}

ProfileFile::Problem QSettingsProfileStore::SaveCopyTo(const QString &path) const
{
    return file_.WriteCopy(path, document_.Serialise());
}

void QSettingsProfileStore::SetProblem(ProfileFile::Problem problem)
{
    if (!SameProblem(problem, problem_)) {
        problem_ = std::move(problem);
        if (problem_) {
            qWarning("Results cannot be saved to %s: %s", qPrintable(problem_.path), qPrintable(problem_.Reason()));
        }
        Notify();
        return;
    }
    // A problem known before anything was unsaved (an odd file found at
    // start) is news again once values wait on it: they need the retry.
    if (document_.HasUnsaved() != notifiedUnsaved_) {
        Notify();
    }
}

void QSettingsProfileStore::Notify()
{
    notifiedUnsaved_ = document_.HasUnsaved();
    if (listener_) {
        listener_();
    }
}
