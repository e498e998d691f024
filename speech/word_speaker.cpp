#include "speech/word_speaker.h"

#include "res/strings.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QShortcut>
#include <QWidget>

namespace {

QString ToQString(std::u16string_view text)
{
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

WordSpeaker::WordSpeaker(std::unique_ptr<Speaker> speaker, std::unique_ptr<OptionsStore> options, QWidget &window)
    : QObject(&window), speaker_(std::move(speaker)), options_(std::move(options))
{
    OptionsStore::Problem problem;
    on_ = options_->ReadFlag(kOptionName, false, &problem);
    SetProblem(problem);
    speaker_->SetAvailabilityListener([this] { UpdateItem(); });
    // Only a learner who has chosen speech pays for starting an engine.
    if (on_) {
        speaker_->Prepare();
    }
    sayAgain_ = new QShortcut(QKeySequence(kSayAgainKey), &window);
    connect(sayAgain_, &QShortcut::activated, this, &WordSpeaker::SayAgain);
}

WordSpeaker::~WordSpeaker()
{
    speaker_->SetAvailabilityListener({});
}

QString WordSpeaker::SpokenWord(std::u16string_view shown, std::u16string_view asked)
{
    if (asked.empty() || !shown.starts_with(asked)) {
        return {};
    }
    const std::u16string_view rest = shown.substr(asked.size());
    if (!rest.empty() && !rest.starts_with(u" :: ")) {
        return {};
    }
    return ToQString(asked).trimmed();
}

void WordSpeaker::WordDisplayChanged(std::u16string_view shown, std::u16string_view asked)
{
    current_ = SpokenWord(shown, asked);
    if (on_ && !current_.isEmpty()) {
        speaker_->Say(current_);
    }
}

void WordSpeaker::SayAgain()
{
    if (on_ && !current_.isEmpty()) {
        speaker_->Say(current_);
    }
}

void WordSpeaker::SetOn(bool on)
{
    if (on == on_) {
        return;
    }
    on_ = on;
    unkept_ = true;
    Keep();
    if (on) {
        speaker_->Prepare();
    }
    UpdateItem();
}

void WordSpeaker::Keep()
{
    const OptionsStore::Problem problem = options_->WriteFlag(kOptionName, on_);
    unkept_ = static_cast<bool>(problem);
    SetProblem(problem);
}

void WordSpeaker::RetryKeeping()
{
    if (unkept_) {
        Keep();
        return;
    }
    if (!problem_) {
        return;
    }
    // Options that could not be read at start: what they hold counts once they can be.
    OptionsStore::Problem problem;
    const bool on = options_->ReadFlag(kOptionName, on_, &problem);
    if (!problem && on != on_) {
        on_ = on;
        if (on_) {
            speaker_->Prepare();
        }
        UpdateItem();
    }
    SetProblem(problem);
}

void WordSpeaker::SetProblem(const OptionsStore::Problem &problem)
{
    const bool known = static_cast<bool>(problem_);
    problem_ = problem;
    const QString trouble = Trouble();
    if (problem_ && !known) {
        qWarning("pelko: %s", qPrintable(trouble));
    }
    if (trouble != told_) {
        told_ = trouble;
        if (troubleListener_) {
            troubleListener_();
        }
    }
}

QString WordSpeaker::Trouble() const
{
    QString text;
    if (const ProfileSetAside &aside = options_->setAside()) {
        const QFileInfo keptAs(aside.keptAs);
        text = QStringLiteral("%1 could not be read (%2), so it was kept beside it as %3 and \"Speak French Words\" "
                              "saved anew.")
                   .arg(QDir::toNativeSeparators(aside.path), aside.reason, keptAs.fileName());
    }
    if (!problem_) {
        return text;
    }
    if (!text.isEmpty()) {
        text += QLatin1Char(' ');
    }
    const QString place = QDir::toNativeSeparators(problem_.cause.path);
    if (!problem_.reading) {
        return text
            + QStringLiteral("\"Speak French Words\" cannot be saved to %1: %2. The choice is kept while pelko is "
                             "open and saved as soon as that works again.")
                  .arg(place, problem_.cause.Reason());
    }
    const QString reason = problem_.cause.kind == ProfileProblem::NoPermission
        ? QStringLiteral("pelko has no permission to read it")
        : problem_.cause.Reason();
    // Read, but no options of pelko's: the next choice moves it aside.
    if (problem_.cause.kind == ProfileProblem::TooLarge || problem_.cause.kind == ProfileProblem::Malformed) {
        return text
            + QStringLiteral("\"Speak French Words\" cannot be read from %1: %2, so it is off for now. Choosing it "
                             "keeps that file aside, never written over, and saves the choice anew.")
                  .arg(place, reason);
    }
    if (unkept_) {
        return text
            + QStringLiteral("\"Speak French Words\" cannot be saved to %1: %2, and nothing is written over what "
                             "cannot be read. The choice is kept while pelko is open and saved as soon as that works "
                             "again.")
                  .arg(place, reason);
    }
    return text
        + QStringLiteral("\"Speak French Words\" cannot be read from %1: %2, so it is off for now. Nothing is "
                         "written there until it can be read.")
              .arg(place, reason);
}

bool WordSpeaker::SpeaksWords() const
{
    return on_ && speaker_->availability() == Speaker::Availability::Ready;
}

bool WordSpeaker::Usable() const
{
    return speaker_->availability() == Speaker::Availability::Ready;
}

QAction *WordSpeaker::AddMenuItem(QMenu &menu)
{
    // Whether the item can be used is only known once a voice was looked for.
    speaker_->Prepare();
    item_ = menu.addAction(QString::fromUtf16(strings::kSpeakMenuItem));
    item_->setCheckable(true);
    // The reason an item is greyed out is in its tip.
    menu.setToolTipsVisible(true);
    UpdateItem();
    connect(item_, &QAction::toggled, this, &WordSpeaker::SetOn);
    return item_;
}

void WordSpeaker::UpdateItem()
{
    if (item_ == nullptr) {
        return;
    }
    const QSignalBlocker blocker(item_);
    item_->setEnabled(Usable());
    item_->setChecked(on_ && Usable());
    const QString explanation = Explanation();
    item_->setToolTip(explanation);
    // A screen reader reads the status tip as the item's description.
    item_->setStatusTip(explanation);
}

QString WordSpeaker::Explanation() const
{
    using A = Speaker::Availability;
    const QString installVoice = QStringLiteral("install speech-dispatcher-espeak-ng");
    const QString remedy = speaker_->remedy();
    QString failure = speaker_->failure();
    if (failure.endsWith(QLatin1Char('.'))) {
        failure.chop(1);
    }
    if (!failure.isEmpty()) {
        failure = QStringLiteral(" (%1)").arg(failure);
    }
    switch (speaker_->availability()) {
    case A::NotBuilt:
        return QStringLiteral("Speech is not part of this build of pelko.");
    case A::NotLooked:
    case A::Looking:
        return QStringLiteral("Looking for a French voice...");
    case A::Ready: {
        const QString voice = speaker_->voiceName();
        return QStringLiteral("Says each French word as it appears, in the French voice%1; F5 says it again.")
            .arg(voice.isEmpty() ? QString() : QStringLiteral(" \"%1\"").arg(voice));
    }
    case A::NoEngine:
        return QStringLiteral("No speech engine is installed: install speech-dispatcher and "
                              "speech-dispatcher-espeak-ng.");
    case A::EngineFailed:
        return QStringLiteral("The speech engine did not start%1: %2.")
            .arg(failure,
                 remedy.isEmpty() ? QStringLiteral("install speech-dispatcher and speech-dispatcher-espeak-ng")
                                  : remedy);
    case A::NoFrenchVoice:
        // A voice of pelko's own is not installed but missing.
        return remedy.isEmpty() ? QStringLiteral("No French voice is installed: %1.").arg(installVoice)
                                : QStringLiteral("The French voice is missing%1: %2.").arg(failure, remedy);
    }
    return {};
}
