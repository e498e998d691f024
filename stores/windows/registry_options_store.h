#pragma once

#include "stores/options_store.h"

#include <QString>

// The learner's options on Windows: REG_DWORD values under the profile's
// key, in Options beside Results ("HKEY_CURRENT_USER\Software\Dravilo\pelko\Options"),
// each written in one call, so a crash leaves the old choice or the new.
class RegistryOptionsStore : public OptionsStore
{
public:
    // profileKey: "HKEY_CURRENT_USER\Software\Dravilo\pelko", or a key of
    // HKEY_CURRENT_USER given without that prefix.
    explicit RegistryOptionsStore(const QString &profileKey);

    bool ReadFlag(std::string_view name, bool fallback, Problem *problem = nullptr) const override;
    Problem WriteFlag(std::string_view name, bool value) override;

    // "HKEY_CURRENT_USER\...\Options", for messages.
    QString keyName() const;

private:
    ProfileProblem RegistryProblem(long error) const;

    QString key_; // under HKEY_CURRENT_USER
};
