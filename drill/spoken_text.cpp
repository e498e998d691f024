#include "drill/spoken_text.h"

#include <vector>

namespace {

std::u16string Number(std::int64_t value)
{
    const std::string digits = std::to_string(value);
    return std::u16string(digits.begin(), digits.end());
}

std::u16string Counted(std::int64_t n, std::u16string_view one, std::u16string_view many)
{
    return Number(n) + u" " + std::u16string(n == 1 ? one : many);
}

bool IsBlank(char16_t c)
{
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}

} // namespace

std::u16string SpokenText::Plain(std::u16string_view text)
{
    std::u16string plain;
    bool gap = false;
    for (const char16_t c : text) {
        if (IsBlank(c)) {
            gap = !plain.empty();
            continue;
        }
        if (gap) {
            plain += u' ';
            gap = false;
        }
        plain += c;
    }
    return plain;
}

std::u16string SpokenText::Question(std::u16string_view french, const std::array<std::u16string_view, 4> &choices,
                                    bool withFrench)
{
    std::u16string text = withFrench ? Plain(french) + u". " : std::u16string();
    for (std::size_t k = 0; k < choices.size(); ++k) {
        text += (k == 0 ? u"" : u", ") + Number(static_cast<std::int64_t>(k + 1)) + u" " + Plain(choices[k]);
    }
    return text;
}

std::u16string SpokenText::Right()
{
    return u"right";
}

std::u16string SpokenText::Wrong(std::u16string_view french, std::u16string_view english, bool withFrench)
{
    // "it": the word the French voice said as it was asked.
    std::u16string text = withFrench ? u"wrong: " : u"wrong: it means ";
    text += Meaning(french, english, withFrench);
    return text;
}

std::u16string SpokenText::LogRow(bool right, std::u16string_view french, std::u16string_view english)
{
    return (right ? u"Correct: " : u"Incorrect: ") + Meaning(french, english);
}

std::u16string SpokenText::Meaning(std::u16string_view french, std::u16string_view english, bool withFrench)
{
    return withFrench ? Plain(french) + u" means " + Plain(english) : Plain(english);
}

std::u16string SpokenText::Duration(std::int64_t seconds)
{
    seconds = seconds < 0 ? 0 : seconds;
    const std::int64_t minutes = seconds / 60;
    const std::int64_t rest = seconds % 60;
    if (minutes == 0) {
        return Counted(rest, u"second", u"seconds");
    }
    std::u16string text = Counted(minutes, u"minute", u"minutes");
    if (rest != 0) {
        // Appended piece by piece: g++ 12 warns wrongly (-Wrestrict) on u" " + a temporary.
        text += u' ';
        text += Counted(rest, u"second", u"seconds");
    }
    return text;
}

std::u16string SpokenText::PractiseEnd(std::int64_t seconds, std::int32_t tries, std::int32_t previousBest)
{
    std::u16string text = u"Practise complete: " + Duration(seconds) + u", " + Counted(tries, u"try", u"tries") + u". ";
    if (tries < previousBest) {
        return text + u"New best result.";
    }
    return text + u"The best result stays " + Counted(previousBest, u"try", u"tries") + u".";
}

std::u16string SpokenText::SpeedEnd(std::int64_t seconds, std::int32_t correct, std::int32_t tries)
{
    return u"Time is up: " + Number(correct) + u" correct on " + Counted(tries, u"guess", u"guesses") + u" in "
        + Duration(seconds) + u".";
}

std::u16string SpokenText::ResultLine(std::u16string_view line)
{
    // The line is "%M mins, %S secs Tries :n" with its layout blanks.
    std::vector<std::int64_t> numbers;
    bool inNumber = false;
    for (const char16_t c : line) {
        if (c >= u'0' && c <= u'9') {
            if (!inNumber) {
                numbers.push_back(0);
            }
            inNumber = true;
            // A number too long to be a time is no result line: read it as it is.
            if (numbers.back() > 100'000'000) {
                return Plain(line);
            }
            numbers.back() = numbers.back() * 10 + (c - u'0');
        } else {
            inNumber = false;
        }
    }
    if (numbers.size() != 3 || line.find(u"mins") == std::u16string_view::npos
        || line.find(u"Tries") == std::u16string_view::npos) {
        return Plain(line);
    }
    return Duration(numbers[0] * 60 + numbers[1]) + u", " + Counted(numbers[2], u"try", u"tries");
}

std::u16string SpokenText::SecondsLeft(std::int64_t seconds)
{
    return Counted(seconds, u"second", u"seconds") + u" left";
}

std::u16string SpokenText::PractiseTime(std::int64_t seconds, std::int32_t right, std::int32_t words)
{
    return Duration(seconds) + u" so far, " + Number(right) + u" of " + Number(words) + u" right";
}

std::u16string SpokenText::NoDrill()
{
    return u"No practise or speed challenge is running.";
}
