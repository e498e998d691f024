// The learner's actions that write the profile, on profiles holding 1,000
// and 20,000 stored result lines (and a full high-score table), each through
// the real store on a real file: one atomic replacement, flushed, per record.
// And opening the largest profile pelko reads, and files it does not read.
#include "bench/null_window.h"
#include "drill/drill_engine.h"
#include "records/high_score_table.h"
#include "records/profile_keys.h"
#include "records/reset_times.h"
#include "stores/posix/profile_file.h"
#include "stores/posix/qsettings_profile_store.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <functional>
#include <map>
#include <memory>

namespace {

QTemporaryDir *scratch = nullptr;

// A new profile file with `lines` result lines spread over the 20 levels,
// every best result and all 15 high-score rows, as QSettings writes them.
QString MakeProfile(int lines)
{
    static std::map<int, QByteArray> texts;
    QByteArray &text = texts[lines];
    if (text.isEmpty()) {
        std::map<std::string, QByteArray> entries;
        for (int i = 0; i < lines; ++i) {
            entries[profile_keys::Result(i % 20 + 1, i / 20 + 1)] = "\"  02 mins, 05 secs Tries :51\"";
        }
        for (int level = 1; level <= 20; ++level) {
            entries[profile_keys::BestResult(level)] = "60";
        }
        for (int r = 0; r < HighScoreTable::kRows; ++r) {
            entries[profile_keys::Span(r)] = "60";
            entries[profile_keys::Correct(r)] = QByteArray::number(30 - r);
            entries[profile_keys::Tries(r)] = "40";
            entries[profile_keys::Title(r)] = "name";
        }
        text = "[Results]\n";
        for (const auto &[key, value] : entries) {
            text += QByteArray::fromStdString(key) + '=' + value + '\n';
        }
    }
    static int made = 0;
    const QString path = scratch->path() + "/p" + QString::number(++made) + ".conf";
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size()) {
        std::abort();
    }
    return path;
}

// The end of a practise drill: its result line and best result.
void BM_FinishPractise(benchmark::State &state)
{
    QSettingsProfileStore store(MakeProfile(static_cast<int>(state.range(0))));
    NullWindow window;
    DrillEngine engine(window, store);
    engine.InitDialogState();
    engine.SelectLevel(1);
    for (auto _ : state) {
        engine.session().tries = 55;
        engine.FinishPractise();
    }
}

// A speed challenge entering the table: read, merge, all 60 values saved.
void BM_SaveHighScores(benchmark::State &state)
{
    QSettingsProfileStore store(MakeProfile(static_cast<int>(state.range(0))));
    int correct = 100;
    for (auto _ : state) {
        HighScoreTable table(store);
        table.SetCandidate(60, ++correct, 200);
        table.LoadAndMerge();
    }
}

void BM_NameKeystroke(benchmark::State &state)
{
    QSettingsProfileStore store(MakeProfile(static_cast<int>(state.range(0))));
    HighScoreTable table(store);
    table.SetCandidate(60, 100, 200);
    table.LoadAndMerge();
    std::u16string name;
    for (auto _ : state) {
        name = name.size() < 20 ? name + u'a' : u"a";
        table.OnNameChange(name);
    }
}

// A keystroke of a name while another program holds the lock, with the
// store let wait for it that long (ms): 0 as the window has it, 100 before.
// Nothing is written; the value waits for the retry.
void BM_NameKeystrokeBehindALock(benchmark::State &state)
{
    const QString path = MakeProfile(1000);
    QSettingsProfileStore store(path);
    store.SetLockWait(static_cast<int>(state.range(0)));
    HighScoreTable table(store);
    table.SetCandidate(60, 100, 200);
    table.LoadAndMerge();
    ProfileFile other(path);
    if (other.Lock()) {
        std::abort();
    }
    std::u16string name;
    for (auto _ : state) {
        name = name.size() < 20 ? name + u'a' : u"a";
        table.OnNameChange(name);
    }
    other.Unlock();
}

