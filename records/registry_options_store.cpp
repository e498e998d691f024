#include "records/registry_options_store.h"

#include <string>

#include <windows.h>

namespace {

std::wstring Wide(std::string_view ascii)
{
    return std::wstring(ascii.begin(), ascii.end());
}

} // namespace

RegistryOptionsStore::RegistryOptionsStore(const QString &profileKey)
{
    const QString root = QStringLiteral("HKEY_CURRENT_USER\\");
    key_ = (profileKey.startsWith(root) ? profileKey.mid(root.size()) : profileKey) + QStringLiteral("\\Options");
}

bool RegistryOptionsStore::ReadFlag(std::string_view name, bool fallback) const
{
    DWORD value = 0;
    DWORD size = sizeof value;
    // Only a number counts; anything else there is a choice never made.
    if (::RegGetValueW(HKEY_CURRENT_USER, key_.toStdWString().c_str(), Wide(name).c_str(), RRF_RT_REG_DWORD, nullptr,
                       &value, &size)
        != ERROR_SUCCESS) {
        return fallback;
    }
    return value != 0;
}

bool RegistryOptionsStore::WriteFlag(std::string_view name, bool value)
{
    HKEY key = nullptr;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, key_.toStdWString().c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                          KEY_SET_VALUE, nullptr, &key, nullptr)
        != ERROR_SUCCESS) {
        return false;
    }
    const DWORD number = value ? 1 : 0;
    const bool written = ::RegSetValueExW(key, Wide(name).c_str(), 0, REG_DWORD,
                                          reinterpret_cast<const BYTE *>(&number), sizeof number)
        == ERROR_SUCCESS;
    ::RegCloseKey(key);
    return written;
}
