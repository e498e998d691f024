#include "stores/windows/registry_profile_store.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QIODevice>
#include <QStandardPaths>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <string>

#include <windows.h>
// windows.h names its own profile calls like the store's.
#undef GetProfileInt
#undef GetProfileString
#undef WriteProfileString

namespace {

constexpr wchar_t kJournal[] = L"PendingRecord";
constexpr quint32 kJournalMagic = 0x504c4b4a; // "PLKJ"
constexpr quint32 kJournalVersion = 1;

HKEY Key(void *handle)
{
    return static_cast<HKEY>(handle);
}

std::wstring Wide(const QString &text)
{
    return text.toStdWString();
}

std::wstring Wide(std::string_view ascii)
{
    return std::wstring(ascii.begin(), ascii.end());
}

// One value as the registry has it; false where there is none.
bool Query(HKEY key, const wchar_t *name, DWORD &type, QByteArray &data)
{
    if (key == nullptr) {
        return false;
    }
    DWORD size = 0;
    for (;;) {
        data.resize(static_cast<qsizetype>(size));
        LONG result = ::RegQueryValueExW(key, name, nullptr, &type,
                                         size == 0 ? nullptr : reinterpret_cast<BYTE *>(data.data()), &size);
        if (result == ERROR_MORE_DATA || (result == ERROR_SUCCESS && data.size() < static_cast<qsizetype>(size))) {
            continue; // grown since asked: ask again with its new size
        }
        if (result != ERROR_SUCCESS) {
            return false;
        }
        data.resize(static_cast<qsizetype>(size));
        return true;
    }
}

// A REG_SZ's text, without the terminating NUL(s) it may or may not carry.
std::u16string TextOf(const QByteArray &data)
{
    std::u16string text(static_cast<std::size_t>(data.size()) / 2, u'\0');
    std::memcpy(text.data(), data.constData(), text.size() * 2);
    while (!text.empty() && text.back() == u'\0') {
        text.pop_back();
    }
    return text;
}

LONG SetValue(HKEY key, const std::wstring &name, const std::variant<std::int32_t, std::u16string> &value)
{
    if (const auto *number = std::get_if<std::int32_t>(&value)) {
        const DWORD dword = static_cast<DWORD>(*number);
        return ::RegSetValueExW(key, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE *>(&dword), sizeof dword);
    }
    const std::u16string &text = std::get<std::u16string>(value);
    return ::RegSetValueExW(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE *>(text.c_str()),
                            static_cast<DWORD>((text.size() + 1) * sizeof(char16_t)));
}

ProfileProblem::Kind KindOf(DWORD error)
{
    switch (error) {
    case ERROR_ACCESS_DENIED:
        return ProfileProblem::NoPermission;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return ProfileProblem::NoSpace;
    case ERROR_WRITE_PROTECT:
        return ProfileProblem::ReadOnly;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return ProfileProblem::Locked;
    default:
        return ProfileProblem::Other;
    }
}

ProfileProblem FileProblem(DWORD error, const QString &path)
{
    const ProfileProblem::Kind kind = KindOf(error);
    return {kind, kind == ProfileProblem::Other ? static_cast<int>(error) : 0, path};
}

// A .reg file's quoted string: backslashes and quotes escaped.
QString RegString(const std::u16string &text)
{
    QString out = QStringLiteral("\"");
    for (const char16_t c : text) {
        if (c == u'\\' || c == u'"') {
            out += QLatin1Char('\\');
        }
        out += QChar(c);
    }
    return out + QLatin1Char('"');
}

// hex(type):aa,bb,... as regedit writes values it has no plainer form for.
QString RegHex(DWORD type, const QByteArray &data)
{
    QString out = QStringLiteral("hex(%1):").arg(type, 0, 16);
    for (qsizetype i = 0; i < data.size(); ++i) {
        if (i > 0) {
            out += QLatin1Char(',');
        }
        out += QStringLiteral("%1").arg(static_cast<unsigned char>(data[i]), 2, 16, QLatin1Char('0'));
    }
    return out;
}

// Whole or not at all: written beside the target, flushed, moved over it.
ProfileProblem WriteFileWhole(const QString &path, const QByteArray &bytes)
{
    // A folder there is no copy to replace.
    const DWORD attributes = ::GetFileAttributesW(Wide(QDir::toNativeSeparators(path)).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return {ProfileProblem::NotRegular, 0, path};
    }
    const QString temporary = path + QStringLiteral(".tmp");
    const std::wstring wideTemporary = Wide(QDir::toNativeSeparators(temporary));
    HANDLE file = ::CreateFileW(wideTemporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return FileProblem(::GetLastError(), path);
    }
    DWORD written = 0;
    const bool ok = ::WriteFile(file, bytes.constData(), static_cast<DWORD>(bytes.size()), &written, nullptr)
        && written == static_cast<DWORD>(bytes.size()) && ::FlushFileBuffers(file);
    const DWORD error = ok ? ERROR_SUCCESS : ::GetLastError();
    ::CloseHandle(file);
    if (ok
        && ::MoveFileExW(wideTemporary.c_str(), Wide(QDir::toNativeSeparators(path)).c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return {};
    }
    const DWORD moveError = ok ? ::GetLastError() : error;
    ::DeleteFileW(wideTemporary.c_str());
    return FileProblem(moveError, path);
}

// One value as a .reg file's line: "name"=data, in the plainest form regedit reads back exactly.
QString RegLine(const std::u16string &name, DWORD type, const QByteArray &data)
{
    QString text = RegString(name) + QLatin1Char('=');
    const std::u16string plain = TextOf(data);
    const bool printable = std::all_of(plain.begin(), plain.end(), [](char16_t c) { return c >= u' '; });
    if (type == REG_DWORD && data.size() == 4) {
        quint32 number = 0;
        std::memcpy(&number, data.constData(), 4);
        text += QStringLiteral("dword:%1").arg(number, 8, 16, QLatin1Char('0'));
    } else if (type == REG_SZ && printable) {
        text += RegString(plain);
    } else {
        text += RegHex(type, data);
    }
    return text + QStringLiteral("\r\n");
}

// A .reg file of these sections, as regedit reads it: UTF-16 with its byte-order mark.
QByteArray RegFile(const QString &sections)
{
    const QString text = QStringLiteral("Windows Registry Editor Version 5.00\r\n\r\n") + sections;
    QByteArray bytes("\xff\xfe", 2);
    bytes.append(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
    return bytes;
}

} // namespace

QString RegistryProfileStore::UserProfilePath()
{
    return QStringLiteral("HKEY_CURRENT_USER\\Software\\%1\\%2")
        .arg(QCoreApplication::organizationName(), QCoreApplication::applicationName());
}

RegistryProfileStore::RegistryProfileStore()
    : RegistryProfileStore(UserProfilePath().mid(QStringLiteral("HKEY_CURRENT_USER\\").size()),
                           QStandardPaths::writableLocation(QStandardPaths::AppDataLocation))
{
}

RegistryProfileStore::RegistryProfileStore(const QString &keyPath, const QString &copyFolder)
    : SavedProfile(kLockWaitMs), keyPath_(keyPath), copyFolder_(copyFolder)
{
    // Two spellings of one key are one key: the registry ignores case.
    const QByteArray hash
        = QCryptographicHash::hash(keyPath_.toLower().toUtf8(), QCryptographicHash::Sha256).toHex().left(16);
    mutex_ = ::CreateMutexW(nullptr, FALSE, Wide(QStringLiteral("Local\\pelko-profile-") + hash).c_str());
    Open();
}

RegistryProfileStore::~RegistryProfileStore()
{
    if (locked_) {
        Unlock();
    }
    if (results_ != nullptr) {
        ::RegCloseKey(Key(results_));
    }
    if (base_ != nullptr) {
        ::RegCloseKey(Key(base_));
    }
    if (mutex_ != nullptr) {
        ::CloseHandle(mutex_);
    }
}

void RegistryProfileStore::Open()
{
    const ProfileProblem opened = OpenKeys();
    if (!Lock(kOpenLockWaitMs)) {
        ReplayJournal(opened);
        Unlock();
    }
}

ProfileProblem RegistryProfileStore::OpenKeys()
{
    if (writable_) {
        return {};
    }
    HKEY base = nullptr;
    HKEY results = nullptr;
    LONG error = ::RegCreateKeyExW(HKEY_CURRENT_USER, Wide(keyPath_).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                   KEY_READ | KEY_WRITE, nullptr, &base, nullptr);
    if (error == ERROR_SUCCESS) {
        error = ::RegCreateKeyExW(base, L"Results", 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_READ | KEY_WRITE, nullptr,
                                  &results, nullptr);
        if (error != ERROR_SUCCESS) {
            ::RegCloseKey(base);
        }
    }
    if (error == ERROR_SUCCESS) {
        for (void *old : {base_, results_}) {
            if (old != nullptr) {
                ::RegCloseKey(Key(old));
            }
        }
        base_ = base;
        results_ = results;
        writable_ = true;
        return {};
    }
    // What cannot be written may still be read: the results, and a record pending beside them.
    if (base_ == nullptr) {
        HKEY readOnly = nullptr;
        if (::RegOpenKeyExW(HKEY_CURRENT_USER, Wide(keyPath_).c_str(), 0, KEY_READ, &readOnly) == ERROR_SUCCESS) {
            base_ = readOnly;
        }
    }
    if (results_ == nullptr) {
        HKEY readOnly = nullptr;
        if (::RegOpenKeyExW(HKEY_CURRENT_USER, Wide(keyPath_ + QStringLiteral("\\Results")).c_str(), 0, KEY_READ,
                            &readOnly)
            == ERROR_SUCCESS) {
            results_ = readOnly;
        }
    }
    return RegistryProblem(error);
}

ProfileProblem RegistryProfileStore::RegistryProblem(long error) const
{
    if (error == ERROR_SUCCESS) {
        return {};
    }
    ProfileProblem problem = FileProblem(static_cast<DWORD>(error), fileName());
    // A key has no disk or sharing of its own to blame.
    if (problem.kind != ProfileProblem::NoPermission) {
        problem = {ProfileProblem::Other, static_cast<int>(error), fileName()};
    }
    return problem;
}

QString RegistryProfileStore::fileName() const
{
    return QStringLiteral("HKEY_CURRENT_USER\\") + keyPath_ + QStringLiteral("\\Results");
}

QString RegistryProfileStore::CopyPath(std::string_view suffix) const
{
    return QDir::toNativeSeparators(copyFolder_ + QStringLiteral("/pelko")
                                    + QString::fromLatin1(suffix.data(), static_cast<qsizetype>(suffix.size()))
                                    + QStringLiteral(".reg"));
}

ProfileProblem RegistryProfileStore::Lock(int waitMs)
{
    if (mutex_ == nullptr) {
        return {}; // no mutex could be made: write unguarded rather than not at all
    }
    if (waitMs > 0) {
        ++lockWaits_;
    }
    const DWORD result = ::WaitForSingleObject(mutex_, static_cast<DWORD>(waitMs));
    // An abandoned mutex is one whose writer died: its journal is replayed next.
    if (result == WAIT_OBJECT_0 || result == WAIT_ABANDONED) {
        locked_ = true;
        return {};
    }
    return {ProfileProblem::Locked, 0, fileName()};
}

void RegistryProfileStore::Unlock()
{
    if (locked_) {
        ::ReleaseMutex(mutex_);
        locked_ = false;
    }
}

bool RegistryProfileStore::ReplayJournal(const ProfileProblem &opened)
{
    DWORD type = 0;
    QByteArray data;
    if (!Query(Key(base_), kJournal, type, data)) {
        return false;
    }
    QDataStream in(data);
    quint32 magic = 0;
    quint32 version = 0;
    quint32 count = 0;
    in >> magic >> version >> count;
    Values values;
    for (quint32 i = 0; i < count && in.status() == QDataStream::Ok; ++i) {
        QByteArray name;
        quint8 kind = 0;
        in >> name >> kind;
        if (kind == 'D') {
            qint32 number = 0;
            in >> number;
            values[name.toStdString()] = number;
        } else {
            QString text;
            in >> text;
            values[name.toStdString()] = text.toStdU16String();
        }
    }
    if (type != REG_BINARY || magic != kJournalMagic || version != kJournalVersion || in.status() != QDataStream::Ok
        || !in.atEnd()) {
        // A newer pelko's record, or a hand edit: applying it, or half of it, could be wrong.
        qWarning("The profile's journal in %s is not one this pelko can apply; it is not applied",
                 qPrintable(fileName()));
        return true;
    }
    ProfileProblem problem = opened ? opened : Apply(values);
    if (!problem) {
        ::RegDeleteValueW(Key(base_), kJournal);
        return false;
    }
    // Still pending: its values are read from now on and go out with this
    // run's next record, which replaces it; this run's own values stay on
    // top, as they would over the record applied.
    unsaved_.insert(values.begin(), values.end());
    SetProblem(std::move(problem));
    return false;
}

ProfileProblem RegistryProfileStore::SetJournalAside()
{
    DWORD type = 0;
    QByteArray data;
    if (!Query(Key(base_), kJournal, type, data)) {
        return {};
    }
    const QByteArray file = RegFile(QStringLiteral("[HKEY_CURRENT_USER\\") + keyPath_ + QStringLiteral("]\r\n")
                                    + RegLine(u"PendingRecord", type, data) + QStringLiteral("\r\n"));
    // One kept earlier is never written over.
    for (int n = 1;; ++n) {
        const QString path = CopyPath(n == 1 ? std::string(".pending-record") : ".pending-record-" + std::to_string(n));
        QFile kept(path);
        if (!kept.exists()) {
            QDir().mkpath(QFileInfo(path).absolutePath());
            return WriteFileWhole(path, file);
        }
        if (kept.open(QIODevice::ReadOnly) && kept.readAll() == file) {
            return {}; // kept already, by a write that then failed
        }
    }
}

ProfileProblem RegistryProfileStore::Apply(const Values &values)
{
    for (const auto &[name, value] : values) {
        if (const LONG error = SetValue(Key(results_), Wide(name), value); error != ERROR_SUCCESS) {
            return RegistryProblem(error);
        }
    }
    return {};
}

std::int32_t RegistryProfileStore::GetProfileInt(std::string_view /*section*/, std::string_view entry,
                                                 std::int32_t defaultValue) const
{
    if (const auto kept = unsaved_.find(std::string(entry)); kept != unsaved_.end()) {
        const auto *number = std::get_if<std::int32_t>(&kept->second);
        return number != nullptr ? *number : defaultValue;
    }
    DWORD type = 0;
    QByteArray data;
    if (!Query(Key(results_), Wide(entry).c_str(), type, data) || type != REG_DWORD || data.size() != 4) {
        return defaultValue;
    }
    std::int32_t value = 0;
    std::memcpy(&value, data.constData(), sizeof value);
    return value;
}

std::u16string RegistryProfileStore::GetProfileString(std::string_view /*section*/, std::string_view entry,
                                                      std::u16string_view defaultValue) const
{
    std::u16string text;
    if (const auto kept = unsaved_.find(std::string(entry)); kept != unsaved_.end()) {
        if (const auto *stored = std::get_if<std::u16string>(&kept->second)) {
            text = *stored;
        }
    } else {
        DWORD type = 0;
        QByteArray data;
        if (Query(Key(results_), Wide(entry).c_str(), type, data) && type == REG_SZ) {
            text = TextOf(data);
        }
    }
    return text.empty() ? std::u16string(defaultValue) : text;
}

void RegistryProfileStore::WriteProfileInt(std::string_view /*section*/, std::string_view entry, std::int32_t value)
{
    unsaved_[std::string(entry)] = value;
    if (!InWriteGroup()) {
        Commit(lockWaitMs_);
    }
}

void RegistryProfileStore::WriteProfileString(std::string_view /*section*/, std::string_view entry,
                                              std::u16string_view value)
{
    unsaved_[std::string(entry)] = std::u16string(value);
    if (!InWriteGroup()) {
        Commit(lockWaitMs_);
    }
}

void RegistryProfileStore::BeginWriteGroup() noexcept
{
    groupLockProblem_ = Lock(lockWaitMs_);
    if (!groupLockProblem_) {
        ReplayJournal(OpenKeys());
    }
}

void RegistryProfileStore::EndWriteGroup() noexcept
{
    if (groupLockProblem_) {
        if (HasUnsaved()) {
            SetProblem(groupLockProblem_);
        }
        groupLockProblem_ = {};
        return;
    }
    WriteLocked();
    Unlock();
}

void RegistryProfileStore::Commit(int lockWaitMs)
{
    if (ProfileProblem problem = Lock(lockWaitMs)) {
        SetProblem(std::move(problem));
        return;
    }
    WriteLocked();
    Unlock();
}

void RegistryProfileStore::WriteLocked()
{
    if (unsaved_.empty()) {
        return;
    }
    // A record pending is applied, or carried on by this one, before this
    // one replaces it; never written over unread.
    const ProfileProblem opened = OpenKeys();
    const bool foreign = ReplayJournal(opened);
    if (opened) {
        SetProblem(opened);
        return;
    }
    if (foreign) {
        if (ProfileProblem problem = SetJournalAside()) {
            SetProblem(std::move(problem));
            return;
        }
    }
    if (backupDue_) {
        // The profile as this run found it; if even that cannot be written
        // the record still goes out: losing it would be worse.
        backupDue_ = static_cast<bool>(Export(CopyPath(".bak"), false));
    }

    QByteArray journal;
    {
        QDataStream out(&journal, QIODevice::WriteOnly);
        out << kJournalMagic << kJournalVersion << static_cast<quint32>(unsaved_.size());
        for (const auto &[name, value] : unsaved_) {
            out << QByteArray::fromStdString(name);
            if (const auto *number = std::get_if<std::int32_t>(&value)) {
                out << static_cast<quint8>('D') << static_cast<qint32>(*number);
            } else {
                out << static_cast<quint8>('S') << QString::fromStdU16String(std::get<std::u16string>(value));
            }
        }
    }
    if (const LONG error
        = ::RegSetValueExW(Key(base_), kJournal, 0, REG_BINARY, reinterpret_cast<const BYTE *>(journal.constData()),
                           static_cast<DWORD>(journal.size()));
        error != ERROR_SUCCESS) {
        SetProblem(RegistryProblem(error));
        return;
    }
    // From here the record is safe: applied now, or by whoever comes next.
    if (ProfileProblem problem = Apply(unsaved_)) {
        SetProblem(std::move(problem));
        return;
    }
    ::RegDeleteValueW(Key(base_), kJournal);
    unsaved_.clear();
    ++replacements_;
    SetProblem({});
}

bool RegistryProfileStore::Retry(bool wait)
{
    if (HasUnsaved()) {
        Commit(wait ? lockWaitMs_ : 0);
    }
    return !HasUnsaved();
}

bool RegistryProfileStore::KeepCopy(std::string_view suffix)
{
    copyProblem_ = Export(CopyPath(suffix), true);
    return !copyProblem_;
}

ProfileProblem RegistryProfileStore::SaveCopyTo(const QString &path) const
{
    return Export(path, true);
}

ProfileProblem RegistryProfileStore::Export(const QString &path, bool withUnsaved) const
{
    // Every value as it stands, in name order, with the kept ones on top.
    std::map<std::wstring, std::pair<DWORD, QByteArray>> values;
    if (results_ != nullptr) {
        for (DWORD i = 0;; ++i) {
            wchar_t name[16384];
            DWORD nameLength = static_cast<DWORD>(std::size(name));
            if (::RegEnumValueW(Key(results_), i, name, &nameLength, nullptr, nullptr, nullptr, nullptr)
                != ERROR_SUCCESS) {
                break;
            }
            DWORD type = 0;
            QByteArray data;
            if (Query(Key(results_), name, type, data)) {
                values[std::wstring(name, nameLength)] = {type, data};
            }
        }
    }
    if (withUnsaved) {
        for (const auto &[name, value] : unsaved_) {
            if (const auto *number = std::get_if<std::int32_t>(&value)) {
                values[Wide(name)] = {REG_DWORD, QByteArray(reinterpret_cast<const char *>(number), 4)};
            } else {
                const std::u16string &text = std::get<std::u16string>(value);
                values[Wide(name)] = {REG_SZ,
                                      QByteArray(reinterpret_cast<const char *>(text.c_str()),
                                                 static_cast<qsizetype>((text.size() + 1) * 2))};
            }
        }
    }

    // The key is emptied first and a record still pending removed (the next
    // start would apply it on top), so that putting the copy back gives
    // exactly this state.
    const QString base = QStringLiteral("HKEY_CURRENT_USER\\") + keyPath_;
    QString text
        = QStringLiteral("[-%1\\Results]\r\n\r\n[%1]\r\n\"PendingRecord\"=-\r\n\r\n[%1\\Results]\r\n").arg(base);
    for (const auto &[name, typed] : values) {
        text += RegLine(std::u16string(name.begin(), name.end()), typed.first, typed.second);
    }
    text += QStringLiteral("\r\n");
    QDir().mkpath(QFileInfo(path).absolutePath());
    return WriteFileWhole(path, RegFile(text));
}

void RegistryProfileStore::SetProblem(ProfileProblem problem)
{
    if (problem == problem_) {
        return;
    }
    problem_ = std::move(problem);
    if (problem_) {
        qWarning("Results cannot be saved to %s: %s", qPrintable(problem_.path), qPrintable(problem_.Reason()));
    }
    if (listener_) {
        listener_();
    }
}
