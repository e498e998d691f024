#include "app/c_high_scores_dlg.h"

#include "res/control_ids.h"
#include "res/dialog_templates.h"

#include <QApplication>
#include <QFont>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>

namespace {

// Dialog units of the template's font (base units 6 x 13) to pixels, edge by edge.
int ToPxX(int du)
{
    return (2 * du * dialogs::kHighScoresDialog.baseX + 4) / 8;
}
int ToPxY(int du)
{
    return (2 * du * dialogs::kHighScoresDialog.baseY + 8) / 16;
}

QRect ToPixels(const dialogs::Control &c)
{
    const int left = ToPxX(c.x);
    const int top = ToPxY(c.y);
    return {left, top, ToPxX(c.x + c.w) - left, ToPxY(c.y + c.h) - top};
}

QString ToQString(std::u16string_view text)
{
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

int RowOfNameBox(int id)
{
    for (int r = 0; r < ids::highscores::kRowCount; ++r) {
        if (ids::highscores::NameBox(r) == id) {
            return r;
        }
    }
    return -1;
}

int RowOfScoreText(int id)
{
    const int r = id - ids::highscores::ScoreText(0);
    return r >= 0 && r < ids::highscores::kRowCount ? r : -1;
}

int RowOfRankLabel(int id)
{
    const int r = id - ids::highscores::RankLabel(0);
    return r >= 0 && r < ids::highscores::kRowCount ? r : -1;
}

// The narrowest a label's text is drawn, in percent of its normal width.
constexpr int kNarrowestStretch = 70;

} // namespace

CHighScoresDlg::CHighScoresDlg(ProfileStore &store, QWidget *parent) : QDialog(parent), table_(store)
{
    const dialogs::Template &t = dialogs::kHighScoresDialog;
    setWindowTitle(ToQString(t.caption));
    setAccessibleName(windowTitle().simplified());
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFixedSize(ToPxX(t.width), ToPxY(t.height));
    // The platform's dialog font at the template's size: the layout's base units assume it.
    QFont font = QApplication::font("QMessageBox");
    font.setPointSize(t.pointSize);
    setFont(font);

    for (const dialogs::Control &c : t.controls) {
        QWidget *widget = nullptr;
        if (c.kind == dialogs::Kind::DefaultButton) {
            ok_ = new QPushButton(ToQString(c.caption), this);
            ok_->setDefault(true);
            connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
            widget = ok_;
        } else if (c.kind == dialogs::Kind::Edit) {
            const int row = RowOfNameBox(c.id);
            auto *box = new QLineEdit(this);
            box->setEnabled(false);
            // textEdited fires for the learner's edits only, never for setText.
            connect(box, &QLineEdit::textEdited, this, [this, row](const QString &text) { OnNameChange(row, text); });
            nameBoxes_[static_cast<std::size_t>(row)] = box;
            box->setAccessibleName(QStringLiteral("Name at place %1").arg(row + 1));
            widget = box;
        } else {
            auto *label = new QLabel(ToQString(c.caption), this);
            label->setTextFormat(Qt::PlainText);
            label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
            if (const int row = RowOfScoreText(c.id); row >= 0) {
                scoreTexts_[static_cast<std::size_t>(row)] = label;
            }
            if (const int row = RowOfRankLabel(c.id); row >= 0) {
                rankLabels_[static_cast<std::size_t>(row)] = label;
            }
            widget = label;
        }
        widget->setObjectName(QString::number(c.id));
        widget->setGeometry(ToPixels(c));
    }
    for (std::size_t r = 0; r < rankLabels_.size(); ++r) {
        FitLabel(rankLabels_[r], nameBoxes_[r]->x());
        FitLabel(scoreTexts_[r], width());
    }
}

void CHighScoresDlg::SetCandidate(std::int64_t span, std::int32_t correct, std::int32_t tries)
{
    table_.SetCandidate(span, correct, tries);
}

void CHighScoresDlg::OnInitDialog()
{
    if (initialised_) {
        return;
    }
    initialised_ = true;
    table_.LoadAndMerge();
    ShowRows();
    ok_->setFocus();
}

void CHighScoresDlg::showEvent(QShowEvent *event)
{
    OnInitDialog();
    QDialog::showEvent(event);
}

void CHighScoresDlg::FitLabel(QLabel *label, int rightEdge) const
{
    const int room = rightEdge - label->x();
    QFont narrow = font();
    label->setFont(narrow);
    for (int stretch = 95; label->sizeHint().width() > room && stretch >= kNarrowestStretch; stretch -= 5) {
        narrow.setStretch(stretch);
        label->setFont(narrow);
    }
    label->resize(std::min(room, std::max(label->width(), label->sizeHint().width())), label->height());
}

void CHighScoresDlg::ShowRows()
{
    const auto rows = table_.ShowRows();
    for (int r = 0; r < HighScoreTable::kRows; ++r) {
        const auto &view = rows[static_cast<std::size_t>(r)];
        QLineEdit *box = nameBoxes_[static_cast<std::size_t>(r)];
        box->setText(ToQString(view.title));
        box->setEnabled(view.enabled);
        // Named for what it holds; the place is the row's rank. Set only when
        // it differs: each change is one more event for a reader to take.
        const QString name = view.enabled ? QStringLiteral("Your name for place %1").arg(r + 1)
                                          : QStringLiteral("Name at place %1").arg(r + 1);
        if (box->accessibleName() != name) {
            box->setAccessibleName(name);
        }
        if (view.enabled) {
            // Caret at the start, nothing selected; the focus stays on OK.
            box->deselect();
            box->setCursorPosition(0);
        }
        QLabel *score = scoreTexts_[static_cast<std::size_t>(r)];
        score->setText(ToQString(view.scoreText));
        // Its blanks only lay the row out; a reader says the words.
        if (const QString words = score->text().simplified(); score->accessibleName() != words) {
            score->setAccessibleName(words);
        }
        FitLabel(score, width());
    }
}

void CHighScoresDlg::OnNameChange(int row, const QString &text)
{
    if (row != table_.insertRow()) {
        return;
    }
    table_.OnNameChange(
        std::u16string_view(reinterpret_cast<const char16_t *>(text.utf16()), static_cast<std::size_t>(text.size())));
}
