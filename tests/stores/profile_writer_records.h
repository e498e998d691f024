#pragma once

#include "records/high_score_table.h"
#include "records/profile_keys.h"
#include "records/profile_store.h"
#include "records/reset_times.h"

#include <string>

// The endless run of records the profile writer makes, each one record of
// the store as the program makes it: every seventh a Reset Times, the others
// in turn a finished practise and a high-score table save. Each carries
// "Writer" = its number in the same record, so whatever the disk holds says
// which record it is the state after.
inline const char *WriterRecordKind(int g)
{
    return g % 7 == 0 ? "reset" : g % 2 == 0 ? "table" : "practise";
}

inline void WriteWriterRecord(ProfileStore &store, int g)
{
    const ProfileStore::WriteGroup record(store);
    if (g % 7 == 0) {
        ResetTimes(store);
    } else if (g % 2 == 0) {
        HighScoreTable table(store);
        table.SetCandidate(g, g, g + 1);
        table.LoadAndMerge();
    } else {
        const int level = g % 20 + 1;
        const std::string line = "  " + std::to_string(g % 60) + " mins, 05 secs Tries :" + std::to_string(g);
        store.WriteProfileString(kResultsSection, profile_keys::Result(level, g / 20 + 1),
                                 std::u16string(line.begin(), line.end()));
        store.WriteProfileInt(kResultsSection, profile_keys::BestResult(level), g);
    }
    store.WriteProfileInt(kResultsSection, "Writer", g);
}
