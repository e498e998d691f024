#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The per-user store of results. Section and entry names are ASCII
// ("Results", "Result3_12"); string values are UTF-16.
//
// Contract for every implementation: an absent value, an empty string and a
// value that is not a 32-bit integer read as the caller's default; a write
// is on disk before the call returns.
class ProfileStore
{
public:
    virtual ~ProfileStore() = default;

    virtual std::int32_t GetProfileInt(std::string_view section, std::string_view entry,
                                       std::int32_t defaultValue) const = 0;
    virtual std::u16string GetProfileString(std::string_view section, std::string_view entry,
                                            std::u16string_view defaultValue) const = 0;
    virtual void WriteProfileInt(std::string_view section, std::string_view entry, std::int32_t value) = 0;
    virtual void WriteProfileString(std::string_view section, std::string_view entry, std::u16string_view value) = 0;

    // Copies the whole profile next to itself under its name + suffix,
    // replacing an older copy, so that a learner can undo a sweeping change.
    // False where there is no file to copy.
    virtual bool KeepCopy(std::string_view /*suffix*/) { return false; }
};

// The one section everything lives in.
inline constexpr std::string_view kResultsSection = "Results";
