// From a word given to the speaker (the moment the window shows it) to
// speech-dispatcher reporting that it has begun to say it, through the real
// speaker and a private speech-dispatcher with espeak-ng (sound into ALSA's
// null device): the first word right after a start, with the French voice
// an earlier start found and with none, then the words after it. Each
// iteration's time is measured by hand: the wait is on the event loop.

#include "speech/posix/speechd_speaker.h"
#include "tests/support/private_speech_dispatcher.h"
#include "tests/support/wait_for.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

QString gRemembered; // where the voice found is kept between starts
SpeechdSpeaker *gSpeaker = nullptr;
int gStarted = 0;
std::size_t gNextWord = 0;

void Pause(int ms)
{
    QElapsedTimer waited;
    waited.start();
    WaitFor([&] { return waited.elapsed() >= ms; }, ms + 1000);
}

// One word a run, many runs: the median and the slowest of them are what counts.
void OneWordARun(benchmark::internal::Benchmark *bench)
{
    bench->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond)->ReportAggregatesOnly(true);
    bench->ComputeStatistics("max", [](const std::vector<double> &v) { return *std::max_element(v.begin(), v.end()); });
}

const QString kWords[] = {QStringLiteral("le"),   QStringLiteral("depuis"), QStringLiteral("père"),
                          QStringLiteral("être"), QStringLiteral("avoir"),  QStringLiteral("parce que")};

// A start of the program with speech on, and a drill's first word at once.
void FirstWordAfterStart(benchmark::State &state, bool remembered)
{
    for (auto _ : state) {
        if (!remembered) {
            QFile::remove(gRemembered);
        }
        SpeechdSpeaker speaker(gRemembered);
        int started = 0;
        QObject::connect(&speaker, &SpeechdSpeaker::speakingStarted, [&] { ++started; });
        QElapsedTimer timer;
        timer.start();
        speaker.Prepare();
        speaker.Say(kWords[gNextWord++ % std::size(kWords)]);
        if (!WaitFor([&] { return started > 0; }, 60000)) {
            state.SkipWithError("the first word was never said");
            break;
        }
        state.SetIterationTime(static_cast<double>(timer.nsecsElapsed()) * 1e-9);
        // The voice check behind the word ends before the next start.
        Pause(2500);
    }
}
void BM_FirstWordAfterStart(benchmark::State &state)
{
    FirstWordAfterStart(state, true);
}
BENCHMARK(BM_FirstWordAfterStart)->Apply(OneWordARun)->Repetitions(11);
// The very first start with speech on (or one after the voice was forgotten): the word waits for the listing.
void BM_FirstWordAfterFirstStart(benchmark::State &state)
{
    FirstWordAfterStart(state, false);
}
BENCHMARK(BM_FirstWordAfterFirstStart)->Apply(OneWordARun)->Repetitions(5);

// A word after silence: the usual case, one question after another.
void BM_SayToSpeaking(benchmark::State &state)
{
    for (auto _ : state) {
        const int before = gStarted;
        QElapsedTimer timer;
        timer.start();
        gSpeaker->Say(kWords[gNextWord++ % std::size(kWords)]);
        if (!WaitFor([&] { return gStarted > before; }, 10000)) {
            state.SkipWithError("the engine never began to speak");
            break;
        }
        state.SetIterationTime(static_cast<double>(timer.nsecsElapsed()) * 1e-9);
        Pause(1500); // the word runs out
    }
}
BENCHMARK(BM_SayToSpeaking)->Apply(OneWordARun)->Repetitions(15);

// A word while the last is still being said (Review stepped quickly): the cut comes first.
void BM_SayOverSpeechToSpeaking(benchmark::State &state)
{
    const QString longText = QStringLiteral("anticonstitutionnellement, ").repeated(10);
    for (auto _ : state) {
        int before = gStarted;
        gSpeaker->Say(longText);
        if (!WaitFor([&] { return gStarted > before; }, 10000)) {
            state.SkipWithError("the engine never began to speak");
            break;
        }
        Pause(100);
        before = gStarted;
        QElapsedTimer timer;
        timer.start();
        gSpeaker->Say(QStringLiteral("le"));
        if (!WaitFor([&] { return gStarted > before; }, 10000)) {
            state.SkipWithError("the engine never began the second word");
            break;
        }
        state.SetIterationTime(static_cast<double>(timer.nsecsElapsed()) * 1e-9);
        Pause(1500);
    }
}
BENCHMARK(BM_SayOverSpeechToSpeaking)->Apply(OneWordARun)->Repetitions(15);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    PrivateSpeechDispatcher server(PrivateSpeechDispatcher::Synthesiser::EspeakNg);
    if (!server.Running()) {
        std::fprintf(stderr, "speech-dispatcher did not start\n");
        return 1;
    }
    QTemporaryDir cache;
    gRemembered = cache.filePath(QStringLiteral("pelko-french-voice"));
    auto speaker = std::make_unique<SpeechdSpeaker>(gRemembered);
    QObject::connect(speaker.get(), &SpeechdSpeaker::speakingStarted, [] { ++gStarted; });
    QElapsedTimer found;
    found.start();
    speaker->Prepare();
    if (!WaitFor([&] { return speaker->availability() != Speaker::Availability::Looking; }, 60000)
        || speaker->availability() != Speaker::Availability::Ready) {
        std::fprintf(stderr, "no French voice was found\n");
        return 1;
    }
    std::printf("finding the French voice \"%s\" took %lld ms (listing on a thread of its own)\n",
                qPrintable(speaker->voiceName()), static_cast<long long>(found.elapsed()));
    gSpeaker = speaker.get();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
