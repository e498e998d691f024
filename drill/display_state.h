#pragma once

#include <array>
#include <cstdint>
#include <string>

// The values the painted controls show. The engine writes them and then
// invalidates the control; the painters only read them.

// Verdict flags of one answer or command button.
struct AnswerFace
{
    std::int32_t showRight = 0;
    std::int32_t showWrong = 0;
};

// Time-credit gauge, in 200 ms ticks.
struct ProgressState
{
    std::int32_t credit = 0;
    std::int32_t creditMax = 0;
};

// The 50-cell answer strip: marks[k] for the k-th word of the level
// (0 unanswered, 1 last answer right, 2 last answer wrong); slot 0 unused.
struct MarkedState
{
    std::array<std::int32_t, 1001> marks {};
    std::int32_t cellCount = 50;
};

// A text strip: the text is drawn untrimmed at (0, textTop).
struct TitleState
{
    std::int32_t fontSize = 20;
    float textTop = 20.0f;
    std::u16string text;
};
