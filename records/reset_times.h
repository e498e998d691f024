#pragma once

#include "drill/drill_engine.h"
#include "drill/window_services.h"
#include "records/profile_store.h"

// "Reset Times": after a Yes, clears every level's result lines and best
// result and the whole high-score table. When mainWindow is given, its
// results list and best-result displays follow at once, so the next result
// is stored where the list will find it. True when the times were reset.
bool ResetTimes(ProfileStore &store, WindowServices &window, DrillEngine *mainWindow);
