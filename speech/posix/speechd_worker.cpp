#include "speech/posix/speechd_worker.h"

#include <QFile>
#include <QMetaObject>
#include <QStandardPaths>
#include <QTimer>

#include <cstdlib>
#include <map>
#include <mutex>
#include <utility>

namespace {

using A = Speaker::Availability;

// The longest a kept voice's check waits for a word to begin.
constexpr int kCheckWaitMs = 1000;

// libspeechd's callbacks carry no pointer of ours, only the client's id.
std::mutex gWorkersMutex;
std::map<std::size_t, SpeechdWorker *> gWorkers;

QString Taken(char *text)
{
    const QString value = text == nullptr ? QString() : QString::fromUtf8(text);
    std::free(text);
    return value;
}

bool ModuleListed(SPDConnection *connection, const QString &module)
{
    bool listed = false;
    if (char **names = spd_list_modules(connection)) {
        for (char **name = names; *name != nullptr; ++name) {
            listed = listed || module == QString::fromUtf8(*name);
        }
        free_spd_modules(names);
    }
    return listed;
}

} // namespace

SpeechdWorker::SpeechdWorker(QString rememberedPath) : rememberedPath_(std::move(rememberedPath)) { }

SpeechdWorker::~SpeechdWorker()
{
    Disconnect();
}

bool SpeechdWorker::Connect(QString *failure)
{
    char *error = nullptr;
    connection_ = spd_open2("pelko", "words", nullptr, SPD_MODE_THREADED, nullptr, 1, &error);
    if (connection_ == nullptr) {
        *failure = Taken(error);
        return false;
    }
    std::free(error);
    clientId_ = spd_get_client_id(connection_);
    {
        const std::lock_guard lock(gWorkersMutex);
        gWorkers[static_cast<std::size_t>(clientId_)] = this;
    }
    connection_->callback_begin = &SpeechdWorker::OnBegin;
    spd_set_notification_on(connection_, SPD_BEGIN);
    return true;
}

void SpeechdWorker::Disconnect()
{
    if (connection_ == nullptr) {
        return;
    }
    {
        const std::lock_guard lock(gWorkersMutex);
        gWorkers.erase(static_cast<std::size_t>(clientId_));
    }
    // Ends libspeechd's own thread too: no callback comes after this.
    spd_close(connection_);
    connection_ = nullptr;
}

void SpeechdWorker::OnBegin(std::size_t /*messageId*/, std::size_t clientId, SPDNotificationType /*type*/)
{
    const std::lock_guard lock(gWorkersMutex);
    const auto worker = gWorkers.find(clientId);
    if (worker != gWorkers.end()) {
        emit worker->second->speakingStarted();
        QMetaObject::invokeMethod(worker->second, &SpeechdWorker::Begun, Qt::QueuedConnection);
    }
}

void SpeechdWorker::Start()
{
    QString failure;
    if (!Connect(&failure)) {
        const bool installed = !QStandardPaths::findExecutable(QStringLiteral("speech-dispatcher")).isEmpty()
            || QFile::exists(QStringLiteral("/usr/bin/speech-dispatcher"));
        emit found(installed ? A::EngineFailed : A::NoEngine, failure, {}, {});
        return;
    }
    if (Use(SpeechdVoice::Remembered(rememberedPath_))) {
        emit found(A::Ready, {}, voice_.name, voice_.language);
        // Queued: the words given meanwhile go out first, the check of the voice after them,
        // at the latest after kCheckWaitMs whatever became of them.
        checkWanted_ = true;
        QMetaObject::invokeMethod(this, &SpeechdWorker::CheckWhenQuiet, Qt::QueuedConnection);
        QTimer::singleShot(kCheckWaitMs, this, [this] {
            awaitingBegin_ = false;
            CheckWhenQuiet();
        });
    } else {
        listing_ = true;
        emit listWanted();
    }
}

void SpeechdWorker::CheckWhenQuiet()
{
    if (checkWanted_ && !awaitingBegin_) {
        checkWanted_ = false;
        emit listWanted();
    }
}

void SpeechdWorker::Begun()
{
    awaitingBegin_ = false;
    CheckWhenQuiet();
}

bool SpeechdWorker::Use(const SpeechdVoice &voice)
{
    // A module the server no longer has would leave the choice of voice to the server.
    if (connection_ == nullptr || !voice.IsFrench() || !ModuleListed(connection_, voice.module)) {
        return false;
    }
    // The module, then the voice's own language, then the voice by its name.
    if (spd_set_output_module(connection_, voice.module.toUtf8().constData()) != 0
        || spd_set_language(connection_, voice.language.toUtf8().constData()) != 0
        || spd_set_synthesis_voice(connection_, voice.name.toUtf8().constData()) != 0) {
        return false;
    }
    voice_ = voice;
    return true;
}

void SpeechdWorker::Say(const QString &text)
{
    if (listing_) {
        waiting_ = text;
        return;
    }
    if (voice_.IsFrench()) {
        SayNow(text.toUtf8());
    }
}

bool SpeechdWorker::SayNow(const QByteArray &text)
{
    // Only this program's own word is cut off: a screen reader's speech is left alone.
    spd_cancel(connection_);
    // At the screen reader's own priority (Orca speaks at MESSAGE): its announcement
    // right after the word then follows the word instead of cancelling it.
    if (spd_say(connection_, SPD_MESSAGE, text.constData()) >= 0) {
        awaitingBegin_ = true;
        return true;
    }
    // The server went away (restarted, say): once more on a new connection, its voices listed again.
    const SpeechdVoice voice = std::exchange(voice_, {});
    Disconnect();
    QString failure;
    if (Connect(&failure) && Use(voice) && spd_say(connection_, SPD_MESSAGE, text.constData()) >= 0) {
        emit listWanted();
        return true;
    }
    voice_ = {};
    emit found(A::EngineFailed, failure, {}, {});
    return false;
}

void SpeechdWorker::Listed(Speaker::Availability availability, const QString &failure, const QString &module,
                           const QString &name, const QString &language)
{
    listing_ = false;
    const SpeechdVoice listed {module, name, language};
    if (availability == A::Ready && (listed == voice_ || Use(listed))) {
        if (!(SpeechdVoice::Remembered(rememberedPath_) == listed)) {
            listed.Remember(rememberedPath_);
        }
        emit found(A::Ready, {}, voice_.name, voice_.language);
    } else {
        // The voice in use is no French voice of this server (any more): not another word in it.
        if (voice_.IsFrench()) {
            spd_cancel(connection_);
        }
        voice_ = {};
        SpeechdVoice {}.Remember(rememberedPath_);
        emit found(availability == A::Ready ? A::EngineFailed : availability, failure, {}, {});
    }
    if (!waiting_.isEmpty() && voice_.IsFrench()) {
        SayNow(waiting_.toUtf8());
    }
    waiting_.clear();
}
