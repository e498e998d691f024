// "Speak French Words" in the real main window, with a speaker that records
// instead of speaking: what is said and when, the menu item, the key, and the
// choice kept across starts in a file of its own.

#include "app/announcer.h"
#include "app/c_pelko_dlg.h"
#include "app/save_guard.h"
#include "speech/word_speaker.h"
#include "stores/posix/options_file.h"
#include "res/control_ids.h"
#include "tests/support/odd_files.h"
#include "tests/support/recording_speaker.h"
#include "tests/support/temp_profile.h"
#include "tests/support/when_modal_opens.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <vector>

namespace {

using namespace ids::main;
using Availability = Speaker::Availability;

struct MenuItem
{
    bool found = false;
    bool enabled = false;
    bool checked = false;
    QString tip;
};

class SpeakFrenchWordsTest : public ::testing::Test
{
protected:
    void SetUp() override { Start(); }

    void Start(Availability whenPrepared = Availability::Ready)
    {
        dialog.reset();
        auto owned = std::make_unique<RecordingSpeaker>(whenPrepared);
        speaker = owned.get();
        dialog = std::make_unique<CpelkoDlg>(profile.store(), std::move(owned));
        dialog->show();
        // Shortcuts answer only in the active window.
        QApplication::setActiveWindow(dialog.get());
    }
    // A new run of the program on the same profile.
    void Restart(Availability whenPrepared = Availability::Ready)
    {
        dialog.reset();
        profile.reopen();
        Start(whenPrepared);
    }

    DrillEngine &engine() { return dialog->engine(); }
    QString Asked()
    {
        const std::u16string &french = engine().words()[engine().session().currentWord].french;
        return QString::fromUtf16(french.data(), static_cast<qsizetype>(french.size())).trimmed();
    }
    // The current word's meaning, as the screen reader says it.
    QString Meaning()
    {
        const std::u16string &english = engine().words()[engine().session().currentWord].english;
        return QString::fromUtf16(english.data(), static_cast<qsizetype>(english.size())).simplified();
    }
    QString Display()
    {
        const std::u16string text = dialog->GetControlText(kWordDisplay);
        return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
    }
    void Answer(bool right)
    {
        const int slot = engine().session().answerSlot;
        engine().AnswerClicked(right ? slot : (slot + 1) % 4);
    }
    // Ticks until the next question is asked (or the drill ends).
    void TickToNextQuestion()
    {
        const int asked = engine().session().currentWord;
        for (int tick = 0; tick < 20 && engine().session().currentWord == asked; ++tick) {
            engine().OnDrillTimer();
        }
    }

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
                QAction *speak = actions.size() == 2 ? actions[1] : nullptr;
                item.found = speak != nullptr && speak->text() == QStringLiteral("&Speak French Words")
                    && speak->isCheckable() && actions[0]->text() == QStringLiteral("&About pelko...");
                if (speak != nullptr) {
                    item.enabled = speak->isEnabled();
                    item.checked = speak->isChecked();
                    item.tip = speak->toolTip();
                }
                if (click && item.found && item.enabled) {
                    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(speak).center());
                } else {
                    menu->close();
                }
            },
            "QMenu");
        const QPoint at(200, 150);
        QContextMenuEvent rightClick(QContextMenuEvent::Mouse, at, dialog->mapToGlobal(at));
        QApplication::sendEvent(dialog.get(), &rightClick);
        // The closed menu hands the activation back when the platform gets to it; F5 needs it now.
        QApplication::setActiveWindow(dialog.get());
        return item;
    }
    void TurnOn()
    {
        OpenMenu(true);
        ASSERT_TRUE(dialog->wordSpeaker().IsOn());
        // The closing menu hands the activation back to the window by events
        // that a loaded machine may not have handled yet; F5 needs it now.
        QApplication::setActiveWindow(dialog.get());
    }
    QByteArray OptionsFileText()
    {
        QFile file(OptionsFile::BesideProfile(profile.path()));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    TempProfile profile;
    std::unique_ptr<CpelkoDlg> dialog;
    RecordingSpeaker *speaker = nullptr;
};

