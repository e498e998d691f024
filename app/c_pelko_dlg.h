#pragma once

#include "controls/accessibility_notifier.h"
#include "drill/display_state.h"
#include "drill/drill_engine.h"
#include "drill/window_services.h"
#include "speech/speaker.h"
#include "stores/saved_profile.h"

#include <QDialog>
#include <QRect>
#include <QTimer>

#include <array>
#include <functional>
#include <map>
#include <memory>

class Announcer;
class FocusCue;
class SaveGuard;
class QTreeWidget;
class TabControl;
class WordSpeaker;

// The program's only window. It owns the engine and every control, lays the
// controls out from their template and carries out what the engine asks of
// the window.
class CpelkoDlg : public QDialog, public WindowServices
{
    Q_OBJECT
public:
    explicit CpelkoDlg(SavedProfile &store, QWidget *parent = nullptr);
    // With a speaker of the caller's (tests) instead of this build's.
    CpelkoDlg(SavedProfile &store, std::unique_ptr<Speaker> speaker, QWidget *parent = nullptr);
    ~CpelkoDlg() override;

    DrillEngine &engine() { return engine_; }
    // The control with a template id, or nullptr.
    QWidget *control(int id) const;
    // Tests replace the calendar clock.
    void setClock(std::function<std::int64_t()> clock) { clock_ = std::move(clock); }

    // WindowServices
    void SetControlText(int id, std::u16string_view text) override;
    std::u16string GetControlText(int id) const override;
    void ShowControl(int id, bool show) override;
    void EnableControl(int id, bool enable) override;
    void InvalidateControl(int id, bool erase) override;
    void SetDrillTimer() override;
    void KillDrillTimer() override;
    void ListInsertTop(int listId, std::u16string_view text, std::u16string_view spoken) override;
    void ListEnsureTopVisible(int listId) override;
    void ListDeleteAll(int listId) override;
    int ListRowCount(int listId) const override;
    void SelectTab(int index) override;
    void RunHighScores(std::int64_t span, std::int32_t correct, std::int32_t tries) override;
    bool AskYesNo(std::u16string_view text) override;
    void Announce(std::u16string_view text) override;
    std::int64_t Now() const override;

    void OnAboutButton();
    void OnSysCommand(int command);
    void OnTabSelChange();
    bool drillTimerActive() const { return drillTimer_.isActive(); }
    SaveGuard &saveGuard() const { return *saveGuard_; }
    WordSpeaker &wordSpeaker() const { return *wordSpeaker_; }
    Announcer &announcer() const { return *announcer_; }
    FocusCue &focusCue() const { return *focusCue_; }

    // Every way out (Exit, Escape, the close box) asks first while results are unsaved.
    void done(int result) override;

protected:
    // Answers with the French keyboard's top row, wherever the focus is in this window.
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    void CreateControls();
    void OnInitDialog();
    void BindAnswerKeys();
    void BindTabKeys();
    void PressAnswer(int k);
    QTreeWidget *List(int id) const;

    SavedProfile &store_;
    DrillEngine engine_;
    SaveGuard *saveGuard_ = nullptr;
    WordSpeaker *wordSpeaker_ = nullptr;
    Announcer *announcer_ = nullptr;
    FocusCue *focusCue_ = nullptr;
    // The five command buttons share the answer buttons' painter; their flags stay 0.
    AnswerFace commandFace_;
    QTimer drillTimer_;
    AccessibilityNotifier notifier_;
    std::map<int, QWidget *> controls_;
    TabControl *tabs_ = nullptr;
    QRect listRect_;
    std::function<std::int64_t()> clock_;
};
