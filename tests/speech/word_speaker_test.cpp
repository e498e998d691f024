// "Speak French Words" in the real main window, with a speaker that records
// instead of speaking: what is said and when, the menu item, the key, and the
// choice kept across starts in a file of its own.

#include "app/save_guard.h"
#include "speech/word_speaker.h"
#include "stores/posix/options_file.h"
#include "tests/support/main_window.h"
#include "tests/support/odd_files.h"
#include "tests/support/when_modal_opens.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>

#include <utility>
#include <vector>

namespace {

using namespace ids::main;
using Availability = Speaker::Availability;

// The menu item as the right-click menu shows it.
struct MenuItem
{
    bool found = false;
    bool enabled = false;
    bool checked = false;
    QString tip;
};

class SpeakFrenchWordsTest : public MainWindowTest
{
protected:
    // Opens the window's right-click menu, reads the item and, with click,
    // clicks it; while open, duringMenu runs first.
    MenuItem OpenMenu(bool click, const std::function<void()> &duringMenu = {})
    {
        MenuItem item;
        WhenModalOpens(
            dialog.get(),
            [&](QWidget *popup) {
                auto *menu = qobject_cast<QMenu *>(popup);
                if (duringMenu) {
                    duringMenu();
                }
                const QList<QAction *> actions = menu->actions();
                QAction *speak = actions.value(1);
                if (actions.size() == 2 && actions[0]->text() == QStringLiteral("&About pelko...")
                    && speak->text() == QStringLiteral("&Speak French Words") && speak->isCheckable()) {
                    item = {true, speak->isEnabled(), speak->isChecked(), speak->toolTip()};
                }
                if (click && item.enabled) {
                    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(speak).center());
                } else {
                    menu->close();
                }
            },
            "QMenu");
        RightClick();
        // The closing menu hands the activation back to the window by events
        // that a loaded machine may not have handled yet; F5 needs it now.
        QApplication::setActiveWindow(dialog.get());
        return item;
    }
    void TurnOn()
    {
        OpenMenu(true);
        ASSERT_TRUE(dialog->wordSpeaker().IsOn());
    }
    QString Options() const { return OptionsFile::BesideProfile(profile.path()); }
    QByteArray OptionsFileText() const { return ReadBytes(Options()); }
    void F5() { QTest::keyClick(dialog.get(), Qt::Key_F5); }
};

// Until chosen, nothing is said, no engine is started and nothing is
// written; the choice is then kept across starts in a file of its own
// beside the profile, which is left as it was.
TEST_F(SpeakFrenchWordsTest, OffUntilChosenThenKeptAcrossStartsInAFileOfItsOwn)
{
    engine().StartDrill();
    Announced();
    Answer(false);
    // Without the voice, the screen reader says the word wherever it belongs.
    EXPECT_EQ(Announced(), QStringLiteral("wrong: %1 means ").arg(Asked()) + Meaning());
    TickToNextQuestion();
    F5();
    EXPECT_TRUE(Announced().contains(Asked() + QStringLiteral(". 1 "))) << Announced().toStdString();
    EXPECT_TRUE(speaker->said.isEmpty());
    EXPECT_EQ(speaker->prepared, 0);
    EXPECT_FALSE(dialog->wordSpeaker().SpeaksWords());
    EXPECT_FALSE(QFile::exists(Options()));
    const MenuItem off = OpenMenu(false);
    EXPECT_TRUE(off.found && off.enabled && !off.checked);

    TurnOn();
    EXPECT_EQ(OptionsFileText(), QByteArrayLiteral("[Options]\nSpeakFrenchWords=true\n"));
    // A finished practise shows its result, not a word: F5 says nothing. Its
    // result is what the profile then holds, and keeps.
    AnswerToTheEnd();
    ASSERT_TRUE(Text(kWordDisplay).startsWith(QStringLiteral("Complete")));
    const QStringList said = speaker->said;
    F5();
    EXPECT_EQ(speaker->said, said);
    const QByteArray profileBefore = ReadBytes(profile.path());

    Restart();
    EXPECT_TRUE(dialog->wordSpeaker().IsOn());
    EXPECT_EQ(speaker->prepared, 1); // the voice is looked for at start, not at the first word
    EXPECT_TRUE(OpenMenu(false).checked);
    engine().StartDrill();
    EXPECT_EQ(speaker->said, QStringList {Asked()});
    OpenMenu(true); // off again
    EXPECT_FALSE(dialog->wordSpeaker().IsOn());
    EXPECT_EQ(OptionsFileText(), QByteArrayLiteral("[Options]\nSpeakFrenchWords=false\n"));
    Restart();
    EXPECT_FALSE(dialog->wordSpeaker().IsOn());
    EXPECT_EQ(speaker->prepared, 0);
    EXPECT_EQ(ReadBytes(profile.path()), profileBefore);
}