TEST_F(SpeakFrenchWordsTest, OffUntilChosenSayingNothingAndStartingNoEngine)
{
    engine().StartDrill();
    QApplication::processEvents();
    Answer(false);
    // Without the voice, the screen reader says the word wherever it belongs.
    QApplication::processEvents();
    EXPECT_EQ(dialog->announcer().lastText(), QStringLiteral("wrong: %1 means ").arg(Asked()) + Meaning());
    TickToNextQuestion();
    QTest::keyClick(dialog.get(), Qt::Key_F5);
    EXPECT_TRUE(speaker->said.isEmpty());
    EXPECT_EQ(speaker->prepared, 0);
    EXPECT_FALSE(dialog->wordSpeaker().SpeaksWords());
    QApplication::processEvents();
    EXPECT_TRUE(dialog->announcer().lastText().contains(Asked() + QStringLiteral(". 1 ")))
        << dialog->announcer().lastText().toStdString();
    EXPECT_FALSE(QFile::exists(OptionsFile::BesideProfile(profile.path())));

    const MenuItem item = OpenMenu(false);
    EXPECT_TRUE(item.found);
    EXPECT_TRUE(item.enabled);
    EXPECT_FALSE(item.checked);
}

TEST_F(SpeakFrenchWordsTest, EachAskedWordIsSaidOnceAsItAppears)
{
    TurnOn();
    EXPECT_TRUE(dialog->wordSpeaker().SpeaksWords());
    engine().StartDrill();
    QStringList expected {Asked()};
    EXPECT_EQ(speaker->said, expected);
    // The voice says the word: the screen reader's question leaves it out, so it is heard once.
    QApplication::processEvents();
    EXPECT_TRUE(dialog->announcer().lastText().startsWith(QStringLiteral("1 ")))
        << dialog->announcer().lastText().toStdString();
    // Right and wrong answers; the pause's ticks say nothing more.
    for (int question = 0; question < 12; ++question) {
        Answer(question % 3 != 0);
        if (question == 0) {
            // The verdict too: the word was heard from the voice as it was asked.
            QApplication::processEvents();
            EXPECT_EQ(dialog->announcer().lastText(), QStringLiteral("wrong: it means ") + Meaning());
        }
        TickToNextQuestion();
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
}

TEST_F(SpeakFrenchWordsTest, ReviewSaysTheWordOfEachStepAndTheReaderItsMeaning)
{
    TurnOn();
    engine().StartDrill();
    speaker->said.clear();
    engine().StartReview();
    QApplication::processEvents();
    QStringList expected {Asked()};
    for (int id : {kAnswer4, kAnswer4, kAnswer1, kAnswer1, kAnswer1}) {
        QTest::mouseClick(qobject_cast<QAbstractButton *>(dialog->control(id)), Qt::LeftButton);
        expected << Asked();
        ASSERT_TRUE(Display().startsWith(engine().words()[engine().session().currentWord].french.data()));
        // The voice says the word, the screen reader its meaning alone.
        QApplication::processEvents();
        EXPECT_EQ(dialog->announcer().lastText(), Meaning());
    }
    EXPECT_EQ(speaker->said, expected);
    EXPECT_FALSE(speaker->said.join(QString()).contains(QStringLiteral("::")));
}

TEST_F(SpeakFrenchWordsTest, F5SaysTheWordOnShowAgainAndNothingWhenNoWordIsShown)
{
    TurnOn();
    QTest::keyClick(dialog.get(), Qt::Key_F5);
    EXPECT_TRUE(speaker->said.isEmpty()); // "Press start button to begin."

    engine().StartDrill();
    QTest::keyClick(dialog.get(), Qt::Key_F5);
    EXPECT_EQ(speaker->said, QStringList({Asked(), Asked()}));
    // Also during the pause after an answer, while the word is still shown.
    Answer(true);
    QTest::keyClick(dialog.get(), Qt::Key_F5);
    EXPECT_EQ(speaker->said.size(), 3);
    EXPECT_EQ(speaker->said.last(), Asked());

    // A finished practise shows its result, not a word.
    while (engine().session().currentWord != -1) {
        Answer(true);
        TickToNextQuestion();
    }
    ASSERT_TRUE(Display().startsWith(QStringLiteral("Complete")));
    const qsizetype before = speaker->said.size();
    QTest::keyClick(dialog.get(), Qt::Key_F5);
    EXPECT_EQ(speaker->said.size(), before);
}

TEST_F(SpeakFrenchWordsTest, TheChoiceSurvivesARestartInAFileOfItsOwnBesideTheProfile)
{
    // A result first, so that the profile has something to keep as it was.
    engine().StartDrill();
    while (engine().session().currentWord != -1) {
        Answer(true);
        TickToNextQuestion();
    }
    QFile profileFile(profile.path());
    ASSERT_TRUE(profileFile.open(QIODevice::ReadOnly));
    const QByteArray profileBefore = profileFile.readAll();
    profileFile.close();

    TurnOn();
    EXPECT_EQ(OptionsFileText(), QByteArrayLiteral("[Options]\nSpeakFrenchWords=true\n"));
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

    ASSERT_TRUE(profileFile.open(QIODevice::ReadOnly));
    EXPECT_EQ(profileFile.readAll(), profileBefore);
}

// A choice that cannot be kept is told in the window, naming the file and
// the reason, holds for the run, and is kept by the retry once it can be;
// whatever lies in the way is left as it is.
TEST_F(SpeakFrenchWordsTest, AChoiceThatCannotBeKeptIsToldAndKeptOnceItCan)
{
    const QString options = OptionsFile::BesideProfile(profile.path());
    ASSERT_TRUE(QDir().mkpath(QFileInfo(options).absolutePath()));
    std::vector<std::pair<OddFile, QString>> blockers;
    for (const OddFile &odd : OddFile::All()) {
        blockers.emplace_back(odd, options);
    }
    blockers.emplace_back(OddFile {OddFile::Folder, "a folder where its new text goes first"}, options + ".tmp");
    for (const auto &[odd, at] : blockers) {
        SCOPED_TRACE(odd.name);
        QFile::remove(options);
        Restart();
        if (!odd.Make(at)) {
            continue; // no device without root
        }
        TurnOn();
        const SaveGuard &guard = dialog->saveGuard();
        EXPECT_TRUE(guard.message()->isVisible());
        const QString said
            = QStringLiteral("\"Speak French Words\" cannot be saved to %1: it is not a regular file").arg(at);
        EXPECT_TRUE(guard.Text().startsWith(said)) << guard.Text().toStdString();
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
    const QString options = OptionsFile::BesideProfile(profile.path());
    const WithoutFilePowers learner;
    for (const bool choose : {false, true}) {
        SCOPED_TRACE(choose ? "chosen meanwhile" : "not chosen");
        const QByteArray stored = choose ? "[Options]\nSpeakFrenchWords=false\n" : "[Options]\nSpeakFrenchWords=true\n";
        {
            QDir().mkpath(QFileInfo(options).absolutePath());
            QFile file(options);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(stored) == stored.size());
        }
        ASSERT_TRUE(QFile::setPermissions(options, {}));
        Restart();
        const SaveGuard &guard = dialog->saveGuard();
        EXPECT_FALSE(dialog->wordSpeaker().IsOn());
        EXPECT_EQ(guard.Text(),
                  QStringLiteral("\"Speak French Words\" cannot be read from %1: pelko has no permission to read it, "
                                 "so it is off for now. Nothing is written there until it can be read.")
                      .arg(options));
        if (choose) {
            TurnOn();
            EXPECT_TRUE(guard.Text().startsWith(
                QStringLiteral("\"Speak French Words\" cannot be saved to %1: pelko has no permission to read it, "
                               "and nothing is written over what cannot be read.")
                    .arg(options)))
                << guard.Text().toStdString();
        }
        ASSERT_TRUE(QFile::setPermissions(options, QFile::ReadOwner));
        EXPECT_EQ(OptionsFileText(), stored) << "not written over";
        ASSERT_TRUE(QFile::setPermissions(options, QFile::ReadOwner | QFile::WriteOwner));
        EXPECT_TRUE(QTest::qWaitFor([&] { return !guard.message()->isVisible(); }, 10 * SaveGuard::kRetryMs));
        EXPECT_TRUE(dialog->wordSpeaker().IsOn());
        EXPECT_EQ(OptionsFileText(), QByteArrayLiteral("[Options]\nSpeakFrenchWords=true\n"));
    }
}

// Options that are no options of pelko's (here far too large) are told, and
// kept aside, never written over, once the learner chooses.
TEST_F(SpeakFrenchWordsTest, OptionsThatAreNotPelkosAreToldAndSetAsideWhenChosen)
{
    const QString options = OptionsFile::BesideProfile(profile.path());
    QDir().mkpath(QFileInfo(options).absolutePath());
    {
        QFile file(options);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.resize(qint64 {64} << 30));
    }
    Restart();
    const SaveGuard &guard = dialog->saveGuard();
    EXPECT_EQ(guard.Text(),
              QStringLiteral("\"Speak French Words\" cannot be read from %1: it is too large to be a file of pelko's, "
                             "so it is off for now. Choosing it keeps that file aside, never written over, and saves "
                             "the choice anew.")
                  .arg(options));
    TurnOn();
    EXPECT_EQ(guard.Text(),
              QStringLiteral("%1 could not be read (it is too large to be a file of pelko's), so it was kept beside it "
                             "as pelko-options.conf.unreadable and \"Speak French Words\" saved anew.")
                  .arg(options));
    EXPECT_EQ(QFileInfo(options + ".unreadable").size(), qint64 {64} << 30);
    EXPECT_EQ(OptionsFileText(), QByteArrayLiteral("[Options]\nSpeakFrenchWords=true\n"));
}

