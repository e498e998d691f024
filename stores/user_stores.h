#pragma once

#include "stores/options_store.h"
#include "stores/saved_profile.h"

#include <QString>

#include <memory>

// The learner's own profile and options, where this platform keeps them: a
// file in the user's configuration folder, or the registry key on Windows.
// Organisation and application name must be set on QCoreApplication first.
class UserStores
{
public:
    // The profile's one name (a file's path, or the registry key): the same
    // for every start on the same profile.
    static QString ProfilePath();
    // Where the profile at that path is written: a link to it is followed.
    static QString WrittenPath(const QString &profilePath);
    static std::unique_ptr<SavedProfile> OpenProfile();
    // The options kept beside that profile.
    static std::unique_ptr<OptionsStore> OptionsBeside(const SavedProfile &profile);
};
