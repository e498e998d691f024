#pragma once

#include "drill/drill_engine.h"
#include "res/control_ids.h"
#include "tests/drill/recording_window.h"
#include "tests/support/memory_profile_store.h"

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
    std::u16string Stored(const std::string &entry) { return store.GetProfileString(kResultsSection, entry, u""); }

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

    MemoryProfileStore store;
    RecordingWindow window;
    DrillEngine engine {window, store};
};
