#include "drill/crt_random.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

std::vector<int> Draws(CrtRandom &random, int n)
{
    std::vector<int> out;
    for (int i = 0; i < n; ++i) {
        out.push_back(random.Next());
    }
    return out;
}

TEST(CrtRandom, ReplaysTheRuntimeSequenceInFifteenBits)
{
    // The C runtime's rand() after srand(1).
    CrtRandom random(1);
    EXPECT_EQ(Draws(random, 10), (std::vector<int> {41, 18467, 6334, 26500, 19169, 15724, 11478, 29358, 26962, 24464}));
    random.Seed(0);
    EXPECT_EQ(random.Next(), 38); // 2531011 >> 16

    random.Seed(0xFFFFFFFFu);
    const std::vector<int> draws = Draws(random, 1000);
    EXPECT_TRUE(std::all_of(draws.begin(), draws.end(), [](int r) { return r >= 0 && r <= CrtRandom::kMax; }));
}

} // namespace
