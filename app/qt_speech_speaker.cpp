#include "app/qt_speech_speaker.h"

#include <QMetaObject>
#include <QTextToSpeech>
#include <QThread>
#include <QVoice>

namespace {

// Exit waits this long for a speech engine that does not answer, then leaves
// the thread to end with the process.
constexpr unsigned long kStopWaitMs = 3000;

bool IsFrench(const QLocale &locale)
{
    return locale.language() == QLocale::French;
}

} // namespace

QtSpeechSpeaker::QtSpeechSpeaker() = default;

QtSpeechSpeaker::~QtSpeechSpeaker()
{
    if (thread_ == nullptr) {
        return;
    }
    // The worker (and the engine with it) goes on its own thread.
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
    worker_ = new QObject;
    worker_->moveToThread(thread_);
    thread_->start();
    QMetaObject::invokeMethod(worker_, [this] { FindVoice(); });
    NotifyAvailability();
}

void QtSpeechSpeaker::Say(const QString &text)
{
    if (thread_ == nullptr) {
        return;
    }
    // Queued behind FindVoice(), so a word given while looking is said once a voice is found.
    QMetaObject::invokeMethod(worker_, [this, text] { SayNow(text); });
}

void QtSpeechSpeaker::FindVoice()
{
    QStringList engines = QTextToSpeech::availableEngines();
    // speech-dispatcher first: on Linux it is the one with voices for many languages.
    if (engines.removeOne(QStringLiteral("speechd"))) {
        engines.prepend(QStringLiteral("speechd"));
    }
    Availability result = engines.isEmpty() ? Availability::NoEngine : Availability::NoFrenchVoice;
    QString failure;
    for (const QString &name : engines) {
        auto *engine = new QTextToSpeech(name, worker_);
        if (engine->state() == QTextToSpeech::Error) {
            failure = engine->errorString();
            if (result != Availability::NoFrenchVoice || failure.isEmpty()) {
                result = Availability::EngineFailed;
            }
            delete engine;
            continue;
        }
        // France's French where there is one, else the first French the engine lists.
        engine->setLocale(QLocale(QLocale::French, QLocale::France));
        if (!IsFrench(engine->voice().locale())) {
            for (const QLocale &locale : engine->availableLocales()) {
                if (IsFrench(locale)) {
                    engine->setLocale(locale);
                    break;
                }
            }
        }
        if (!IsFrench(engine->voice().locale())) {
            result = Availability::NoFrenchVoice;
            delete engine;
            continue;
        }
        engine_ = engine;
        connect(engine_, &QTextToSpeech::stateChanged, this, [this](QTextToSpeech::State state) {
            if (state == QTextToSpeech::Speaking) {
                emit speakingStarted();
            }
        });
        const QVoice voice = engine_->voice();
        QMetaObject::invokeMethod(this,
                                  [this, voice] { Found(Availability::Ready, {}, voice.name(), voice.locale()); });
        return;
    }
    // An engine that failed explains more than one that merely lacked French.
    if (result == Availability::NoFrenchVoice) {
        failure.clear();
    }
    QMetaObject::invokeMethod(this, [this, result, failure] { Found(result, failure, {}, {}); });
}

void QtSpeechSpeaker::SayNow(const QString &text)
{
    // The voice is checked at every word: an engine that lost it (its
    // server restarted with other voices) must not go on in another language.
    if (engine_ == nullptr || !IsFrench(engine_->voice().locale())) {
        return;
    }
    if (engine_->state() == QTextToSpeech::Speaking) {
        engine_->stop(QTextToSpeech::BoundaryHint::Immediate);
    }
    engine_->say(text);
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
