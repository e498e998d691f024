#include "drill/time_span.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <tuple>
#include <utility>

namespace {

TEST(FormatTimeSpan, RendersTheDirectives)
{
    const std::tuple<std::int64_t, const char *, std::u16string> cases[] = {
        {0, "   %M : %S", u"   00 : 00"},
        {59, "   %M : %S", u"   00 : 59"},
        {60, "   %M : %S", u"   01 : 00"},
        {3599, "   %M : %S", u"   59 : 59"},
        {3600, "   %M : %S", u"   00 : 00"}, // hours are dropped by the clock
        {3725, "   %M : %S", u"   02 : 05"},
        {125, "  %M mins, %S secs Tries :", u"  02 mins, 05 secs Tries :"},
        {125, "  %M mins, %S secs  \r\n", u"  02 mins, 05 secs  \r\n"},
        {90061, "%D %H %M %S", u"1 01 01 01"},
        {90061, "%#D %#H %#M %#S", u"1 1 1 1"},
        {3 * 86400 + 7, "%D-%H", u"3-00"},
        {-5, "%M:%S", u"00:-5"},
        {-65, "%M:%S", u"-1:-5"},
        {-65, "%#M:%#S", u"-1:-5"},
        {5, "100%% %#%", u"100% %"},
        {5, "DHMS x", u"DHMS x"},
        {0, "", u""},
        {0, "\xE9%S", u"\u00E900"}, // high bytes widen as Latin-1
        // Days stay 64-bit: far beyond 32 bits of days; the whole range is defined.
        {std::int64_t {9'000'000'000'000} * 86400, "%D", u"9000000000000"},
        {INT64_MAX, "%D %H %M %S", u"106751991167300 15 30 07"},
        {INT64_MIN, "%D %H %M %S", u"-106751991167300 -15 -30 -8"},
    };
    for (const auto &[span, format, expected] : cases) {
        EXPECT_EQ(FormatTimeSpan(span, format), expected) << format << " @ " << span;
    }
}

TEST(FormatTimeSpan, MalformedDirectivesFailWithEFailAndNoFormatWithInvalidArg)
{
    for (const auto &[format, code] : {std::pair<const char *, unsigned> {"%X", 0x80004005u},
                                       {"%", 0x80004005u},
                                       {"abc%", 0x80004005u},
                                       {"%#", 0x80004005u},
                                       {"%#x", 0x80004005u},
                                       {"%M %q", 0x80004005u},
                                       {"%d", 0x80004005u},
                                       {nullptr, 0x80070057u}}) {
        try {
            FormatTimeSpan(1, format);
            ADD_FAILURE() << "no error for " << format;
        } catch (const TimeSpanFormatError &e) {
            EXPECT_EQ(e.code(), code) << format;
        }
    }
}

} // namespace
