#include "app/word_speaker.h"

#include "res/strings.h"

#include <QAction>
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
    on_ = options_->ReadFlag(kOptionName, false);
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
    if (!options_->WriteFlag(kOptionName, on)) {
        qWarning("pelko: the choice \"Speak French Words\" could not be kept for the next start");
    }
    if (on) {
        speaker_->Prepare();
    }
    UpdateItem();
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
    case A::EngineFailed: {
        QString failure = speaker_->failure();
        if (failure.endsWith(QLatin1Char('.'))) {
            failure.chop(1);
        }
        return QStringLiteral("The speech engine did not start%1: %2.")
            .arg(failure.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(failure),
                 QStringLiteral("install speech-dispatcher and speech-dispatcher-espeak-ng"));
    }
    case A::NoFrenchVoice:
        return QStringLiteral("No French voice is installed: %1.").arg(installVoice);
    }
    return {};
}
