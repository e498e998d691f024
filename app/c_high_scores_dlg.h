#pragma once

#include "records/high_score_table.h"

#include <QDialog>

#include <array>
#include <cstdint>

class QLabel;
class QLineEdit;
class QPushButton;
class ProfileStore;

// The 15-row high-score table. Opened with a candidate run at the end of a
// speed challenge (a ranked run gets an editable name box) or without one
// from the About dialog (read-only).
class CHighScoresDlg : public QDialog
{
    Q_OBJECT
public:
    explicit CHighScoresDlg(ProfileStore &store, QWidget *parent = nullptr);

    void SetCandidate(std::int64_t span, std::int32_t correct, std::int32_t tries);
    void SetNoCandidate() { SetCandidate(-1, -1, -1); }

    // Loads, merges and shows the table; runs once, when the dialog is first shown.
    void OnInitDialog();

    const HighScoreTable &table() const { return table_; }
    QLineEdit *nameBox(int row) const { return nameBoxes_[static_cast<std::size_t>(row)]; }
    QLabel *scoreText(int row) const { return scoreTexts_[static_cast<std::size_t>(row)]; }
    QLabel *rankLabel(int row) const { return rankLabels_[static_cast<std::size_t>(row)]; }
    QPushButton *okButton() const { return ok_; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    void ShowRows();
    // Fonts differ between platforms: a label grows to its text rather than
    // cut it off, but never past rightEdge (the dialog's edge, or a rank's
    // name box), where its text is drawn narrower instead; its position stays.
    void FitLabel(QLabel *label, int rightEdge) const;
    void OnNameChange(int row, const QString &text);

    HighScoreTable table_;
    std::array<QLineEdit *, HighScoreTable::kRows> nameBoxes_ {};
    std::array<QLabel *, HighScoreTable::kRows> scoreTexts_ {};
    std::array<QLabel *, HighScoreTable::kRows> rankLabels_ {};
    QPushButton *ok_ = nullptr;
    bool initialised_ = false;
};
