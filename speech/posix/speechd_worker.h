#pragma once

#include "speech/posix/speechd_voice.h"
#include "speech/speaker.h"

#include <speech-dispatcher/libspeechd.h>

#include <QObject>
#include <QString>

// The half of SpeechdSpeaker that lives on the speech thread and owns the
// connection to speech-dispatcher that says the words. It knows nothing of
// the speaker: it only answers through its signals, so a speaker that is
// gone (its thread left behind at exit because the server hung) is never
// touched from here.
class SpeechdWorker : public QObject
{
    Q_OBJECT
public:
    explicit SpeechdWorker(QString rememberedPath);
    ~SpeechdWorker() override;

    // Connects, and takes the French voice an earlier start found at once
    // (the voices are then listed again behind the words already given);
    // without one, the words wait for the listing.
    void Start();
    // Cuts off this program's word still being said, then says text; nothing
    // without a French voice.
    void Say(const QString &text);
    // What the listing found: the voice to use from now on, or none.
    void Listed(Speaker::Availability availability, const QString &failure, const QString &module, const QString &name,
                const QString &language);

signals:
    void found(Speaker::Availability availability, const QString &failure, const QString &voiceName,
               const QString &language);
    void speakingStarted();
    // The voices are to be listed (SpeechdVoiceLister::List).
    void listWanted();

private:
    // The check of a kept voice lists the voices, which holds the synthesiser
    // for a moment: it waits until a word given meanwhile has begun.
    void CheckWhenQuiet();
    void Begun();
    bool Connect(QString *failure);
    void Disconnect();
    bool Use(const SpeechdVoice &voice);
    bool SayNow(const QByteArray &text);
    static void OnBegin(size_t messageId, size_t clientId, SPDNotificationType type);

    QString rememberedPath_;
    SPDConnection *connection_ = nullptr;
    int clientId_ = -1;
    SpeechdVoice voice_; // in use on connection_; empty: say nothing
    bool listing_ = false;
    bool checkWanted_ = false;
    bool awaitingBegin_ = false; // a word was given that has not begun yet
    QString waiting_; // the last word given while the first listing ran
};
