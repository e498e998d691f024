#include "drill/time_span.h"

#include <gtest/gtest.h>

namespace {

std::string Narrow(const std::u16string &s)
{
    return std::string(s.begin(), s.end());
}

struct Case
{
    std::int64_t span;
    const char *format;
    const char *expected;
};

TEST(FormatTimeSpan, RendersTheDirectives)
{
    const Case cases[] = {
        {0, "   %M : %S", "   00 : 00"},
        {59, "   %M : %S", "   00 : 59"},
        {60, "   %M : %S", "   01 : 00"},
        {3599, "   %M : %S", "   59 : 59"},
        {3600, "   %M : %S", "   00 : 00"}, // hours are dropped by the clock
        {3725, "   %M : %S", "   02 : 05"},
        {125, "  %M mins, %S secs Tries :", "  02 mins, 05 secs Tries :"},
        {125, "  %M mins, %S secs  \r\n", "  02 mins, 05 secs  \r\n"},
        {90061, "%D %H %M %S", "1 01 01 01"},
        {90061, "%#D %#H %#M %#S", "1 1 1 1"},
        {3 * 86400 + 7, "%D-%H", "3-00"},
        {-5, "%M:%S", "00:-5"},
        {-65, "%M:%S", "-1:-5"},
        {-65, "%#M:%#S", "-1:-5"},
        {5, "100%% %#%", "100% %"},
        {5, "DHMS x", "DHMS x"},
        {0, "", ""},
        // Days stay 64-bit: far beyond 32 bits of days.
        {std::int64_t {9'000'000'000'000} * 86400, "%D", "9000000000000"},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(Narrow(FormatTimeSpan(c.span, c.format)), c.expected) << c.format << " @ " << c.span;
    }
}

TEST(FormatTimeSpan, WidensHighBytesToLatin1)
{
    EXPECT_EQ(FormatTimeSpan(0, "\xE9%S"), std::u16string(u"\u00E900"));
}

TEST(FormatTimeSpan, MalformedDirectivesFailWithEFail)
{
    for (const char *format : {"%X", "%", "abc%", "%#", "%#x", "%M %q", "%d"}) {
        try {
            FormatTimeSpan(1, format);
            ADD_FAILURE() << "no error for " << format;
        } catch (const TimeSpanFormatError &e) {
            EXPECT_EQ(e.code(), 0x80004005u) << format;
        }
    }
}

TEST(FormatTimeSpan, NullFormatFailsWithInvalidArg)
{
    try {
        FormatTimeSpan(1, nullptr);
        ADD_FAILURE() << "no error";
    } catch (const TimeSpanFormatError &e) {
        EXPECT_EQ(e.code(), 0x80070057u);
    }
}

TEST(FormatTimeSpan, ExtremeSpansDoNotOverflow)
{
    // Only checks that the arithmetic is defined for the whole 64-bit range.
    EXPECT_FALSE(FormatTimeSpan(INT64_MAX, "%D %H %M %S").empty());
    EXPECT_FALSE(FormatTimeSpan(INT64_MIN, "%D %H %M %S").empty());
}

} // namespace