TEST_F(SpeakFrenchWordsTest, EachAskedWordIsSaidOnceAsItAppearsAndAgainOnF5AndInReview)
{
    TurnOn();
    EXPECT_TRUE(dialog->wordSpeaker().SpeaksWords());
    F5();
    EXPECT_TRUE(speaker->said.isEmpty()); // "Press start button to begin."
    engine().StartDrill();
    QStringList expected {Asked()};
    EXPECT_EQ(speaker->said, expected);
    // The voice says the word: the screen reader's question leaves it out, so it is heard once.
    EXPECT_TRUE(Announced().startsWith(QStringLiteral("1 "))) << Announced().toStdString();
    // Right and wrong answers; the pause's ticks say nothing more.
    for (int question = 0; question < 12; ++question) {
        Answer(question % 3 != 0);
        if (question == 0) {
            // The verdict too: the word was heard from the voice as it was asked.
            EXPECT_EQ(Announced(), QStringLiteral("wrong: it means ") + Meaning());
        } else if (question == 1) {
            F5(); // during the pause after an answer, while the word is still shown
            expected << Asked();
        }
        TickToNextQuestion();
        if (question == 2) {
            F5();
            expected << Asked();
        }
        expected << Asked();
        ASSERT_EQ(speaker->said, expected) << "question " << question;
    }
    // The speed challenge asks through the same display.
    engine().StartSpeedChallenge();
    expected << Asked();
    Answer(true);
    TickToNextQuestion();
    expected << Asked();
    EXPECT_EQ(speaker->said, expected);

    // Review: the voice says the word of each step, the screen reader its meaning alone.
    speaker->said.clear();
    engine().StartReview();
    Announced();
    expected = {Asked()};
    for (int id : {kAnswer4, kAnswer4, kAnswer1, kAnswer1, kAnswer1}) {
        Click(id);
        expected << Asked();
        ASSERT_TRUE(Text(kWordDisplay).startsWith(Q(engine().words()[engine().session().currentWord].french)));
        EXPECT_EQ(Announced(), Meaning());
    }
    EXPECT_EQ(speaker->said, expected);
    EXPECT_FALSE(speaker->said.join(QString()).contains(QStringLiteral("::")));
}

// A choice that cannot be kept is told in the window, naming the file and
// the reason, holds for the run, and is kept by the retry once it can be;
// whatever lies in the way is left as it is.
TEST_F(SpeakFrenchWordsTest, AChoiceThatCannotBeKeptIsToldAndKeptOnceItCan)
{
    ASSERT_TRUE(QDir().mkpath(QFileInfo(Options()).absolutePath()));
    std::vector<std::pair<OddFile, QString>> blockers;
    for (const OddFile &odd : OddFile::All()) {
        blockers.emplace_back(odd, Options());
    }
    blockers.emplace_back(OddFile {OddFile::Folder, "a folder where its new text goes first"}, Options() + ".tmp");
    for (const auto &[odd, at] : blockers) {
        SCOPED_TRACE(odd.name);
        QFile::remove(Options());
        Restart();
        if (!odd.Make(at)) {
            continue; // no device without root
        }
        TurnOn();
        const SaveGuard &guard = dialog->saveGuard();
        EXPECT_TRUE(guard.message()->isVisible());
        EXPECT_TRUE(guard.Text().startsWith(
            QStringLiteral("\"Speak French Words\" cannot be saved to %1: it is not a regular file").arg(at)))
            << guard.Text().toStdString();
        EXPECT_TRUE(guard.retryTimer().isActive());
        engine().StartDrill();
        EXPECT_EQ(speaker->said, QStringList {Asked()}) << "on for this run";
        EXPECT_FALSE(QFileInfo(at).isFile()) << "left as it was";

        ASSERT_TRUE(OddFile::Remove(at));
        if (&odd == &blockers.front().first) {
            EXPECT_TRUE(QTest::qWaitFor([&] { return !guard.message()->isVisible(); }, 10 * SaveGuard::kRetryMs));
        } else {
            dialog->wordSpeaker().RetryKeeping(); // what the retry does, without waiting for it again
        }
        EXPECT_FALSE(guard.message()->isVisible());
        EXPECT_EQ(OptionsFileText(), QByteArrayLiteral("[Options]\nSpeakFrenchWords=true\n"));
    }
}

