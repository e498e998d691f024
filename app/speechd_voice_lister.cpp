#include "app/speechd_voice_lister.h"

#include "app/speechd_voice.h"

#include <speech-dispatcher/libspeechd.h>

#include <QStringList>

#include <cstdlib>

namespace {

QString Taken(char *text)
{
    const QString value = text == nullptr ? QString() : QString::fromUtf8(text);
    std::free(text);
    return value;
}

} // namespace

void SpeechdVoiceLister::List()
{
    using A = Speaker::Availability;
    char *error = nullptr;
    SPDConnection *connection = spd_open2("pelko", "voices", nullptr, SPD_MODE_SINGLE, nullptr, 1, &error);
    if (connection == nullptr) {
        emit listed(A::EngineFailed, Taken(error), {}, {}, {});
        return;
    }
    std::free(error);

    QStringList modules;
    if (char **names = spd_list_modules(connection)) {
        for (char **name = names; *name != nullptr; ++name) {
            modules << QString::fromUtf8(*name);
        }
        free_spd_modules(names);
    }
    const QString preferred = Taken(spd_get_output_module(connection));
    if (modules.removeOne(preferred)) {
        modules.prepend(preferred);
    }

    SpeechdVoice french;
    for (const QString &module : modules) {
        if (spd_set_output_module(connection, module.toUtf8().constData()) != 0) {
            continue;
        }
        // The reply as it came: libspeechd's own list of voices parses it many times slower.
        char *reply = nullptr;
        const int result = spd_execute_command_with_reply(connection, "LIST SYNTHESIS_VOICES", &reply);
        const QByteArray voiceList = result == 0 && reply != nullptr ? QByteArray(reply) : QByteArray();
        std::free(reply);
        french = SpeechdVoice::ChooseFrench(module, voiceList);
        if (french.IsFrench()) {
            break;
        }
    }
    spd_close(connection);
    emit listed(french.IsFrench() ? A::Ready : A::NoFrenchVoice, {}, french.module, french.name, french.language);
}
