// Writes the samples pelko's own French voice gives for a text, as raw
// 16-bit mono: what a check listening to pelko.exe expects to hear.
//   say_to_file TEXT FILE

#include "speech/windows/espeak_voice.h"

#include <QCoreApplication>
#include <QFile>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: say_to_file TEXT FILE\n");
        return 2;
    }
    EspeakVoice voice;
    if (voice.Load(EspeakVoice::DataFolderBesideProgram()) != Speaker::Availability::Ready) {
        std::fprintf(stderr, "say_to_file: no voice (%s)\n", qUtf8Printable(voice.failure()));
        return 1;
    }
    const std::vector<std::int16_t> samples = voice.Synthesize(args[1]);
    QFile out(args[2]);
    const auto bytes = static_cast<qint64>(samples.size() * sizeof(std::int16_t));
    if (!out.open(QIODevice::WriteOnly) || out.write(reinterpret_cast<const char *>(samples.data()), bytes) != bytes) {
        std::fprintf(stderr, "say_to_file: cannot write %s\n", qUtf8Printable(args[2]));
        return 1;
    }
    return 0;
}
