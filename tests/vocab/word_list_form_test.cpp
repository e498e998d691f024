// The layout blanks and tabs of every row, and the French words.

#include "word_text.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <tuple>

using namespace vocab_test;

namespace {

// The blank-form rows: word, French, blanks after it, blanks after the meaning, meaning. The French
// word has 5 blanks before it, the meaning 4 (5 in word 10).
const std::tuple<int, const char *, int, int, const char *> kBlankRows[] = {
    {1, "le", 3, 0, "the"},       {2, "de", 3, 2, "of"},         {5, "être", 7, 6, "to be"},
    {6, "et", 3, 3, "and"},       {7, "en", 3, 5, "in"},         {8, "avoir", 6, 3, "have"},
    {9, "que", 2, 2, "that"},     {10, "pour", 7, 7, "for"},     {11, "dans", 7, 4, "in"},
    {12, "ce", 3, 2, "this"},     {13, "il", 3, 6, "it"},        {14, "qui", 2, 3, "who, whom"},
    {15, "ne", 3, 3, "not"},      {16, "sur", 2, 4, "on"},       {17, "se", 3, 3, "themselves"},
    {18, "pas", 2, 5, "not"},     {19, "plus", 7, 5, "more"},    {20, "pouvoir", 4, 5, "power"},
    {21, "par", 2, 4, "by"},      {22, "je", 3, 5, "I"},         {23, "avec", 7, 2, "with"},
    {24, "tout", 7, 3, "all"},    {25, "faire", 6, 7, "do"},     {26, "son", 2, 5, "its"},
    {27, "mettre", 5, 5, "put"},  {28, "autre", 6, 1, "other"},  {29, "on", 3, 5, "we"},
    {30, "mais", 7, 3, "but"},    {31, "nous", 7, 6, "we"},      {32, "comme", 6, 4, "as"},
    {33, "ou", 3, 4, "or"},       {34, "si", 3, 3, "if"},        {35, "leur", 7, 5, "their"},
    {36, "y", 4, 3, "there"},     {37, "dire", 7, 4, "say"},     {38, "elle", 7, 4, "her"},
    {39, "devoir", 5, 3, "duty"}, {40, "avant", 6, 4, "before"}, {41, "deux", 7, 3, "two"},
    {42, "même", 7, 2, "same"},   {43, "prendre", 4, 5, "take"}, {44, "aussi", 6, 5, "also"},
    {45, "celui", 6, 2, "that"},  {46, "donner", 5, 5, "give"},  {47, "bien", 7, 2, "good"},
    {48, "où", 3, 1, "where"},    {49, "fois", 7, 5, "time"},    {50, "vous", 7, 3, "you"},
    {134, "à", 4, 2, "to"},       {168, "un", 3, 2, "a"},
};

// FNV-1a over the UTF-16 French cores of a level in word order, each
// followed by '|': pins the French words exactly as the list gives them
// (accents as their Latin-1 code points), and a change names its level.
std::uint64_t LevelFingerprint(int level)
{
    std::uint64_t hash = 14695981039346656037u;
    for (int w = 50 * level - 49; w <= 50 * level; ++w) {
        for (const char16_t c : std::u16string(Trim(Row(w).french)) + u'|') {
            hash = (hash ^ c) * 1099511628211u;
        }
    }
    return hash;
}

std::string Blanks(int n)
{
    return std::string(static_cast<std::size_t>(n), ' ');
}

} // namespace

TEST(WordListForm, WhiteSpaceFollowsTheWordNumber)
{
    // Whole texts of the rows outside the tab form of their range.
    std::map<int, std::pair<std::string, std::string>> exact = {
        {3, {"\tdepuis\t ", "   from\t"}},
        {4, {"\tp\u00E8re\t ", "  father\t"}},
        {435, {"\tsoeur \t ", "   \tsister \t"}},
        {932, {"\tprobablement", "   \tprobably\t"}},
    };
    for (const auto &[w, french, frenchAfter, englishAfter, english] : kBlankRows) {
        exact[w] = {Blanks(5) + french + Blanks(frenchAfter), Blanks(w == 10 ? 5 : 4) + english + Blanks(englishAfter)};
        // The French word and its trailing blanks fill a 5-character column (up to 3 letters) or an 11-character one.
        const std::size_t letters = Trim(Row(w).french).size();
        EXPECT_EQ(letters + static_cast<std::size_t>(frenchAfter), letters <= 3 ? 5u : 11u) << "word " << w;
    }
    ASSERT_EQ(exact.size(), 54u);
    for (int w = 1; w <= 1000; ++w) {
        SCOPED_TRACE("word " + std::to_string(w));
        const std::string french = FrenchCore(w);
        const std::string english = EnglishCore(w);
        ASSERT_FALSE(french.empty());
        ASSERT_FALSE(english.empty());
        if (const auto it = exact.find(w); it != exact.end()) {
            EXPECT_EQ(Utf8(Row(w).french), it->second.first);
            EXPECT_EQ(Utf8(Row(w).english), it->second.second);
        } else if (w <= 100) {
            EXPECT_EQ(Utf8(Row(w).french), "\t" + french + "\t   ");
            EXPECT_EQ(Utf8(Row(w).english), "\t" + english + "\t");
        } else {
            EXPECT_EQ(Utf8(Row(w).french), "\t" + french + "\t ");
            EXPECT_EQ(Utf8(Row(w).english), "   \t" + english + "\t");
        }
    }
}

TEST(WordListFrench, EveryLevelHoldsItsWordsInOrder)
{
    const std::uint64_t fingerprints[20] = {
        0x95db0627cd6223e5, 0x5361bf93577f0dde, 0x46a7148c962a5ad8, 0xad577a9efcb45071, 0xa31fb57ac337630c,
        0x717776bab12551fa, 0x6326d172b104b110, 0x15da4b3938249865, 0x7d0d30988b77b4c4, 0x5586e893b0552d1f,
        0x0261f207db110504, 0xf673b58e0f79051a, 0xf06766e78ed9d054, 0x2a2efc4203777c8d, 0xfaba4e2818a8b29e,
        0x25b8146cd20977ba, 0x6bec40505aeef4c1, 0x467b1d317494f647, 0xa5879490b3793297, 0x81bb61bf4580de02,
    };
    for (int level = 1; level <= 20; ++level) {
        EXPECT_EQ(LevelFingerprint(level), fingerprints[level - 1]) << "level " << level;
    }
}
