// The drill engine alone: a window that does nothing and a profile in memory.
#include "bench/null_window.h"
#include "drill/drill_engine.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>

#include <unistd.h>

namespace {

class MemoryStore : public ProfileStore
{
public:
    std::int32_t GetProfileInt(std::string_view, std::string_view entry, std::int32_t defaultValue) const override
    {
        const auto it = ints_.find(std::string(entry));
        return it == ints_.end() ? defaultValue : it->second;
    }
    std::u16string GetProfileString(std::string_view, std::string_view entry,
                                    std::u16string_view defaultValue) const override
    {
        const auto it = strings_.find(std::string(entry));
        return it == strings_.end() || it->second.empty() ? std::u16string(defaultValue) : it->second;
    }
    void WriteProfileInt(std::string_view, std::string_view entry, std::int32_t value) override
    {
        ints_[std::string(entry)] = value;
    }
    void WriteProfileString(std::string_view, std::string_view entry, std::u16string_view value) override
    {
        strings_[std::string(entry)] = std::u16string(value);
    }

private:
    std::map<std::string, std::int32_t> ints_;
    std::map<std::string, std::u16string> strings_;
};

struct Rig
{
    Rig() { engine.InitDialogState(); }
    NullWindow window;
    MemoryStore store;
    DrillEngine engine {window, store};
};

// A tick of a running practise drill between answers: credit, clock text, repaint requests.
void BM_Tick(benchmark::State &state)
{
    Rig rig;
    rig.engine.StartDrill();
    for (auto _ : state) {
        rig.engine.OnDrillTimer();
        ++rig.window.now;
    }
    benchmark::DoNotOptimize(rig.engine.clock().text.data());
}
BENCHMARK(BM_Tick);

// The tick that ends a pause and asks the next question.
void BM_TickAskingTheNextWord(benchmark::State &state)
{
    Rig rig;
    rig.engine.StartDrill();
    for (auto _ : state) {
        rig.engine.session().answerPause = 1;
        rig.engine.session().currentWord = 10;
        rig.engine.OnDrillTimer();
    }
    benchmark::DoNotOptimize(rig.engine.session().answerSlot);
}
BENCHMARK(BM_TickAskingTheNextWord);

// One answer, right or wrong; the pause is cleared so the same question takes the next.
void BM_Answer(benchmark::State &state)
{
    const bool right = state.range(0) != 0;
    Rig rig;
    rig.engine.StartDrill();
    for (auto _ : state) {
        const int slot = rig.engine.session().answerSlot;
        rig.engine.AnswerClicked(right ? slot : (slot + 1) % 4);
        rig.engine.session().answerPause = 0;
    }
    benchmark::DoNotOptimize(rig.engine.session().tries);
}
BENCHMARK(BM_Answer)->Arg(1)->Arg(0)->ArgNames({"right"});

// A whole practise drill, every answer right: 50 questions, 150 ticks and the stored result.
void BM_PractiseDrill(benchmark::State &state)
{
    Rig rig;
    for (auto _ : state) {
        rig.window.rows = 0;
        rig.engine.StartDrill();
        while (rig.engine.session().currentWord != -1) {
            rig.engine.AnswerClicked(rig.engine.session().answerSlot);
            while (rig.engine.session().answerPause > 0) {
                rig.engine.OnDrillTimer();
            }
        }
    }
    benchmark::DoNotOptimize(rig.engine.session().tries);
}
BENCHMARK(BM_PractiseDrill)->Unit(benchmark::kMicrosecond);

// Resident set size in kB (Linux; 0 elsewhere).
long ResidentKilobytes()
{
    long pages = 0;
    long resident = 0;
    if (FILE *statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2) {
            resident = 0;
        }
        std::fclose(statm);
    }
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

// A profile that forgets: the soak measures the engine, not stored results piling up.
class ForgetfulStore : public MemoryStore
{
public:
    void WriteProfileString(std::string_view, std::string_view, std::u16string_view) override { }
};

// 10^6 ticks and 10^5 answers, drills restarting as they finish: resident
// memory must stay flat (reported as counters, before and after).
void BM_Soak(benchmark::State &state)
{
    for (auto _ : state) {
        NullWindow window;
        ForgetfulStore store;
        DrillEngine engine(window, store);
        engine.InitDialogState();
        engine.StartDrill();
        long before = 0;
        for (int tick = 1; tick <= 1'000'000; ++tick) {
            if (tick % 10 == 0) {
                if (engine.session().currentWord == -1) {
                    engine.StartDrill();
                }
                const int slot = engine.session().answerSlot;
                engine.AnswerClicked(tick % 30 == 0 ? (slot + 1) % 4 : slot); // every third answer wrong
            }
            engine.OnDrillTimer();
            ++window.now;
            if (tick == 10'000) {
                before = ResidentKilobytes(); // after the first drills have warmed every buffer
            }
        }
        const long after = ResidentKilobytes();
        state.counters["rss_before_kB"] = static_cast<double>(before);
        state.counters["rss_after_kB"] = static_cast<double>(after);
        state.counters["rss_growth_kB"] = static_cast<double>(after - before);
    }
}
BENCHMARK(BM_Soak)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

BENCHMARK_MAIN();
