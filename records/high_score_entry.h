#pragma once

#include <cstdint>
#include <string>

// One row of the high-score table; correct <= 0 marks an empty row.
struct HighScoreEntry
{
    std::int64_t span = 0;
    std::int32_t correct = 0;
    std::int32_t tries = 0;
    std::u16string title;
};
