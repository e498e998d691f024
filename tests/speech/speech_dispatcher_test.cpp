// The real speaker against a real speech-dispatcher of the test's own: the
// word goes out tagged French in a French voice, the next start says its
// first word before the voices are listed, a word still being said is cut
// off by the next and a screen reader's speech neither cuts a word off nor
// is cut, and with no French voice nothing goes out at all.

#include "speech/posix/speechd_speaker.h"
#include "speech/posix/speechd_voice_lister.h"
#include "speech/posix/speechd_worker.h"
#include "tests/support/private_speech_dispatcher.h"
#include "tests/support/wait_for.h"

#include <speech-dispatcher/libspeechd.h>

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <tuple>

namespace {

using Availability = Speaker::Availability;

// How the server logs a text it hands to its synthesiser.
QByteArray SentOut(const QByteArray &text)
{
    return "Command sent to output module: |<speak>" + text + "</speak>|";
}
// How it logs stopping what its synthesiser is saying.
const QByteArray kStop = "Command sent to output module: |STOP";

// The settings speech-dispatcher gave its synthesiser for the message that
// said `text`: the lines "name=value" of the last SET before it.
QString SettingFor(const QByteArray &log, const QByteArray &text, const QByteArray &name)
{
    const qsizetype said = log.indexOf(SentOut(text));
    const qsizetype at = said < 0 ? -1 : log.lastIndexOf("\n" + name + "=", said);
    const qsizetype start = at + 1 + name.size() + 1;
    return at < 0 ? QString() : QString::fromUtf8(log.mid(start, log.indexOf('\n', start) - start));
}

bool IsFrench(const QString &language)
{
    return language == QLatin1String("fr") || language.startsWith(QLatin1String("fr-"));
}

// Waits for the server to hand text to its synthesiser.
bool WaitSentOut(const PrivateSpeechDispatcher &server, const QByteArray &text)
{
    return WaitFor([&] { return server.Log().contains(SentOut(text)); }, 60000);
}

// A screen reader of the test's own, speaking as Orca does (priority MESSAGE).
SPDConnection *OpenReader()
{
    char *error = nullptr;
    SPDConnection *reader = spd_open2("reader", "main", nullptr, SPD_MODE_SINGLE, nullptr, 0, &error);
    EXPECT_NE(reader, nullptr) << error;
    std::free(error);
    return reader;
}

// The real speaker on a private speech-dispatcher with espeak-ng, its voice
// found, counting the words it has begun to say.
class RealSpeaker : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(server.Running()) << "speech-dispatcher did not start";
        QObject::connect(speaker.get(), &SpeechdSpeaker::speakingStarted, [this] { ++started; });
        speaker->Prepare();
        ASSERT_TRUE(WaitFor([&] { return speaker->availability() != Availability::Looking; }));
        ASSERT_EQ(speaker->availability(), Availability::Ready) << speaker->failure().toStdString();
    }

    PrivateSpeechDispatcher server {PrivateSpeechDispatcher::Synthesiser::EspeakNg};
    QTemporaryDir cache;
    const QString remembered = cache.filePath(QStringLiteral("pelko-french-voice"));
    std::unique_ptr<SpeechdSpeaker> speaker = std::make_unique<SpeechdSpeaker>(remembered);
    int started = 0;
};

TEST_F(RealSpeaker, LeGoesOutTaggedFrenchInAFrenchVoiceAndTheNextStartSaysItsFirstWordAtOnce)
{
    EXPECT_TRUE(IsFrench(speaker->voiceLanguage())) << speaker->voiceLanguage().toStdString();
    const QString voice = speaker->voiceName();
    speaker->Say(QStringLiteral("le"));
    ASSERT_TRUE(WaitFor([&] { return started == 1; }, 60000));
    ASSERT_TRUE(WaitSentOut(server, "le"));
    const QByteArray said = server.Log();
    EXPECT_TRUE(IsFrench(SettingFor(said, "le", "language"))) << SettingFor(said, "le", "language").toStdString();
    EXPECT_EQ(SettingFor(said, "le", "synthesis_voice"), voice);
    speaker.reset(); // the program ends
    ASSERT_EQ(SpeechdVoice::Remembered(remembered).name, voice);

    // The next start, its speech thread run here: the kept voice is taken and a
    // word said at once, as a drill started right away asks it; the voices are
    // listed only once it has begun.
    SpeechdWorker worker(remembered);
    Availability found = Availability::Looking;
    int listings = 0;
    QObject::connect(&worker, &SpeechdWorker::found, [&](Availability availability) { found = availability; });
    QObject::connect(&worker, &SpeechdWorker::listWanted, [&] { ++listings; });
    worker.Start();
    EXPECT_EQ(std::tuple(found, listings), std::tuple(Availability::Ready, 0));
    worker.Say(QStringLiteral("de"));
    EXPECT_EQ(listings, 0) << "the word waited for a listing";
    ASSERT_TRUE(WaitSentOut(server, "de"));
    const QByteArray log = server.Log();
    EXPECT_TRUE(IsFrench(SettingFor(log, "de", "language"))) << SettingFor(log, "de", "language").toStdString();
    EXPECT_EQ(SettingFor(log, "de", "synthesis_voice"), voice);
    EXPECT_TRUE(WaitFor([&] { return listings == 1; })) << "the kept voice is checked once the word has begun";
}

