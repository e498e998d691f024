#include "stores/windows/registry_options_store.h"

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

QString RegistryOptionsStore::keyName() const
{
    return QStringLiteral("HKEY_CURRENT_USER\\") + key_;
}

ProfileProblem RegistryOptionsStore::RegistryProblem(long error) const
{
    if (error == ERROR_SUCCESS) {
        return {};
    }
    // A key has no disk or sharing of its own to blame: denied, or the system's own words.
    if (error == ERROR_ACCESS_DENIED) {
        return {ProfileProblem::NoPermission, 0, keyName()};
    }
    return {ProfileProblem::Other, static_cast<int>(error), keyName()};
}

bool RegistryOptionsStore::ReadFlag(std::string_view name, bool fallback, Problem *problem) const
{
    DWORD value = 0;
    DWORD size = sizeof value;
    const LONG result = ::RegGetValueW(HKEY_CURRENT_USER, key_.toStdWString().c_str(), Wide(name).c_str(),
                                       RRF_RT_REG_DWORD, nullptr, &value, &size);
    // No key, no value, or a value that is not a number: a choice never made.
    const bool neverMade
        = result == ERROR_FILE_NOT_FOUND || result == ERROR_PATH_NOT_FOUND || result == ERROR_UNSUPPORTED_TYPE;
    if (problem != nullptr) {
        *problem = result == ERROR_SUCCESS || neverMade ? Problem {} : Problem {RegistryProblem(result), true};
    }
    return result == ERROR_SUCCESS ? value != 0 : fallback;
}

OptionsStore::Problem RegistryOptionsStore::WriteFlag(std::string_view name, bool value)
{
    HKEY key = nullptr;
    if (const LONG error = ::RegCreateKeyExW(HKEY_CURRENT_USER, key_.toStdWString().c_str(), 0, nullptr,
                                             REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr, &key, nullptr);
        error != ERROR_SUCCESS) {
        return {RegistryProblem(error), false};
    }
    const DWORD number = value ? 1 : 0;
    const LONG error = ::RegSetValueExW(key, Wide(name).c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE *>(&number),
                                        sizeof number);
    ::RegCloseKey(key);
    return {RegistryProblem(error), false};
}
