#pragma once

#include "speech/speaker.h"

#include <QObject>
#include <QString>

class EspeakWorker;
class QThread;

// Speaks in the espeak-ng French voice pelko.exe carries (Windows, where no
// French voice can be counted on), through Windows' own audio. Starting
// the voice, saying a word and handing it to the sound device all happen on
// a thread of its own (EspeakWorker), so the window never waits for them.
class EspeakSpeaker final : public QObject, public Speaker
{
    Q_OBJECT
public:
    // dataFolder: the voice's files (normally espeak-ng-data beside pelko.exe).
    explicit EspeakSpeaker(QString dataFolder);
    ~EspeakSpeaker() override;

    void Prepare() override;
    Availability availability() const override { return availability_; }
    QString failure() const override { return failure_; }
    QString voiceName() const override { return voiceName_; }
    QString remedy() const override;
    void Say(const QString &text) override;

signals:
    // A word given to Say() went to the sound device.
    void speakingStarted();

private:
    void Loaded(Availability availability, const QString &failure, const QString &voiceName);

    QString dataFolder_;
    QThread *thread_ = nullptr;
    EspeakWorker *worker_ = nullptr; // lives on thread_
    Availability availability_ = Availability::NotLooked;
    QString failure_;
    QString voiceName_;
};
