#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// What the engine and the records ask of the window. Control ids are those
// of res/control_ids.h. The engine only writes its own state and then calls
// these; it never touches a widget.
class WindowServices
{
public:
    virtual ~WindowServices() = default;

    // Whole text replaced or read, blanks, tabs and line breaks included.
    virtual void SetControlText(int id, std::u16string_view text) = 0;
    virtual std::u16string GetControlText(int id) const = 0;
    // Takes effect at once; a hidden button gets no clicks.
    virtual void ShowControl(int id, bool show) = 0;
    virtual void EnableControl(int id, bool enable) = 0;
    // Schedules a repaint after the current handler; several requests give one paint.
    virtual void InvalidateControl(int id, bool erase) = 0;

    // The 200 ms drill tick; arming it again restarts it.
    virtual void SetDrillTimer() = 0;
    virtual void KillDrillTimer() = 0;

    // One-column lists: an inserted row becomes row 0. spoken is what a
    // screen reader reads for the row, in words rather than layout.
    virtual void ListInsertTop(int listId, std::u16string_view text, std::u16string_view spoken) = 0;
    virtual void ListEnsureTopVisible(int listId) = 0;
    virtual void ListDeleteAll(int listId) = 0;
    virtual int ListRowCount(int listId) const = 0;

    // Selects a tab from code: no learner handler runs, the caller swaps the lists.
    virtual void SelectTab(int index) = 0;

    // Runs the High Scores dialog modally with a candidate run and returns when it closes.
    virtual void RunHighScores(std::int64_t span, std::int32_t correct, std::int32_t tries) = 0;

    // Yes/No question with a stop-sign icon, titled with the program's name; true for Yes.
    virtual bool AskYesNo(std::u16string_view text) = 0;

    // Tells a screen reader, without moving focus. Texts given while one
    // command or tick is handled are spoken together, after what it changed.
    virtual void Announce(std::u16string_view text) = 0;

    // Calendar time in whole seconds.
    virtual std::int64_t Now() const = 0;
};
