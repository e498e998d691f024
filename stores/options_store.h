#pragma once

#include "stores/profile_problem.h"

#include <string_view>

// The learner's choices that are not results ("Speak French Words"), kept
// apart from the profile so that its [Results] stay exactly as they are.
// On Linux a file beside the profile (OptionsFile); on Windows values under
// HKEY_CURRENT_USER\Software\Dravilo\pelko\Options (RegistryOptionsStore).
class OptionsStore
{
public:
    // Why a choice could not be read or kept, and the place it concerns.
    struct Problem
    {
        ProfileProblem cause;
        // The options could not be read; then nothing is written over them,
        // since what else they hold is not known.
        bool reading = false;
        explicit operator bool() const { return static_cast<bool>(cause); }
        bool operator==(const Problem &) const = default;
    };

    virtual ~OptionsStore() = default;

    // A choice never made is the fallback. One that cannot be read is the
    // fallback too, and why goes to *problem (none when it was read).
    virtual bool ReadFlag(std::string_view name, bool fallback, Problem *problem = nullptr) const = 0;
    // Why the choice could not be kept; none when it was. The caller keeps
    // it for this run and may try again.
    virtual Problem WriteFlag(std::string_view name, bool value) = 0;
    // Options found that were no options of pelko's, and the name they were
    // moved to when a choice was written in their place; empty otherwise.
    virtual const ProfileSetAside &setAside() const
    {
        static const ProfileSetAside none;
        return none;
    }
};
