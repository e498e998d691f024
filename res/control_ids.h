#pragma once

#include <array>

// Control ids of the three dialog templates. The numbers are the templates'
// own; code refers to controls only through these names.
namespace ids {

// Main dialog (template 102).
namespace main {
inline constexpr int kExit = 1;
inline constexpr int kStartPractise = 1000;
inline constexpr int kAnswer1 = 1001;
inline constexpr int kAnswer2 = 1002;
inline constexpr int kAnswer3 = 1003;
inline constexpr int kAnswer4 = 1004;
inline constexpr int kWordDisplay = 1005;
inline constexpr int kAnswerLog = 1006;
inline constexpr int kProgress = 1007;
inline constexpr int kMarked = 1008;
inline constexpr int kTabs = 1009;
inline constexpr int kResultsList = 1010;
inline constexpr int kLevelTitle = 1016;
inline constexpr int kTotal = 1032;
inline constexpr int kSpeedChallenge = 1033;
inline constexpr int kClock = 1034;
inline constexpr int kReview = 1035;
inline constexpr int kStatus = 1036;
inline constexpr int kAbout = 1070;

// Answer button k (0..3) is kAnswers[k].
inline constexpr std::array<int, 4> kAnswers = {kAnswer1, kAnswer2, kAnswer3, kAnswer4};

// Level button of level n (1..20) is kLevelButtons[n - 1]; note 1013 before 1012.
inline constexpr std::array<int, 20> kLevelButtons = {1011, 1013, 1012, 1014, 1015, 1017, 1018, 1019, 1020, 1021,
                                                      1022, 1023, 1024, 1025, 1026, 1027, 1028, 1029, 1030, 1031};

// System-menu command of the About item.
inline constexpr int kSysCommandAbout = 16;
} // namespace main

// High Scores dialog (template 129).
namespace highscores {
inline constexpr int kOk = 1;
inline constexpr int kRowCount = 15;

constexpr int RankLabel(int row)
{
    return 1037 + row;
}
constexpr int ScoreText(int row)
{
    return 1067 + row;
}
constexpr int NameBox(int row)
{
    return row == 0 ? 1083 : 1098 + row;
}
} // namespace highscores

// About dialog (template 100).
namespace about {
inline constexpr int kOk = 1;
inline constexpr int kResetTimes = 1071;
inline constexpr int kHighScores = 1072;
} // namespace about

} // namespace ids
