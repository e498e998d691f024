#include "app/c_pelko_dlg.h"
#include "records/c_high_scores_dlg.h"
#include "records/profile_keys.h"
#include "res/control_ids.h"
#include "tests/support/temp_profile.h"
#include "tests/support/when_modal_opens.h"

#include <QAbstractButton>
#include <QApplication>
#include <QContextMenuEvent>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QStyleOptionViewItem>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <functional>

namespace {

using namespace ids::main;

QString Q(std::u16string_view s)
{
    return QString::fromUtf16(s.data(), static_cast<qsizetype>(s.size()));
}

class MainDialogTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        dialog = std::make_unique<CpelkoDlg>(profile.store());
        dialog->setClock([this] { return now; });
        dialog->show();
    }

    QAbstractButton *Button(int id) { return qobject_cast<QAbstractButton *>(dialog->control(id)); }
    QTreeWidget *List(int id) { return qobject_cast<QTreeWidget *>(dialog->control(id)); }
    QString Text(int id) { return Q(dialog->GetControlText(id)); }
    DrillEngine &engine() { return dialog->engine(); }

    void Click(int id) { QTest::mouseClick(Button(id), Qt::LeftButton); }
    void ClickAnswer(bool right)
    {
        const int slot = engine().session().answerSlot;
        Click(kAnswers[static_cast<std::size_t>(right ? slot : (slot + 1) % 4)]);
    }
    // The drill timer's ticks, by hand: nothing here waits for real time.
    void Tick(int n = 1)
    {
        for (int i = 0; i < n; ++i) {
            engine().OnDrillTimer();
        }
    }
    QString StoredString(const std::string &key)
    {
        QSettings file(profile.path(), QSettings::IniFormat);
        return file.value(QStringLiteral("Results/") + QString::fromStdString(key)).toString();
    }

    TempProfile profile;
    std::int64_t now = 1'700'000'000;
    std::unique_ptr<CpelkoDlg> dialog;
};

TEST_F(MainDialogTest, StartsOnLevelOneWithTheAnswerLogShowing)
{
    profile.store().WriteProfileString("Results", profile_keys::Result(1, 1), u"  01 mins, 10 secs Tries :52");
    profile.store().WriteProfileString("Results", profile_keys::Result(1, 2), u"  00 mins, 58 secs Tries :50");
    CpelkoDlg fresh(profile.store());
    fresh.show();
    QApplication::processEvents();

    EXPECT_EQ(fresh.windowTitle(), QStringLiteral("French Vocabulary 1-1000"));
    EXPECT_EQ(QApplication::focusWidget(), fresh.control(kExit));
    EXPECT_EQ(Q(fresh.GetControlText(kWordDisplay)), QStringLiteral("Press start button to begin."));
    for (int id : kAnswers) {
        EXPECT_EQ(qobject_cast<QAbstractButton *>(fresh.control(id))->text(), QStringLiteral(" - "));
    }
    EXPECT_EQ(fresh.engine().session().levelNumber, 1);
    EXPECT_EQ(fresh.engine().session().currentWord, -1);
    EXPECT_TRUE(fresh.control(kAnswerLog)->isVisible());
    EXPECT_FALSE(fresh.control(kResultsList)->isVisible());
    auto *results = qobject_cast<QTreeWidget *>(fresh.control(kResultsList));
    ASSERT_EQ(results->topLevelItemCount(), 2);
    EXPECT_EQ(results->topLevelItem(0)->text(0), QStringLiteral("  00 mins, 58 secs Tries :50")); // newest on top
    EXPECT_EQ(qobject_cast<QTreeWidget *>(fresh.control(kAnswerLog))->headerItem()->text(0), QStringLiteral("... "));
    EXPECT_EQ(results->headerItem()->text(0), QStringLiteral("..."));
    EXPECT_EQ(fresh.size(), QSize(1154, 588));
    EXPECT_EQ(fresh.control(kMarked)->width(), 670);
    EXPECT_EQ(fresh.control(kLevelButtons[0])->size(), QSize(90, 21));
}

