#pragma once

#include "vocab/word_entry.h"

#include <array>

// The 1000 rows addressed by word number: slot 0 is never used, so a word
// number indexes the table directly.
class WordTable
{
public:
    static constexpr int kFirstWord = 1;
    static constexpr int kLastWord = 1000;

    // Refills every row's texts from the built-in list and clears the flags.
    void ResetWordTable();

    // Callers guarantee 1 <= w <= 1000.
    WordEntry &operator[](int w) { return rows_[static_cast<std::size_t>(w)]; }
    const WordEntry &operator[](int w) const { return rows_[static_cast<std::size_t>(w)]; }

private:
    std::array<WordEntry, kLastWord + 1> rows_ {};
};
