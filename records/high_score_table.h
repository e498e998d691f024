#pragma once

#include "records/high_score_entry.h"
#include "records/profile_store.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

// The 15 best speed challenges, ranked by right answers, as kept in the
// profile, with the merge of one candidate run. Standard C++ only: the
// High Scores dialog shows what ShowRows returns and forwards name edits.
class HighScoreTable
{
public:
    static constexpr int kRows = 15;

    // One row as the dialog shows it.
    struct RowView
    {
        std::u16string title;
        std::u16string scoreText; // "-" for an empty row
        bool enabled = false; // only the inserted row's name box
    };

    explicit HighScoreTable(ProfileStore &store);

    // The run offered to the table; correct < 0 means no candidate (the
    // read-only view: span -1, correct -1, tries -1).
    void SetCandidate(std::int64_t span, std::int32_t correct, std::int32_t tries);

    // Reads the 15 rows, inserts the candidate if it ranks (below every
    // equal count) and then saves the whole table once.
    void LoadAndMerge();
    // Writes all 15 rows: Span, Correct, Tries, Title per row, top first.
    void SaveRows();
    std::array<RowView, kRows> ShowRows() const;
    // The inserted row's name box changed: stored at once, on every keystroke.
    void OnNameChange(std::u16string_view text);

    // -1 when the candidate did not enter.
    int insertRow() const { return insertRow_; }
    const HighScoreEntry &row(int r) const { return rows_[static_cast<std::size_t>(r)]; }
    const HighScoreEntry &candidate() const { return candidate_; }

private:
    ProfileStore &store_;
    HighScoreEntry candidate_;
    std::array<HighScoreEntry, kRows> rows_ {};
    int insertRow_ = -1;
};
