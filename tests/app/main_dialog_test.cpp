// The real main window on a profile of its own: start-up, closing, the
// lists, About, the High Scores table, a reset or a name typed while the profile cannot be written,
// and the window used from the keyboard alone: the French keyboard's answer
// keys, the keys that switch the lists and tell the time, what is announced,
// and the focus frame that shows only while the keys are used.

#include "app/c_high_scores_dlg.h"
#include "app/save_guard.h"
#include "controls/answer_keys.h"
#include "controls/focus_cue.h"
#include "drill/spoken_text.h"
#include "records/profile_keys.h"
#include "speech/word_speaker.h"
#include "tests/support/main_window.h"
#include "tests/support/when_modal_opens.h"

#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QStyleOptionViewItem>
#include <QTabBar>

#include <functional>
#include <tuple>
#include <vector>

#ifdef _WIN32
#include <windows.h>
// windows.h names its own profile calls like the store's.
#undef GetProfileInt
#undef GetProfileString
#undef WriteProfileString
#endif

namespace {

using namespace ids::main;

// A key as a French (AZERTY) keyboard's top row sends it, unshifted.
struct FrenchKey
{
    Qt::Key key;
    const char16_t *text;
};
constexpr FrenchKey kFrenchTopRow[]
    = {{Qt::Key_Ampersand, u"&"}, {Qt::Key_Eacute, u"é"}, {Qt::Key_QuoteDbl, u"\""}, {Qt::Key_Apostrophe, u"'"}};

QKeyEvent KeyPress(Qt::Key key, const QString &text, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
                   quint32 scanCode = 0)
{
    return QKeyEvent(QEvent::KeyPress, key, modifiers, scanCode, 0, 0, text);
}

TEST(AnswerKeysTest, FrenchTopRowAnswersUnshiftedAndNothingElseChangesMeaning)
{
    for (int k = 0; k < 4; ++k) {
        const FrenchKey &french = kFrenchTopRow[k];
        const QString text = QString::fromUtf16(french.text);
        EXPECT_EQ(AnswerKeys::Answer(KeyPress(french.key, text)), k) << k;
        // Where the platform names the key, it must be the digit's own.
#ifdef Q_OS_WIN
        const quint32 digitKey = 0x02 + k;
#else
        const quint32 digitKey = 10 + k;
#endif
        EXPECT_EQ(AnswerKeys::Answer(KeyPress(french.key, text, Qt::NoModifier, digitKey)), k) << k;
        // Typed with Shift (a US or German keyboard), or from another key, it is text.
        EXPECT_EQ(AnswerKeys::Answer(KeyPress(french.key, text, Qt::ShiftModifier)), -1) << k;
        EXPECT_EQ(AnswerKeys::Answer(KeyPress(french.key, text, Qt::NoModifier, digitKey + 30)), -1) << k;
        EXPECT_EQ(AnswerKeys::Answer(KeyPress(static_cast<Qt::Key>(Qt::Key_1 + k), QString::number(k + 1))), k);
        EXPECT_EQ(AnswerKeys::Answer(
                      KeyPress(static_cast<Qt::Key>(Qt::Key_1 + k), QString::number(k + 1), Qt::KeypadModifier)),
                  k);
    }
    EXPECT_EQ(AnswerKeys::Answer(KeyPress(Qt::Key_5, QStringLiteral("5"))), -1);
    EXPECT_EQ(AnswerKeys::Answer(KeyPress(Qt::Key_ParenLeft, QStringLiteral("("))), -1); // AZERTY's 5
    EXPECT_EQ(AnswerKeys::Answer(KeyPress(Qt::Key_Egrave, QStringLiteral("è"))), -1); // AZERTY's 7
}

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

class MainDialogTest : public MainWindowTest
{
protected:
    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
    }
    void Send(QKeyEvent event) { QApplication::sendEvent(QApplication::focusWidget(), &event); }
    // Opens About, presses "Reset Times" and answers the question; the texts
    // of the question and of any message after it.
    QStringList ResetTimes(QMessageBox::StandardButton answer)
    {
        QStringList told;
        QTimer boxes;
        QObject::connect(&boxes, &QTimer::timeout, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (box == nullptr || !box->isVisible()) {
                return;
            }
            told << box->text();
            if (told.size() == 1) {
                EXPECT_EQ(std::tuple(box->windowTitle(), box->icon()),
                          std::tuple(QStringLiteral("pelko"), QMessageBox::Critical));
            }
            (told.size() == 1 ? box->button(answer) : box->buttons().value(0))->click();
        });
        boxes.start(10);
        WhenModalOpens(dialog.get(), [](QWidget *about) {
            auto *reset = about->findChild<QAbstractButton *>(QString::number(ids::about::kResetTimes));
            ASSERT_NE(reset, nullptr);
            QTimer::singleShot(0, about, [reset, about] {
                reset->click();
                about->close();
            });
        });
        Click(kAbout);
        return told;
    }
};

