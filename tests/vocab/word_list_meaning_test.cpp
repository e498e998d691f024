// The English side of the list: the fixed meanings, the repeated rows, the
// letters a meaning may use and the meanings a level may show twice.

#include "word_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <tuple>
#include <vector>

using namespace vocab_test;

namespace {

// Meanings given for rows outside the blank form, twins and same-as-French rows aside: word, French, English.
// clang-format off
const std::tuple<int, const char *, const char *> kGivenRows[] = {
    {68, "falloir", "have to"}, {104, "est-ce que", "do"}, {130, "peut-être", "perhaps"}, {142, "aux", "to"},
    {160, "tes", "your"}, {167, "vos", "your"}, {169, "quelqu'un", "someone"}, {171, "revenir", "return"},
    {186, "parce que", "because"}, {191, "rentrer", "return"}, {209, "travailler", "work"},
    {213, "écouter", "listen to"}, {224, "moment", "time"}, {240, "bureau", "desk"}, {244, "combien", "how much"},
    {246, "travail", "work"}, {262, "aujourd'hui", "today"}, {271, "quelques", "a few"}, {288, "madame", "Mrs."},
    {305, "longtemps", "for a long time"}, {316, "voici", "this is"}, {332, "là-bas", "there"},
    {353, "retourner", "return"}, {358, "fermer", "close"}, {360, "valoir", "be worth"}, {387, "près", "close"},
    {391, "d'autres", "other"}, {404, "tourner", "turn"}, {416, "tour", "turn"}, {435, "soeur", "sister"},
    {452, "réveiller", "wake up"}, {454, "d'abord", "first"}, {459, "ramener", "bring back"}, {461, "calme", "calm"},
    {467, "calmer", "calm"}, {470, "bureau", "office"}, {487, "bonsoir", "good evening"}, {527, "remettre", "return"},
    {553, "retour", "return"}, {554, "laquelle", "which"}, {577, "ailleurs", "somewhere else"}, {585, "l'un", "one"},
    {646, "naître", "be born"}, {649, "propos", "About"}, {689, "télé", "TV"}, {746, "rendez-vous", "appointment"},
    {765, "vendredi", "Friday"}, {801, "moi-même", "myself"}, {812, "est", "is"}, {815, "mme", "Mrs."},
    {818, "jeudi", "Thursday"}, {842, "l", "the"}, {846, "celui-là", "that one"}, {871, "grand-père", "grandfather"},
    {872, "société", "company"}, {886, "là-dedans", "therein"}, {891, "compagnie", "company"},
    {895, "grand-mère", "grandmother"}, {918, "mercredi", "Wednesday"}, {927, "mardi", "Tuesday"},
    {932, "probablement", "probably"}, {945, "époque", "time"}, {951, "là-haut", "yonder"}, {966, "lundi", "Monday"},
    {996, "samedi", "Saturday"}, {1000, "dimanche", "Sunday"},
};

// The same French word with the same meaning in two rows: French, English, the two words.
const std::tuple<const char *, const char *, int, int> kTwins[] = {
    {"depuis", "from", 3, 96}, {"mettre", "put", 27, 117}, {"leur", "their", 35, 182}, {"avant", "before", 40, 151},
    {"deux", "two", 41, 116}, {"celui", "that", 45, 345}, {"fois", "time", 49, 132}, {"encore", "yet", 51, 102},
    {"nouveau", "new", 52, 219}, {"cela", "it", 54, 203}, {"entre", "between", 55, 258}, {"premier", "first", 56, 193},
    {"déjà", "already", 58, 163}, {"grand", "large", 59, 154}, {"moins", "less", 62, 210}, {"aucun", "no", 63, 349},
    {"temps", "time", 65, 112}, {"quelque", "some", 70, 124}, {"sans", "without", 71, 119},
    {"raison", "reason", 72, 214}, {"notre", "our", 73, 114}, {"dont", "whose", 74, 218}, {"an", "year", 76, 138},
    {"monde", "world", 77, 143}, {"jour", "day", 78, 110}, {"monsieur", "Mr.", 79, 152},
    {"demander", "request", 80, 128}, {"après", "after", 82, 146}, {"personne", "person", 84, 137},
    {"rendre", "render", 85, 198}, {"part", "share", 86, 291}, {"dernier", "last", 87, 199},
    {"pendant", "for", 89, 284}, {"peu", "little", 91, 105}, {"lequel", "which", 92, 578}, {"suite", "suite", 93, 321},
    {"comprendre", "understand", 95, 135}, {"point", "point", 97, 372}, {"ainsi", "so", 98, 397},
    {"heure", "time", 99, 158}, {"rester", "remain", 100, 118}, {"chien", "dog", 248, 375}, {"sept", "seven", 289, 973},
    {"cinq", "five", 486, 692}, {"quatre", "four", 513, 720}, {"chat", "cat", 514, 743},
};
// clang-format on

// Rows whose meaning is spelled exactly like the French word.
const int kSameAsFrench[] = {
    61,  93,  97,  133, 206, 237, 259, 261, 268, 272, 278, 320, 321, 335, 340, 359, 366, 372, 380,
    395, 398, 409, 431, 446, 473, 481, 482, 511, 521, 522, 555, 563, 587, 596, 602, 604, 629, 633,
    637, 638, 650, 661, 668, 671, 676, 679, 688, 696, 700, 718, 731, 771, 779, 787, 803, 810, 820,
    821, 824, 844, 855, 861, 876, 889, 897, 922, 928, 935, 952, 957, 959, 961, 979,
};

// Meanings that contain a blank.
const std::set<int> kMultiWord = {5, 14, 68, 213, 244, 271, 305, 316, 360, 452, 459, 487, 577, 646, 846};

// Meanings with a capital letter.
const std::set<int> kCapitalised = {22, 79, 152, 288, 649, 689, 765, 815, 818, 918, 927, 966, 996, 1000};

// The only meanings a level carries twice: {level, meaning, first word, second word}.
using SharedMeaning = std::tuple<int, std::string, int, int>;
const std::set<SharedMeaning> kSharedInLevel = {
    {1, "in", 7, 11},       {1, "not", 15, 18},      {1, "that", 9, 45},        {1, "we", 29, 31},
    {2, "time", 65, 99},    {3, "time", 112, 132},   {3, "to", 134, 142},       {4, "return", 171, 191},
    {4, "your", 160, 167},  {5, "work", 209, 246},   {8, "close", 358, 387},    {9, "turn", 404, 416},
    {10, "calm", 461, 467}, {12, "which", 554, 578}, {18, "company", 872, 891},
};

// The words first..last grouped by one of their cores.
std::map<std::string, std::vector<int>> GroupBy(std::string (*core)(int), int first, int last)
{
    std::map<std::string, std::vector<int>> groups;
    for (int w = first; w <= last; ++w) {
        groups[core(w)].push_back(w);
    }
    return groups;
}

} // namespace

