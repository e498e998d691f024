#include "app/qt_speech_speaker.h"

#include "app/speech_worker.h"

#include <QMetaObject>
#include <QThread>

namespace {

// Exit waits this long for a speech engine that does not answer (one still
// listing its voices, or a hung server), then leaves its thread to end with
// the process; the worker never refers back to the speaker, so that is safe.
constexpr unsigned long kStopWaitMs = 10000;

} // namespace

QtSpeechSpeaker::QtSpeechSpeaker() = default;

QtSpeechSpeaker::~QtSpeechSpeaker()
{
    if (thread_ == nullptr) {
        return;
    }
    // The worker, and the engine with it, is deleted on its own thread.
    connect(thread_, &QThread::finished, worker_, &QObject::deleteLater);
    thread_->quit();
    if (thread_->wait(kStopWaitMs)) {
        delete thread_;
    } else {
        qWarning("pelko: the speech engine did not stop; leaving it to end with the program");
    }
}

void QtSpeechSpeaker::Prepare()
{
    if (thread_ != nullptr) {
        return;
    }
    availability_ = Availability::Looking;
    thread_ = new QThread;
    thread_->setObjectName(QStringLiteral("pelko speech"));
    worker_ = new SpeechWorker;
    worker_->moveToThread(thread_);
    // Queued both ways; a connection to this object ends when it is deleted.
    connect(worker_, &SpeechWorker::found, this, &QtSpeechSpeaker::Found, Qt::QueuedConnection);
    connect(worker_, &SpeechWorker::speakingStarted, this, &QtSpeechSpeaker::speakingStarted, Qt::QueuedConnection);
    thread_->start();
    QMetaObject::invokeMethod(worker_, &SpeechWorker::FindVoice, Qt::QueuedConnection);
    NotifyAvailability();
}

void QtSpeechSpeaker::Say(const QString &text)
{
    if (worker_ == nullptr) {
        return;
    }
    // Queued behind FindVoice(), so a word given while looking is said once a voice is found.
    QMetaObject::invokeMethod(
        worker_, [worker = worker_, text] { worker->Say(text); }, Qt::QueuedConnection);
}

void QtSpeechSpeaker::Found(Availability availability, const QString &failure, const QString &voiceName,
                            const QLocale &locale)
{
    availability_ = availability;
    failure_ = failure;
    voiceName_ = voiceName;
    voiceLocale_ = locale;
    NotifyAvailability();
}
