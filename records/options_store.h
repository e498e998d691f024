#pragma once

#include <string_view>

// The learner's choices that are not results ("Speak French Words"), kept
// apart from the profile so that its [Results] stay exactly as they are.
// On Linux a file beside the profile (OptionsFile); on Windows they would be
// values under HKEY_CURRENT_USER\Software\Dravilo\pelko\Options.
class OptionsStore
{
public:
    virtual ~OptionsStore() = default;

    // A choice never made, or one that cannot be read, is the fallback.
    virtual bool ReadFlag(std::string_view name, bool fallback) const = 0;
    // False when it could not be kept; the caller keeps it for this run.
    virtual bool WriteFlag(std::string_view name, bool value) = 0;
};
