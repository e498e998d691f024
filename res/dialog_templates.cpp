#include "res/dialog_templates.h"

namespace dialogs {

namespace {

// Main dialog, template 102: Times New Roman 14 pt bold; controls in tab order.
constexpr Control kMainControls[] = {
    {1, Kind::DefaultButton, u"Exit", 436, 203, 50, 14, kNone},
    {1000, Kind::PushButton, u"Start Practise", 16, 15, 61, 11, kNone},
    {1001, Kind::PushButton, u"Button1", 217, 41, 104, 26, kNone},
    {1002, Kind::PushButton, u"Button1", 217, 78, 104, 26, kNone},
    {1003, Kind::PushButton, u"Button1", 217, 115, 104, 26, kNone},
    {1004, Kind::PushButton, u"Button1", 217, 152, 104, 26, kNone},
    {1005, Kind::Static, u"??????", 55, 42, 158, 136, kCentred | kVCentred | kSunken},
    {1006, Kind::ListView, u"", 355, 59, 63, 132, kBorder},
    {1007, Kind::PushButton, u"", 324, 34, 28, 144, kNone},
    {1010, Kind::ListView, u"", 360, 82, 60, 114, kBorder},
    {1008, Kind::PushButton, u"", 54, 180, 298, 10, kNone},
    {1009, Kind::TabControl, u"", 353, 34, 153, 167, kNoTabStop | kTransparent},
    {1016, Kind::PushButton, u"", 119, 7, 154, 24, kNone},
    {1011, Kind::PushButton, u"1-50", 7, 41, 40, 8, kNone},
    {1013, Kind::PushButton, u"51-100", 7, 49, 40, 8, kNone},
    {1012, Kind::PushButton, u"101 - 150", 7, 57, 40, 8, kNone},
    {1014, Kind::PushButton, u"151 - 200", 7, 65, 40, 8, kNone},
    {1015, Kind::PushButton, u"201 - 250", 7, 73, 40, 8, kNone},
    {1017, Kind::PushButton, u"251 - 300", 7, 81, 40, 8, kNone},
    {1018, Kind::PushButton, u"301 - 350", 7, 89, 40, 8, kNone},
    {1019, Kind::PushButton, u"351 - 400", 7, 97, 40, 8, kNone},
    {1020, Kind::PushButton, u"401 - 450", 7, 105, 40, 8, kNone},
    {1021, Kind::PushButton, u"451 - 500", 7, 113, 40, 8, kNone},
    {1022, Kind::PushButton, u"501 - 550", 7, 121, 40, 8, kNone},
    {1023, Kind::PushButton, u"551 - 600", 7, 129, 40, 8, kNone},
    {1024, Kind::PushButton, u"601 - 650", 7, 137, 40, 8, kNone},
    {1025, Kind::PushButton, u"651 - 700", 7, 145, 40, 8, kNone},
    {1026, Kind::PushButton, u"701 - 750", 7, 153, 40, 8, kNone},
    {1027, Kind::PushButton, u"751 - 800", 7, 161, 40, 8, kNone},
    {1028, Kind::PushButton, u"801 - 850", 7, 169, 40, 8, kNone},
    {1029, Kind::PushButton, u"851 - 900", 7, 177, 40, 8, kNone},
    {1030, Kind::PushButton, u"901 - 950", 7, 185, 40, 8, kNone},
    {1031, Kind::PushButton, u"951 - 1000", 7, 193, 40, 8, kNone},
    {1033, Kind::PushButton, u"Speed Challenge", 16, 27, 61, 11, kNone},
    {1034, Kind::PushButton, u"-", 324, 7, 104, 22, kNone},
    {1035, Kind::PushButton, u"Review", 16, 3, 61, 11, kNone},
    {1036, Kind::Static, u"", 65, 104, 137, 17, kCentred | kTransparent},
    {1032, Kind::PushButton, u"", 54, 190, 298, 10, kNone},
    {1070, Kind::PushButton, u"About", 374, 203, 50, 14, kNone},
};

// High Scores, template 129: the default dialog font. Rows 0..14: rank label, score text, name box.
constexpr Control kHighScoresControls[] = {
    {1, Kind::DefaultButton, u"OK", 81, 196, 50, 14, kNone}, {1037, Kind::Static, u"1.", 25, 9, 8, 10, kNone},
    {1038, Kind::Static, u"2.", 25, 23, 8, 8, kNone},        {1039, Kind::Static, u"3.", 25, 35, 8, 8, kNone},
    {1040, Kind::Static, u"4.", 25, 47, 8, 8, kNone},        {1041, Kind::Static, u"5.", 25, 59, 8, 8, kNone},
    {1042, Kind::Static, u"6.", 25, 71, 8, 8, kNone},        {1043, Kind::Static, u"7.", 25, 83, 8, 8, kNone},
    {1044, Kind::Static, u"8.", 25, 95, 8, 8, kNone},        {1045, Kind::Static, u"9.", 25, 107, 8, 8, kNone},
    {1046, Kind::Static, u"10.", 25, 119, 8, 8, kNone},      {1047, Kind::Static, u"11.", 25, 131, 8, 8, kNone},
    {1048, Kind::Static, u"12.", 25, 143, 8, 8, kNone},      {1049, Kind::Static, u"13.", 25, 155, 8, 8, kNone},
    {1050, Kind::Static, u"14.", 25, 167, 8, 8, kNone},      {1051, Kind::Static, u"15.", 25, 179, 8, 8, kNone},
    {1067, Kind::Static, u"-", 90, 9, 116, 8, kNone},        {1068, Kind::Static, u"-", 90, 21, 116, 8, kNone},
    {1069, Kind::Static, u"-", 90, 33, 116, 8, kNone},       {1070, Kind::Static, u"-", 90, 45, 116, 8, kNone},
    {1071, Kind::Static, u"-", 90, 57, 116, 8, kNone},       {1072, Kind::Static, u"-", 90, 69, 116, 8, kNone},
    {1073, Kind::Static, u"-", 90, 81, 116, 8, kNone},       {1074, Kind::Static, u"-", 90, 93, 116, 8, kNone},
    {1075, Kind::Static, u"-", 90, 105, 116, 8, kNone},      {1076, Kind::Static, u"-", 90, 118, 116, 8, kNone},
    {1077, Kind::Static, u"-", 90, 130, 116, 8, kNone},      {1078, Kind::Static, u"-", 90, 142, 116, 8, kNone},
    {1079, Kind::Static, u"-", 90, 154, 116, 8, kNone},      {1080, Kind::Static, u"-", 90, 166, 116, 8, kNone},
    {1081, Kind::Static, u"-", 89, 180, 116, 8, kNone},      {1083, Kind::Edit, u"", 36, 7, 47, 12, kBorder},
    {1099, Kind::Edit, u"", 36, 19, 47, 12, kBorder},        {1100, Kind::Edit, u"", 36, 31, 47, 12, kBorder},
    {1101, Kind::Edit, u"", 36, 43, 47, 12, kBorder},        {1102, Kind::Edit, u"", 36, 56, 47, 12, kBorder},
    {1103, Kind::Edit, u"", 36, 69, 47, 12, kBorder},        {1104, Kind::Edit, u"", 36, 81, 47, 12, kBorder},
    {1105, Kind::Edit, u"", 36, 93, 47, 12, kBorder},        {1106, Kind::Edit, u"", 36, 105, 47, 12, kBorder},
    {1107, Kind::Edit, u"", 36, 117, 47, 12, kBorder},       {1108, Kind::Edit, u"", 36, 130, 47, 12, kBorder},
    {1109, Kind::Edit, u"", 36, 142, 47, 12, kBorder},       {1110, Kind::Edit, u"", 36, 154, 47, 12, kBorder},
    {1111, Kind::Edit, u"", 36, 166, 47, 12, kBorder},       {1112, Kind::Edit, u"", 36, 178, 47, 12, kBorder},
};

// About, template 100: Times New Roman 10 pt bold.
constexpr Control kAboutControls[] = {
    {-1, Kind::Icon, u"", 14, 14, 18, 17, kNone},
    {-1, Kind::Static, u"pelko Version 1.0", 42, 14, 114, 8, kNoPrefix},
    {-1, Kind::Static, u"French vocabulary trainer", 42, 26, 114, 8, kNone},
    {1, Kind::DefaultButton, u"OK", 207, 97, 50, 14, kGroup},
    {1071, Kind::PushButton, u"Reset Times", 41, 66, 117, 14, kNone},
    {1072, Kind::PushButton, u"High Scores", 41, 48, 117, 14, kNone},
};

} // namespace

const Template kMainDialog {102, u" ", 513, 224, 9, 21, u"Times New Roman", 14, true, kMainControls};
const Template kHighScoresDialog {129, u"High Scores", 213, 218, 6, 13, u"", 8, false, kHighScoresControls};
const Template kAboutDialog {100, u"About ", 264, 118, 6, 15, u"Times New Roman", 10, true, kAboutControls};

} // namespace dialogs
