#include "records/high_score_table.h"

#include "records/profile_keys.h"

#include <string>

namespace {

std::u16string Widen(const std::string &ascii)
{
    return std::u16string(ascii.begin(), ascii.end());
}

// Spans are kept as their low 32 bits.
std::int32_t StoredSpan(std::int64_t span)
{
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(span) & 0xFFFFFFFFu));
}

} // namespace

HighScoreTable::HighScoreTable(ProfileStore &store) : store_(store) { }

void HighScoreTable::SetCandidate(std::int64_t span, std::int32_t correct, std::int32_t tries)
{
    candidate_.span = span;
    candidate_.correct = correct;
    candidate_.tries = tries;
    candidate_.title.clear();
}

void HighScoreTable::LoadAndMerge()
{
    // Read, merge and save as one record, so that an entry another copy of
    // the program saved meanwhile is merged, not overwritten.
    const ProfileStore::WriteGroup record(store_);
    insertRow_ = -1;
    for (int r = 0; r < kRows; ++r) {
        HighScoreEntry &entry = rows_[static_cast<std::size_t>(r)];
        // Read back with a zero high half.
        entry.span = static_cast<std::uint32_t>(store_.GetProfileInt(kResultsSection, profile_keys::Span(r), 0));
        entry.correct = store_.GetProfileInt(kResultsSection, profile_keys::Correct(r), 0);
        entry.tries = store_.GetProfileInt(kResultsSection, profile_keys::Tries(r), 0);
        entry.title = store_.GetProfileString(kResultsSection, profile_keys::Title(r), u"");
        // Strictly fewer: a tie goes below the rows it ties.
        if (insertRow_ == -1 && candidate_.correct >= 0 && entry.correct < candidate_.correct) {
            insertRow_ = r;
        }
    }
    if (insertRow_ < 0 || candidate_.correct < 0) {
        return;
    }
    for (int a = kRows - 1; a > insertRow_; --a) {
        rows_[static_cast<std::size_t>(a)] = rows_[static_cast<std::size_t>(a - 1)];
    }
    rows_[static_cast<std::size_t>(insertRow_)] = candidate_;
    SaveRows();
}

void HighScoreTable::SaveRows()
{
    // All 60 values as one record: never one row's span under another's name.
    const ProfileStore::WriteGroup record(store_);
    for (int r = 0; r < kRows; ++r) {
        const HighScoreEntry &entry = rows_[static_cast<std::size_t>(r)];
        store_.WriteProfileInt(kResultsSection, profile_keys::Span(r), StoredSpan(entry.span));
        store_.WriteProfileInt(kResultsSection, profile_keys::Correct(r), entry.correct);
        store_.WriteProfileInt(kResultsSection, profile_keys::Tries(r), entry.tries);
        store_.WriteProfileString(kResultsSection, profile_keys::Title(r), entry.title);
    }
}

std::array<HighScoreTable::RowView, HighScoreTable::kRows> HighScoreTable::ShowRows() const
{
    std::array<RowView, kRows> views;
    for (int r = 0; r < kRows; ++r) {
        const HighScoreEntry &entry = rows_[static_cast<std::size_t>(r)];
        RowView &view = views[static_cast<std::size_t>(r)];
        view.title = entry.title;
        if (entry.correct > 0) {
            std::string text = " ";
            text += std::to_string(entry.correct);
            text += " of ";
            text += std::to_string(entry.tries);
            text += " Correct in ";
            text += std::to_string(StoredSpan(entry.span));
            text += " seconds";
            view.scoreText = Widen(text);
        } else {
            view.scoreText = u"-";
        }
        view.enabled = r == insertRow_;
    }
    return views;
}

void HighScoreTable::OnNameChange(std::u16string_view text)
{
    if (insertRow_ < 0) {
        return;
    }
    HighScoreEntry &entry = rows_[static_cast<std::size_t>(insertRow_)];
    entry.title.assign(text);
    store_.WriteProfileString(kResultsSection, profile_keys::Title(insertRow_), entry.title);
}
