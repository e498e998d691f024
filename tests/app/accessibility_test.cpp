#include "app/c_pelko_dlg.h"
#include "records/profile_keys.h"
#include "res/control_ids.h"
#include "tests/support/temp_profile.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QApplication>

#include <gtest/gtest.h>

namespace {

using namespace ids::main;

class AccessibilityTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        profile.store().WriteProfileInt("Results", profile_keys::BestResult(1), 50);
        profile.store().WriteProfileInt("Results", profile_keys::BestResult(2), 62);
        dialog = std::make_unique<CpelkoDlg>(profile.store());
        dialog->setClock([] { return std::int64_t {1'700'000'000}; });
        dialog->show();
    }

    QString Said(int id, QAccessible::Text what)
    {
        QAccessibleInterface *ai = QAccessible::queryAccessibleInterface(dialog->control(id));
        return ai == nullptr ? QStringLiteral("<none>") : ai->text(what);
    }

    TempProfile profile;
    std::unique_ptr<CpelkoDlg> dialog;
};

TEST_F(AccessibilityTest, PaintedControlsSpeakWhatTheyShow)
{
    dialog->engine().StartSpeedChallenge();
    const WordEntry &right = dialog->engine().words()[1];
    const int slot = dialog->engine().session().answerSlot;
    EXPECT_EQ(Said(kAnswers[static_cast<std::size_t>(slot)], QAccessible::Name),
              QString::fromUtf16(right.english.data(), static_cast<qsizetype>(right.english.size())).trimmed());
    EXPECT_EQ(Said(kExit, QAccessible::Name), QStringLiteral("Exit"));

    EXPECT_EQ(Said(kLevelButtons[2], QAccessible::Name), QStringLiteral("Words 101 to 150"));
    EXPECT_EQ(Said(kLevelButtons[0], QAccessible::Value), QStringLiteral("best result 50 tries"));
    EXPECT_EQ(Said(kLevelButtons[2], QAccessible::Value), QStringLiteral("no result yet"));
    EXPECT_EQ(Said(kTotal, QAccessible::Description), QStringLiteral("9%"));
    EXPECT_EQ(Said(kProgress, QAccessible::Description), QStringLiteral("10 seconds left"));
    EXPECT_EQ(Said(kMarked, QAccessible::Description), QStringLiteral("0 of 50"));
    EXPECT_EQ(Said(kLevelTitle, QAccessible::Name), QStringLiteral("French Vocabulary (1 - 50)"));

    // Values follow the state without a repaint in between.
    dialog->engine().AnswerClicked(slot);
    EXPECT_EQ(Said(kMarked, QAccessible::Value), QStringLiteral("1 of 50"));
    EXPECT_EQ(Said(kAnswers[static_cast<std::size_t>(slot)], QAccessible::Description), QStringLiteral("right"));
    dialog->engine().OnDrillTimer();
    EXPECT_EQ(Said(kClock, QAccessible::Name), QStringLiteral("00 : 00"));
}

TEST_F(AccessibilityTest, PressActionAnswersLikeAClick)
{
    dialog->engine().StartDrill();
    const int slot = dialog->engine().session().answerSlot;
    QAccessibleInterface *ai = QAccessible::queryAccessibleInterface(dialog->control(kAnswers[slot]));
    ASSERT_NE(ai, nullptr);
    EXPECT_EQ(ai->role(), QAccessible::Button);
    ASSERT_NE(ai->actionInterface(), nullptr);
    ai->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(dialog->engine().session().correctCount, 1);
}

} // namespace
