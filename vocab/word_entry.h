#pragma once

#include <cstdint>
#include <string>

// One vocabulary row with its two drill flags; correct + pending == 1 always.
struct WordEntry
{
    std::u16string french;
    std::u16string english;
    std::int32_t correct = 0;
    std::int32_t pending = 1;
};