TEST_F(MainDialogTest, StartsOnLevelOneWithTheAnswerLogShowing)
{
    profile.store().WriteProfileString("Results", profile_keys::Result(1, 1), u"  01 mins, 10 secs Tries :52");
    profile.store().WriteProfileString("Results", profile_keys::Result(1, 2), u"  00 mins, 58 secs Tries :50");
    Start();
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("French Vocabulary 1-1000"));
    EXPECT_EQ(QApplication::focusWidget(), Button(kExit));
    // What the word display and the answer buttons first say is read in app.screen_reader_over_the_bus.
    EXPECT_EQ(std::tuple(engine().session().levelNumber, engine().session().currentWord), std::tuple(1, -1));
    EXPECT_TRUE(List(kAnswerLog)->isVisible() && !List(kResultsList)->isVisible());
    ASSERT_EQ(List(kResultsList)->topLevelItemCount(), 2);
    EXPECT_EQ(List(kResultsList)->topLevelItem(0)->text(0), QStringLiteral("  00 mins, 58 secs Tries :50")); // newest
    EXPECT_EQ(List(kAnswerLog)->headerItem()->text(0), QStringLiteral("... "));
    EXPECT_EQ(List(kResultsList)->headerItem()->text(0), QStringLiteral("..."));
}

// The frame a learner sees: caption, system menu, minimise and close boxes,
// no maximise or help box, a window of its own. On Windows it is made as a
// dialog: Qt probes the graphics card while it makes a Qt::Window, which held
// up every start under Wine by 0.2 to 0.3 s.
TEST_F(MainDialogTest, FrameHasMinimiseAndCloseBoxesAndIsMadeWithoutAGraphicsProbe)
{
    const Qt::WindowFlags flags = dialog->windowFlags();
    EXPECT_TRUE(flags.testFlags(Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
                                | Qt::WindowCloseButtonHint));
    EXPECT_FALSE(flags & (Qt::WindowMaximizeButtonHint | Qt::WindowContextHelpButtonHint));
#ifdef _WIN32
    EXPECT_NE(dialog->windowType(), Qt::Window);
    const auto window = reinterpret_cast<HWND>(dialog->winId());
    const auto style = static_cast<DWORD>(::GetWindowLongPtrW(window, GWL_STYLE));
    const auto exStyle = static_cast<DWORD>(::GetWindowLongPtrW(window, GWL_EXSTYLE));
    EXPECT_EQ(
        style & ~DWORD(WS_VISIBLE | WS_DISABLED),
        DWORD(WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX));
    EXPECT_EQ(exStyle & DWORD(WS_EX_DLGMODALFRAME | WS_EX_CONTEXTHELP | WS_EX_TOOLWINDOW), 0u);
    EXPECT_EQ(::GetWindow(window, GW_OWNER), nullptr); // a taskbar button of its own
#else
    EXPECT_EQ(dialog->windowType(), Qt::Window); // a main window to the window manager
#endif
}

// Template order over what takes the focus: the painted strips, the tabs and
// the hidden results list are passed over.
TEST_F(MainDialogTest, TabGoesRoundTheButtonsAndTheLogInTemplateOrder)
{
    std::vector<int> expected = {kExit, kStartPractise, kAnswer1, kAnswer2, kAnswer3, kAnswer4, kAnswerLog};
    expected.insert(expected.end(), kLevelButtons.begin(), kLevelButtons.end());
    expected.insert(expected.end(), {kSpeedChallenge, kReview, kAbout, kExit});
    std::vector<int> visited = {QApplication::focusWidget()->objectName().toInt()};
    while (visited.size() < expected.size()) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited.push_back(QApplication::focusWidget()->objectName().toInt());
    }
    EXPECT_EQ(visited, expected);
}

