#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The per-user store of results. Section and entry names are ASCII
// ("Results", "Result3_12"); string values are UTF-16.
//
// Contract for every implementation: an absent value, an empty string and a
// value that is not a 32-bit integer read as the caller's default. A write
// outside a group is on disk, whole, before the call returns; the writes of
// a group reach the disk together, as one record, when the group closes.
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
    // False where there is nothing to copy or the copy could not be made.
    virtual bool KeepCopy(std::string_view /*suffix*/) { return false; }

    // One record: every write made while the outermost group is open lands
    // in a single atomic replacement of the profile when it closes, and the
    // reads inside it see the profile as it stands on disk at its start, so
    // a read-then-write is not overtaken by another writer. Groups nest.
    class WriteGroup
    {
    public:
        explicit WriteGroup(ProfileStore &store) : store_(store)
        {
            if (store_.groupDepth_++ == 0) {
                store_.BeginWriteGroup();
            }
        }
        ~WriteGroup()
        {
            if (--store_.groupDepth_ == 0) {
                store_.EndWriteGroup();
            }
        }
        WriteGroup(const WriteGroup &) = delete;
        WriteGroup &operator=(const WriteGroup &) = delete;

    private:
        ProfileStore &store_;
    };

protected:
    // Both must not throw: they run from a destructor.
    virtual void BeginWriteGroup() noexcept { }
    virtual void EndWriteGroup() noexcept { }
    bool InWriteGroup() const { return groupDepth_ > 0; }

private:
    int groupDepth_ = 0;
};

// The one section everything lives in.
inline constexpr std::string_view kResultsSection = "Results";
