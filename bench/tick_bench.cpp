// One 200 ms drill tick of the real main window, with the repaint of every
// control it invalidates, on the offscreen platform.
#include "app/c_pelko_dlg.h"
#include "stores/posix/qsettings_profile_store.h"

#include <QApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

struct Window
{
    QTemporaryDir dir;
    QSettingsProfileStore store {dir.filePath(QStringLiteral("pelko.conf"))};
    CpelkoDlg dialog {store};
    std::int64_t now = 1'700'000'000;

    Window()
    {
        dialog.setClock([this] { return now; });
        dialog.show();
        QApplication::processEvents();
    }
};

// A tick in the steady state of a drill: the gauge and the clock repaint.
void BM_IdleTickWithRepaint(benchmark::State &state)
{
    Window w;
    w.dialog.engine().StartDrill();
    QApplication::processEvents();
    for (auto _ : state) {
        w.dialog.engine().OnDrillTimer();
        QApplication::processEvents(); // runs the paints the tick asked for
        if (w.dialog.engine().progress().credit == 0) {
            w.dialog.engine().progress().credit = 50;
        }
    }
}
BENCHMARK(BM_IdleTickWithRepaint)->Unit(benchmark::kMicrosecond);

// The tick that asks the next question: every drill control repaints.
void BM_QuestionTickWithRepaint(benchmark::State &state)
{
    Window w;
    DrillEngine &engine = w.dialog.engine();
    engine.StartDrill();
    QApplication::processEvents();
    for (auto _ : state) {
        state.PauseTiming();
        if (engine.session().currentWord < 0) {
            engine.StartDrill();
        }
        engine.AnswerClicked(engine.session().answerSlot);
        engine.session().answerPause = 1;
        QApplication::processEvents();
        state.ResumeTiming();
        engine.OnDrillTimer();
        QApplication::processEvents();
    }
}
BENCHMARK(BM_QuestionTickWithRepaint)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