// Options that cannot be read (here: no permission, for root too) are told
// from the start and never written over; what they say counts once they can
// be read, unless the learner chose meanwhile, which is then kept.
TEST_F(SpeakFrenchWordsTest, OptionsThatCannotBeReadAreToldAndNotWrittenOver)
{
    const WithoutFilePowers learner;
    for (const bool choose : {false, true}) {
        SCOPED_TRACE(choose ? "chosen meanwhile" : "not chosen");
        const QByteArray stored = choose ? "[Options]\nSpeakFrenchWords=false\n" : "[Options]\nSpeakFrenchWords=true\n";
        ASSERT_TRUE(WriteBytes(Options(), stored));
        ASSERT_TRUE(QFile::setPermissions(Options(), {}));
        Restart();
        const SaveGuard &guard = dialog->saveGuard();
        EXPECT_FALSE(dialog->wordSpeaker().IsOn());
        EXPECT_EQ(guard.Text(),
                  QStringLiteral("\"Speak French Words\" cannot be read from %1: pelko has no permission to read it, "
                                 "so it is off for now. Nothing is written there until it can be read.")
                      .arg(Options()));
        if (choose) {
            TurnOn();
            EXPECT_TRUE(guard.Text().startsWith(
                QStringLiteral("\"Speak French Words\" cannot be saved to %1: pelko has no permission to read it, "
                               "and nothing is written over what cannot be read.")
                    .arg(Options())))
                << guard.Text().toStdString();
        }
        ASSERT_TRUE(QFile::setPermissions(Options(), QFile::ReadOwner));
        EXPECT_EQ(OptionsFileText(), stored) << "not written over";
        ASSERT_TRUE(QFile::setPermissions(Options(), QFile::ReadOwner | QFile::WriteOwner));
        EXPECT_TRUE(QTest::qWaitFor([&] { return !guard.message()->isVisible(); }, 10 * SaveGuard::kRetryMs));
        EXPECT_TRUE(dialog->wordSpeaker().IsOn());
        EXPECT_EQ(OptionsFileText(), QByteArrayLiteral("[Options]\nSpeakFrenchWords=true\n"));
    }
}

// Options that are no options of pelko's (here far too large) are told, and
// kept aside, never written over, once the learner chooses.
TEST_F(SpeakFrenchWordsTest, OptionsThatAreNotPelkosAreToldAndSetAsideWhenChosen)
{
    ASSERT_TRUE(WriteBytes(Options(), {}));
    ASSERT_TRUE(QFile::resize(Options(), qint64 {64} << 30));
    Restart();
    const SaveGuard &guard = dialog->saveGuard();
    EXPECT_EQ(guard.Text(),
              QStringLiteral("\"Speak French Words\" cannot be read from %1: it is too large to be a file of pelko's, "
                             "so it is off for now. Choosing it keeps that file aside, never written over, and saves "
                             "the choice anew.")
                  .arg(Options()));
    TurnOn();
    EXPECT_EQ(guard.Text(),
              QStringLiteral("%1 could not be read (it is too large to be a file of pelko's), so it was kept beside it "
                             "as pelko-options.conf.unreadable and \"Speak French Words\" saved anew.")
                  .arg(Options()));
    EXPECT_EQ(QFileInfo(Options() + ".unreadable").size(), qint64 {64} << 30);
    EXPECT_EQ(OptionsFileText(), QByteArrayLiteral("[Options]\nSpeakFrenchWords=true\n"));
}

