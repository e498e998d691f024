#pragma once

#include "records/options_store.h"
#include "records/profile_file.h"

#include <QString>

// The options as group [Options] of "pelko-options.conf" beside the profile,
// in the INI form QSettings reads. Each write replaces the file whole, the
// way the profile is replaced, so a crash leaves the old choice or the new.
// A file there that cannot be read (no permission, not a regular file) is
// never written over: what else it holds is not known.
class OptionsFile : public OptionsStore
{
public:
    // "<folder of the profile>/pelko-options.conf": beside the path as
    // configured, not beside the file a link there points to.
    static QString BesideProfile(const QString &profilePath);

    explicit OptionsFile(const QString &path) : file_(path) { }

    bool ReadFlag(std::string_view name, bool fallback, Problem *problem = nullptr) const override;
    Problem WriteFlag(std::string_view name, bool value) override;

    const QString &path() const { return file_.path(); }

private:
    ProfileFile file_;
};
