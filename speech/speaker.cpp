#include "speech/speaker.h"

#ifdef PELKO_SPEECH
#include "speech/posix/speechd_speaker.h"
#elif defined(PELKO_ESPEAK)
#include "speech/windows/espeak_speaker.h"
#include "speech/windows/espeak_voice.h"
#else
namespace {

// A build without Qt's text-to-speech module: the menu item says so.
class UnbuiltSpeaker final : public Speaker
{
public:
    void Prepare() override { }
    Availability availability() const override { return Availability::NotBuilt; }
    void Say(const QString & /*text*/) override { }
};

} // namespace
#endif

std::unique_ptr<Speaker> Speaker::ForThisBuild()
{
#ifdef PELKO_SPEECH
    return std::make_unique<SpeechdSpeaker>();
#elif defined(PELKO_ESPEAK)
    return std::make_unique<EspeakSpeaker>(EspeakVoice::DataFolderBesideProgram());
#else
    return std::make_unique<UnbuiltSpeaker>();
#endif
}
