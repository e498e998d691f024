#pragma once

#include <array>
#include <string_view>

// One row of the built-in list: the texts exactly as drilled, surrounding
// blanks and tabs included (they are part of the layout).
struct WordListRow
{
    std::u16string_view french;
    std::u16string_view english;
};

// kWordList[w - 1] is word number w (1..1000).
extern const std::array<WordListRow, 1000> kWordList;