TEST_F(MainDialogTest, PractiseDrillAllRightStoresItsResultLine)
{
    Click(kLevelButtons[2]); // level 3, id 1012
    ASSERT_EQ(engine().session().levelNumber, 3);
    EXPECT_TRUE(dialog->drillTimerActive());
    EXPECT_EQ(Text(kWordDisplay), Q(engine().words()[101].french));

    for (int question = 0; question < 50; ++question) {
        ClickAnswer(true);
        Tick(3);
        if (question == 0) {
            now += 65; // a minute and five seconds for the whole drill
        }
    }
    EXPECT_FALSE(dialog->drillTimerActive());
    EXPECT_EQ(engine().session().currentWord, -1);
    const QString line = QStringLiteral("  01 mins, 05 secs Tries :50");
    EXPECT_EQ(Text(kWordDisplay), QStringLiteral("Complete ") + line);
    EXPECT_TRUE(List(kResultsList)->isVisible());
    EXPECT_FALSE(List(kAnswerLog)->isVisible());
    ASSERT_EQ(List(kResultsList)->topLevelItemCount(), 1);
    EXPECT_EQ(List(kResultsList)->topLevelItem(0)->text(0), line);
    EXPECT_EQ(List(kAnswerLog)->topLevelItem(0)->text(0), QStringLiteral(" Correct"));
    // Straight from the file: written at once, not at exit.
    EXPECT_EQ(StoredString(profile_keys::Result(3, 1)), line);
    EXPECT_EQ(StoredString(profile_keys::BestResult(3)), QStringLiteral("50"));
    for (int id : kAnswers) {
        EXPECT_EQ(Button(id)->text(), QStringLiteral(" - "));
    }
}

TEST_F(MainDialogTest, WrongAnswerLogsTheUntrimmedTexts)
{
    Click(kStartPractise);
    ClickAnswer(false);
    const WordEntry &word = engine().words()[1];
    ASSERT_GT(List(kAnswerLog)->topLevelItemCount(), 0);
    EXPECT_EQ(List(kAnswerLog)->topLevelItem(0)->text(0),
              QStringLiteral("Incorrect: %1 --- %2").arg(Q(word.french), Q(word.english)));
    EXPECT_EQ(List(kAnswerLog)->topLevelItem(0)->text(0), QStringLiteral("Incorrect:      le    ---     the"));
    // The pause holds the question: a second click changes nothing.
    ClickAnswer(true);
    EXPECT_EQ(List(kAnswerLog)->topLevelItemCount(), 1);
}

TEST_F(MainDialogTest, EveryWrongAnswerRowFitsTheLogColumn)
{
    QTreeWidget *log = List(kAnswerLog);
    for (int w = 1; w <= 1000; ++w) {
        const WordEntry &word = engine().words()[w];
        dialog->ListInsertTop(kAnswerLog, u"Incorrect: " + word.french + u" --- " + word.english);
    }
    QStyleOptionViewItem option;
    option.initFrom(log);
    option.font = log->font();
    int widest = 0;
    QString widestRow;
    for (int r = 0; r < log->topLevelItemCount(); ++r) {
        const int width = log->itemDelegate()->sizeHint(option, log->model()->index(r, 0)).width();
        if (width > widest) {
            widest = width;
            widestRow = log->topLevelItem(r)->text(0);
        }
    }
    // Drawn with its tabs as blanks, the longest row still keeps its tabs.
    EXPECT_LE(widest, log->columnWidth(0)) << widestRow.toStdString();
    EXPECT_EQ(log->columnWidth(0), 480);
    EXPECT_TRUE(widestRow.contains(QLatin1Char('\t')));
}

TEST_F(MainDialogTest, SpeedChallengeThatRunsOutTakesATypedName)
{
    Click(kSpeedChallenge);
    for (int i = 0; i < 3; ++i) {
        ClickAnswer(true);
        Tick(3);
    }
    now += 12;
    bool sawTable = false;
    WhenModalOpens(dialog.get(), [&](QWidget *modal) {
        auto *table = qobject_cast<CHighScoresDlg *>(modal);
        ASSERT_NE(table, nullptr);
        sawTable = true;
        EXPECT_EQ(table->table().insertRow(), 0);
        QLineEdit *box = table->nameBox(0);
        EXPECT_TRUE(box->isEnabled());
        EXPECT_FALSE(table->nameBox(1)->isEnabled());
        QTest::keyClicks(box, QStringLiteral("Zo"));
        QKeyEvent accented(QEvent::KeyPress, 0, Qt::NoModifier, QStringLiteral("é"));
        QApplication::sendEvent(box, &accented);
        QTest::mouseClick(table->okButton(), Qt::LeftButton);
    });
    Tick(200); // the credit runs out; the table opens from inside the tick
    EXPECT_TRUE(sawTable);
    EXPECT_FALSE(dialog->drillTimerActive());
    EXPECT_EQ(engine().session().currentWord, -1);
    EXPECT_EQ(StoredString(profile_keys::Title(0)), QStringLiteral("Zoé"));
    EXPECT_EQ(StoredString(profile_keys::Correct(0)), QStringLiteral("3"));
    EXPECT_TRUE(Text(kStatus).endsWith(QStringLiteral("3 Correct on 3 guesses"))) << Text(kStatus).toStdString();
}

