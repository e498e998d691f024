#pragma once

#include "records/profile_keys.h"
#include "records/profile_store.h"

#include <charconv>
#include <map>
#include <string>
#include <vector>

// The store's contract in memory, for tests: every value is kept as text, as
// in the profile file, so an int reads back only as plain 32-bit decimal and
// an empty string reads as absent. It counts records and notes every write
// and every copy kept.
class MemoryProfileStore : public ProfileStore
{
public:
    std::int32_t GetProfileInt(std::string_view section, std::string_view entry,
                               std::int32_t defaultValue) const override
    {
        const auto it = values.find(Key(section, entry));
        if (it == values.end() || it->second.empty()) {
            return defaultValue;
        }
        const std::string text(it->second.begin(), it->second.end());
        std::int32_t value = 0;
        const char *first = text.data() + (text[0] == '+' && text.size() > 1 && text[1] != '-' ? 1 : 0);
        const auto [end, error] = std::from_chars(first, text.data() + text.size(), value);
        return error == std::errc() && end == text.data() + text.size() ? value : defaultValue;
    }
    std::u16string GetProfileString(std::string_view section, std::string_view entry,
                                    std::u16string_view defaultValue) const override
    {
        const auto it = values.find(Key(section, entry));
        return it == values.end() || it->second.empty() ? std::u16string(defaultValue) : it->second;
    }
    void WriteProfileInt(std::string_view section, std::string_view entry, std::int32_t value) override
    {
        const std::string text = std::to_string(value);
        Write(section, entry, std::u16string(text.begin(), text.end()));
    }
    void WriteProfileString(std::string_view section, std::string_view entry, std::u16string_view value) override
    {
        Write(section, entry, std::u16string(value));
    }
    bool KeepCopy(std::string_view suffix) override
    {
        if (values.empty() || copyFails) {
            return false; // no file to copy yet, or no room for the copy
        }
        copies[std::string(suffix)] = values;
        return true;
    }

    void SetBest(int level, std::int32_t best)
    {
        WriteProfileInt(kResultsSection, profile_keys::BestResult(level), best);
    }

    // "Section/entry" -> the value's text.
    std::map<std::string, std::u16string> values;
    int records = 0; // writes outside a group, and outermost groups that wrote
    std::vector<std::string> writes; // "Section/entry", in order
    std::map<std::string, std::map<std::string, std::u16string>> copies; // suffix -> the values then
    bool copyFails = false;

protected:
    void EndWriteGroup() noexcept override
    {
        records += grouped_ ? 1 : 0;
        grouped_ = false;
    }

private:
    static std::string Key(std::string_view section, std::string_view entry)
    {
        return std::string(section) + "/" + std::string(entry);
    }
    void Write(std::string_view section, std::string_view entry, std::u16string value)
    {
        writes.push_back(Key(section, entry));
        values[Key(section, entry)] = std::move(value);
        grouped_ = InWriteGroup();
        records += grouped_ ? 0 : 1;
    }

    bool grouped_ = false;
};