// Reset Times after its Yes: the safety copy, then every key cleared.
void BM_ResetTimes(benchmark::State &state)
{
    for (auto _ : state) {
        state.PauseTiming();
        auto store = std::make_unique<QSettingsProfileStore>(MakeProfile(static_cast<int>(state.range(0))));
        state.ResumeTiming();
        ResetTimes(*store);
    }
}

// What start-up reads: the profile, level 1's results and the 20 best results.
void BM_StartupRead(benchmark::State &state)
{
    for (auto _ : state) {
        state.PauseTiming();
        const QString path = MakeProfile(static_cast<int>(state.range(0)));
        state.ResumeTiming();
        QSettingsProfileStore store(path);
        NullWindow window;
        DrillEngine engine(window, store);
        engine.InitDialogState();
        engine.ShowLevelResults();
        int sum = 0;
        for (int level = 1; level <= 20; ++level) {
            sum += store.GetProfileInt(kResultsSection, profile_keys::BestResult(level), 999);
        }
        benchmark::DoNotOptimize(sum);
    }
}

// A file of lines made by line(i), as many as fit under maxBytes.
QString MakeFile(qint64 maxBytes, const std::function<QByteArray(int)> &line)
{
    QByteArray text = "[Results]\n";
    for (int i = 0;; ++i) {
        const QByteArray next = line(i);
        if (next.isEmpty() || text.size() + next.size() > maxBytes) {
            break;
        }
        text += next;
    }
    static int made = 0;
    const QString path = scratch->path() + "/large" + QString::number(++made) + ".conf";
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size()) {
        std::abort();
    }
    return path;
}

// Start-up's reading of a profile just under the size limit (result lines
// over the 20 levels, about 71,000), or of the most lines pelko reads (the
// shortest values), or one line more. Memory is measured on the program
// itself (bench/'s start-up probe), not here.
void BM_OpenLargestProfile(benchmark::State &state)
{
    QString path;
    if (state.range(0) == 0) {
        path = MakeFile(ProfileFile::kMaxProfileBytes, [](int i) {
            return QByteArray::fromStdString(profile_keys::Result(i % 20 + 1, i / 20 + 1))
                + "=\"  02 mins, 05 secs Tries :51\"\n";
        });
    } else {
        const qint64 lines = state.range(0);
        path = MakeFile(ProfileFile::kMaxProfileBytes,
                        [lines](int i) { return i < lines ? 'k' + QByteArray::number(i) + "=1\n" : QByteArray(); });
    }
    const qint64 size = QFile(path).size();
    for (auto _ : state) {
        auto store = std::make_unique<QSettingsProfileStore>(path);
        NullWindow window;
        DrillEngine engine(window, *store);
        engine.InitDialogState();
        engine.ShowLevelResults();
        benchmark::DoNotOptimize(store->GetProfileInt(kResultsSection, "BestResult1", 999));
    }
    state.counters["file_MB"] = double(size) / (1 << 20);
}

// A sparse file of 64 GB at the profile's path: looked at, never read.
void BM_OpenHugeFile(benchmark::State &state)
{
    const QString path = scratch->path() + "/huge.conf";
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || !file.resize(qint64 {64} << 30)) {
        std::abort();
    }
    file.close();
    const QtMessageHandler previous
        = qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    for (auto _ : state) {
        QSettingsProfileStore store(path);
        benchmark::DoNotOptimize(store.setAside().reason.size());
    }
    qInstallMessageHandler(previous);
}

} // namespace

BENCHMARK(BM_FinishPractise)->Arg(1000)->Arg(20000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveHighScores)->Arg(1000)->Arg(20000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NameKeystroke)->Arg(1000)->Arg(20000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NameKeystrokeBehindALock)->Arg(0)->Arg(100)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ResetTimes)->Arg(1000)->Arg(20000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StartupRead)->Arg(0)->Arg(1000)->Arg(20000)->Unit(benchmark::kMillisecond);
// 0: result lines; else that many short lines (the line limit, and one more).
BENCHMARK(BM_OpenLargestProfile)
    ->Arg(0)
    ->Arg(ProfileDocument::kMaxLines - 1)
    ->Arg(ProfileDocument::kMaxLines)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenHugeFile)->Unit(benchmark::kMicrosecond);

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    scratch = &dir;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
