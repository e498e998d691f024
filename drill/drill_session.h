#pragma once

#include <cstdint>

// The state of the one drill; currentWord -1 means no drill is running.
struct DrillSession
{
    std::int32_t currentWord = -1;
    std::int32_t answerSlot = 0;
    std::int32_t tries = 0;
    std::int32_t correctCount = 0;
    std::int32_t firstWord = 1;
    std::int32_t lastWord = 50;
    std::int32_t levelNumber = 1;
    std::int32_t reviewMode = 0;
    std::int32_t speedMode = 0;
    std::int32_t answerPause = 0;
    std::int64_t startTime = 0;
};
