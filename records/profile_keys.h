#pragma once

#include <string>

// Entry names of the "Results" section; every number is plain decimal.
namespace profile_keys {

// The n-th stored result line of a level (n = 1, 2, ...).
inline std::string Result(int level, int n)
{
    return "Result" + std::to_string(level) + "_" + std::to_string(n);
}
// Fewest answers a level's practise drill was finished with; 999 = none yet.
inline std::string BestResult(int level)
{
    return "BestResult" + std::to_string(level);
}
inline constexpr int kNoBestResult = 999;

// The four fields of high-score row r (0..14).
inline std::string Span(int row)
{
    return "Span" + std::to_string(row);
}
inline std::string Correct(int row)
{
    return "Correct" + std::to_string(row);
}
inline std::string Tries(int row)
{
    return "Tries" + std::to_string(row);
}
inline std::string Title(int row)
{
    return "Title" + std::to_string(row);
}

} // namespace profile_keys
