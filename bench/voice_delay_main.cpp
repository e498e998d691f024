// pelko.exe's own French voice, measured under Wine (scripts/measure-windows-voice):
// - espeak-ng's start on the voice's data (EspeakVoice::Load), which pelko does
//   once, on the speech thread, when the voice is first wanted;
// - a word given to the real speaker (the moment the window shows it) to its
//   first sample reaching the sound device, read from the file that Wine's
//   ALSA output writes (Windows' audio, then Wine, then ALSA): after silence,
//   and while the word before is still playing (the cut comes first).
// Google Benchmark is not built for Windows here; this prints its figures.
//   pelko_voice_delay references FILE               the words' samples, and espeak-ng's start
//   pelko_voice_delay listen SOUND_FILE REFERENCES  the speaker, heard in the file Wine's ALSA output writes

#include "speech/windows/espeak_speaker.h"
#include "speech/windows/espeak_voice.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

const QString kWords[]
    = {QStringLiteral("le"),    QStringLiteral("depuis"),    QStringLiteral("père"),        QStringLiteral("être"),
       QStringLiteral("avoir"), QStringLiteral("parce que"), QStringLiteral("aujourd'hui"), QStringLiteral("quelqu'un"),
       QStringLiteral("sœur"),  QStringLiteral("pouvoir")};
constexpr int kRounds = 3;

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

void Print(const char *what, const std::vector<double> &ms)
{
    std::printf("%-58s median %6.1f ms, min %6.1f, max %6.1f (%zu)\n", what, Median(ms),
                *std::min_element(ms.begin(), ms.end()), *std::max_element(ms.begin(), ms.end()), ms.size());
}

// The sound device's file, read as it grows: where a run of samples first appears.
class SoundFile
{
public:
    explicit SoundFile(const QString &path) : file_(path) { }

    // Waits until a word's first samples appear after byte `from`; the time
    // it took from `started`, in ms, or a negative number.
    double WaitFor(const std::vector<std::int16_t> &samples, qint64 from, const QElapsedTimer &started)
    {
        const std::size_t n = std::min<std::size_t>(samples.size(), 64);
        const QByteArray pattern(reinterpret_cast<const char *>(samples.data()), static_cast<qsizetype>(n * 2));
        while (started.elapsed() < 10000) {
            if (!file_.isOpen() && !file_.open(QIODevice::ReadOnly)) {
                continue;
            }
            file_.seek(from);
            const QByteArray data = file_.readAll();
            for (qsizetype at = data.indexOf(pattern); at >= 0; at = data.indexOf(pattern, at + 1)) {
                if ((from + at) % 2 == 0) {
                    return static_cast<double>(started.nsecsElapsed()) / 1e6;
                }
            }
        }
        return -1;
    }
    qint64 Size() { return file_.isOpen() || file_.open(QIODevice::ReadOnly) ? file_.size() : 0; }

private:
    QFile file_;
};

// What the speaker is given, in order: each word after silence, then the next
// one while it still plays.
std::vector<QString> Sequence()
{
    std::vector<QString> words;
    for (int round = 0; round < kRounds; ++round) {
        for (std::size_t k = 0; k < std::size(kWords); ++k) {
            words.push_back(kWords[k]);
            words.push_back(kWords[(k + 1) % std::size(kWords)]);
        }
    }
    return words;
}

// A fresh process says the sequence as the speaker will: espeak-ng carries
// some state from one word to the next (its pitch flutter), so only the same
// words in the same order from its start give the same samples. Then it
// times espeak-ng's start.
int References(const QString &file)
{
    const QString data = EspeakVoice::DataFolderBesideProgram();
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly)) {
        return 1;
    }
    std::vector<double> loads;
    for (int i = 0; i < 10; ++i) {
        EspeakVoice voice;
        QElapsedTimer timer;
        timer.start();
        if (voice.Load(data) != Speaker::Availability::Ready) {
            std::fprintf(stderr, "no voice: %s\n", qUtf8Printable(voice.failure()));
            return 1;
        }
        loads.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
        if (i == 0) {
            std::printf("espeak-ng's first start in a process: %.1f ms\n", loads[0]);
            for (const QString &word : Sequence()) {
                const std::vector<std::int16_t> samples = voice.Synthesize(word);
                const auto n = static_cast<quint32>(samples.size());
                out.write(reinterpret_cast<const char *>(&n), sizeof n);
                out.write(reinterpret_cast<const char *>(samples.data()), static_cast<qint64>(n) * 2);
            }
        }
    }
    Print("espeak-ng's start (EspeakVoice::Load, 10 starts)", loads);
    return 0;
}

int Listen(const QString &soundFile, const QString &referenceFile)
{
    QFile in(referenceFile);
    if (!in.open(QIODevice::ReadOnly)) {
        return 1;
    }
    std::vector<std::vector<std::int16_t>> sounds;
    quint32 n = 0;
    while (in.read(reinterpret_cast<char *>(&n), sizeof n) == sizeof n) {
        sounds.emplace_back(n);
        in.read(reinterpret_cast<char *>(sounds.back().data()), static_cast<qint64>(n) * 2);
    }
    const std::vector<QString> words = Sequence();
    if (sounds.size() != words.size()) {
        return 1;
    }

    EspeakSpeaker speaker(EspeakVoice::DataFolderBesideProgram());
    QEventLoop starting;
    speaker.SetAvailabilityListener([&] {
        if (speaker.availability() != Speaker::Availability::Looking) {
            starting.quit();
        }
    });
    QElapsedTimer preparing;
    preparing.start();
    speaker.Prepare();
    starting.exec();
    if (speaker.availability() != Speaker::Availability::Ready) {
        std::fprintf(stderr, "the speaker has no voice: %s\n", qUtf8Printable(speaker.failure()));
        return 1;
    }
    std::printf("the speaker's Prepare() to Ready (espeak-ng's start and the sound device opened): %.1f ms\n",
                static_cast<double>(preparing.nsecsElapsed()) / 1e6);

    SoundFile sound(soundFile);
    std::vector<double> afterSilence;
    std::vector<double> overAWord;
    for (std::size_t i = 0; i < words.size(); ++i) {
        // Even: after silence, the word before has run out. Odd: while the
        // word before still plays (Review stepped on), cutting it off.
        if (i % 2 == 0) {
            QThread::msleep(800);
        }
        const qint64 from = sound.Size();
        QElapsedTimer timer;
        timer.start();
        speaker.Say(words[i]);
        const double heard = sound.WaitFor(sounds[i], from, timer);
        if (heard < 0) {
            std::fprintf(stderr, "\"%s\" never reached the sound device\n", qUtf8Printable(words[i]));
            return 1;
        }
        (i % 2 == 0 ? afterSilence : overAWord).push_back(heard);
    }
    Print("word given to its first sample at the device, after silence", afterSilence);
    Print("the same, while the word before still plays (cut off)", overAWord);
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() == 3 && args[1] == QLatin1String("references")) {
        return References(args[2]);
    }
    if (args.size() == 4 && args[1] == QLatin1String("listen")) {
        return Listen(args[2], args[3]);
    }
    std::fprintf(stderr, "usage: pelko_voice_delay references FILE | listen SOUND_FILE REFERENCES\n");
    return 2;
}