// Exit, Escape, the close box and Enter (Exit is the default button) each
// close the window at once, when all is saved, and also when a value met
// another program's lock that is let go before the close: it is tried once
// more first, so nothing is asked.
TEST_F(MainDialogTest, EveryWayOutClosesAtOnceWhenAllIsSavedOrALockWasJustLetGo)
{
    int asked = 0;
    QTimer watch; // a question would hold the close until answered
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (QWidget *modal = QApplication::activeModalWidget()) {
            ++asked;
            modal->close();
        }
    });
    watch.start(20);
    const std::pair<const char *, std::function<void()>> ways[] = {
        {"Exit", [&] { Click(kExit); }},
        {"Escape", [&] { QTest::keyClick(dialog.get(), Qt::Key_Escape); }},
        {"close box", [&] { dialog->close(); }},
        {"Enter in the log", [&] { QTest::keyClick(List(kAnswerLog), Qt::Key_Return); }},
    };
    for (const bool lockLetGo : {false, true}) {
        for (const auto &[name, close] : ways) {
            SCOPED_TRACE(name);
            dialog->show();
            QApplication::setActiveWindow(dialog.get());
            List(kAnswerLog)->setFocus();
            if (lockLetGo) {
                profile.HoldLock();
                profile.store().WriteProfileString("Results", profile_keys::Title(0), QString(name).toStdU16String());
                ASSERT_TRUE(profile.store().HasUnsaved());
                profile.ReleaseLock();
            }
            close();
            EXPECT_FALSE(dialog->isVisible());
            EXPECT_EQ(profile.Stored(profile_keys::Title(0)), lockLetGo ? QString(name) : QString());
        }
    }
    EXPECT_EQ(asked, 0);
}

TEST_F(MainDialogTest, EveryWrongAnswerRowFitsTheLogColumn)
{
    QTreeWidget *log = List(kAnswerLog);
    for (int w = 1; w <= 1000; ++w) {
        const WordEntry &word = engine().words()[w];
        dialog->ListInsertTop(kAnswerLog, u"Incorrect: " + word.french + u" --- " + word.english, u"");
    }
    QStyleOptionViewItem option;
    option.initFrom(log);
    option.font = log->font();
    ASSERT_EQ(log->columnWidth(0), 480);
    // Each row keeps its tabs but draws them as blanks.
    for (int r = 0; r < log->topLevelItemCount(); ++r) {
        EXPECT_LE(log->itemDelegate()->sizeHint(option, log->model()->index(r, 0)).width(), 480)
            << log->topLevelItem(r)->text(0).toStdString();
    }
}

// A level button starts that level; the keys 1 to 4 press the answer buttons.
TEST_F(MainDialogTest, LevelButtonStartsItsLevelAndDigitKeysAnswer)
{
    Click(kLevelButtons[2]); // level 3, id 1012
    EXPECT_EQ(engine().session().currentWord, 101);
    EXPECT_TRUE(dialog->drillTimerActive());
    QApplication::setActiveWindow(dialog.get());
    List(kAnswerLog)->setFocus(); // the list's type-ahead must not swallow the digits
    const int wrong = (engine().session().answerSlot + 1) % 4;
    QTest::keyClick(QApplication::focusWidget(), static_cast<Qt::Key>(Qt::Key_1 + wrong), Qt::KeypadModifier);
    // The row shows the word and meaning with their blanks and tabs.
    ASSERT_EQ(List(kAnswerLog)->topLevelItemCount(), 1);
    EXPECT_EQ(List(kAnswerLog)->topLevelItem(0)->text(0), QStringLiteral("Incorrect: \tregarder\t  ---    \tlook\t"));
    // Paused after the answer: a key is ignored like a click.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_1);
    EXPECT_EQ(List(kAnswerLog)->topLevelItemCount(), 1);

    // Review shows only Prev and Next; 2 belongs to a hidden button and does nothing, 4 steps on.
    Tick(6);
    Click(kReview);
    EXPECT_EQ(std::tuple(Button(kAnswer1)->text(), Button(kAnswer4)->text()),
              std::tuple(QStringLiteral(" Prev "), QStringLiteral(" Next ")));
    EXPECT_EQ(std::tuple(Button(kAnswer1)->isVisible(), Button(kAnswer2)->isVisible(), Button(kAnswer3)->isVisible(),
                         Button(kAnswer4)->isVisible()),
              std::tuple(true, false, false, true));
    const int shown = engine().session().currentWord;
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_2);
    EXPECT_EQ(engine().session().currentWord, shown);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_4);
    EXPECT_EQ(engine().session().currentWord, shown + 1);
}