TEST_F(RealSpeaker, AWordIsCutOffOnlyByTheNextAndAScreenReadersSpeechIsNeverCut)
{
    SPDConnection *reader = OpenReader();
    ASSERT_NE(reader, nullptr);

    // Long enough to be still going when the next text comes.
    const QString longText = QStringLiteral("anticonstitutionnellement, ").repeated(20);
    const QByteArray longSent = "Command sent to output module: |<speak>anticonstitutionnellement";

    // The reader speaks while the word is being said: the word goes on to its end first.
    speaker->Say(longText);
    ASSERT_TRUE(WaitFor([&] { return started == 1; }, 60000));
    ASSERT_GE(spd_say(reader, SPD_MESSAGE, "a sentence of the reader"), 0);
    ASSERT_TRUE(WaitSentOut(server, "a sentence of the reader"));
    QByteArray log = server.Log();
    const qsizetype word = log.indexOf(longSent);
    const qsizetype sentence = log.indexOf(SentOut("a sentence of the reader"));
    ASSERT_GE(word, 0);
    EXPECT_LT(word, sentence);
    EXPECT_EQ(log.indexOf(kStop, word), log.indexOf(kStop, sentence)) << "the word was stopped for the reader";

    // The next word cuts off the one still being said, but not the reader's sentence waiting behind it.
    // ALSA's null device takes sound as fast as espeak-ng makes it (25 s of speech in a third of a
    // second), so the long text may be over before the sentence reaches the server: the log tells,
    // and the round is run again with a text twice as long. The verdict is the log's order alone.
    for (int repeats = 20;; repeats *= 2) {
        ASSERT_LE(repeats, 20 << 8) << "the long text was over before the sentence came, however long";
        const qsizetype from = server.Log().size();
        const int begun = started;
        speaker->Say(QStringLiteral("anticonstitutionnellement, ").repeated(repeats));
        ASSERT_TRUE(WaitFor([&] { return started == begun + 1; }, 60000));
        const QByteArray another = "another sentence " + QByteArray::number(repeats);
        ASSERT_GE(spd_say(reader, SPD_MESSAGE, another.constData()), 0);
        speaker->Say(QStringLiteral("de"));
        ASSERT_TRUE(WaitFor([&] { return started == begun + 2; }, 60000));
        log = server.Log().mid(from);
        const qsizetype second = log.indexOf(longSent);
        ASSERT_GE(second, 0);
        // 702 END: a text said to its end (one cut off ends with 703 STOP).
        const qsizetype ended = log.indexOf("702 END", second);
        if (ended >= 0 && ended < log.indexOf("Incoming text: |<speak>" + another)) {
            continue;
        }
        const qsizetype cancel = log.indexOf("CANCEL", second);
        EXPECT_GT(cancel, second);
        EXPECT_LT(cancel, log.indexOf(SentOut(another)));
        EXPECT_LT(log.indexOf(SentOut(another)), log.indexOf(SentOut("de")));
        break;
    }
    spd_close(reader);
}

TEST(SpeechDispatcher, WithNoFrenchVoiceNothingIsSaidInAnother)
{
    PrivateSpeechDispatcher server(PrivateSpeechDispatcher::Synthesiser::DummyOnly);
    ASSERT_TRUE(server.Running()) << "speech-dispatcher did not start";
    // A voice an earlier start found, on a server that had espeak-ng: not used, and forgotten.
    QTemporaryDir cache;
    const QString remembered = cache.filePath(QStringLiteral("pelko-french-voice"));
    SpeechdVoice {QStringLiteral("espeak-ng"), QStringLiteral("French (France)"), QStringLiteral("fr-FR")}.Remember(
        remembered);
    ASSERT_TRUE(SpeechdVoice::Remembered(remembered).IsFrench());

    // The speaker's two threads, run here, where each call has ended when it returns.
    SpeechdWorker worker(remembered);
    SpeechdVoiceLister lister;
    Availability found = Availability::Looking;
    bool listWanted = false;
    QObject::connect(&worker, &SpeechdWorker::listWanted, [&] { listWanted = true; });
    QObject::connect(&lister, &SpeechdVoiceLister::listed, &worker, &SpeechdWorker::Listed);
    QObject::connect(&worker, &SpeechdWorker::found, [&](Availability availability) { found = availability; });
    worker.Start();
    ASSERT_TRUE(listWanted) << "the kept voice was taken without a listing";
    worker.Say(QStringLiteral("le")); // while the voices are being listed: it waits for them
    lister.List();
    EXPECT_EQ(found, Availability::NoFrenchVoice);
    worker.Say(QStringLiteral("de"));
    // The server speaks messages of one priority in the order it took them (the
    // words' is a screen reader's): had a word been taken, it would go out
    // before a reader's sentence given now.
    SPDConnection *reader = OpenReader();
    ASSERT_NE(reader, nullptr);
    ASSERT_GE(spd_say(reader, SPD_MESSAGE, "after the words"), 0);
    EXPECT_TRUE(WaitSentOut(server, "after the words"));
    spd_close(reader);
    EXPECT_EQ(server.Log().count("Command sent to output module: |<speak>"), 1)
        << "something else was sent to be spoken";
    EXPECT_FALSE(QFile::exists(remembered));
}

} // namespace
