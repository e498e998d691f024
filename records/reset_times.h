#pragma once

#include "records/profile_store.h"

// "Reset Times", once the learner has confirmed it: clears every level's
// result lines and best result and the whole high-score table as one record.
// The profile as it was is kept first as <profile>.before-reset, but only
// when it holds any result, so that a second reset in a row cannot replace
// that copy with an empty profile. When that copy cannot be made nothing is
// cleared, and the answer is false: results of this run may be on disk
// nowhere else, and a reset without its copy could not be undone.
bool ResetTimes(ProfileStore &store);
