#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

// What a screen reader is told during a drill, in words a learner
// understands: never the blanks and tabs that lay the texts out on screen.
// Every announcement is built here, so what is said lives in one place.
class SpokenText
{
public:
    // The asked word, then the four choices with the keys that answer them:
    // "le. 1 the, 2 not, 3 in, 4 by". withFrench false leaves the French word
    // out, for a learner who hears it from elsewhere.
    static std::u16string Question(std::u16string_view french, const std::array<std::u16string_view, 4> &choices,
                                   bool withFrench = true);
    static std::u16string Right();
    // "wrong: le means the"; without the French word "wrong: it means the".
    static std::u16string Wrong(std::u16string_view french, std::u16string_view english, bool withFrench = true);
    // One row of the answer log: "Correct: le means the", "Incorrect: de means of".
    static std::u16string LogRow(bool right, std::u16string_view french, std::u16string_view english);
    // Review's current word: "le means the"; without the French word its meaning alone, "the".
    static std::u16string Meaning(std::u16string_view french, std::u16string_view english, bool withFrench = true);

    // "Practise complete: 5 minutes 19 seconds, 53 tries. New best result."
    // previousBest is the level's best before this run (none: kNoBest or more).
    static std::u16string PractiseEnd(std::int64_t seconds, std::int32_t tries, std::int32_t previousBest);
    static constexpr std::int32_t kNoBest = 999;
    // "Time is up: 12 correct on 15 guesses in 40 seconds."
    static std::u16string SpeedEnd(std::int64_t seconds, std::int32_t correct, std::int32_t tries);
    // A stored result line ("  05 mins, 19 secs Tries :53") in words:
    // "5 minutes 19 seconds, 53 tries"; a line of another shape is read as it
    // is, its blanks and tabs collapsed.
    static std::u16string ResultLine(std::u16string_view line);

    // "5 seconds left", "1 second left".
    static std::u16string SecondsLeft(std::int64_t seconds);
    // "1 minute 5 seconds so far, 12 of 50 right".
    static std::u16string PractiseTime(std::int64_t seconds, std::int32_t right, std::int32_t words);
    static std::u16string NoDrill();

    // "1 minute 5 seconds", "40 seconds", "2 minutes".
    static std::u16string Duration(std::int64_t seconds);
    // The text between its layout blanks and tabs, inner runs made one blank.
    static std::u16string Plain(std::u16string_view text);
};
