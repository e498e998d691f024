#include "records/profile_keys.h"
#include "tests/support/temp_profile.h"

#include <gtest/gtest.h>

TEST(QSettingsProfileStore, RoundTripsIntAndString)
{
    TempProfile profile;
    profile.store().WriteProfileInt(kResultsSection, "BestResult3", 51);
    profile.store().WriteProfileString(kResultsSection, "Result3_1", u"  02 mins, 05 secs Tries :51");
    EXPECT_EQ(profile.reopen().GetProfileInt(kResultsSection, "BestResult3", 999), 51);
    EXPECT_EQ(profile.store().GetProfileString(kResultsSection, "Result3_1", u""), u"  02 mins, 05 secs Tries :51");
}
