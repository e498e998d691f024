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
    // Ticks until the pause after an answer has run out.
    void TicksToNextQuestion()
    {
        for (int ticks = 0; session().answerPause > 0 && ticks < 100; ++ticks) {
            Tick();
        }
    }
    int Position() { return session().currentWord - session().firstWord + 1; }
    Lines Captions() // of the four answer buttons
    {
        return {window.texts[id::kAnswer1], window.texts[id::kAnswer2], window.texts[id::kAnswer3],
                window.texts[id::kAnswer4]};
    }

    // Runs the started practise drill to its end, one second per answer;
    // wrongAnswers[position] is how many times that position is answered
    // wrong before it is answered right. Returns the positions as asked.
    std::vector<int> RunPractise(std::map<int, int> wrongAnswers = {})
    {
        std::vector<int> asked;
        while (session().currentWord != -1 && asked.size() < 500) {
            asked.push_back(Position());
            int &wrongLeft = wrongAnswers[Position()];
            wrongLeft > 0 ? (--wrongLeft, Wrong()) : Right();
            window.now += 1;
            TicksToNextQuestion();
        }
        return asked;
    }

    TempProfile profile;
    CountingStore counting {profile.store()};
    RecordingWindow window;
    DrillEngine engine {window, counting};
};
