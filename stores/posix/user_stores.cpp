#include "stores/user_stores.h"

#include "stores/posix/options_file.h"
#include "stores/posix/qsettings_profile_store.h"

QString UserStores::ProfilePath()
{
    return QSettingsProfileStore::UserProfilePath();
}

QString UserStores::WrittenPath(const QString &profilePath)
{
    return ProfileFile(profilePath).ResolvedPath();
}

std::unique_ptr<SavedProfile> UserStores::OpenProfile()
{
    return std::make_unique<QSettingsProfileStore>();
}

std::unique_ptr<OptionsStore> UserStores::OptionsBeside(const SavedProfile &profile)
{
    return std::make_unique<OptionsFile>(OptionsFile::BesideProfile(profile.fileName()));
}
