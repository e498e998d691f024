#pragma once

#include "speech/speaker.h"
#include "speech/windows/espeak_voice.h"
#include "speech/windows/wave_out_player.h"

#include <QObject>
#include <QString>

#include <utility>

// The half of EspeakSpeaker that lives on the speech thread: it owns the
// voice and the sound device, and answers only through its signal, so it
// never touches a speaker that is gone.
class EspeakWorker : public QObject
{
    Q_OBJECT
public:
    explicit EspeakWorker(QString dataFolder) : dataFolder_(std::move(dataFolder)) { }

    // Starts the voice and opens the sound device for it.
    void Load();
    // Cuts off the word still playing, then says text; nothing without the voice.
    void Say(const QString &text);

signals:
    void loaded(Speaker::Availability availability, const QString &failure, const QString &voiceName);
    void speakingStarted();

private:
    QString dataFolder_;
    EspeakVoice voice_;
    WaveOutPlayer player_;
};
