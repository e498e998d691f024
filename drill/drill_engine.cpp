#include "drill/drill_engine.h"

#include "drill/spoken_text.h"
#include "drill/time_span.h"
#include "records/profile_keys.h"
#include "res/control_ids.h"
#include "vocab/level.h"

#include <algorithm>
#include <string>
#include <string_view>

namespace {

namespace id = ids::main;

constexpr char kClockFormat[] = "   %M : %S";
constexpr char kResultFormat[] = "  %M mins, %S secs Tries :";
constexpr char kScoreFormat[] = "  %M mins, %S secs  \r\n";

constexpr std::u16string_view kIdleCaption = u" - ";
constexpr std::u16string_view kCorrectRow = u" Correct";

constexpr int kRightPause = 3;
constexpr int kWrongPause = 6;
// Ticks of credit a right answer earns, and a speed challenge starts with.
constexpr int kCreditPerRight = 20;
constexpr int kSpeedCredit = 50;
constexpr int kMarkRight = 1;
constexpr int kMarkWrong = 2;
constexpr int kTicksPerSecond = 5;
// The seconds left are said unasked as the credit falls through these, never
// twice within kTimeCueGap ticks.
constexpr std::array<int, 2> kTimeCueTicks {6 * kTicksPerSecond, 3 * kTicksPerSecond};
constexpr int kTimeCueGap = 3 * kTicksPerSecond;

std::u16string Decimal(std::int64_t value)
{
    const std::string digits = std::to_string(value);
    return std::u16string(digits.begin(), digits.end());
}

// The list pads meanings with blanks and tabs for layout; a learner sees
// only what is between them.
std::u16string_view Trimmed(std::u16string_view text)
{
    constexpr std::u16string_view kPadding = u" \t";
    const std::size_t first = text.find_first_not_of(kPadding);
    if (first == std::u16string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(kPadding) - first + 1);
}

int AnswerId(int k)
{
    return id::kAnswers[static_cast<std::size_t>(k)];
}

} // namespace

DrillEngine::DrillEngine(WindowServices &window, ProfileStore &store) : window_(window), store_(store) { }

void DrillEngine::InitDialogState()
{
    session_.reviewMode = 0;
    session_.firstWord = 1;
    session_.lastWord = Level::kSize;
    session_.levelNumber = 1;
    session_.currentWord = -1;

    levelTitle_.text = Level::FromNumber(1).Title();
    window_.InvalidateControl(id::kLevelTitle, true);
    levelTitle_.textTop = 15.0f;
    levelTitle_.fontSize = 24;
    clock_.fontSize = 50;
    clock_.textTop = 1.0f;

    words_.ResetWordTable();
}

void DrillEngine::StartDrill()
{
    window_.SetDrillTimer();
    session_.reviewMode = 0;
    session_.speedMode = 0;
    // A pause left by the abandoned drill (or frozen by Review) would
    // otherwise run out on the new first question and skip it unanswered.
    session_.answerPause = 0;

    // The last challenge's score sits over the word display: it goes before the first word shows.
    window_.SetControlText(id::kStatus, u"");

    // Selecting a tab from code runs no tab handler, so the lists are swapped here.
    window_.SelectTab(0);
    window_.ShowControl(id::kResultsList, false);
    window_.ShowControl(id::kAnswerLog, true);
    window_.ListEnsureTopVisible(id::kAnswerLog);

    words_.ResetWordTable();

    progress_.credit = 0;
    progress_.creditMax = session_.lastWord - session_.firstWord + 1;

    for (int k = 0; k <= Level::kSize; ++k) {
        marked_.marks[static_cast<std::size_t>(k)] = 0;
    }
    window_.InvalidateControl(id::kMarked, true);

    session_.tries = 0;
    session_.correctCount = 0;
    session_.currentWord = session_.firstWord;

    ticksSinceTimeCue_ = kTimeCueGap;
    random_.Seed(static_cast<std::uint32_t>(window_.Now()));
    AskQuestion(session_.currentWord);

    window_.InvalidateControl(id::kProgress, false);
    session_.startTime = window_.Now();
}

void DrillEngine::StartSpeedChallenge()
{
    StartDrill();
    progress_.credit = kSpeedCredit;
    session_.speedMode = 1;
}

void DrillEngine::RepaintDrillControls()
{
    for (int answerId : id::kAnswers) {
        window_.InvalidateControl(answerId, true);
    }
    window_.InvalidateControl(id::kMarked, false);
    window_.InvalidateControl(id::kTotal, false);
    window_.InvalidateControl(id::kProgress, false);
    window_.InvalidateControl(id::kClock, true);
    window_.InvalidateControl(id::kLevelTitle, true);
    for (int levelId : id::kLevelButtons) {
        window_.InvalidateControl(levelId, true);
    }
}