TEST_F(SpeakFrenchWordsTest, WithoutAFrenchVoiceTheItemIsGreyedOutWithWhatToInstall)
{
    const QString ownVoice = QStringLiteral("pelko.exe needs the folder espeak-ng-data beside it; unpack it again");
    const struct
    {
        Availability availability;
        const char *says;
        const char *install;
        QString remedy; // a voice of pelko's own (pelko.exe's) says what to do instead of what to install
    } cases[] = {
        {Availability::NoFrenchVoice, "No French voice is installed", "install speech-dispatcher-espeak-ng", {}},
        {Availability::NoEngine, "No speech engine is installed", "install speech-dispatcher and", {}},
        {Availability::EngineFailed, "The speech engine did not start", "speech-dispatcher-espeak-ng", {}},
        {Availability::NotBuilt, "Speech is not part of this build", "", {}},
        {Availability::NoFrenchVoice, "The French voice is missing (C:\\pelko\\espeak-ng-data\\phondata is missing): ",
         "espeak-ng-data beside it", ownVoice},
        {Availability::EngineFailed, "The speech engine did not start (C:\\pelko\\espeak-ng-data is missing): ",
         "espeak-ng-data beside it", ownVoice},
    };
    for (const auto &c : cases) {
        Start(c.availability);
        speaker->remedyText = c.remedy;
        if (!c.remedy.isEmpty()) {
            speaker->failureText = c.availability == Availability::NoFrenchVoice
                ? QStringLiteral("C:\\pelko\\espeak-ng-data\\phondata is missing")
                : QStringLiteral("C:\\pelko\\espeak-ng-data is missing.");
        }
        const MenuItem item = OpenMenu(true);
        EXPECT_TRUE(item.found);
        EXPECT_FALSE(item.enabled) << c.says;
        EXPECT_FALSE(item.checked) << c.says;
        EXPECT_TRUE(item.tip.contains(QLatin1String(c.says))) << item.tip.toStdString();
        EXPECT_TRUE(item.tip.contains(QLatin1String(c.install))) << item.tip.toStdString();
        if (!c.remedy.isEmpty()) {
            EXPECT_TRUE(item.tip.endsWith(c.remedy + QLatin1Char('.'))) << item.tip.toStdString();
            EXPECT_FALSE(item.tip.contains(QStringLiteral("speech-dispatcher"))) << item.tip.toStdString();
        }
        EXPECT_FALSE(dialog->wordSpeaker().IsOn());
    }
    // Chosen on a machine that had a voice: kept, but said nowhere and not claimed.
    dialog->wordSpeaker().SetOn(true);
    Restart(Availability::NoFrenchVoice);
    EXPECT_TRUE(dialog->wordSpeaker().IsOn());
    EXPECT_FALSE(dialog->wordSpeaker().SpeaksWords());
    engine().StartDrill();
    EXPECT_TRUE(speaker->said.isEmpty());
}

TEST_F(SpeakFrenchWordsTest, TheItemFollowsTheVoiceSearchWhileTheMenuIsOpen)
{
    Start(Availability::Looking);
    MenuItem looking;
    const MenuItem found = OpenMenu(false, [&] {
        looking = {};
        // What the item said before the search ended is read from the tip set at opening.
        QMenu *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        QAction *speak = menu->actions().value(1);
        looking.enabled = speak->isEnabled();
        looking.tip = speak->toolTip();
        speaker->Become(Availability::Ready);
    });
    EXPECT_FALSE(looking.enabled);
    EXPECT_TRUE(looking.tip.startsWith(QStringLiteral("Looking for a French voice")));
    EXPECT_TRUE(found.enabled);
    EXPECT_TRUE(found.tip.contains(QStringLiteral("F5"))) << found.tip.toStdString();
}

TEST_F(SpeakFrenchWordsTest, SpeakingLeavesTheDrillExactlyAsItWas)
{
    // The same answers with speech off and on ask the same words in the same slots.
    const auto run = [this](bool on) {
        Restart();
        // The drill is seeded from the clock: one second for both runs.
        dialog->setClock([] { return std::int64_t {1'700'000'000}; });
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
