#include "speech/windows/espeak_speaker.h"

#include "speech/windows/espeak_worker.h"

#include <QMetaObject>
#include <QThread>

namespace {

// Exit waits this long for the speech thread (a sound driver that does not
// answer), then leaves it to end with the process; the worker never refers
// back to the speaker, so that is safe.
constexpr unsigned long kStopWaitMs = 5000;

} // namespace

EspeakSpeaker::EspeakSpeaker(QString dataFolder) : dataFolder_(std::move(dataFolder)) { }

EspeakSpeaker::~EspeakSpeaker()
{
    if (thread_ == nullptr) {
        return;
    }
    // The worker, with the voice and the sound device, is deleted on its own thread.
    connect(thread_, &QThread::finished, worker_, &QObject::deleteLater);
    thread_->quit();
    if (thread_->wait(kStopWaitMs)) {
        delete thread_;
    } else {
        qWarning("pelko: the French voice did not stop; leaving it to end with the program");
    }
}

void EspeakSpeaker::Prepare()
{
    if (thread_ != nullptr) {
        return;
    }
    availability_ = Availability::Looking;
    thread_ = new QThread;
    thread_->setObjectName(QStringLiteral("pelko voice"));
    worker_ = new EspeakWorker(dataFolder_);
    worker_->moveToThread(thread_);
    // Queued both ways; a connection to this object ends when it is deleted.
    connect(worker_, &EspeakWorker::loaded, this, &EspeakSpeaker::Loaded, Qt::QueuedConnection);
    connect(worker_, &EspeakWorker::speakingStarted, this, &EspeakSpeaker::speakingStarted, Qt::QueuedConnection);
    thread_->start();
    QMetaObject::invokeMethod(worker_, &EspeakWorker::Load, Qt::QueuedConnection);
    NotifyAvailability();
}

void EspeakSpeaker::Say(const QString &text)
{
    if (worker_ == nullptr) {
        return;
    }
    // Queued behind Load(), so a word given while the voice starts is said once it has.
    QMetaObject::invokeMethod(
        worker_, [worker = worker_, text] { worker->Say(text); }, Qt::QueuedConnection);
}

QString EspeakSpeaker::remedy() const
{
    return QStringLiteral("pelko.exe needs the folder espeak-ng-data beside it; unpack the whole zip again (into a "
                          "folder with a shorter name, if need be), or install pelko again");
}

void EspeakSpeaker::Loaded(Availability availability, const QString &failure, const QString &voiceName)
{
    availability_ = availability;
    failure_ = failure;
    voiceName_ = voiceName;
    NotifyAvailability();
}
