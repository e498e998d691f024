// Durability of the registry profile against writers killed at any instant:
// inside a finished practise, a high-score table save or a Reset Times. The
// writer is a separate process (profile_writer), killed by TerminateProcess;
// what counts is what the next start sees, so the registry is read after a
// new store has opened it, value by value, not through the store's reads.

#include "records/profile_keys.h"
#include "tests/stores/writer_kills.h"
#include "tests/support/temp_registry_profile.h"

#include <iostream>

TEST(RegistryDurability, EveryKillLeavesTheStateAfterAWholeRecord)
{
    TempRegistryProfile profile;
    // 500 result lines, so that the first reset has plenty to clear.
    WriterValues seed;
    for (int n = 1; n <= 500; ++n) {
        profile.SetText(QString::fromStdString(profile_keys::Result(20, n)).toStdWString(),
                        L"  01 mins, 02 secs Tries :50");
        seed["Results/" + profile_keys::Result(20, n)] = u"  01 mins, 02 secs Tries :50";
    }
    WriterModel model(seed);
    // A practise record is two values and a marker: under Wine a kill seldom
    // lands inside one, so only the long records are counted on.
    WriterKills done;
    KillWriters(
        profile.key(), model, 60, 5, 20000,
        [&] {
            profile.reopen(); // as the next start sees it
            WriterValues values;
            for (const auto &[name, typed] : profile.Values()) {
                values["Results/" + name] = typed.second;
            }
            return values;
        },
        done);
    EXPECT_GE(done.inside["table"], 5) << done.kills << " kills";
    EXPECT_GE(done.inside["reset"], 5) << done.kills << " kills";
    std::cout << done.kills << " kills, inside a table save " << done.inside["table"] << ", a reset "
              << done.inside["reset"] << ", a practise " << done.inside["practise"] << "\n";
}
