#pragma once

#include "records/options_store.h"
#include "records/profile_file.h"

#include <QString>

// The options as group [Options] of "pelko-options.conf" beside the profile,
// in the INI form QSettings reads. Each write replaces the file whole, the
// way the profile is replaced, so a crash leaves the old choice or the new.
class OptionsFile : public OptionsStore
{
public:
    // "<folder of the profile>/pelko-options.conf": beside the path as
    // configured, not beside the file a link there points to.
    static QString BesideProfile(const QString &profilePath);

    // A few bytes in practice; a file far larger is none of pelko's.
    static constexpr qint64 kMaxBytes = 64 * 1024;

    explicit OptionsFile(const QString &path) : file_(path, kMaxBytes) { }

    bool ReadFlag(std::string_view name, bool fallback) const override;
    bool WriteFlag(std::string_view name, bool value) override;

    const QString &path() const { return file_.path(); }
    // Why the last ReadFlag() found no file to read the choice from: one
    // larger than kMaxBytes (TooLarge), not a regular file, not readable, or
    // not in the INI form (Malformed); none when it was read or is absent.
    const ProfileFile::Problem &readProblem() const { return readProblem_; }

private:
    ProfileFile file_;
    mutable ProfileFile::Problem readProblem_;
};
