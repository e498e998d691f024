#include "app/c_pelko_dlg.h"
#include "records/profile_keys.h"
#include "res/control_ids.h"
#include "tests/support/temp_profile.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QAccessibleValueInterface>
#include <QApplication>

#include <gtest/gtest.h>

#include <array>

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

    // Current, minimum and maximum value; -1s where there is no value interface.
    std::array<double, 3> Figure(int id)
    {
        QAccessibleInterface *ai = QAccessible::queryAccessibleInterface(dialog->control(id));
        QAccessibleValueInterface *value = ai != nullptr ? ai->valueInterface() : nullptr;
        if (value == nullptr) {
            return {-1, -1, -1};
        }
        return {value->currentValue().toDouble(), value->minimumValue().toDouble(), value->maximumValue().toDouble()};
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
    EXPECT_EQ(Said(kLevelButtons[0], QAccessible::Description), QStringLiteral("best result 50 tries"));
    EXPECT_EQ(Said(kTotal, QAccessible::Description), QStringLiteral("9%"));
    EXPECT_EQ(Said(kProgress, QAccessible::Description), QStringLiteral("10 seconds left"));
    EXPECT_EQ(Said(kMarked, QAccessible::Description), QStringLiteral("0 of 50"));
    EXPECT_EQ(Figure(kTotal), (std::array<double, 3> {8.8, 0, 100}));
    EXPECT_EQ(Figure(kProgress), (std::array<double, 3> {10, 0, 10}));
    EXPECT_EQ(Figure(kMarked), (std::array<double, 3> {0, 0, 50}));
    EXPECT_EQ(Figure(kExit)[2], -1); // buttons have no value
    EXPECT_EQ(Said(kLevelTitle, QAccessible::Name), QStringLiteral("French Vocabulary (1 - 50)"));

    // Values follow the state without a repaint in between.
    dialog->engine().AnswerClicked(slot);
    EXPECT_EQ(Said(kMarked, QAccessible::Value), QStringLiteral("1 of 50"));
    EXPECT_EQ(Figure(kMarked)[0], 1);
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
