#include "vocab/level.h"

namespace {
std::u16string Decimal(int value)
{
    std::u16string out;
    const std::string digits = std::to_string(value);
    out.assign(digits.begin(), digits.end());
    return out;
}
} // namespace

Level Level::FromNumber(int n)
{
    Level level;
    level.number = n;
    level.firstWord = kSize * (n - 1) + 1;
    level.lastWord = kSize * n;
    return level;
}

std::u16string Level::Title() const
{
    return u"       French Vocabulary (" + Decimal(firstWord) + u" - " + Decimal(lastWord) + u")";
}
