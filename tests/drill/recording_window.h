#pragma once

#include "drill/window_services.h"

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

// Stands in for the main window: records every call the engine and the
// records make, answers Yes/No as scripted and tells the time it is set to.
class RecordingWindow : public WindowServices
{
public:
    struct Invalidation
    {
        int id;
        bool erase;
        bool operator==(const Invalidation &) const = default;
    };
    struct HighScoreRun
    {
        std::int64_t span;
        std::int32_t correct;
        std::int32_t tries;
    };

    void SetControlText(int id, std::u16string_view text) override { texts[id] = std::u16string(text); }
    std::u16string GetControlText(int id) const override
    {
        const auto it = texts.find(id);
        return it == texts.end() ? std::u16string() : it->second;
    }
    void ShowControl(int id, bool show) override { shown[id] = show; }
    void EnableControl(int id, bool enable) override { enabled[id] = enable; }
    void InvalidateControl(int id, bool erase) override { invalidations.push_back({id, erase}); }

    void SetDrillTimer() override
    {
        timerRunning = true;
        ++timerArms;
    }
    void KillDrillTimer() override { timerRunning = false; }

    void ListInsertTop(int listId, std::u16string_view text) override
    {
        auto &rows = lists[listId];
        rows.insert(rows.begin(), std::u16string(text));
    }
    void ListEnsureTopVisible(int listId) override { ++ensureVisible[listId]; }
    void ListDeleteAll(int listId) override { lists[listId].clear(); }
    int ListRowCount(int listId) const override
    {
        const auto it = lists.find(listId);
        return it == lists.end() ? 0 : static_cast<int>(it->second.size());
    }

    void SelectTab(int index) override { selectedTab = index; }

    void RunHighScores(std::int64_t span, std::int32_t correct, std::int32_t tries) override
    {
        highScoreRuns.push_back({span, correct, tries});
        if (duringHighScores) {
            duringHighScores(span, correct, tries);
        }
    }

    bool AskYesNo(std::u16string_view text) override
    {
        questions.emplace_back(text);
        return answerYes;
    }

    std::int64_t Now() const override { return now; }

    // A control never shown or hidden counts as visible, as the template makes it.
    bool IsShown(int id) const
    {
        const auto it = shown.find(id);
        return it == shown.end() || it->second;
    }
    const std::vector<std::u16string> &List(int listId) { return lists[listId]; }

    std::map<int, std::u16string> texts;
    std::map<int, bool> shown;
    std::map<int, bool> enabled;
    std::vector<Invalidation> invalidations;
    bool timerRunning = false;
    int timerArms = 0;
    std::map<int, std::vector<std::u16string>> lists; // row 0 first
    std::map<int, int> ensureVisible;
    int selectedTab = -1;
    std::vector<HighScoreRun> highScoreRuns;
    std::function<void(std::int64_t, std::int32_t, std::int32_t)> duringHighScores;
    bool answerYes = false;
    std::vector<std::u16string> questions;
    std::int64_t now = 1'700'000'000;
};
