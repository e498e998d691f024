#pragma once

#include "app/speaker.h"

#include <QLocale>
#include <QObject>
#include <QString>

class QTextToSpeech;
class QThread;

// Speaks through Qt's text-to-speech module. The engine lives on a thread of
// its own: making it lists every voice of every synthesiser (a second or two
// with speech-dispatcher and espeak-ng), and no call of it may hold the window.
// Among the engines Qt has, the first with a French voice is used; a voice
// counts only when its own locale is French, not because a French locale was
// asked for, so a synthesiser that falls back to another language is never
// used.
class QtSpeechSpeaker final : public QObject, public Speaker
{
    Q_OBJECT
public:
    QtSpeechSpeaker();
    ~QtSpeechSpeaker() override;

    void Prepare() override;
    Availability availability() const override { return availability_; }
    QString failure() const override { return failure_; }
    void Say(const QString &text) override;

    QString voiceName() const override { return voiceName_; }
    // The chosen voice's own locale, once Ready.
    QLocale voiceLocale() const { return voiceLocale_; }

signals:
    // The engine has begun saying a text given to Say().
    void speakingStarted();

private:
    // On the speech thread.
    void FindVoice();
    void SayNow(const QString &text);
    // Back on the window's thread.
    void Found(Availability availability, const QString &failure, const QString &voiceName, const QLocale &locale);

    QThread *thread_ = nullptr;
    // The context of every call made on the speech thread; owns the engine.
    QObject *worker_ = nullptr;
    QTextToSpeech *engine_ = nullptr; // used on the speech thread only
    Availability availability_ = Availability::NotLooked;
    QString failure_;
    QString voiceName_;
    QLocale voiceLocale_;
};
