#pragma once

#include "records/profile_store.h"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

// Passes everything to a real store and notes every write, in order.
class CountingStore : public ProfileStore
{
public:
    explicit CountingStore(ProfileStore &inner) : inner_(inner) { }

    std::int32_t GetProfileInt(std::string_view section, std::string_view entry, std::int32_t value) const override
    {
        return inner_.GetProfileInt(section, entry, value);
    }
    std::u16string GetProfileString(std::string_view section, std::string_view entry,
                                    std::u16string_view value) const override
    {
        return inner_.GetProfileString(section, entry, value);
    }
    void WriteProfileInt(std::string_view section, std::string_view entry, std::int32_t value) override
    {
        Note(section, entry);
        inner_.WriteProfileInt(section, entry, value);
    }
    void WriteProfileString(std::string_view section, std::string_view entry, std::u16string_view value) override
    {
        Note(section, entry);
        inner_.WriteProfileString(section, entry, value);
    }

    bool KeepCopy(std::string_view suffix) override { return inner_.KeepCopy(suffix); }

    int WritesTo(const std::string &entry) const { return int(std::count(writes.begin(), writes.end(), entry)); }

    std::vector<std::string> writes; // entry names, in order
    bool foreignSection = false; // a write outside "Results"

protected:
    // A group here is a group of the inner store.
    void BeginWriteGroup() noexcept override { innerGroup_.emplace(inner_); }
    void EndWriteGroup() noexcept override { innerGroup_.reset(); }

private:
    void Note(std::string_view section, std::string_view entry)
    {
        foreignSection = foreignSection || section != kResultsSection;
        writes.emplace_back(entry);
    }

    ProfileStore &inner_;
    std::optional<WriteGroup> innerGroup_;
};
