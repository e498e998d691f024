#pragma once

#include "drill/drill_engine.h"
#include "drill/window_services.h"
#include "res/control_ids.h"
#include "tests/support/memory_profile_store.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

using Invalidations = std::vector<std::pair<int, bool>>; // control id, erase
using Lines = std::vector<std::u16string>;
using HighScoreRuns = std::vector<std::array<std::int64_t, 3>>; // span, correct, tries

// Stands in for the main window: keeps what the engine and the records show
// and tells the time it is set to.
class RecordingWindow : public WindowServices
{
public:
    void SetControlText(int id, std::u16string_view text) override { texts[id] = std::u16string(text); }
    std::u16string GetControlText(int id) const override { return texts.count(id) ? texts.at(id) : u""; }
    void ShowControl(int id, bool show) override { shown[id] = show; }
    void EnableControl(int, bool) override { }
    void InvalidateControl(int id, bool erase) override { invalidations.emplace_back(id, erase); }
    void SetDrillTimer() override { timerRunning = true; }
    void KillDrillTimer() override { timerRunning = false; }
    void ListInsertTop(int listId, std::u16string_view text, std::u16string_view spokenText) override
    {
        lists[listId].insert(lists[listId].begin(), std::u16string(text));
        spokenRows[listId].insert(spokenRows[listId].begin(), std::u16string(spokenText));
    }
    void Announce(std::u16string_view text) override { announced.emplace_back(text); }
    void ListEnsureTopVisible(int listId) override { ++ensureVisible[listId]; }
    void ListDeleteAll(int listId) override
    {
        lists[listId].clear();
        spokenRows[listId].clear();
    }
    int ListRowCount(int listId) const override { return lists.count(listId) ? int(lists.at(listId).size()) : 0; }
    void SelectTab(int index) override { selectedTab = index; }
    void RunHighScores(std::int64_t span, std::int32_t correct, std::int32_t tries) override
    {
        highScoreRuns.push_back({span, correct, tries});
        timerRanDuringHighScores = timerRanDuringHighScores || timerRunning;
        now += highScoresSeconds; // the learner takes a while to close it
    }
    bool AskYesNo(std::u16string_view) override { return false; }
    std::int64_t Now() const override { return now; }

    // A control never shown or hidden counts as visible, as the template makes it.
    bool IsShown(int id) const { return !shown.count(id) || shown.at(id); }
    const Lines &List(int listId) { return lists[listId]; }

    std::map<int, std::u16string> texts;
    std::map<int, bool> shown;
    Invalidations invalidations;
    bool timerRunning = false;
    std::map<int, Lines> lists; // row 0 first
    std::map<int, Lines> spokenRows; // as a screen reader reads them, row 0 first
    Lines announced;
    std::map<int, int> ensureVisible;
    int selectedTab = -1;
    HighScoreRuns highScoreRuns;
    bool timerRanDuringHighScores = false;
    std::int64_t highScoresSeconds = 0;
    std::int64_t now = 1'700'000'000;
};

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
            window.invalidations.clear(); // keeps what the ticks after the last answer repaint
            TicksToNextQuestion();
        }
        return asked;
    }
    // The seconds left said since the last call, unasked or asked; forgets what was said.
    Lines Cues()
    {
        Lines said;
        for (const std::u16string &text : window.announced) {
            if (text.ends_with(u" left")) {
                said.push_back(text);
            }
        }
        window.announced.clear();
        return said;
    }

    MemoryProfileStore store;
    RecordingWindow window;
    DrillEngine engine {window, store};
};
