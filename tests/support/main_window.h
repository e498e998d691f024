#pragma once

#include "app/announcer.h"
#include "app/c_pelko_dlg.h"
#include "res/control_ids.h"
#include "tests/support/recording_speaker.h"
#include "tests/support/temp_profile.h"

#include <QAbstractButton>
#include <QApplication>
#include <QContextMenuEvent>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <memory>
#include <string_view>

inline QString Q(std::u16string_view s)
{
    return QString::fromUtf16(s.data(), static_cast<qsizetype>(s.size()));
}

// The real main window on a profile of its own, with a speaker that records
// instead of speaking (no engine is ever started) and a clock the test sets.
class MainWindowTest : public ::testing::Test
{
protected:
    void SetUp() override { Start(); }

    void Start(Speaker::Availability whenPrepared = Speaker::Availability::Ready)
    {
        dialog.reset();
        auto owned = std::make_unique<RecordingSpeaker>(whenPrepared);
        speaker = owned.get();
        dialog = std::make_unique<CpelkoDlg>(profile.store(), std::move(owned));
        dialog->setClock([this] { return now; });
        dialog->show();
        // Keys and shortcuts answer only in the active window.
        QApplication::setActiveWindow(dialog.get());
        QApplication::processEvents();
    }
    // A new run of the program on the same profile.
    void Restart(Speaker::Availability whenPrepared = Speaker::Availability::Ready)
    {
        dialog.reset();
        profile.reopen();
        Start(whenPrepared);
    }

    QAbstractButton *Button(int id) { return qobject_cast<QAbstractButton *>(dialog->control(id)); }
    QTreeWidget *List(int id) { return qobject_cast<QTreeWidget *>(dialog->control(id)); }
    QString Text(int id) { return Q(dialog->GetControlText(id)); }
    DrillEngine &engine() { return dialog->engine(); }
    // The word asked, as the voice says it, and its meaning, as the screen reader does.
    QString Asked() { return Q(engine().words()[engine().session().currentWord].french).trimmed(); }
    QString Meaning() { return Q(engine().words()[engine().session().currentWord].english).simplified(); }
    // What the screen reader was last told, once the window got to it.
    QString Announced()
    {
        QApplication::processEvents();
        return dialog->announcer().lastText();
    }

    // Opens the window's right-click menu (its menu's loop runs until it closes).
    void RightClick()
    {
        const QPoint at(200, 150);
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, dialog->mapToGlobal(at));
        QApplication::sendEvent(dialog.get(), &event);
    }
    void Click(int id) { QTest::mouseClick(Button(id), Qt::LeftButton); }
    void Answer(bool right)
    {
        const int slot = engine().session().answerSlot;
        Click(ids::main::kAnswers[static_cast<std::size_t>(right ? slot : (slot + 1) % 4)]);
    }
    // The drill timer's ticks, by hand: nothing here waits for real time.
    void Tick(int n = 1)
    {
        for (int i = 0; i < n; ++i) {
            engine().OnDrillTimer();
        }
    }
    // Ticks until the next question is asked (or the drill ends).
    void TickToNextQuestion()
    {
        const int asked = engine().session().currentWord;
        for (int tick = 0; tick < 20 && engine().session().currentWord == asked; ++tick) {
            engine().OnDrillTimer();
        }
    }
    void AnswerToTheEnd()
    {
        while (engine().session().currentWord != -1) {
            Answer(true);
            TickToNextQuestion();
        }
    }

    TempProfile profile;
    std::int64_t now = 1'700'000'000;
    std::unique_ptr<CpelkoDlg> dialog;
    RecordingSpeaker *speaker = nullptr;
};
