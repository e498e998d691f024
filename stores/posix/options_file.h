#pragma once

#include "stores/options_store.h"
#include "stores/posix/profile_document.h"
#include "stores/posix/profile_file.h"

#include <QString>

#include <optional>

// The options as group [Options] of "pelko-options.conf" beside the profile,
// in the INI form QSettings reads. Each write replaces the file whole, the
// way the profile is replaced, so a crash leaves the old choice or the new.
// A file there that cannot be read (no permission, not a regular file) is
// never written over: what else it holds is not known. One that can be read
// but is no options file of pelko's (not in that form, or far too large) is
// moved aside at the next write, as an unreadable profile is.
class OptionsFile : public OptionsStore
{
public:
    // "<folder of the profile>/pelko-options.conf": beside the path as
    // configured, not beside the file a link there points to.
    static QString BesideProfile(const QString &profilePath);

    // A few bytes in practice; a file far larger is none of pelko's.
    static constexpr qint64 kMaxBytes = 64 * 1024;

    explicit OptionsFile(const QString &path) : file_(path, kMaxBytes) { }

    bool ReadFlag(std::string_view name, bool fallback, Problem *problem = nullptr) const override;
    Problem WriteFlag(std::string_view name, bool value) override;
    const ProfileSetAside &setAside() const override { return setAside_; }

    const QString &path() const { return file_.path(); }

private:
    // The options as they stand, or why they cannot be read.
    ProfileProblem Read(std::optional<ProfileDocument> &document) const;

    ProfileFile file_;
    ProfileSetAside setAside_;
};
