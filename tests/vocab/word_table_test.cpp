#include "vocab/word_list.h"
#include "vocab/word_table.h"

#include <gtest/gtest.h>

#include <memory>
#include <tuple>

namespace {

void ExpectFreshTable(const WordTable &table)
{
    for (int w = WordTable::kFirstWord; w <= WordTable::kLastWord; ++w) {
        const WordEntry &entry = table[w];
        const WordListRow &row = kWordList[static_cast<std::size_t>(w - 1)];
        ASSERT_EQ(std::tuple(entry.french, entry.english, entry.correct, entry.pending),
                  std::tuple(row.french, row.english, 0, 1))
            << "word " << w;
    }
}

} // namespace

TEST(WordTable, ResetRefillsEveryRowAndUndoesTheLastDrill)
{
    auto table = std::make_unique<WordTable>();
    table->ResetWordTable();
    ExpectFreshTable(*table);
    // Slot 0 holds no word.
    EXPECT_TRUE((*table)[0].french.empty() && (*table)[0].english.empty());

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
