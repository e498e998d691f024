#include "vocab/level.h"
#include "vocab/word_table.h"

#include "word_text.h"

#include <gtest/gtest.h>

#include <memory>

using namespace vocab_test;

namespace {

void ExpectFreshTable(const WordTable &table)
{
    for (int w = WordTable::kFirstWord; w <= WordTable::kLastWord; ++w) {
        const WordEntry &entry = table[w];
        ASSERT_EQ(entry.french, Row(w).french) << "word " << w;
        ASSERT_EQ(entry.english, Row(w).english) << "word " << w;
        ASSERT_EQ(entry.correct, 0) << "word " << w;
        ASSERT_EQ(entry.pending, 1) << "word " << w;
    }
}

} // namespace

TEST(WordTable, ResetRefillsEveryRowAndUndoesTheLastDrill)
{
    auto table = std::make_unique<WordTable>();
    table->ResetWordTable();
    ExpectFreshTable(*table);
    // Slot 0 holds no word.
    EXPECT_TRUE((*table)[0].french.empty());
    EXPECT_TRUE((*table)[0].english.empty());

    for (int w = WordTable::kFirstWord; w <= WordTable::kLastWord; ++w) {
        WordEntry &entry = (*table)[w];
        if (w % 2 == 0) {
            entry.correct = 1;
            entry.pending = 0;
        }
        entry.french += u"x";
        entry.english.clear();
    }
    table->ResetWordTable();
    ExpectFreshTable(*table);
}

TEST(Level, TitleNamesTheLevelsWords)
{
    EXPECT_EQ(Level::FromNumber(1).Title(), u"       French Vocabulary (1 - 50)");
    EXPECT_EQ(Level::FromNumber(2).Title(), u"       French Vocabulary (51 - 100)");
    EXPECT_EQ(Level::FromNumber(10).Title(), u"       French Vocabulary (451 - 500)");
    EXPECT_EQ(Level::FromNumber(20).Title(), u"       French Vocabulary (951 - 1000)");
}
