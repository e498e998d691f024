#pragma once

#include "app/speaker.h"

#include <QLocale>
#include <QObject>
#include <QString>

class QThread;
class SpeechWorker;

// Speaks through Qt's text-to-speech module. The engine lives on a thread of
// its own (SpeechWorker): making it lists every voice of every synthesiser
// (a second or two with speech-dispatcher and espeak-ng), and no call of it
// may hold the window.
class QtSpeechSpeaker final : public QObject, public Speaker
{
    Q_OBJECT
public:
    QtSpeechSpeaker();
    ~QtSpeechSpeaker() override;

    void Prepare() override;
    Availability availability() const override { return availability_; }
    QString failure() const override { return failure_; }
    QString voiceName() const override { return voiceName_; }
    void Say(const QString &text) override;

    // The chosen voice's own locale, once Ready.
    QLocale voiceLocale() const { return voiceLocale_; }

signals:
    // The engine has begun saying a text given to Say().
    void speakingStarted();

private:
    void Found(Availability availability, const QString &failure, const QString &voiceName, const QLocale &locale);

    QThread *thread_ = nullptr;
    SpeechWorker *worker_ = nullptr; // lives on thread_
    Availability availability_ = Availability::NotLooked;
    QString failure_;
    QString voiceName_;
    QLocale voiceLocale_;
};