TEST(WordListEnglish, GivenMeaningsAreInPlace)
{
    for (const auto &[w, french, english] : kGivenRows) {
        EXPECT_EQ(FrenchCore(w), french) << "word " << w;
        EXPECT_EQ(EnglishCore(w), english) << "word " << w;
    }
}

TEST(WordListEnglish, OnlyTheListedRowsRepeatTheFrenchWord)
{
    ASSERT_EQ(std::size(kSameAsFrench), 73u);
    const std::set<int> same(std::begin(kSameAsFrench), std::end(kSameAsFrench));
    for (int w = 1; w <= 1000; ++w) {
        EXPECT_EQ(EnglishCore(w) == FrenchCore(w), same.contains(w))
            << "word " << w << ": " << FrenchCore(w) << " / " << EnglishCore(w);
    }
}

TEST(WordListEnglish, TwinRowsShareTheirMeaning)
{
    ASSERT_EQ(std::size(kTwins), 46u);
    for (const auto &[french, english, first, second] : kTwins) {
        for (const int w : {first, second}) {
            EXPECT_EQ(FrenchCore(w), french) << "word " << w;
            EXPECT_EQ(EnglishCore(w), english) << "word " << w;
        }
    }
}

TEST(WordListEnglish, MeaningsUsePlainLettersOnly)
{
    for (int w = 1; w <= 1000; ++w) {
        SCOPED_TRACE("word " + std::to_string(w) + ": " + EnglishCore(w));
        const std::string core = EnglishCore(w);
        ASSERT_FALSE(core.empty());
        EXPECT_LE(Row(w).english.size(), 20u);
        EXPECT_LE(core.size(), 15u);
        for (char c : core) {
            const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c == ' ' && kMultiWord.contains(w))
                || (c == '.' && (core == "Mr." || core == "Mrs.")) || (c == ',' && core == "who, whom");
            EXPECT_TRUE(ok) << "character " << static_cast<int>(static_cast<unsigned char>(c));
        }
        EXPECT_EQ(core.find(' ') != std::string::npos, kMultiWord.contains(w));
        EXPECT_EQ(std::any_of(core.begin(), core.end(), [](char c) { return c >= 'A' && c <= 'Z'; }),
                  kCapitalised.contains(w));
    }
}

TEST(WordListEnglish, LevelsShowOnlyTheListedMeaningsTwice)
{
    std::set<SharedMeaning> shared;
    for (int level = 1; level <= 20; ++level) {
        for (const auto &[meaning, rows] : GroupBy(EnglishCore, 50 * level - 49, 50 * level)) {
            EXPECT_LE(rows.size(), 2u) << "level " << level << " shows \"" << meaning << "\" " << rows.size()
                                       << " times";
            if (rows.size() >= 2) {
                shared.insert({level, meaning, rows[0], rows[1]});
            }
        }
    }
    EXPECT_EQ(shared, kSharedInLevel);
}