// "Reset Times" clears only after Yes, and only with its undo copy: without
// it a reset would lose results for good (a result of this run may be on
// disk nowhere else), so nothing is cleared and the learner is told why.
TEST_F(MainDialogTest, ResetTimesClearsOnlyAfterYesAndOnlyWithItsUndoCopy)
{
    profile.store().WriteProfileString("Results", profile_keys::Result(1, 1), u"  01 mins, 00 secs Tries :60");
    profile.store().WriteProfileInt("Results", profile_keys::BestResult(1), 60);
    dialog->engine().ShowLevelResults();
    ASSERT_EQ(List(kResultsList)->topLevelItemCount(), 1);
    const QString question = QStringLiteral("Are You sure you want to reset your times?");

    EXPECT_EQ(ResetTimes(QMessageBox::No), QStringList {question});
    EXPECT_FALSE(QFile::exists(profile.CopyPath(".before-reset")));
    EXPECT_EQ(profile.Stored(profile_keys::Result(1, 1)), QStringLiteral("  01 mins, 00 secs Tries :60"));
    EXPECT_EQ(List(kResultsList)->topLevelItemCount(), 1);

    const QString copy = profile.CopyPath(".before-reset");
    ASSERT_TRUE(QDir().mkpath(copy + "/inside"));
    const QStringList told = ResetTimes(QMessageBox::Yes);
    ASSERT_EQ(told.size(), 2);
    EXPECT_TRUE(told[1].contains(QDir::toNativeSeparators(copy) + ": it is not a regular file"))
        << told[1].toStdString();
    EXPECT_TRUE(told[1].contains("Nothing was reset")) << told[1].toStdString();
    EXPECT_EQ(profile.store().GetProfileInt("Results", profile_keys::BestResult(1), 999), 60);
    EXPECT_EQ(profile.Stored(profile_keys::BestResult(1)), QStringLiteral("60"));
    EXPECT_EQ(List(kResultsList)->topLevelItemCount(), 1);

    ASSERT_TRUE(QDir(copy).removeRecursively());
    EXPECT_EQ(ResetTimes(QMessageBox::Yes), QStringList {question});
    // The profile as it was is kept next to it, so the reset can be undone.
    EXPECT_EQ(profile.CopyValue(".before-reset", profile_keys::BestResult(1)), QStringLiteral("60"));
    EXPECT_EQ(profile.Stored(profile_keys::BestResult(1)), QStringLiteral("999"));
    EXPECT_EQ(profile.Stored(profile_keys::Result(1, 1)), QString());
    EXPECT_EQ(List(kResultsList)->topLevelItemCount(), 0);
}

// Counts the times a widget is shown.
class ShowCounter : public QObject
{
public:
    explicit ShowCounter(QWidget *widget) { widget->installEventFilter(this); }
    bool eventFilter(QObject * /*watched*/, QEvent *event) override
    {
        shown += event->type() == QEvent::Show ? 1 : 0;
        return false;
    }
    int shown = 0;
};

