#include "drill/time_span.h"

#include <charconv>

namespace {

constexpr std::uint32_t kFail = 0x80004005u;
constexpr std::uint32_t kInvalidArg = 0x80070057u;

// As printf's "%02lld" or "%lld" would write it (the width counts a minus
// sign), but without the C runtime's printf, whose "ll" is not the same on
// every platform's runtime.
void AppendNumber(std::u16string &out, std::int64_t value, bool padTwo)
{
    char buffer[24];
    const char *end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    if (padTwo && end - buffer < 2) {
        out.push_back(u'0');
    }
    for (const char *c = buffer; c != end; ++c) {
        out.push_back(static_cast<char16_t>(*c));
    }
}

} // namespace

std::u16string FormatTimeSpan(std::int64_t span, const char *format)
{
    if (format == nullptr) {
        throw TimeSpanFormatError(kInvalidArg, "FormatTimeSpan: no format");
    }
    std::u16string result;
    result.reserve(128);

    // Components as 32-bit values where the clock shows them; days stay 64-bit.
    const std::int64_t days = span / 86400;
    const auto hours = static_cast<std::int32_t>(span / 3600 - days * 24);
    const auto minutes = static_cast<std::int32_t>(span / 60 - (span / 3600) * 60);
    const auto seconds = static_cast<std::int32_t>(span - (span / 60) * 60);

    // The format is 8-bit text; each byte widens to the character of the same code.
    const auto *p = reinterpret_cast<const unsigned char *>(format);
    while (*p != 0) {
        char16_t c = *p;
        bool directive = false;
        bool noPadding = false;
        if (c == u'%') {
            directive = true;
            c = *++p;
            if (c == u'#') {
                noPadding = true;
                c = *++p;
            }
        }
        switch (c) {
        case u'%':
            result.push_back(u'%');
            break;
        case u'D':
            if (directive) {
                AppendNumber(result, days, false);
            } else {
                result.push_back(c);
            }
            break;
        case u'H':
        case u'M':
        case u'S': {
            if (!directive) {
                result.push_back(c);
                break;
            }
            const std::int32_t value = c == u'H' ? hours : (c == u'M' ? minutes : seconds);
            AppendNumber(result, value, !noPadding);
            break;
        }
        default:
            if (directive) {
                // Includes a directive cut short by the end of the format.
                throw TimeSpanFormatError(kFail, "FormatTimeSpan: malformed directive");
            }
            result.push_back(c);
            break;
        }
        ++p;
    }
    return result;
}
