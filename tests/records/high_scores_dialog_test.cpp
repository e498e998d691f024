#include "records/c_high_scores_dlg.h"
#include "records/profile_keys.h"
#include "tests/support/temp_profile.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

QString StoredTitle(TempProfile &profile, int row)
{
    const std::u16string title = profile.reopen().GetProfileString("Results", profile_keys::Title(row), u"");
    return QString::fromUtf16(title.data(), static_cast<qsizetype>(title.size()));
}

TEST(HighScoresDialog, RankedRunGetsTheOnlyEditableBoxAndEveryKeystrokeIsStored)
{
    TempProfile profile;
    CHighScoresDlg dialog(profile.store());
    dialog.SetCandidate(60, 12, 15);
    dialog.show();
    ASSERT_EQ(dialog.table().insertRow(), 0);
    EXPECT_EQ(dialog.scoreText(0)->text(), QStringLiteral(" 12 of 15 Correct in 60 seconds"));
    EXPECT_EQ(dialog.scoreText(1)->text(), QStringLiteral("-"));
    EXPECT_TRUE(dialog.nameBox(0)->isEnabled());
    EXPECT_TRUE(dialog.nameBox(0)->text().isEmpty()); // filling the boxes is not an edit
    EXPECT_FALSE(dialog.nameBox(1)->isEnabled());
    EXPECT_EQ(dialog.focusWidget(), dialog.okButton());

    QTest::keyClicks(dialog.nameBox(0), QStringLiteral("Max"));
    EXPECT_EQ(StoredTitle(profile, 0), QStringLiteral("Max"));
    dialog.reject(); // Escape keeps what was typed
    EXPECT_EQ(StoredTitle(profile, 0), QStringLiteral("Max"));
}

TEST(HighScoresDialog, PastedNamesAreStoredAndReadBackUnchanged)
{
    const QString names[] = {
        QStringLiteral("a=b [Results] ;c #d"),
        QStringLiteral("\"quoted\" 'single' back\\slash"),
        QStringLiteral("Ζωή Øre 名前 😀"),
        QString(500, QLatin1Char('x')),
        QStringLiteral("first line\nsecond line\r\nthird"),
    };
    for (const QString &name : names) {
        TempProfile profile;
        CHighScoresDlg dialog(profile.store());
        dialog.SetCandidate(30, 5, 9);
        dialog.show();
        QLineEdit *box = dialog.nameBox(dialog.table().insertRow());
        QApplication::clipboard()->setText(name);
        box->setFocus();
        QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
        ASSERT_FALSE(box->text().isEmpty()) << name.left(40).toStdString();
        // Whatever the box holds is what the profile holds, byte for byte.
        EXPECT_EQ(StoredTitle(profile, 0), box->text()) << name.left(40).toStdString();
        if (!name.contains(QLatin1Char('\n'))) {
            EXPECT_EQ(box->text(), name);
        }
    }
}

TEST(HighScoresDialog, WithoutACandidateNothingIsEditableOrWritten)
{
    TempProfile profile;
    profile.store().WriteProfileInt("Results", profile_keys::Correct(0), 20);
    profile.store().WriteProfileString("Results", profile_keys::Title(0), u"Lea");
    CHighScoresDlg dialog(profile.store());
    dialog.SetNoCandidate();
    dialog.show();
    EXPECT_EQ(dialog.table().insertRow(), -1);
    EXPECT_EQ(dialog.nameBox(0)->text(), QStringLiteral("Lea"));
    for (int r = 0; r < 15; ++r) {
        EXPECT_FALSE(dialog.nameBox(r)->isEnabled()) << r;
        // "10." to "15." are drawn narrower rather than run into their box.
        const QLabel *rank = dialog.rankLabel(r);
        EXPECT_EQ(rank->x(), 38) << r;
        EXPECT_LE(rank->geometry().right(), dialog.nameBox(r)->x() - 1) << r;
        EXPECT_LE(rank->fontMetrics().horizontalAdvance(rank->text()), rank->width()) << r;
    }
    EXPECT_EQ(StoredTitle(profile, 1), QString()); // no row was written
}

} // namespace
