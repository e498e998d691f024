#include "app/speech_worker.h"

#include <QTextToSpeech>
#include <QVoice>

namespace {

bool IsFrench(const QLocale &locale)
{
    return locale.language() == QLocale::French;
}

} // namespace

void SpeechWorker::FindVoice()
{
    QStringList engines = QTextToSpeech::availableEngines();
    // speech-dispatcher first: on Linux it is the one with voices for many languages.
    if (engines.removeOne(QStringLiteral("speechd"))) {
        engines.prepend(QStringLiteral("speechd"));
    }
    using A = Speaker::Availability;
    A result = engines.isEmpty() ? A::NoEngine : A::NoFrenchVoice;
    QString failure;
    for (const QString &name : engines) {
        auto *engine = new QTextToSpeech(name, this);
        if (engine->state() == QTextToSpeech::Error) {
            failure = engine->errorString();
            result = A::EngineFailed;
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
        emit found(A::Ready, {}, voice.name(), voice.locale());
        return;
    }
    emit found(result, failure, {}, {});
}

void SpeechWorker::Say(const QString &text)
{
    // The voice is checked at every word: an engine that lost it (its
    // server restarted with other voices) must not go on in another language.
    if (engine_ == nullptr || !IsFrench(engine_->voice().locale())) {
        return;
    }
    // Qt's speech-dispatcher engine stops by cancelling every client's
    // speech, a screen reader's too, so only a word of ours still going is stopped.
    if (engine_->state() == QTextToSpeech::Speaking) {
        engine_->stop(QTextToSpeech::BoundaryHint::Immediate);
    }
    engine_->say(text);
}
