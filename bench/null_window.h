#pragma once

#include "drill/window_services.h"

// A window that shows nothing: only the list rows and the clock, which the
// engine reads back.
class NullWindow : public WindowServices
{
public:
    void SetControlText(int, std::u16string_view) override { }
    std::u16string GetControlText(int) const override { return {}; }
    void ShowControl(int, bool) override { }
    void EnableControl(int, bool) override { }
    void InvalidateControl(int, bool) override { }
    void SetDrillTimer() override { }
    void KillDrillTimer() override { }
    void ListInsertTop(int, std::u16string_view, std::u16string_view) override { ++rows; }
    void ListEnsureTopVisible(int) override { }
    void ListDeleteAll(int) override { rows = 0; }
    int ListRowCount(int) const override { return rows; }
    void SelectTab(int) override { }
    void RunHighScores(std::int64_t, std::int32_t, std::int32_t) override { }
    bool AskYesNo(std::u16string_view) override { return false; }
    void Announce(std::u16string_view) override { }
    std::int64_t Now() const override { return now; }

    int rows = 0;
    std::int64_t now = 1'700'000'000;
};
