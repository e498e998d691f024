#pragma once

#include "app/speaker.h"

#include <QLocale>
#include <QObject>
#include <QString>

class QTextToSpeech;

// The half of QtSpeechSpeaker that lives on the speech thread and owns the
// engine. It knows nothing of the speaker: it only answers through its
// signals, so a speaker that is gone (its thread left behind at exit
// because the engine hung) is never touched from here.
class SpeechWorker : public QObject
{
    Q_OBJECT
public:
    // Among the engines Qt has, the first with a French voice; a voice
    // counts only when its own locale is French, not because a French
    // locale was asked for.
    void FindVoice();
    // Cuts off this engine's word still being said, then says text; nothing
    // without a French voice.
    void Say(const QString &text);

signals:
    void found(Speaker::Availability availability, const QString &failure, const QString &voiceName,
               const QLocale &locale);
    void speakingStarted();

private:
    QTextToSpeech *engine_ = nullptr; // a child
};
