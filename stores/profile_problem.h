#pragma once

#include <QString>

// Why the profile could not be read or written, or a copy of it made, and
// the place it concerns (a file, or a registry key on Windows).
struct ProfileProblem
{
    enum Kind {
        None,
        NoSpace,
        NoPermission,
        ReadOnly,
        NotRegular,
        Locked,
        TooLarge, // larger than any file of pelko's: not read at all
        Malformed, // read, but not in the form pelko reads
        Other,
    };
    Kind kind = None;
    int error = 0; // errno, or a Windows error code there, for Other
    QString path;

    explicit operator bool() const { return kind != None; }
    bool operator==(const ProfileProblem &) const = default;
    // "no space is left on the device", for a sentence after the place's name.
    QString Reason() const;
};

// A profile found unreadable: why, and the name it was moved to (empty
// until the first write moves it aside).
struct ProfileSetAside
{
    QString path;
    QString reason;
    QString keptAs;
    explicit operator bool() const { return !path.isEmpty(); }
};
