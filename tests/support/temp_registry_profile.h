#pragma once

#include "stores/windows/registry_options_store.h"
#include "stores/windows/registry_profile_store.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QFile>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QUuid>

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <thread>

#include <windows.h>

#include <sddl.h>
#undef GetProfileInt
#undef GetProfileString
#undef WriteProfileString

// A registry profile of its own for one test, under the key
// HKEY_CURRENT_USER\Software\pelko-tests\<uuid>, its copies in a temporary
// folder; both removed with it.
class TempRegistryProfile
{
public:
    ~TempRegistryProfile()
    {
        ReleaseLock();
        store_.reset();
        Delete();
    }

    RegistryProfileStore &store()
    {
        if (!store_) {
            reopen();
        }
        return *store_;
    }
    RegistryProfileStore &reopen()
    {
        store_.reset();
        store_ = std::make_unique<RegistryProfileStore>(key_, copies_.path());
        return *store_;
    }
    const QString &key() const { return key_; }
    QString results() const { return key_ + QStringLiteral("\\Results"); }
    QString copies() const { return copies_.path(); }

    // Sets a value of Results (or of another key below the profile's, or of
    // the profile's own: "") directly, as another program would.
    void Set(const std::wstring &name, DWORD type, const void *data, DWORD size,
             const QString &below = QStringLiteral("Results")) const
    {
        ::RegSetKeyValueW(HKEY_CURRENT_USER, Path(below).c_str(), name.c_str(), type, data, size);
    }
    void SetText(const std::wstring &name, const std::wstring &text) const
    {
        Set(name, REG_SZ, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    }
    void SetNumber(const std::wstring &name, DWORD number) const { Set(name, REG_DWORD, &number, sizeof number); }

    // A record as pelko writes it (of this version unless told), setting one number.
    static QByteArray Record(const char *name, qint32 number, quint32 version = 1)
    {
        QByteArray record;
        QDataStream out(&record, QIODevice::WriteOnly);
        out << quint32 {0x504c4b4a} << version << quint32 {1} << QByteArray(name) << quint8 {'D'} << number;
        return record;
    }
    // The PendingRecord beside Results, as a writer killed or another program leaves it.
    void SetPending(const QByteArray &data, DWORD type = REG_BINARY) const
    {
        Set(L"PendingRecord", type, data.constData(), static_cast<DWORD>(data.size()), {});
    }
    // Its type and bytes, or nothing.
    std::pair<DWORD, QByteArray> Pending() const
    {
        QByteArray data(4096, '\0');
        DWORD size = 4096, type = REG_NONE;
        const LONG read = ::RegGetValueW(HKEY_CURRENT_USER, Path({}).c_str(), L"PendingRecord",
                                         RRF_RT_ANY | RRF_NOEXPAND, &type, data.data(), &size);
        return read == ERROR_SUCCESS ? std::pair(type, data.left(size)) : std::pair(DWORD {REG_NONE}, QByteArray());
    }

    // Who may open the profile's key or a key below it ("Options"): no one,
    // only to read, or anyone for anything (as made).
    enum class Access { None, Read, All };
    LONG SetAccess(Access access, const QString &below = {}) const
    {
        const wchar_t *const lists[] = {L"D:", L"D:(A;;KR;;;WD)", L"D:(A;;KA;;;WD)"}; // for everyone
        PSECURITY_DESCRIPTOR descriptor = nullptr;
        ::ConvertStringSecurityDescriptorToSecurityDescriptorW(lists[static_cast<int>(access)], SDDL_REVISION_1,
                                                               &descriptor, nullptr);
        HKEY handle = nullptr;
        ::RegOpenKeyExW(HKEY_CURRENT_USER, Path(below).c_str(), 0, WRITE_DAC, &handle);
        const LONG result = ::RegSetKeySecurity(handle, DACL_SECURITY_INFORMATION, descriptor);
        ::RegCloseKey(handle);
        ::LocalFree(descriptor);
        return result;
    }

    // Every value of Results as the registry holds it: name -> (type, text);
    // a number as its signed decimal.
    std::map<std::string, std::pair<DWORD, std::u16string>> Values() const
    {
        std::map<std::string, std::pair<DWORD, std::u16string>> values;
        HKEY key = nullptr;
        ::RegOpenKeyExW(HKEY_CURRENT_USER, results().toStdWString().c_str(), 0, KEY_READ, &key); // none: nothing listed
        wchar_t name[256];
        BYTE data[4096];
        for (DWORD i = 0, nameLength = 256, size = sizeof data, type = 0;
             ::RegEnumValueW(key, i, name, &nameLength, nullptr, &type, data, &size) == ERROR_SUCCESS;
             ++i, nameLength = 256, size = sizeof data) {
            std::u16string text(reinterpret_cast<const char16_t *>(data), size / 2);
            if (type == REG_DWORD) {
                const std::string number = std::to_string(*reinterpret_cast<const std::int32_t *>(data));
                text.assign(number.begin(), number.end());
            }
            text.erase(text.find_last_not_of(u'\0') + 1);
            values[QString::fromWCharArray(name, nameLength).toStdString()] = {type, text};
        }
        ::RegCloseKey(key);
        return values;
    }

    // A value as a fresh reader finds it now: text, or a number in decimal.
    QString Stored(const std::string &key) const { return QString::fromStdU16String(Values()[key].second); }
    QString CopyPath(std::string_view suffix) { return store().CopyPath(suffix); }
    // A value as a .reg copy holds it: text, or a number in decimal.
    QString CopyValue(std::string_view suffix, const std::string &key)
    {
        QFile file(CopyPath(suffix));
        const QString text
            = file.open(QIODevice::ReadOnly) ? QStringDecoder(QStringDecoder::Utf16LE)(file.readAll()) : QString();
        const QString line = QStringLiteral("^\"%1\"=(?:dword:(\\w+)|\"(.*)\")\\r$")
                                 .arg(QRegularExpression::escape(QString::fromStdString(key)));
        const auto found = QRegularExpression(line, QRegularExpression::MultilineOption).match(text);
        if (!found.captured(1).isEmpty()) {
            return QString::number(static_cast<std::int32_t>(found.captured(1).toUInt(nullptr, 16)));
        }
        return found.captured(2)
            .replace(QStringLiteral("\\\""), QStringLiteral("\""))
            .replace(QStringLiteral("\\\\"), QStringLiteral("\\"));
    }

    // The profile's key made anew as a volatile key, and a store opened on
    // it: below a volatile key no lasting key can be made, so neither
    // Results nor Options can be written until Unblock() removes it.
    RegistryProfileStore &Block()
    {
        store_.reset();
        Delete();
        HKEY volatileKey = nullptr;
        ::RegCreateKeyExW(HKEY_CURRENT_USER, key_.toStdWString().c_str(), 0, nullptr, REG_OPTION_VOLATILE,
                          KEY_ALL_ACCESS, nullptr, &volatileKey, nullptr);
        ::RegCloseKey(volatileKey);
        return reopen();
    }
    void Unblock() { ::RegDeleteKeyW(HKEY_CURRENT_USER, key_.toStdWString().c_str()); }

    bool OptionFlag(std::string_view name, bool fallback) const
    {
        return RegistryOptionsStore(key_).ReadFlag(name, fallback);
    }

    // Another writer holds the profile's lock: its named mutex, held by a
    // thread of its own (a mutex lets its owning thread in again).
    void HoldLock()
    {
        const QByteArray hash
            = QCryptographicHash::hash(key_.toLower().toUtf8(), QCryptographicHash::Sha256).toHex().left(16);
        const std::wstring name = (QStringLiteral("Local\\pelko-profile-") + hash).toStdWString();
        HANDLE held = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
        release_ = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
        holder_ = std::thread([name, held, release = release_] {
            HANDLE mutex = ::CreateMutexW(nullptr, FALSE, name.c_str());
            ::WaitForSingleObject(mutex, INFINITE);
            ::SetEvent(held);
            ::WaitForSingleObject(release, INFINITE);
            ::ReleaseMutex(mutex);
            ::CloseHandle(mutex);
        });
        ::WaitForSingleObject(held, INFINITE);
        ::CloseHandle(held);
    }
    void ReleaseLock()
    {
        if (holder_.joinable()) {
            ::SetEvent(release_);
            holder_.join();
            ::CloseHandle(release_);
        }
    }

private:
    std::wstring Path(const QString &below) const
    {
        return (below.isEmpty() ? key_ : key_ + QLatin1Char('\\') + below).toStdWString();
    }
    void Delete() const
    {
        ::RegDeleteTreeW(HKEY_CURRENT_USER, key_.toStdWString().c_str()); // the key itself too
    }

    std::thread holder_;
    HANDLE release_ = nullptr;
    QString key_ = QStringLiteral("Software\\pelko-tests\\") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    QTemporaryDir copies_;
    std::unique_ptr<RegistryProfileStore> store_;
};
