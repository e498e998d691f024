#include "speech/posix/speechd_speaker.h"

#include "speech/posix/speechd_voice_lister.h"
#include "speech/posix/speechd_worker.h"

#include <QDeadlineTimer>
#include <QMetaObject>
#include <QThread>

#include <utility>

namespace {

// Exit waits this long for a server that does not answer (a hung one, or a
// listing still going), then leaves the threads to end with the process;
// neither worker ever refers back to the speaker, so that is safe.
constexpr qint64 kStopWaitMs = 10000;

} // namespace

SpeechdSpeaker::SpeechdSpeaker(QString rememberedPath) : rememberedPath_(std::move(rememberedPath)) { }

SpeechdSpeaker::~SpeechdSpeaker()
{
    if (speechThread_ == nullptr) {
        return;
    }
    // Each worker is deleted on its own thread.
    const std::pair<QThread *, QObject *> threads[] = {{speechThread_, worker_}, {listThread_, lister_}};
    for (const auto &[thread, worker] : threads) {
        connect(thread, &QThread::finished, worker, &QObject::deleteLater);
        thread->quit();
    }
    const QDeadlineTimer deadline(kStopWaitMs);
    for (const auto &[thread, worker] : threads) {
        if (thread->wait(deadline)) {
            delete thread;
        } else {
            qWarning("pelko: speech-dispatcher did not answer; leaving it to end with the program");
        }
    }
}

void SpeechdSpeaker::Prepare()
{
    if (speechThread_ != nullptr) {
        return;
    }
    availability_ = Availability::Looking;
    speechThread_ = new QThread;
    speechThread_->setObjectName(QStringLiteral("pelko speech"));
    listThread_ = new QThread;
    listThread_->setObjectName(QStringLiteral("pelko voices"));
    worker_ = new SpeechdWorker(rememberedPath_);
    worker_->moveToThread(speechThread_);
    lister_ = new SpeechdVoiceLister;
    lister_->moveToThread(listThread_);
    // Queued every way; a connection to an object ends when it is deleted.
    connect(worker_, &SpeechdWorker::found, this, &SpeechdSpeaker::Found, Qt::QueuedConnection);
    connect(worker_, &SpeechdWorker::speakingStarted, this, &SpeechdSpeaker::speakingStarted, Qt::QueuedConnection);
    connect(worker_, &SpeechdWorker::listWanted, lister_, &SpeechdVoiceLister::List, Qt::QueuedConnection);
    connect(lister_, &SpeechdVoiceLister::listed, worker_, &SpeechdWorker::Listed, Qt::QueuedConnection);
    speechThread_->start();
    listThread_->start();
    QMetaObject::invokeMethod(worker_, &SpeechdWorker::Start, Qt::QueuedConnection);
    NotifyAvailability();
}

void SpeechdSpeaker::Say(const QString &text)
{
    if (worker_ == nullptr) {
        return;
    }
    // Queued behind Start(), so a word given while looking is said once a voice is found.
    QMetaObject::invokeMethod(
        worker_, [worker = worker_, text] { worker->Say(text); }, Qt::QueuedConnection);
}

void SpeechdSpeaker::Found(Availability availability, const QString &failure, const QString &voiceName,
                           const QString &language)
{
    availability_ = availability;
    failure_ = failure;
    voiceName_ = voiceName;
    voiceLanguage_ = language;
    NotifyAvailability();
}
