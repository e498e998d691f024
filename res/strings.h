#pragma once

// The program's own fixed texts, blanks included.
namespace strings {
inline constexpr char16_t kAboutMenuItem[] = u"&About pelko...";
inline constexpr char16_t kSpeakMenuItem[] = u"&Speak French Words";
inline constexpr char16_t kWindowCaption[] = u"French Vocabulary 1-1000";
inline constexpr char16_t kMessageBoxTitle[] = u"pelko";
inline constexpr char16_t kResetQuestion[] = u"Are You sure you want to reset your times?";
inline constexpr char kOrganisation[] = "Dravilo";
inline constexpr char kApplication[] = "pelko";
} // namespace strings
