#include "app/c_high_scores_dlg.h"
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

// A full table with a run that ranks in the middle: the rows below move
// down a row, names and all, and the new row's box is the only one open and
// starts empty.
TEST(HighScoresDialog, RankedRunGetsTheOnlyEditableBoxAndEveryKeystrokeIsStored)
{
    TempProfile profile; // Stored(): as a fresh reader finds it, the dialog's own store in use
    for (int r = 0; r < 15; ++r) {
        profile.store().WriteProfileInt("Results", profile_keys::Correct(r), 30 - r);
        profile.store().WriteProfileString("Results", profile_keys::Title(r), u"name" + std::u16string(1, u'a' + r));
    }
    CHighScoresDlg dialog(profile.store());
    dialog.SetCandidate(60, 24, 25); // ties row 6, so goes below it
    dialog.show();
    ASSERT_EQ(dialog.table().insertRow(), 7);
    EXPECT_EQ(dialog.scoreText(7)->text(), QStringLiteral(" 24 of 25 Correct in 60 seconds"));
    for (int r = 0; r < 15; ++r) {
        const QString name = r < 7 ? QStringLiteral("name%1").arg(QChar('a' + r))
            : r > 7                ? QStringLiteral("name%1").arg(QChar('a' + r - 1))
                                   : QString();
        EXPECT_EQ(dialog.nameBox(r)->text(), name) << r;
        EXPECT_EQ(dialog.nameBox(r)->isEnabled(), r == 7) << r;
        EXPECT_EQ(profile.Stored(profile_keys::Title(r)), name) << r;
    }
    EXPECT_EQ(dialog.focusWidget(), dialog.okButton());

    QLineEdit *box = dialog.nameBox(7);
    QTest::keyClicks(box, QStringLiteral("Max"));
    EXPECT_EQ(profile.Stored(profile_keys::Title(7)), QStringLiteral("Max"));
    EXPECT_EQ(profile.Stored(profile_keys::Title(8)), QStringLiteral("nameh"));
    // Pasted INI syntax, quotes, letters beyond Latin-1 and a line break: the profile holds what the box holds.
    QApplication::clipboard()->setText(QStringLiteral(" [Results] a=b;\"q\" Ζωή 名前 😀\nline two"));
    box->setFocus();
    QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
    EXPECT_TRUE(box->text().startsWith(QStringLiteral("Max [Results] a=b;\"q\" Ζωή 名前 😀")))
        << box->text().toStdString();
    EXPECT_EQ(profile.Stored(profile_keys::Title(7)), box->text());
    dialog.reject(); // Escape keeps what was typed
    EXPECT_EQ(profile.Stored(profile_keys::Title(7)), box->text());
}

} // namespace
