#pragma once

#include <string>

// The result line the profile writer stores as Result<level>_<n>: a real
// line's shape with a length that varies from one n to the next.
inline std::u16string WriterResultLine(int level, int n)
{
    std::string line = "  " + std::to_string(n % 60) + " mins, " + std::to_string(n % 7) + " secs Tries :"
        + std::to_string(level) + "/" + std::to_string(n) + std::string(static_cast<std::size_t>(n % 13), '=');
    return std::u16string(line.begin(), line.end());
}
