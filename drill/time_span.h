#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

// Raised for a malformed directive (code 0x80004005) or a null format (0x80070057).
class TimeSpanFormatError : public std::runtime_error
{
public:
    TimeSpanFormatError(std::uint32_t code, const char *what) : std::runtime_error(what), code_(code) { }
    std::uint32_t code() const noexcept { return code_; }

private:
    std::uint32_t code_;
};

// Renders a span of seconds with %D %H %M %S (zero-padded), %#D %#H %#M %#S
// (no padding), %% and %#%.
std::u16string FormatTimeSpan(std::int64_t span, const char *format);