// While another program holds the lock, no keystroke of a name waits for
// it: the store is never let wait, and what meets the lock is saved once it
// is free. A lock let go at once flashes no message; one that stays is told.
TEST_F(MainDialogTest, TypingANameNeverWaitsForALockAnotherProgramHoldsAndClosingAsksWhileItIsHeld)
{
    QLabel *message = dialog->saveGuard().message();
    const ShowCounter told(message);
    const int waits = profile.store().LockWaits();
    // A speed challenge whose credit runs out takes a typed name, accents and all.
    Click(kSpeedChallenge);
    for (int i = 0; i < 3; ++i) {
        Answer(true);
        Tick(3);
    }
    bool sawTable = false;
    WhenModalOpens(dialog.get(), [&](QWidget *modal) {
        auto *table = qobject_cast<CHighScoresDlg *>(modal);
        ASSERT_NE(table, nullptr);
        sawTable = true;
        ASSERT_EQ(table->table().insertRow(), 0);
        profile.HoldLock();
        for (const char *key : {"Z", "o", "é"}) {
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString::fromUtf8(key));
            QApplication::sendEvent(table->nameBox(0), &press);
        }
        EXPECT_TRUE(profile.store().HasUnsaved());
        profile.ReleaseLock();
        QTest::mouseClick(table->okButton(), Qt::LeftButton);
    });
    Tick(200); // the credit runs out; the table opens from inside the tick
    EXPECT_TRUE(sawTable);
    EXPECT_TRUE(Text(kStatus).endsWith(QStringLiteral("3 Correct on 3 guesses"))) << Text(kStatus).toStdString();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !profile.store().HasUnsaved(); }, 10 * SaveGuard::kRetryMs));
    EXPECT_EQ(profile.Stored(profile_keys::Title(0)), QStringLiteral("Zoé"));
    EXPECT_EQ(profile.Stored(profile_keys::Correct(0)), QStringLiteral("3"));
    EXPECT_EQ(told.shown, 0) << "a lock let go at once is no news";

    // A lock that stays in the way is told. Closing while it holds a value:
    // the learner is asked, and the question goes by itself once the retry
    // saves. (A lock let go before the close asks nothing: EveryWayOut...)
    profile.HoldLock();
    profile.store().WriteProfileString("Results", profile_keys::Title(1), u"Lea");
    EXPECT_TRUE(QTest::qWaitFor([&] { return message->isVisible(); }, 10 * SaveGuard::kLockPatienceMs));
    EXPECT_TRUE(dialog->saveGuard().Text().contains(QStringLiteral("another program keeps it locked")))
        << dialog->saveGuard().Text().toStdString();
    int asked = 0;
    WhenModalOpens(dialog.get(), [&](QWidget *question) {
        ++asked;
        profile.ReleaseLock();
        // Should it stay, it is answered, and the window stays open.
        QTimer::singleShot(10 * SaveGuard::kRetryMs, question, [question] { question->close(); });
    });
    dialog->close();
    EXPECT_EQ(asked, 1);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(profile.Stored(profile_keys::Title(1)), QStringLiteral("Lea"));
    EXPECT_EQ(profile.store().LockWaits(), waits) << "the window let the store wait for a lock";
}

// A choice of "Speak French Words" that cannot be kept is told beside the
// results that cannot be saved, holds for the run, and is kept once it can be.
TEST_F(MainDialogTest, AChoiceThatCannotBeKeptIsToldWithTheResultsAndKeptOnceItCan)
{
    dialog.reset(); // the window holds the store that Block() opens anew
    profile.Block();
    Start();
    SaveGuard &guard = dialog->saveGuard();
    dialog->wordSpeaker().SetOn(true);
    EXPECT_TRUE(guard.Text().startsWith(QStringLiteral("\"Speak French Words\" cannot be saved to ")))
        << guard.Text().toStdString();
    EXPECT_TRUE(guard.Text().endsWith(
        QStringLiteral("The choice is kept while pelko is open and saved as soon as that works again.")));
    profile.store().WriteProfileInt("Results", profile_keys::BestResult(1), 60);
    EXPECT_TRUE(guard.Text().startsWith(QStringLiteral("Results cannot be saved to "))) << guard.Text().toStdString();
    EXPECT_TRUE(guard.Text().contains(QStringLiteral("\"Speak French Words\" cannot be saved")));

    profile.Unblock();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !guard.message()->isVisible(); }, 10 * SaveGuard::kRetryMs));
    EXPECT_TRUE(profile.OptionFlag(WordSpeaker::kOptionName, false));
    EXPECT_EQ(profile.Stored(profile_keys::BestResult(1)), QStringLiteral("60"));
}

