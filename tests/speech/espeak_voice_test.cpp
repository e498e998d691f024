// pelko.exe's own French voice under Wine: espeak-ng on the data beside the
// program, every word of the list said, Windows' audio cutting a sound off
// for the next, and the speaker that puts them together off the window's thread.

#include "speech/windows/espeak_speaker.h"
#include "speech/windows/espeak_voice.h"
#include "speech/windows/wave_out_player.h"
#include "vocab/word_list.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <espeak-ng/speak_lib.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <numeric>

namespace {

using Availability = Speaker::Availability;

// The only voice there is French, and it says every word of the list audibly.
TEST(EspeakVoice, IsTheOnlyVoiceThereAndSaysEveryWordOfTheListAudiblyInFrench)
{
    EspeakVoice voice;
    ASSERT_EQ(voice.Load(EspeakVoice::DataFolderBesideProgram()), Availability::Ready) << voice.failure().toStdString();
    EXPECT_EQ(voice.name(), QStringLiteral("French (France)"));
    EXPECT_EQ(voice.language(), QStringLiteral("fr-fr"));
    EXPECT_EQ(voice.sampleRate(), 22050);
    const espeak_VOICE *const *listed = espeak_ListVoices(nullptr);
    EXPECT_TRUE(listed && listed[0] && !listed[1]);
    // Read by French rules, in espeak-ng's mnemonics: a silent final "t", "ch"
    // as in "chat" (not "tS" as in English).
    EXPECT_EQ(voice.Phonemes(QStringLiteral("chat")).toStdString(), "S'a");
    // pelko's additions: words the French rules would hand to an English voice.
    EXPECT_EQ(voice.Phonemes(QStringLiteral("dos")).toStdString(), "d'o");
    EXPECT_EQ(voice.Phonemes(QStringLiteral("foot")).toStdString(), "f'ut");

    // espeak-ng says on stderr when it reaches for another language's
    // dictionary, which is not there; the whole list runs with it caught.
    testing::internal::CaptureStderr();
    for (const WordListRow &row : kWordList) {
        const QString word = QString::fromUtf16(row.french.data(), std::ssize(row.french)).trimmed();
        const std::vector<std::int16_t> samples = voice.Synthesize(word);
        const int peak = std::accumulate(samples.begin(), samples.end(), 0,
                                         [](int high, std::int16_t s) { return std::max(high, std::abs(int {s})); });
        // A tenth of a second at least, louder than -20 dBFS at its peak.
        EXPECT_GE(samples.size(), 2205u) << word.toStdString();
        EXPECT_GE(peak, 3277) << word.toStdString();
        EXPECT_FALSE(voice.Phonemes(word).isEmpty()) << word.toStdString();
    }
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

TEST(EspeakVoice, FindsItsDataUnderAnyFolderNameAndTellsWhatIsMissing)
{
    QTemporaryDir temp;
    // A name the Western code page cannot spell, and a long one.
    const QString cyrillic = temp.filePath(QStringLiteral("Уроки французского/espeak-ng-data"));
    const QString deep = temp.filePath(QString(60, QLatin1Char('d')) + QLatin1Char('/') + QString(60, QLatin1Char('e'))
                                       + QLatin1Char('/') + QString(60, QLatin1Char('f')) + QStringLiteral("/data"));
    for (const QString &folder : {cyrillic, deep}) {
        for (const char *file : {"phondata", "phonindex", "phontab", "intonations", "fr_dict", "lang/roa/fr"}) {
            const QString name = QDir(folder).filePath(QLatin1String(file));
            ASSERT_TRUE(QDir().mkpath(QFileInfo(name).path()));
            ASSERT_TRUE(QFile::copy(QDir(EspeakVoice::DataFolderBesideProgram()).filePath(QLatin1String(file)), name));
        }
        EspeakVoice voice;
        EXPECT_EQ(voice.Load(folder), Availability::Ready) << voice.failure().toStdString();
        EXPECT_FALSE(voice.Synthesize(QStringLiteral("le")).empty());
    }

    // Without one of its files: no voice, and which file it lacks; nothing is said.
    ASSERT_TRUE(QFile::remove(QDir(cyrillic).filePath(QStringLiteral("fr_dict"))));
    EspeakVoice voice;
    EXPECT_EQ(voice.Load(cyrillic), Availability::NoFrenchVoice);
    EXPECT_TRUE(voice.failure().endsWith(QStringLiteral("espeak-ng-data\\fr_dict is missing")))
        << voice.failure().toStdString();
    EXPECT_TRUE(voice.Synthesize(QStringLiteral("le")).empty());
}

TEST(WaveOutPlayer, ANewSoundCutsOffTheOneStillPlaying)
{
    WaveOutPlayer player;
    ASSERT_TRUE(player.Open(22050)) << player.failure().toStdString();
    // Half a minute of a tone, then a tenth of a second of another.
    std::vector<std::int16_t> tone(22050 * 30, 1000);
    std::vector<std::int16_t> blip(2205, -2000);
    ASSERT_TRUE(player.Play(tone, 22050));
    ASSERT_TRUE(QTest::qWaitFor([&] { return player.Position() > 0; }, 60000));
    EXPECT_TRUE(player.Playing());
    ASSERT_TRUE(player.Play(blip, 22050));
    // The device counts the short sound alone: the long one was stopped, not played on
    // (it would have held the short one back for half a minute, and counted first).
    ASSERT_TRUE(QTest::qWaitFor([&] { return !player.Playing() && player.Position() >= blip.size(); }, 60000));
    EXPECT_EQ(player.Position(), blip.size());
}

TEST(EspeakSpeaker, SaysAWordGivenWhileTheVoiceStartsOnceItHasStarted)
{
    EspeakSpeaker speaker(EspeakVoice::DataFolderBesideProgram());
    QSignalSpy started(&speaker, &EspeakSpeaker::speakingStarted);
    int notified = 0;
    speaker.SetAvailabilityListener([&] { ++notified; });
    speaker.Say(QStringLiteral("le")); // not prepared: dropped
    speaker.Prepare();
    EXPECT_EQ(speaker.availability(), Availability::Looking);
    speaker.Say(QStringLiteral("le"));
    ASSERT_TRUE(started.wait(60000));
    EXPECT_EQ(speaker.availability(), Availability::Ready);
    EXPECT_EQ(speaker.voiceName(), QStringLiteral("French (France)"));
    EXPECT_EQ(notified, 2); // Looking, Ready
    speaker.Say(QStringLiteral("de"));
    ASSERT_TRUE(started.wait(60000));
    EXPECT_EQ(started.count(), 2);

    // Without its data: no voice, saying nothing, and the tip's remedy.
    EspeakSpeaker lost(QStringLiteral("C:/nowhere/espeak-ng-data"));
    QSignalSpy lostStarted(&lost, &EspeakSpeaker::speakingStarted);
    bool answered = false;
    lost.SetAvailabilityListener([&] { answered = lost.availability() != Availability::Looking; });
    lost.Prepare();
    lost.Say(QStringLiteral("le"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return answered; }, 60000));
    EXPECT_EQ(lost.availability(), Availability::NoFrenchVoice);
    EXPECT_TRUE(lost.failure().contains(QStringLiteral("phondata is missing"))) << lost.failure().toStdString();
    EXPECT_FALSE(lostStarted.wait(500));
}

} // namespace
