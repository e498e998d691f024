#pragma once

#include "speech/speaker.h"
#include "stores/options_store.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <memory>
#include <string_view>

class QAction;
class QMenu;
class QShortcut;
class QWidget;

// "Speak French Words": while it is on, each French word the drill asks, and
// each word Review steps to, is said once in a French voice as it appears,
// and F5 says the current word again. The choice is kept in the options,
// off until the learner turns it on; until then no speech engine is even
// started. The window tells it what the word display shows; the engine
// knows nothing of it and never waits for it.
//
// A choice that cannot be kept (or options that cannot be read) is told in
// the window by the SaveGuard, through Trouble(), and tried again with
// RetryKeeping() until it is kept; meanwhile it holds for this run.
class WordSpeaker : public QObject
{
    Q_OBJECT
public:
    static constexpr std::string_view kOptionName = "SpeakFrenchWords";
    // Neither a screen reader's key (Orca: Insert or Caps Lock chords, the
    // keypad) nor one of pelko's (1-4, Tab, Enter, Escape).
    static constexpr int kSayAgainKey = Qt::Key_F5;

    // The F5 shortcut is made on window.
    WordSpeaker(std::unique_ptr<Speaker> speaker, std::unique_ptr<OptionsStore> options, QWidget &window);
    ~WordSpeaker() override;

    // The word display now shows `shown`; `asked` is the French word the
    // drill asked or Review stepped to, as the word list holds it (empty
    // when there is none).
    void WordDisplayChanged(std::u16string_view shown, std::u16string_view asked);
    // F5: the word on show, again.
    void SayAgain();

    bool IsOn() const { return on_; }
    void SetOn(bool on);
    // On, with a French voice to say the words: a screen reader's
    // announcement can then leave the word out.
    bool SpeaksWords() const;

    // The checkable item, added at the end of menu; it follows the voice
    // search while the menu is open.
    QAction *AddMenuItem(QMenu &menu);
    // Why the item can or cannot be used: its tool tip.
    QString Explanation() const;

    // What keeps the choice from being kept or read, for the window's
    // message (the file or key and the reason); empty while all is well.
    QString Trouble() const;
    // Tries again to keep the choice, or to read the options that could not
    // be read (a choice found there then counts, unless the learner has made
    // one since).
    void RetryKeeping();
    // Called whenever Trouble() changes.
    void SetTroubleListener(std::function<void()> listener) { troubleListener_ = std::move(listener); }

    // The word to say for what the display shows: the asked word without
    // its layout blanks, when the display shows it (alone, or as Review's
    // "word :: meaning"); else empty.
    static QString SpokenWord(std::u16string_view shown, std::u16string_view asked);

    Speaker &speaker() { return *speaker_; }

private:
    bool Usable() const;
    void UpdateItem();
    void Keep();
    void SetProblem(const OptionsStore::Problem &problem);

    std::unique_ptr<Speaker> speaker_;
    std::unique_ptr<OptionsStore> options_;
    QShortcut *sayAgain_ = nullptr;
    QPointer<QAction> item_; // while a menu holding it is open
    bool on_ = false;
    // The learner's choice of this run is not in the options yet.
    bool unkept_ = false;
    OptionsStore::Problem problem_;
    QString told_; // Trouble() as last told
    std::function<void()> troubleListener_;
    QString current_; // the word on show, said or not
};
