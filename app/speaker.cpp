#include "app/speaker.h"

#ifdef PELKO_SPEECH
#include "app/speechd_speaker.h"
#elif defined(PELKO_ESPEAK)
#include "app/espeak_speaker.h"
#include "app/espeak_voice.h"
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