TEST_F(MainDialogTest, RightClickMenuOpensAboutAndItsTableReadOnly)
{
    profile.store().WriteProfileInt("Results", profile_keys::Correct(0), 20);
    profile.store().WriteProfileString("Results", profile_keys::Title(0), u"Lea");
    const int replacements = profile.store().Replacements();
    bool sawAbout = false, sawTable = false;
    const auto onAbout = [&](QWidget *about) {
        sawAbout = true;
        EXPECT_EQ(about->windowTitle(), QStringLiteral("About "));
        int icons = 0;
        for (const QLabel *label : about->findChildren<QLabel *>()) {
            if (!label->pixmap().isNull()) { // the icon, shown whole
                ++icons;
                EXPECT_TRUE(label->rect().contains(QRect(QPoint(), label->pixmap().deviceIndependentSize().toSize())));
            }
        }
        EXPECT_EQ(icons, 1);
        WhenModalOpens(about, [this, &sawTable, replacements, about](QWidget *modal) {
            auto *table = qobject_cast<CHighScoresDlg *>(modal);
            ASSERT_NE(table, nullptr);
            sawTable = true;
            EXPECT_FALSE(about->isVisible()); // About went away first
            // Nothing to enter: every box closed, the names shown, nothing written.
            EXPECT_EQ(table->table().insertRow(), -1);
            EXPECT_EQ(table->nameBox(0)->text(), QStringLiteral("Lea"));
            for (int r = 0; r < 15; ++r) {
                EXPECT_FALSE(table->nameBox(r)->isEnabled()) << r;
                // "10." to "15." are drawn narrower rather than run into their box.
                const QLabel *rank = table->rankLabel(r);
                EXPECT_LE(rank->geometry().right(), table->nameBox(r)->x() - 1) << r;
                EXPECT_LE(rank->fontMetrics().horizontalAdvance(rank->text()), rank->width()) << r;
            }
            EXPECT_EQ(profile.store().Replacements(), replacements) << "nothing written";
            table->reject();
        });
        auto *scores = about->findChild<QAbstractButton *>(QString::number(ids::about::kHighScores));
        ASSERT_NE(scores, nullptr);
        QTimer::singleShot(0, scores, [scores] { scores->click(); });
    };
    // Through the window's right-click menu, whose first item opens About.
    // (Its items are read in word_speaker_test.)
    const auto onMenu = [](QWidget *popup) {
        auto *menu = qobject_cast<QMenu *>(popup);
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(menu->actions()[0]).center());
    };
    WhenModalOpens(dialog.get(), onAbout, "CAboutDlg");
    WhenModalOpens(dialog.get(), onMenu, "QMenu");
    RightClick();
    EXPECT_TRUE(sawAbout && sawTable);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr); // straight back to the main window
}

TEST_F(MainDialogTest, FrenchTopRowKeysAnswerLikeTheDigitsWhereverTheFocusIs)
{
    for (int k = 0; k < 4; ++k) {
        engine().StartDrill();
        List(kAnswerLog)->setFocus(); // whose type-ahead would otherwise take the key
        Announced(); // the question, heard before the answer
        const bool right = k == engine().session().answerSlot;
        Send(KeyPress(kFrenchTopRow[k].key, QString::fromUtf16(kFrenchTopRow[k].text)));
        EXPECT_TRUE(Announced().startsWith(right ? QStringLiteral("right") : QStringLiteral("wrong: ")))
            << k << ": " << Announced().toStdString();
    }
}

TEST_F(MainDialogTest, QuestionsAndTheTimeAreAnnouncedAndListRowsReadInWords)
{
    Button(kStartPractise)->setFocus();
    Key(Qt::Key_Space);
    const QString question = Announced();
    EXPECT_TRUE(question.startsWith(QString::fromStdU16String(SpokenText::Plain(engine().words()[1].french)) + ". 1 "))
        << question.toStdString();
    EXPECT_FALSE(question.contains(QLatin1Char('\t')) || question.contains(QStringLiteral("  ")));

    // The time on T, without moving the focus.
    now += 75;
    Key(Qt::Key_T);
    EXPECT_EQ(Announced(), QStringLiteral("1 minute 15 seconds so far, 0 of 50 right"));
    EXPECT_EQ(QApplication::focusWidget(), Button(kStartPractise));

    Key(static_cast<Qt::Key>(Qt::Key_1 + (engine().session().answerSlot + 1) % 4));
    const QTreeWidgetItem *row = List(kAnswerLog)->topLevelItem(0);
    EXPECT_EQ(row->data(0, Qt::AccessibleTextRole).toString(),
              "Incorrect: " + question.section('.', 0, 0) + " means " + Announced().section(" means ", 1));
}

