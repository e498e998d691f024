#pragma once

#include "records/profile_store.h"

#include <map>
#include <string>
#include <vector>

// Passes everything to a real store and notes every write, in order.
class CountingStore : public ProfileStore
{
public:
    explicit CountingStore(ProfileStore &inner) : inner_(inner) { }

    std::int32_t GetProfileInt(std::string_view section, std::string_view entry,
                               std::int32_t defaultValue) const override
    {
        return inner_.GetProfileInt(section, entry, defaultValue);
    }
    std::u16string GetProfileString(std::string_view section, std::string_view entry,
                                    std::u16string_view defaultValue) const override
    {
        return inner_.GetProfileString(section, entry, defaultValue);
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

    int WritesTo(const std::string &entry) const
    {
        const auto it = counts.find(entry);
        return it == counts.end() ? 0 : it->second;
    }

    std::vector<std::string> writes; // entry names, in order
    std::map<std::string, int> counts;
    bool foreignSection = false;

private:
    void Note(std::string_view section, std::string_view entry)
    {
        if (section != kResultsSection) {
            foreignSection = true;
        }
        writes.emplace_back(entry);
        ++counts[std::string(entry)];
    }

    ProfileStore &inner_;
};