// Without a voice the item is greyed out, and its tip says why and what to
// install; a voice of pelko's own (pelko.exe's) says what to do instead.
// While the voice is looked for it says so, and follows the search.
TEST_F(SpeakFrenchWordsTest, WithoutAFrenchVoiceTheItemIsGreyedOutWithWhatToInstallAndFollowsTheSearch)
{
    const QString own = QStringLiteral(": pelko.exe needs the folder espeak-ng-data beside it; unpack it again.");
    const QString both = QStringLiteral(": install speech-dispatcher and speech-dispatcher-espeak-ng.");
    const struct
    {
        Availability availability;
        QString failure;
        QString remedy;
        QString tip;
    } cases[] = {
        {Availability::NoFrenchVoice, {}, {}, "No French voice is installed: install speech-dispatcher-espeak-ng."},
        {Availability::NoEngine, {}, {}, "No speech engine is installed" + both},
        {Availability::EngineFailed, {}, {}, "The speech engine did not start" + both},
        {Availability::NotBuilt, {}, {}, "Speech is not part of this build of pelko."},
        {Availability::NoFrenchVoice, "C:\\pelko\\espeak-ng-data\\phondata is missing", own.mid(2, own.size() - 3),
         "The French voice is missing (C:\\pelko\\espeak-ng-data\\phondata is missing)" + own},
        {Availability::EngineFailed, "C:\\pelko\\espeak-ng-data is missing.", own.mid(2, own.size() - 3),
         "The speech engine did not start (C:\\pelko\\espeak-ng-data is missing)" + own},
    };
    for (const auto &c : cases) {
        Start(c.availability);
        speaker->failureText = c.failure;
        speaker->remedyText = c.remedy;
        const MenuItem item = OpenMenu(true);
        EXPECT_TRUE(item.found && !item.enabled && !item.checked) << c.tip.toStdString();
        EXPECT_EQ(item.tip, c.tip);
        EXPECT_FALSE(dialog->wordSpeaker().IsOn());
    }
    // Chosen on a machine that had a voice: kept, but said nowhere and not claimed.
    dialog->wordSpeaker().SetOn(true);
    Restart(Availability::NoFrenchVoice);
    EXPECT_TRUE(dialog->wordSpeaker().IsOn());
    EXPECT_FALSE(dialog->wordSpeaker().SpeaksWords());
    engine().StartDrill();
    EXPECT_TRUE(speaker->said.isEmpty());

    // The item follows the voice search while the menu is open.
    Start(Availability::Looking);
    bool enabledAtOpening = true;
    QString tipAtOpening;
    const MenuItem found = OpenMenu(false, [&] {
        const QAction *item = qobject_cast<QMenu *>(QApplication::activePopupWidget())->actions().value(1);
        enabledAtOpening = item->isEnabled();
        tipAtOpening = item->toolTip();
        speaker->Become(Availability::Ready);
    });
    EXPECT_FALSE(enabledAtOpening);
    EXPECT_TRUE(tipAtOpening.startsWith(QStringLiteral("Looking for a French voice"))) << tipAtOpening.toStdString();
    EXPECT_TRUE(found.enabled && found.tip.contains(QStringLiteral("F5"))) << found.tip.toStdString();
}

// The same answers with speech off and on ask the same words in the same slots.
TEST_F(SpeakFrenchWordsTest, SpeakingLeavesTheDrillExactlyAsItWas)
{
    const auto run = [this](bool on) {
        Restart(); // the drill is seeded from the fixture's clock: one second for both runs
        dialog->wordSpeaker().SetOn(on);
        std::vector<std::pair<int, int>> asked;
        engine().StartDrill();
        for (int question = 0; question < 30 && engine().session().currentWord != -1; ++question) {
            asked.emplace_back(engine().session().currentWord, engine().session().answerSlot);
            Answer(question % 4 != 0);
            TickToNextQuestion();
        }
        return asked;
    };
    const auto silent = run(false);
    const auto spoken = run(true);
    EXPECT_EQ(silent, spoken);
    // Each of them, and the question on show after the last answer.
    EXPECT_EQ(speaker->said.size(), static_cast<qsizetype>(spoken.size()) + 1);
}

TEST(SpokenWord, IsTheAskedWordWhenTheDisplayShowsItAloneOrWithItsMeaning)
{
    EXPECT_EQ(WordSpeaker::SpokenWord(u"     le   ", u"     le   "), QStringLiteral("le"));
    EXPECT_EQ(WordSpeaker::SpokenWord(u"\tpère\t  :: \tfather\t", u"\tpère\t "), QStringLiteral("père"));
    EXPECT_EQ(WordSpeaker::SpokenWord(u"     parce que  ", u"     parce que  "), QStringLiteral("parce que"));
    // Not a word: no drill, a finished drill's result, another text that begins alike.
    EXPECT_EQ(WordSpeaker::SpokenWord(u"Press start button to begin.", u""), QString());
    EXPECT_EQ(WordSpeaker::SpokenWord(u"Complete   00 mins, 58 secs Tries :50", u"     le   "), QString());
    EXPECT_EQ(WordSpeaker::SpokenWord(u"     le   s", u"     le   "), QString());
}

} // namespace
