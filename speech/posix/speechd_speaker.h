#pragma once

#include "speech/posix/speechd_voice.h"
#include "speech/speaker.h"

#include <QObject>
#include <QString>

class QThread;
class SpeechdVoiceLister;
class SpeechdWorker;

// Speaks through speech-dispatcher with its own client library, on threads
// of its own: one says the words (SpeechdWorker), one lists the voices
// (SpeechdVoiceLister), and no call of either holds the window. The French
// voice an earlier start found is used at once, so the first word needs no
// listing; the listing then checks it.
class SpeechdSpeaker final : public QObject, public Speaker
{
    Q_OBJECT
public:
    // rememberedPath: where the voice found is kept for the next start.
    explicit SpeechdSpeaker(QString rememberedPath = SpeechdVoice::RememberedPath());
    ~SpeechdSpeaker() override;

    void Prepare() override;
    Availability availability() const override { return availability_; }
    QString failure() const override { return failure_; }
    QString voiceName() const override { return voiceName_; }
    void Say(const QString &text) override;

    // The chosen voice's own language tag ("fr-FR"), once Ready.
    QString voiceLanguage() const { return voiceLanguage_; }

signals:
    // speech-dispatcher has begun saying a text given to Say().
    void speakingStarted();

private:
    void Found(Availability availability, const QString &failure, const QString &voiceName, const QString &language);

    QString rememberedPath_;
    QThread *speechThread_ = nullptr;
    QThread *listThread_ = nullptr;
    SpeechdWorker *worker_ = nullptr; // lives on speechThread_
    SpeechdVoiceLister *lister_ = nullptr; // lives on listThread_
    Availability availability_ = Availability::NotLooked;
    QString failure_;
    QString voiceName_;
    QString voiceLanguage_;
};