int DrillEngine::DrawCandidate(int span)
{
    // Multiply first, then divide by one more than the largest draw: the
    // level's last word is never reached.
    return session_.firstWord + random_.Next() * span / (CrtRandom::kMax + 1);
}

void DrillEngine::AskQuestion(int w)
{
    session_.currentWord = w;
    const int span = session_.lastWord - session_.firstWord;

    session_.answerSlot = random_.Next() * 4 / (CrtRandom::kMax + 1);
    std::array<int, 4> candidates {};
    for (int &c : candidates) {
        c = DrawCandidate(span);
    }
    // Redraw until the four are distinct and none is the asked word; each
    // redraw is one more draw, in this order, so a seed replays exactly.
    // A shown candidate is also redrawn when its meaning is already on a
    // button: a level can hold two words of one meaning, and the second
    // button would look right but count wrong. The candidate under the
    // right answer is never shown, so only the first rule binds it.
    const auto shown = [&](std::size_t i) { return static_cast<int>(i) != session_.answerSlot; };
    for (std::size_t i = 0; i < candidates.size(); ++i) {
        const auto wordTaken = [&](int c) {
            if (c == w) {
                return true;
            }
            for (std::size_t j = 0; j < i; ++j) {
                if (c == candidates[j]) {
                    return true;
                }
            }
            return false;
        };
        const auto meaningTaken = [&](int c) {
            const std::u16string_view meaning = Trimmed(words_[c].english);
            if (meaning == Trimmed(words_[w].english)) {
                return true;
            }
            for (std::size_t j = 0; j < i; ++j) {
                if (shown(j) && meaning == Trimmed(words_[candidates[j]].english)) {
                    return true;
                }
            }
            return false;
        };
        // Only while the level still has a free word of a new meaning, or the
        // redraws would never end.
        bool newMeaning = false;
        if (shown(i)) {
            for (int c = session_.firstWord; c < session_.firstWord + span && !newMeaning; ++c) {
                newMeaning = !wordTaken(c) && !meaningTaken(c);
            }
        }
        while (wordTaken(candidates[i]) || (newMeaning && meaningTaken(candidates[i]))) {
            candidates[i] = DrawCandidate(span);
        }
    }

    window_.SetControlText(id::kWordDisplay, words_[w].french);
    for (int k = 0; k < 4; ++k) {
        const int shown = k == session_.answerSlot ? w : candidates[static_cast<std::size_t>(k)];
        window_.SetControlText(AnswerId(k), words_[shown].english);
    }
    for (AnswerFace &face : answerFaces_) {
        face.showRight = 0;
        face.showWrong = 0;
    }
    ShowAnswerButtons();
    RepaintDrillControls();
    AnnounceQuestion(w);
}

void DrillEngine::AnnounceQuestion(int w)
{
    std::array<std::u16string, 4> captions;
    std::array<std::u16string_view, 4> choices;
    for (int k = 0; k < 4; ++k) {
        captions[static_cast<std::size_t>(k)] = window_.GetControlText(AnswerId(k));
        choices[static_cast<std::size_t>(k)] = captions[static_cast<std::size_t>(k)];
    }
    window_.Announce(SpokenText::Question(words_[w].french, choices, speakFrench_));
}

int DrillEngine::NextPractiseWord()
{
    int &w = session_.currentWord;
    ++w;
    // The word before the last starts a new scan; the last word itself is
    // reached only by a scan running past it.
    if (w >= session_.lastWord - 1) {
        w = session_.firstWord;
    }
    if (w >= session_.lastWord) {
        return w;
    }
    while (words_[w].correct > 0) {
        ++w;
        if (w >= session_.lastWord) {
            break;
        }
    }
    return w;
}

int DrillEngine::CountPending() const
{
    if (session_.currentWord < session_.firstWord) {
        return 0;
    }
    int count = 0;
    for (int w = session_.firstWord; w <= session_.currentWord; ++w) {
        if (words_[w].pending > 0) {
            ++count;
        }
    }
    return count;
}

void DrillEngine::AnswerClicked(int k)
{
    // Only the four answer buttons; key bindings may pass anything.
    if (k < 0 || k > 3) {
        return;
    }
    if (session_.answerPause > 0) {
        return;
    }
    if (session_.currentWord == -1) {
        return;
    }
    if (session_.reviewMode == 1) {
        if (k == 0) {
            ReviewStep(-1);
        } else if (k == 3) {
            ReviewStep(+1);
        }
        return;
    }
    if (k == session_.answerSlot) {
        AnswerRight();
    } else {
        answerFace(k).showWrong = 1;
        AnswerWrong();
    }
}