TEST_F(MainDialogTest, ReviewRelabelsTheAnswerButtons)
{
    Click(kStartPractise);
    Click(kReview);
    EXPECT_FALSE(dialog->drillTimerActive());
    EXPECT_EQ(Button(kAnswer1)->text(), QStringLiteral(" Prev "));
    EXPECT_EQ(Button(kAnswer2)->text(), QStringLiteral(" - "));
    EXPECT_EQ(Button(kAnswer3)->text(), QStringLiteral(" - "));
    EXPECT_EQ(Button(kAnswer4)->text(), QStringLiteral(" Next "));
    EXPECT_TRUE(Button(kAnswer1)->isVisible());
    EXPECT_FALSE(Button(kAnswer2)->isVisible());
    EXPECT_FALSE(Button(kAnswer3)->isVisible());
    // Entered on word 1, Review shows the level's last word first.
    const WordEntry &last = engine().words()[50];
    EXPECT_EQ(Text(kWordDisplay), Q(last.french) + QStringLiteral(" :: ") + Q(last.english));
    Click(kAnswer4);
    EXPECT_EQ(engine().session().currentWord, 1);
}

TEST_F(MainDialogTest, TabsSwapTheListsByClickButNotFromCode)
{
    QWidget *log = dialog->control(kAnswerLog);
    QWidget *results = dialog->control(kResultsList);
    auto *tabs = qobject_cast<QTabWidget *>(dialog->control(kTabs));
    ASSERT_NE(tabs, nullptr);
    EXPECT_EQ(tabs->tabText(0), QStringLiteral("  Answer Log   "));
    EXPECT_EQ(tabs->tabText(1), QStringLiteral("  Results      "));

    QTest::mouseClick(tabs->tabBar(), Qt::LeftButton, {}, tabs->tabBar()->tabRect(1).center());
    EXPECT_TRUE(results->isVisible());
    EXPECT_FALSE(log->isVisible());
    EXPECT_EQ(results->geometry(), log->geometry()); // exactly where the log was

    dialog->SelectTab(0); // from code: the lists stay as they are
    EXPECT_EQ(tabs->currentIndex(), 0);
    EXPECT_TRUE(results->isVisible());

    QTest::mouseClick(tabs->tabBar(), Qt::LeftButton, {}, tabs->tabBar()->tabRect(1).center());
    QTest::mouseClick(tabs->tabBar(), Qt::LeftButton, {}, tabs->tabBar()->tabRect(0).center());
    EXPECT_TRUE(log->isVisible());
    EXPECT_FALSE(results->isVisible());
}

TEST_F(MainDialogTest, DigitKeysPressTheAnswerButtons)
{
    Click(kStartPractise);
    QApplication::setActiveWindow(dialog.get());
    List(kAnswerLog)->setFocus(); // the list's type-ahead must not swallow the digits
    const int slot = engine().session().answerSlot;
    QTest::keyClick(QApplication::focusWidget(), static_cast<Qt::Key>(Qt::Key_1 + slot), Qt::KeypadModifier);
    ASSERT_EQ(List(kAnswerLog)->topLevelItemCount(), 1);
    EXPECT_EQ(List(kAnswerLog)->topLevelItem(0)->text(0), QStringLiteral(" Correct"));
    // Paused after the answer: a key is ignored like a click.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_1);
    EXPECT_EQ(List(kAnswerLog)->topLevelItemCount(), 1);

    // In Review, 2 belongs to a hidden button and does nothing.
    Click(kReview);
    const int shown = engine().session().currentWord;
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_2);
    EXPECT_EQ(engine().session().currentWord, shown);
}

// Opens About, presses "Reset Times" and answers the question.
void ResetTimesThroughAbout(CpelkoDlg &dialog, QMessageBox::StandardButton answer)
{
    WhenModalOpens(&dialog, [&dialog, answer](QWidget *about) {
        WhenModalOpens(about, [about, answer](QWidget *question) {
            auto *box = qobject_cast<QMessageBox *>(question);
            ASSERT_NE(box, nullptr);
            EXPECT_EQ(box->windowTitle(), QStringLiteral("pelko"));
            EXPECT_EQ(box->text(), QStringLiteral("Are You sure you want to reset your times?"));
            EXPECT_EQ(box->icon(), QMessageBox::Critical);
            box->button(answer)->click();
            QTimer::singleShot(0, about, [about] { about->close(); });
        });
        auto *reset = about->findChild<QAbstractButton *>(QString::number(ids::about::kResetTimes));
        ASSERT_NE(reset, nullptr);
        QTimer::singleShot(0, reset, [reset] { reset->click(); });
    });
    QTest::mouseClick(qobject_cast<QAbstractButton *>(dialog.control(kAbout)), Qt::LeftButton);
}

