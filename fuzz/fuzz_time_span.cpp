// FormatTimeSpan over any span and any format bytes: it returns text or
// throws TimeSpanFormatError, and nothing else happens.
//
// Input: 8 bytes of span (little-endian), then the format up to its first
// NUL byte.

#include "drill/time_span.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    std::int64_t span = 0;
    const std::size_t spanBytes = size < sizeof span ? size : sizeof span;
    std::uint64_t bits = 0;
    for (std::size_t i = 0; i < spanBytes; ++i) {
        bits |= std::uint64_t {data[i]} << (8 * i);
    }
    std::memcpy(&span, &bits, sizeof span);
    const std::string format(reinterpret_cast<const char *>(data + spanBytes), size - spanBytes);

    try {
        const std::u16string text = FormatTimeSpan(span, format.c_str());
        // Without directives the format comes back unchanged, byte for character.
        if (std::strchr(format.c_str(), '%') == nullptr) {
            const std::size_t length = std::strlen(format.c_str());
            if (text.size() != length) {
                std::abort();
            }
            for (std::size_t i = 0; i < length; ++i) {
                if (text[i] != static_cast<unsigned char>(format[i])) {
                    std::abort();
                }
            }
        }
        // Each format byte yields at most one number (20 digits and a sign).
        if (text.size() > 21 * std::strlen(format.c_str())) {
            std::abort();
        }
    } catch (const TimeSpanFormatError &error) {
        if (error.code() != 0x80004005u) {
            std::abort();
        }
    }
    // Any other exception escapes and libFuzzer reports it.
    return 0;
}
