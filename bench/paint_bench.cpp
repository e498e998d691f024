// Painting cost of every control of the main window at its real size, and
// of one full repaint of the window (every control once plus the backdrop).
#include "controls/c_answer_button.h"
#include "controls/c_level_button.h"
#include "controls/c_marked_bar.h"
#include "controls/c_progress_bar.h"
#include "controls/c_title_bar.h"
#include "controls/c_total_bar.h"
#include "controls/window_backdrop.h"
#include "records/profile_store.h"

#include <QGuiApplication>
#include <QString>

#include <benchmark/benchmark.h>

#include <map>
#include <string>

namespace {

// An in-memory profile, so the paints measure drawing, not disk access.
class MemoryProfileStore : public ProfileStore
{
public:
    std::int32_t GetProfileInt(std::string_view section, std::string_view entry,
                               std::int32_t defaultValue) const override
    {
        const auto it = ints_.find(Key(section, entry));
        return it == ints_.end() ? defaultValue : it->second;
    }
    std::u16string GetProfileString(std::string_view, std::string_view, std::u16string_view defaultValue) const override
    {
        return std::u16string(defaultValue);
    }
    void WriteProfileInt(std::string_view section, std::string_view entry, std::int32_t value) override
    {
        ints_[Key(section, entry)] = value;
    }
    void WriteProfileString(std::string_view, std::string_view, std::u16string_view) override { }

private:
    static std::string Key(std::string_view section, std::string_view entry)
    {
        return std::string(section) + "/" + std::string(entry);
    }
    std::map<std::string, std::int32_t, std::less<>> ints_;
};

// The window in the middle of a drill.
struct Window
{
    Window()
    {
        const int best[] = {50, 62, 74, 999, 58, 80, 999, 51, 120, 999};
        for (int level = 1; level <= 10; ++level) {
            store.WriteProfileInt(kResultsSection, "BestResult" + std::to_string(level), best[level - 1]);
        }
        answers[1].showRight = 1;
        answers[3].showWrong = 1;
        for (int k = 1; k <= 30; ++k) {
            marked.marks[static_cast<std::size_t>(k)] = k % 4 == 0 ? 2 : 1;
        }
        for (int level = 1; level <= 20; ++level) {
            const int first = level * 50 - 49;
            levelCaptions[level - 1] = QString("%1 - %2").arg(first).arg(first + 49);
        }
    }

