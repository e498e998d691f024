#include "stores/user_stores.h"

#include "stores/windows/registry_options_store.h"
#include "stores/windows/registry_profile_store.h"

QString UserStores::ProfilePath()
{
    return RegistryProfileStore::UserProfilePath();
}

QString UserStores::WrittenPath(const QString &profilePath)
{
    return profilePath;
}

std::unique_ptr<SavedProfile> UserStores::OpenProfile()
{
    return std::make_unique<RegistryProfileStore>();
}

std::unique_ptr<OptionsStore> UserStores::OptionsBeside(const SavedProfile &profile)
{
    // Beside the profile's Results: "...\Results" becomes "...\Options".
    QString profileKey = profile.fileName();
    profileKey.chop(QStringLiteral("\\Results").size());
    return std::make_unique<RegistryOptionsStore>(profileKey);
}
