#pragma once

// The profile store of the platform being built for: the registry on
// Windows, the INI file in the user's configuration folder elsewhere.
#ifdef _WIN32
#include "records/registry_profile_store.h"
using PlatformProfileStore = RegistryProfileStore;
#else
#include "records/qsettings_profile_store.h"
using PlatformProfileStore = QSettingsProfileStore;
#endif