void DrillEngine::AnswerRight()
{
    for (int k = 0; k < 4; ++k) {
        answerFace(k).showRight = k == session_.answerSlot ? 1 : 0;
    }
    const WordEntry &asked = words_[session_.currentWord];
    window_.ListInsertTop(id::kAnswerLog, kCorrectRow, SpokenText::LogRow(true, asked.french, asked.english));
    window_.ListEnsureTopVisible(id::kAnswerLog);
    window_.Announce(SpokenText::Right());

    marked_.marks[static_cast<std::size_t>(session_.currentWord - session_.firstWord + 1)] = kMarkRight;
    WordEntry &word = words_[session_.currentWord];
    word.correct = 1;
    word.pending = 0;

    progress_.credit += kCreditPerRight;
    if (progress_.credit > progress_.creditMax) {
        progress_.credit = progress_.creditMax;
    }
    window_.InvalidateControl(id::kProgress, false);
    window_.InvalidateControl(id::kMarked, false);

    ++session_.tries;
    ++session_.correctCount;
    session_.answerPause = kRightPause;
    RepaintDrillControls();
}

void DrillEngine::AnswerWrong()
{
    WordEntry &word = words_[session_.currentWord];
    window_.ListInsertTop(id::kAnswerLog, u"Incorrect: " + word.french + u" --- " + word.english,
                          SpokenText::LogRow(false, word.french, word.english));
    window_.ListEnsureTopVisible(id::kAnswerLog);
    window_.Announce(SpokenText::Wrong(word.french, word.english, speakFrench_));

    marked_.marks[static_cast<std::size_t>(session_.currentWord - session_.firstWord + 1)] = kMarkWrong;
    word.correct = 0;
    word.pending = 1;

    ++session_.tries;
    session_.answerPause = kWrongPause;
    RepaintDrillControls();
}

void DrillEngine::OnDrillTimer()
{
    if (progress_.credit > 0) {
        --progress_.credit;
    } else if (session_.speedMode == 1) {
        // Credit spent: end the challenge on this tick, cutting any pause short.
        session_.answerPause = 1;
    }
    window_.InvalidateControl(id::kProgress, false);
    CueTimeLeft();

    if (session_.answerPause > 0) {
        if (session_.answerPause == 1) {
            ShowAnswerButtons();
            if (session_.speedMode == 1) {
                if (progress_.credit == 0) {
                    FinishSpeedChallenge();
                } else {
                    // Past the level's last word the level comes round again,
                    // so every word asked is one of the level's own.
                    int next = session_.currentWord + 1;
                    if (next > session_.lastWord) {
                        next = session_.firstWord;
                    }
                    AskQuestion(next);
                }
            } else {
                const int w = NextPractiseWord();
                if (CountPending() >= 1) {
                    AskQuestion(w);
                } else {
                    FinishPractise();
                }
            }
        }
        --session_.answerPause;
    }

    clock_.text = FormatTimeSpan(Elapsed(), kClockFormat);
    window_.InvalidateControl(id::kClock, true);
}

void DrillEngine::CueTimeLeft()
{
    if (session_.speedMode != 1) {
        return;
    }
    ++ticksSinceTimeCue_;
    for (const int cue : kTimeCueTicks) {
        // The credit drains one tick at a time, so it meets each cue on the way down.
        if (progress_.credit == cue && ticksSinceTimeCue_ >= kTimeCueGap) {
            ticksSinceTimeCue_ = 0;
            window_.Announce(SpokenText::SecondsLeft(cue / kTicksPerSecond));
        }
    }
}

void DrillEngine::AnnounceTime()
{
    if (session_.currentWord == -1 || session_.reviewMode == 1) {
        window_.Announce(SpokenText::NoDrill());
    } else if (session_.speedMode == 1) {
        // Whole seconds, rounded up: "0 seconds left" only once the credit is gone.
        window_.Announce(
            SpokenText::SecondsLeft((std::max(0, progress_.credit) + kTicksPerSecond - 1) / kTicksPerSecond));
    } else {
        window_.Announce(
            SpokenText::PractiseTime(Elapsed(), session_.correctCount, session_.lastWord - session_.firstWord + 1));
    }
}

