#pragma once

#include "drill/crt_random.h"
#include "drill/display_state.h"
#include "drill/drill_session.h"
#include "drill/window_services.h"
#include "records/profile_store.h"
#include "vocab/word_table.h"

#include <array>
#include <string_view>

// The drill: practise, speed challenge and Review over one level, with the
// display state the painted controls read. The main dialog forwards its
// commands and ticks here; the engine reaches the window only through
// WindowServices and the profile only through ProfileStore.
class DrillEngine
{
public:
    // Both must outlive the engine.
    DrillEngine(WindowServices &window, ProfileStore &store);

    DrillEngine(const DrillEngine &) = delete;
    DrillEngine &operator=(const DrillEngine &) = delete;

    // Dialog-open drill state: level 1, no drill, the two title strips
    // styled, the word table filled.
    void InitDialogState();

    // Command "Start Practise"; also the last step of a level selection.
    void StartDrill();
    // Command "Speed Challenge" on the selected level.
    void StartSpeedChallenge();
    // Invalidates every drill-display control; changes no state.
    void RepaintDrillControls();

    // Makes word w (1..1000) the current question.
    void AskQuestion(int w);
    // Moves currentWord to the next word of the practise order and returns it.
    int NextPractiseWord();
    // Words firstWord..currentWord still pending.
    int CountPending() const;

    // Answer button k (0..3) clicked; Prev/Next while in Review.
    void AnswerClicked(int k);
    void AnswerRight();
    void AnswerWrong();

    // The 200 ms drill tick.
    void OnDrillTimer();
    void FinishPractise();
    void FinishSpeedChallenge();

    // Says the seconds left of a speed challenge, or a practise's time and
    // progress (a key asks for it at any time).
    void AnnounceTime();
    // false: a French voice says the word, so the reader's question, a
    // wrong answer's verdict and Review's step leave it out (heard once).
    void SetSpeakFrenchWord(bool speak) { speakFrench_ = speak; }

    // A level button: makes the level current, reloads its results and
    // starts a practise drill on it.
    void SelectLevel(int first, int last, int level, std::u16string_view title);
    // The same for level 1..20 by number.
    void SelectLevel(int levelNumber);
    // Reloads the results list from the profile for the selected level.
    void ShowLevelResults();
    // Command "Review".
    void StartReview();

    // After the stored times were cleared: reload the results list and
    // repaint what shows best results, so new results number from 1 again.
    void AfterTimesReset();

    // Display state for the painters.
    const AnswerFace &answerFace(int k) const { return answerFaces_[static_cast<std::size_t>(k)]; }
    AnswerFace &answerFace(int k) { return answerFaces_[static_cast<std::size_t>(k)]; }
    const ProgressState &progress() const { return progress_; }
    ProgressState &progress() { return progress_; }
    const MarkedState &marked() const { return marked_; }
    MarkedState &marked() { return marked_; }
    const TitleState &levelTitle() const { return levelTitle_; }
    TitleState &levelTitle() { return levelTitle_; }
    const TitleState &clock() const { return clock_; }
    TitleState &clock() { return clock_; }

    const DrillSession &session() const { return session_; }
    DrillSession &session() { return session_; }
    const WordTable &words() const { return words_; }
    WordTable &words() { return words_; }

private:
    // One draw scaled to firstWord .. lastWord - 1.
    int DrawCandidate(int span);
    void SetAnswerCaptions(std::u16string_view caption);
    void ShowAnswerButtons();
    void ReviewStep(int delta);
    std::int64_t Elapsed() const;
    void AnnounceQuestion(int w);
    void CueTimeLeft();

    WindowServices &window_;
    ProfileStore &store_;
    CrtRandom random_;

    WordTable words_;
    DrillSession session_;
    std::array<AnswerFace, 4> answerFaces_ {};
    ProgressState progress_;
    MarkedState marked_;
    TitleState levelTitle_;
    TitleState clock_;
    bool speakFrench_ = true;
    // Ticks since the seconds left were last said unasked.
    int ticksSinceTimeCue_ = 0;
};
