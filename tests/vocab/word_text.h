#pragma once

// Small text helpers shared by the vocabulary tests.

#include "vocab/word_list.h"

#include <string>
#include <string_view>

namespace vocab_test {

// UTF-8 form of a UTF-16 text (the list holds BMP characters only), for
// comparisons against readable literals and for failure messages.
inline std::string Utf8(std::u16string_view text)
{
    std::string out;
    for (char16_t c : text) {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

// Drops all leading and trailing blanks and tabs.
inline std::u16string_view Trim(std::u16string_view text)
{
    const auto first = text.find_first_not_of(u" \t");
    if (first == std::u16string_view::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(u" \t");
    return text.substr(first, last - first + 1);
}

inline const WordListRow &Row(int word)
{
    return kWordList[static_cast<std::size_t>(word - 1)];
}

inline std::string FrenchCore(int word)
{
    return Utf8(Trim(Row(word).french));
}

inline std::string EnglishCore(int word)
{
    return Utf8(Trim(Row(word).english));
}

} // namespace vocab_test
