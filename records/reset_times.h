#pragma once

#include "records/profile_store.h"

// "Reset Times", once the learner has confirmed it: clears every level's
// result lines and best result and the whole high-score table as one record.
// The profile as it was is kept first as <profile>.before-reset, but only
// when it holds any result, so that a second reset in a row cannot replace
// that copy with an empty profile.
void ResetTimes(ProfileStore &store);
