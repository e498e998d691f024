#pragma once

#include "drill/drill_engine.h"
#include "res/control_ids.h"
#include "tests/drill/counting_store.h"
#include "tests/drill/recording_window.h"
#include "tests/support/temp_profile.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

namespace id = ids::main;

// An opened main window on a fresh profile, driven by hand: clicks, ticks
// and the clock.
class EngineTest : public ::testing::Test
{
protected:
    EngineTest() { engine.InitDialogState(); }

    DrillSession &session() { return engine.session(); }
    ProfileStore &store() { return profile.store(); }

    void Tick(int n = 1)
    {
        for (int i = 0; i < n; ++i) {
            engine.OnDrillTimer();
        }
    }
    void Right() { engine.AnswerClicked(session().answerSlot); }
    void Wrong() { engine.AnswerClicked((session().answerSlot + 1) % 4); }

    // Ticks until the pause after an answer has run out; returns how many.
    int TicksToNextQuestion()
    {
        int ticks = 0;
        while (session().answerPause > 0 && ticks < 100) {
            Tick();
            ++ticks;
        }
        return ticks;
    }

    int Position() { return session().currentWord - session().firstWord + 1; }

    // Runs the started practise drill to its end; wrongAnswers[position] is
    // how many times that position is answered wrong before it is answered
    // right. Returns the positions in the order they were asked.
    std::vector<int> RunPractise(std::map<int, int> wrongAnswers = {})
    {
        std::vector<int> asked;
        while (session().currentWord != -1 && asked.size() < 500) {
            const int position = Position();
            asked.push_back(position);
            int &wrongLeft = wrongAnswers[position];
            if (wrongLeft > 0) {
                --wrongLeft;
                Wrong();
            } else {
                Right();
            }
            window.now += 1;
            TicksToNextQuestion();
        }
        return asked;
    }

    int CountInvalidations(int controlId, bool erase) const
    {
        int n = 0;
        for (const auto &inv : window.invalidations) {
            n += inv.id == controlId && inv.erase == erase ? 1 : 0;
        }
        return n;
    }

    TempProfile profile;
    CountingStore counting {profile.store()};
    RecordingWindow window;
    DrillEngine engine {window, counting};
};
