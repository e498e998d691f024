// The real speaker against a real speech-dispatcher of the test's own: the
// word goes out tagged French in a French voice, a word still being said is
// cut off by the next, and with no French voice nothing goes out at all.

#include "app/qt_speech_speaker.h"
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
    QtSpeechSpeaker speaker;
    int started = 0;
    QObject::connect(&speaker, &QtSpeechSpeaker::speakingStarted, [&] { ++started; });
    speaker.Prepare();
    ASSERT_TRUE(WaitFor([&] { return speaker.availability() == Availability::Ready; }));

    // Long enough to be still going when the next word comes.
    const QString longText = QStringLiteral("anticonstitutionnellement, ").repeated(20);
    speaker.Say(longText);
    ASSERT_TRUE(WaitFor([&] { return started == 1; }, 60000));
    speaker.Say(QStringLiteral("de"));
    ASSERT_TRUE(WaitFor([&] { return server.Log().contains(SentOut("de")); }, 60000));
    const QByteArray log = server.Log();
    const qsizetype first = log.indexOf("Command sent to output module: |<speak>anticonstitutionnellement");
    const qsizetype cancel = log.indexOf("CANCEL", first);
    ASSERT_GE(first, 0);
    EXPECT_GT(cancel, first);
    EXPECT_LT(cancel, log.indexOf(SentOut("de")));
    // The long text did not run to its end before the cut.
    EXPECT_LT(log.count("702 END"), 2);
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

    speaker.Say(QStringLiteral("le"));
    // A word said after it would reach the server through the same thread, queued behind this one.
    speaker.Say(QStringLiteral("de"));
    QElapsedTimer settle;
    settle.start();
    WaitFor([&] { return settle.elapsed() > 500; });
    EXPECT_FALSE(server.Log().contains("<speak>")) << "something was sent to be spoken";
}

} // namespace
