#pragma once

#include "app/speaker.h"
#include "records/options_store.h"

#include <QObject>
#include <QPointer>
#include <QString>

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

    // The word to say for what the display shows: the asked word without
    // its layout blanks, when the display shows it (alone, or as Review's
    // "word :: meaning"); else empty.
    static QString SpokenWord(std::u16string_view shown, std::u16string_view asked);

    Speaker &speaker() { return *speaker_; }

private:
    bool Usable() const;
    void UpdateItem();

    std::unique_ptr<Speaker> speaker_;
    std::unique_ptr<OptionsStore> options_;
    QShortcut *sayAgain_ = nullptr;
    QPointer<QAction> item_; // while a menu holding it is open
    bool on_ = false;
    QString current_; // the word on show, said or not
};
