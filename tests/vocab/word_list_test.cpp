// The built-in list, pinned character for character, and the rules a
// meaning keeps when the list is edited.

#include "vocab/word_list.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <vector>

namespace {

// FNV-1a over the UTF-16 texts of a level's rows in word order, French then
// English, blanks and tabs included, each text followed by '|'.
std::uint64_t LevelFingerprint(int level)
{
    std::uint64_t hash = 14695981039346656037u;
    for (int w = 50 * level - 49; w <= 50 * level; ++w) {
        const WordListRow &row = kWordList[static_cast<std::size_t>(w - 1)];
        for (const char16_t c : std::u16string(row.french) + u'|' + std::u16string(row.english) + u'|') {
            hash = (hash ^ c) * 1099511628211u;
        }
    }
    return hash;
}

// What a meaning may be made of ("Mr.", "Mrs.", "who, whom").
constexpr char16_t kLetters[] = u"abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ .,";

// A meaning without its surrounding blanks and tabs.
std::u16string Meaning(int w)
{
    const std::u16string_view text = kWordList[static_cast<std::size_t>(w - 1)].english;
    const auto first = text.find_first_not_of(u" \t");
    return std::u16string(text.substr(first, text.find_last_not_of(u" \t") - first + 1));
}

} // namespace

// Every French word, meaning, accent, blank and tab as the list gives them:
// a change anywhere fails here and names its level.
TEST(WordList, EveryLevelHoldsItsRowsExactly)
{
    const std::uint64_t fingerprints[20] = {
        0x35db62d0f4b2aba8, 0x1b96664fd53733a1, 0xac9777105361d412, 0x1b14467baa86ca61, 0x289f09b9745963d4,
        0xd7abe40c87bf17ca, 0xd060bed1f0e7070d, 0xb54c1d9a69cb30e7, 0x20bba33cba79057a, 0xbc59f30d803f4ee7,
        0x873e6651fa428025, 0x754727543890926a, 0x019bf6351d3bb138, 0xe68a609b464e1037, 0xf10d2c9472af3b5b,
        0xdb15ab65956d62a8, 0xe24f9190eda2c83f, 0x6573c717f2596efe, 0x9f3d3feff30e607f, 0x92d851fe2865ba59,
    };
    for (int level = 1; level <= 20; ++level) {
        EXPECT_EQ(LevelFingerprint(level), fingerprints[level - 1]) << "level " << level;
    }
}

// The rules a meaning keeps: plain letters, short enough for a button, and
// the same text on two buttons of one question only in these levels.
TEST(WordList, MeaningsArePlainShortAndSharedOnlyWhereListed)
{
    using SharedMeaning = std::tuple<int, std::u16string, std::vector<int>>; // level, meaning, its words
    const std::set<SharedMeaning> expected = {
        {1, u"in", {7, 11}},       {1, u"not", {15, 18}},      {1, u"that", {9, 45}},        {1, u"we", {29, 31}},
        {2, u"time", {65, 99}},    {3, u"time", {112, 132}},   {3, u"to", {134, 142}},       {4, u"return", {171, 191}},
        {4, u"your", {160, 167}},  {5, u"work", {209, 246}},   {8, u"close", {358, 387}},    {9, u"turn", {404, 416}},
        {10, u"calm", {461, 467}}, {12, u"which", {554, 578}}, {18, u"company", {872, 891}},
    };
    std::set<SharedMeaning> shared;
    for (int level = 1; level <= 20; ++level) {
        std::map<std::u16string, std::vector<int>> rows;
        for (int w = 50 * level - 49; w <= 50 * level; ++w) {
            const std::u16string meaning = Meaning(w);
            EXPECT_TRUE(meaning.size() <= 15 && meaning.find_first_not_of(kLetters) == std::u16string::npos) << w;
            rows[meaning].push_back(w);
        }
        for (const auto &[meaning, words] : rows) {
            if (words.size() >= 2) {
                shared.insert({level, meaning, words});
            }
        }
    }
    EXPECT_EQ(shared, expected);
}
