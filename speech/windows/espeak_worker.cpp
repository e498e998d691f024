#include "speech/windows/espeak_worker.h"

void EspeakWorker::Load()
{
    const Speaker::Availability availability = voice_.Load(dataFolder_);
    if (availability == Speaker::Availability::Ready && !player_.Open(voice_.sampleRate())) {
        // No sound device now; each word tries again, for one plugged in later.
        qWarning("pelko: no sound device for the French voice (%s)", qUtf8Printable(player_.failure()));
    }
    emit loaded(availability, voice_.failure(), voice_.name());
}

void EspeakWorker::Say(const QString &text)
{
    if (voice_.availability() != Speaker::Availability::Ready) {
        return;
    }
    if (player_.Play(voice_.Synthesize(text), voice_.sampleRate())) {
        emit speakingStarted();
    } else {
        qWarning("pelko: the French word could not be played (%s)", qUtf8Printable(player_.failure()));
    }
}