void DrillEngine::FinishPractise()
{
    window_.KillDrillTimer();
    const std::int64_t elapsed = Elapsed();

    window_.SelectTab(1);
    window_.ShowControl(id::kResultsList, true);
    window_.ShowControl(id::kAnswerLog, false);

    const std::u16string line = FormatTimeSpan(elapsed, kResultFormat) + Decimal(session_.tries);
    window_.ListInsertTop(id::kResultsList, line, SpokenText::ResultLine(line));
    std::int32_t previousBest = SpokenText::kNoBest;
    {
        // The line and the best result are one record.
        const ProfileStore::WriteGroup record(store_);
        // Numbered by the list's rows, so the list must mirror the stored run;
        // but never over a stored line (another copy of the program, or a
        // profile restored meanwhile, may have used that number).
        int n = window_.ListRowCount(id::kResultsList);
        while (!store_.GetProfileString(kResultsSection, profile_keys::Result(session_.levelNumber, n), u"").empty()) {
            ++n;
        }
        store_.WriteProfileString(kResultsSection, profile_keys::Result(session_.levelNumber, n), line);

        const std::string bestKey = profile_keys::BestResult(session_.levelNumber);
        previousBest = store_.GetProfileInt(kResultsSection, bestKey, profile_keys::kNoBestResult);
        if (session_.tries < previousBest) {
            store_.WriteProfileInt(kResultsSection, bestKey, session_.tries);
        }
    }

    window_.SetControlText(id::kWordDisplay, u"Complete " + line);
    SetAnswerCaptions(kIdleCaption);
    window_.Announce(SpokenText::PractiseEnd(elapsed, session_.tries, previousBest));

    RepaintDrillControls();
    session_.currentWord = -1;
}

void DrillEngine::FinishSpeedChallenge()
{
    window_.KillDrillTimer();
    const std::int64_t elapsed = Elapsed();

    window_.SetControlText(id::kStatus,
                           FormatTimeSpan(elapsed, kScoreFormat) + Decimal(session_.correctCount) + u" Correct on "
                               + Decimal(session_.tries) + u" guesses");
    // The score is drawn inside the word display's area: the last word would be drawn under it.
    window_.SetControlText(id::kWordDisplay, u"");
    SetAnswerCaptions(kIdleCaption);
    session_.speedMode = 0;
    // Before the table opens and takes the focus.
    window_.Announce(SpokenText::SpeedEnd(elapsed, session_.correctCount, session_.tries));

    window_.RunHighScores(elapsed, session_.correctCount, session_.tries);
    session_.currentWord = -1;
}

void DrillEngine::SelectLevel(int first, int last, int level, std::u16string_view title)
{
    session_.firstWord = first;
    session_.lastWord = last;
    session_.levelNumber = level;
    ShowLevelResults();
    levelTitle_.text.assign(title);
    window_.InvalidateControl(id::kLevelTitle, true);
    StartDrill();
}

void DrillEngine::SelectLevel(int levelNumber)
{
    const Level level = Level::FromNumber(levelNumber);
    SelectLevel(level.firstWord, level.lastWord, level.number, level.Title());
}

void DrillEngine::ShowLevelResults()
{
    window_.ListDeleteAll(id::kResultsList);
    for (int n = 1;; ++n) {
        const std::u16string line
            = store_.GetProfileString(kResultsSection, profile_keys::Result(session_.levelNumber, n), u"");
        if (line.empty()) {
            break;
        }
        window_.ListInsertTop(id::kResultsList, line, SpokenText::ResultLine(line));
    }
}

void DrillEngine::StartReview()
{
    window_.KillDrillTimer();
    session_.reviewMode = 1;

    window_.ShowControl(id::kAnswer1, true);
    window_.ShowControl(id::kAnswer2, false);
    window_.ShowControl(id::kAnswer3, false);
    window_.ShowControl(id::kAnswer4, true);
    window_.SetControlText(id::kAnswer1, u" Prev ");
    window_.SetControlText(id::kAnswer2, kIdleCaption);
    window_.SetControlText(id::kAnswer3, kIdleCaption);
    window_.SetControlText(id::kAnswer4, u" Next ");
    for (int answerId : id::kAnswers) {
        window_.InvalidateControl(answerId, true);
    }

    // Exactly a click on Prev, with its tests for a pause and for no drill.
    AnswerClicked(0);
}

void DrillEngine::AfterTimesReset()
{
    ShowLevelResults();
    for (int levelId : id::kLevelButtons) {
        window_.InvalidateControl(levelId, true);
    }
    window_.InvalidateControl(id::kTotal, false);
}

void DrillEngine::ReviewStep(int delta)
{
    int w = session_.currentWord + delta;
    if (w < session_.firstWord) {
        w = session_.lastWord;
    } else if (w > session_.lastWord) {
        w = session_.firstWord;
    }
    session_.currentWord = w;
    window_.SetControlText(id::kWordDisplay, words_[w].french + u" :: " + words_[w].english);
    window_.Announce(SpokenText::Meaning(words_[w].french, words_[w].english, speakFrench_));
}

void DrillEngine::SetAnswerCaptions(std::u16string_view caption)
{
    for (int answerId : id::kAnswers) {
        window_.SetControlText(answerId, caption);
    }
}

void DrillEngine::ShowAnswerButtons()
{
    for (int answerId : id::kAnswers) {
        window_.ShowControl(answerId, true);
    }
}

std::int64_t DrillEngine::Elapsed() const
{
    return window_.Now() - session_.startTime;
}