TEST_F(MainDialogTest, ResetTimesAnsweredNoKeepsEverything)
{
    profile.store().WriteProfileString("Results", profile_keys::Result(1, 1), u"  01 mins, 00 secs Tries :60");
    profile.store().WriteProfileInt("Results", profile_keys::BestResult(1), 60);
    ResetTimesThroughAbout(*dialog, QMessageBox::No);
    EXPECT_FALSE(QFile::exists(profile.path() + QStringLiteral(".before-reset")));
    EXPECT_EQ(StoredString(profile_keys::BestResult(1)), QStringLiteral("60"));
    EXPECT_EQ(StoredString(profile_keys::Result(1, 1)), QStringLiteral("  01 mins, 00 secs Tries :60"));
}

TEST_F(MainDialogTest, ResetTimesAnsweredYesClearsAndReloadsTheList)
{
    profile.store().WriteProfileString("Results", profile_keys::Result(1, 1), u"  01 mins, 00 secs Tries :60");
    profile.store().WriteProfileInt("Results", profile_keys::BestResult(1), 60);
    dialog->engine().ShowLevelResults();
    ASSERT_EQ(List(kResultsList)->topLevelItemCount(), 1);

    ResetTimesThroughAbout(*dialog, QMessageBox::Yes);
    // The profile as it was is kept next to it, so the reset can be undone.
    QSettings before(profile.path() + QStringLiteral(".before-reset"), QSettings::IniFormat);
    EXPECT_EQ(before.value(QStringLiteral("Results/BestResult1")).toString(), QStringLiteral("60"));
    EXPECT_EQ(StoredString(profile_keys::BestResult(1)), QStringLiteral("999"));
    EXPECT_EQ(StoredString(profile_keys::Result(1, 1)), QString());
    EXPECT_EQ(List(kResultsList)->topLevelItemCount(), 0);
}

TEST_F(MainDialogTest, AboutOpensTheTableReadOnlyAndGoesAway)
{
    profile.store().WriteProfileInt("Results", profile_keys::Correct(0), 9);
    profile.store().WriteProfileInt("Results", profile_keys::Tries(0), 11);
    profile.store().WriteProfileInt("Results", profile_keys::Span(0), 40);
    profile.store().WriteProfileString("Results", profile_keys::Title(0), u"Ana");
    QWidget *aboutSeen = nullptr;
    bool sawTable = false;
    WhenModalOpens(dialog.get(), [&](QWidget *about) {
        aboutSeen = about;
        EXPECT_EQ(about->windowTitle(), QStringLiteral("About "));
        int icons = 0;
        for (const QLabel *label : about->findChildren<QLabel *>()) {
            if (!label->pixmap().isNull()) { // the icon, shown whole
                ++icons;
                EXPECT_TRUE(label->rect().contains(QRect(QPoint(), label->pixmap().deviceIndependentSize().toSize())));
            }
        }
        EXPECT_EQ(icons, 1);
        WhenModalOpens(about, [&sawTable, about](QWidget *modal) {
            auto *table = qobject_cast<CHighScoresDlg *>(modal);
            ASSERT_NE(table, nullptr);
            sawTable = true;
            EXPECT_FALSE(about->isVisible()); // About went away first
            EXPECT_EQ(table->table().insertRow(), -1);
            EXPECT_EQ(table->nameBox(0)->text(), QStringLiteral("Ana"));
            EXPECT_EQ(table->scoreText(0)->text(), QStringLiteral(" 9 of 11 Correct in 40 seconds"));
            EXPECT_EQ(table->scoreText(1)->text(), QStringLiteral("-"));
            for (int r = 0; r < 15; ++r) {
                EXPECT_FALSE(table->nameBox(r)->isEnabled()) << r;
            }
            table->reject();
        });
        auto *scores = about->findChild<QAbstractButton *>(QString::number(ids::about::kHighScores));
        ASSERT_NE(scores, nullptr);
        QTimer::singleShot(0, scores, [scores] { scores->click(); });
    });
    // Through the window's right-click menu, whose one item opens About.
    auto *poll = new QTimer(dialog.get());
    poll->setInterval(10);
    QObject::connect(poll, &QTimer::timeout, [poll] {
        if (auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget())) {
            poll->stop();
            ASSERT_EQ(menu->actions().size(), 1);
            EXPECT_EQ(menu->actions()[0]->text(), QStringLiteral("&About pelko..."));
            QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(menu->actions()[0]).center());
        }
    });
    poll->start();
    const QPoint at(200, 150);
    QContextMenuEvent rightClick(QContextMenuEvent::Mouse, at, dialog->mapToGlobal(at));
    QApplication::sendEvent(dialog.get(), &rightClick);
    EXPECT_NE(aboutSeen, nullptr);
    EXPECT_TRUE(sawTable);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr); // straight back to the main window
}

} // namespace