TEST_F(MainDialogTest, TabKeysAndClicksSwitchTheListsButCodeDoesNot)
{
    profile.store().WriteProfileString("Results", "Result1_1", u"  01 mins, 10 secs Tries :52");
    engine().ShowLevelResults();
    engine().StartDrill();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_1);
    const auto shown = [this] {
        return std::tuple(List(kAnswerLog)->isVisible(), List(kResultsList)->isVisible(),
                          QApplication::focusWidget() == List(kAnswerLog)         ? 0
                              : QApplication::focusWidget() == List(kResultsList) ? 1
                                                                                  : -1);
    };
    Key(Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(shown(), std::tuple(false, true, 1));
    EXPECT_EQ(List(kResultsList)->currentItem(), List(kResultsList)->topLevelItem(0));
    EXPECT_EQ(List(kResultsList)->currentItem()->data(0, Qt::AccessibleTextRole).toString(),
              QStringLiteral("1 minute 10 seconds, 52 tries"));
    Key(Qt::Key_PageDown, Qt::ControlModifier);
    EXPECT_EQ(shown(), std::tuple(true, false, 0));
    EXPECT_EQ(List(kAnswerLog)->currentItem(), List(kAnswerLog)->topLevelItem(0));
    Key(Qt::Key_PageUp, Qt::ControlModifier);
    EXPECT_EQ(shown(), std::tuple(false, true, 1));
    Key(Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(shown(), std::tuple(true, false, 0));

    // The end of a practise shows the Results in place of the focused log:
    // the focus goes along to the list shown.
    while (engine().session().currentWord != -1) {
        engine().AnswerClicked(engine().session().answerSlot);
        for (int tick = 0; tick < 3; ++tick) {
            Announced();
            engine().OnDrillTimer();
        }
    }
    EXPECT_EQ(shown(), std::tuple(false, true, 1));
    EXPECT_TRUE(Announced().startsWith(QStringLiteral("Practise complete: "))) << Announced().toStdString();

    // By a click too, each list exactly where the other was; a tab chosen from code swaps nothing.
    QTabBar *bar = qobject_cast<QTabWidget *>(dialog->control(kTabs))->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(0).center());
    EXPECT_TRUE(List(kAnswerLog)->isVisible() && !List(kResultsList)->isVisible());
    EXPECT_EQ(List(kResultsList)->geometry(), List(kAnswerLog)->geometry());
    dialog->SelectTab(1);
    EXPECT_EQ(bar->currentIndex(), 1);
    EXPECT_TRUE(List(kAnswerLog)->isVisible());
}

// The focus frame is laid over the focused control; mouse use leaves the
// window exactly as it was drawn before.
TEST_F(MainDialogTest, FocusFrameShowsAfterKeysOnlyAndGoesAtTheNextClick)
{
    const QImage untouched = dialog->grab().toImage();
    QTest::mouseClick(dialog.get(), Qt::LeftButton, Qt::NoModifier, QPoint(3, 3));
    EXPECT_EQ(dialog->focusCue().frame(), nullptr);
    EXPECT_EQ(dialog->grab().toImage(), untouched);

    Key(Qt::Key_Tab);
    QApplication::processEvents();
    QWidget *focused = QApplication::focusWidget();
    ASSERT_EQ(focused, Button(kStartPractise));
    ASSERT_NE(dialog->focusCue().frame(), nullptr);
    const QImage framed = dialog->grab().toImage();
    const QRect face = focused->geometry();
    // Black on the control's edge, white inside it, the face untouched within.
    EXPECT_EQ(framed.pixel(face.left(), face.center().y()), qRgb(0, 0, 0));
    EXPECT_EQ(framed.pixel(face.left() + 2, face.center().y()), qRgb(255, 255, 255));
    EXPECT_EQ(framed.pixel(face.center()), untouched.pixel(face.center()));
    int changedOutside = 0;
    for (int y = 0; y < framed.height(); ++y) {
        for (int x = 0; x < framed.width(); ++x) {
            changedOutside += !face.contains(x, y) && framed.pixel(x, y) != untouched.pixel(x, y) ? 1 : 0;
        }
    }
    EXPECT_EQ(changedOutside, 0);

    // It follows the focus, on the answer keys too.
    engine().StartDrill();
    Key(Qt::Key_Down);
    QApplication::processEvents();
    ASSERT_NE(dialog->focusCue().frame(), nullptr);
    EXPECT_EQ(dialog->focusCue().frame()->geometry(), QApplication::focusWidget()->geometry());

    QTest::mouseClick(dialog.get(), Qt::LeftButton, Qt::NoModifier, QPoint(3, 3));
    EXPECT_EQ(dialog->focusCue().frame(), nullptr);
    engine().StartDrill();
    Send(KeyPress(Qt::Key_Eacute, QStringLiteral("é")));
    EXPECT_NE(dialog->focusCue().frame(), nullptr);
}

} // namespace
