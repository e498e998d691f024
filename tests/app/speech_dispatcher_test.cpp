// The real speaker against a real speech-dispatcher of the test's own: the
// word goes out tagged French in a French voice, a word still being said is
// cut off by the next, and with no French voice nothing goes out at all.

#include "app/qt_speech_speaker.h"
#include "app/speech_worker.h"
#include "tests/support/private_speech_dispatcher.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace {

using Availability = Speaker::Availability;

// Runs the event loop until done() or the limit; true when done.
bool WaitFor(const std::function<bool()> &done, int limitMs = 120000)
{
    QElapsedTimer waited;
    waited.start();
    // Sleeps until an event; the ticks only wake it to look at the clock.
    QTimer wake;
    wake.start(50);
    while (!done()) {
        if (waited.elapsed() > limitMs) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

// How the server logs a text it hands to its synthesiser.
QByteArray SentOut(const QByteArray &text)
{
    return "Command sent to output module: |<speak>" + text + "</speak>|";
}

// The settings speech-dispatcher gave its synthesiser for the message that
// said `text`: the lines "name=value" of the last SET before it.
QString SettingFor(const QByteArray &log, const QByteArray &text, const QByteArray &name)
{
    const qsizetype said = log.indexOf(SentOut(text));
    if (said < 0) {
        return {};
    }
    const qsizetype at = log.lastIndexOf("\n" + name + "=", said);
    if (at < 0) {
        return {};
    }
    const qsizetype start = at + 1 + name.size() + 1;
    return QString::fromUtf8(log.mid(start, log.indexOf('\n', start) - start));
}

// Under AddressSanitizer the speech-dispatcher client library takes minutes
// over espeak-ng's thousands of voices and variants, so the tests that need
// that list run in the ordinary builds only.
#ifdef __SANITIZE_ADDRESS__
#define SKIP_WHERE_LISTING_VOICES_IS_TOO_SLOW() GTEST_SKIP() << "listing espeak-ng's voices takes minutes under ASan"
#else
#define SKIP_WHERE_LISTING_VOICES_IS_TOO_SLOW() static_cast<void>(0)
#endif

TEST(SpeechDispatcher, LeGoesOutTaggedFrenchInAFrenchVoice)
{
    SKIP_WHERE_LISTING_VOICES_IS_TOO_SLOW();
    PrivateSpeechDispatcher server(PrivateSpeechDispatcher::Synthesiser::EspeakNg);
    ASSERT_TRUE(server.Running()) << "speech-dispatcher did not start";

    QtSpeechSpeaker speaker;
    int started = 0;
    QObject::connect(&speaker, &QtSpeechSpeaker::speakingStarted, [&] { ++started; });
    speaker.Prepare();
    ASSERT_TRUE(WaitFor([&] { return speaker.availability() != Availability::Looking; }));
    ASSERT_EQ(speaker.availability(), Availability::Ready) << speaker.failure().toStdString();
    EXPECT_EQ(speaker.voiceLocale().language(), QLocale::French) << speaker.voiceLocale().name().toStdString();

    speaker.Say(QStringLiteral("le"));
    ASSERT_TRUE(WaitFor([&] { return started == 1; }, 60000));
    ASSERT_TRUE(WaitFor([&] { return server.Log().contains(SentOut("le")); }, 60000));
    const QByteArray log = server.Log();
    const QString language = SettingFor(log, "le", "language");
    EXPECT_TRUE(language == QLatin1String("fr") || language.startsWith(QLatin1String("fr-")))
        << "language=" << language.toStdString();
    EXPECT_EQ(SettingFor(log, "le", "synthesis_voice"), speaker.voiceName());
}

TEST(SpeechDispatcher, AWordStillBeingSaidIsCutOffByTheNext)
{
    SKIP_WHERE_LISTING_VOICES_IS_TOO_SLOW();
    PrivateSpeechDispatcher server(PrivateSpeechDispatcher::Synthesiser::EspeakNg);
    ASSERT_TRUE(server.Running()) << "speech-dispatcher did not start";

    // ALSA's null device takes sound as fast as espeak-ng makes it (25 s of
    // speech in a third of a second), so the long text may be over before
    // the next word reaches the server, and then there is nothing to cut:
    // the server's log tells, and the round is run again, with a text twice
    // as long. What the speaker did is judged from the log's order alone.
    for (int repeats = 20; repeats <= 20 << 8; repeats *= 2) {
        SCOPED_TRACE(repeats);
        const qsizetype from = server.Log().size();
        QtSpeechSpeaker speaker;
        int started = 0;
        QObject::connect(&speaker, &QtSpeechSpeaker::speakingStarted, [&] { ++started; });
        speaker.Prepare();
        ASSERT_TRUE(WaitFor([&] { return speaker.availability() == Availability::Ready; }));
        speaker.Say(QStringLiteral("anticonstitutionnellement, ").repeated(repeats));
        ASSERT_TRUE(WaitFor([&] { return started == 1; }, 60000));
        speaker.Say(QStringLiteral("de"));
        // Given to the synthesiser once the long text has stopped or ended.
        ASSERT_TRUE(WaitFor([&] { return server.Log().indexOf(SentOut("de"), from) >= 0; }, 60000));
        const QByteArray log = server.Log().mid(from);
        const qsizetype longIn = log.indexOf(":DATA:|anticonstitutionnellement");
        const qsizetype deIn = log.indexOf(":DATA:|de\r\n");
        const qsizetype deOut = log.indexOf(SentOut("de"));
        ASSERT_GE(longIn, 0);
        ASSERT_GT(deIn, longIn);
        // 702 END: a text said to its end (one cut off ends with 703 STOP).
        const qsizetype ended = log.indexOf("702 END", longIn);
        if (ended >= 0 && ended < deIn) {
            // Over before "de" came. Once "de" is over too, a longer round.
            ASSERT_TRUE(WaitFor([&] { return server.Log().indexOf("702 END", from + deOut) >= 0; }, 60000));
            continue;
        }
        // Still being said when "de" came: the speaker cut it off first.
        const qsizetype cancel = log.indexOf(":DATA:|CANCEL", longIn);
        EXPECT_GT(cancel, longIn);
        EXPECT_LT(cancel, deIn);
        return;
    }
    FAIL() << "the long text was over before the next word came, however long";
}

TEST(SpeechDispatcher, WithNoFrenchVoiceNothingIsSaidInAnother)
{
    PrivateSpeechDispatcher server(PrivateSpeechDispatcher::Synthesiser::DummyOnly);
    ASSERT_TRUE(server.Running()) << "speech-dispatcher did not start";
    QtSpeechSpeaker speaker;
    speaker.Prepare();
    ASSERT_TRUE(WaitFor([&] { return speaker.availability() != Availability::Looking; }));
    // The dummy synthesiser is no voice at all: Qt's engine reports "Found no modules".
    EXPECT_TRUE(speaker.availability() == Availability::NoFrenchVoice
                || speaker.availability() == Availability::EngineFailed)
        << static_cast<int>(speaker.availability());

    // What the speaker's thread does with a word, done here where its end
    // can be seen: anything sent has reached the server's log once Say()
    // returns (each message waits for the server's answer).
    SpeechWorker worker;
    worker.FindVoice();
    worker.Say(QStringLiteral("le"));
    worker.Say(QStringLiteral("de"));
    const QByteArray log = server.Log();
    EXPECT_FALSE(log.contains(":DATA:|le") || log.contains(":DATA:|de") || log.contains("<speak>"))
        << "something was sent to be spoken";
}

} // namespace
