#include "vocab/word_table.h"

#include "vocab/word_list.h"

void WordTable::ResetWordTable()
{
    for (int w = kFirstWord; w <= kLastWord; ++w) {
        const WordListRow &row = kWordList[static_cast<std::size_t>(w - 1)];
        WordEntry &entry = rows_[static_cast<std::size_t>(w)];
        entry.french.assign(row.french);
        entry.english.assign(row.english);
        entry.correct = 0;
        entry.pending = 1;
    }
}