    MemoryProfileStore store;
    AnswerFace answers[4];
    AnswerFace command;
    const QString answerTexts[4] = {" \tthe house ", " the cat", "  to go\t", " the garden "};
    const QString commandTexts[5] = {"Review", "Start Practise", "Speed Challenge", "Exit", "About"};
    QString levelCaptions[20];
    ProgressState progress {35, 50};
    MarkedState marked;
    TitleState title {24, 15.0f, u"       French Vocabulary (101 - 150)"};
    TitleState clock {50, 1.0f, u"   02 : 05"};
};

const Window &TheWindow()
{
    static const Window window;
    return window;
}

const QSize kAnswerSize(234, 68);
const QSize kLevelSize(90, 21);
const QSize kStripSize(670, 26);
const QSize kGaugeSize(63, 378);
const QSize kTitleSize(347, 63);
const QSize kClockSize(234, 58);
const QSize kBackdropSize(1154, 588);

void BM_AnswerButton(benchmark::State &state)
{
    const Window &w = TheWindow();
    for (auto _ : state) {
        benchmark::DoNotOptimize(CAnswerButton::Render(w.answers[1], w.answerTexts[1], kAnswerSize));
    }
}

void BM_LevelButton(benchmark::State &state)
{
    const Window &w = TheWindow();
    for (auto _ : state) {
        benchmark::DoNotOptimize(CLevelButton::Render(2, &w.store, w.levelCaptions[1], kLevelSize));
    }
}

void BM_TitleStrip(benchmark::State &state)
{
    const Window &w = TheWindow();
    for (auto _ : state) {
        benchmark::DoNotOptimize(CTitleBar::Render(w.title, kTitleSize));
    }
}

void BM_ClockStrip(benchmark::State &state)
{
    const Window &w = TheWindow();
    for (auto _ : state) {
        benchmark::DoNotOptimize(CTitleBar::Render(w.clock, kClockSize));
    }
}

void BM_ProgressGauge(benchmark::State &state)
{
    const Window &w = TheWindow();
    for (auto _ : state) {
        benchmark::DoNotOptimize(CProgressBar::Render(w.progress, kGaugeSize));
    }
}

void BM_MarkedStrip(benchmark::State &state)
{
    const Window &w = TheWindow();
    for (auto _ : state) {
        benchmark::DoNotOptimize(CMarkedBar::Render(w.marked, kStripSize));
    }
}

void BM_TotalStrip(benchmark::State &state)
{
    const Window &w = TheWindow();
    for (auto _ : state) {
        benchmark::DoNotOptimize(CTotalBar::Render(&w.store, kStripSize));
    }
}

void BM_Backdrop(benchmark::State &state)
{
    for (auto _ : state) {
        benchmark::DoNotOptimize(WindowBackdrop::Render(kBackdropSize));
    }
}

// 9 answer and command buttons, 20 level buttons, the two 670 x 26 strips,
// the gauge, the two title strips and the backdrop.
void BM_FullWindow(benchmark::State &state)
{
    const Window &w = TheWindow();
    for (auto _ : state) {
        for (int i = 0; i < 4; ++i) {
            benchmark::DoNotOptimize(CAnswerButton::Render(w.answers[i], w.answerTexts[i], kAnswerSize));
        }
        for (const QString &text : w.commandTexts) {
            benchmark::DoNotOptimize(CAnswerButton::Render(w.command, text, kAnswerSize));
        }
        for (int level = 1; level <= 20; ++level) {
            benchmark::DoNotOptimize(CLevelButton::Render(level, &w.store, w.levelCaptions[level - 1], kLevelSize));
        }
        benchmark::DoNotOptimize(CMarkedBar::Render(w.marked, kStripSize));
        benchmark::DoNotOptimize(CTotalBar::Render(&w.store, kStripSize));
        benchmark::DoNotOptimize(CProgressBar::Render(w.progress, kGaugeSize));
        benchmark::DoNotOptimize(CTitleBar::Render(w.title, kTitleSize));
        benchmark::DoNotOptimize(CTitleBar::Render(w.clock, kClockSize));
        benchmark::DoNotOptimize(WindowBackdrop::Render(kBackdropSize));
    }
}

// What the 200 ms timer repaints on every tick: the gauge and the clock.
void BM_TimerTick(benchmark::State &state)
{
    const Window &w = TheWindow();
    for (auto _ : state) {
        benchmark::DoNotOptimize(CProgressBar::Render(w.progress, kGaugeSize));
        benchmark::DoNotOptimize(CTitleBar::Render(w.clock, kClockSize));
    }
}

void Configure(benchmark::internal::Benchmark *b)
{
    b->Unit(benchmark::kMicrosecond)->Repetitions(9)->ReportAggregatesOnly(true);
}

BENCHMARK(BM_AnswerButton)->Apply(Configure);
BENCHMARK(BM_LevelButton)->Apply(Configure);
BENCHMARK(BM_TitleStrip)->Apply(Configure);
BENCHMARK(BM_ClockStrip)->Apply(Configure);
BENCHMARK(BM_ProgressGauge)->Apply(Configure);
BENCHMARK(BM_MarkedStrip)->Apply(Configure);
BENCHMARK(BM_TotalStrip)->Apply(Configure);
BENCHMARK(BM_Backdrop)->Apply(Configure);
BENCHMARK(BM_FullWindow)->Apply(Configure);
BENCHMARK(BM_TimerTick)->Apply(Configure);

} // namespace

int main(int argc, char **argv)
{
    // Fonts need a GUI application; no screen is needed.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
