#pragma once

#include "speech/speaker.h"

#include <QString>

#include <cstdint>
#include <string>
#include <vector>

// espeak-ng's French voice, from the data pelko.exe carries, saying a text
// into samples in memory. espeak-ng keeps its state in globals: one
// EspeakVoice at a time in a process, used from one thread.
class EspeakVoice
{
public:
    EspeakVoice() = default;
    ~EspeakVoice();
    EspeakVoice(const EspeakVoice &) = delete;
    EspeakVoice &operator=(const EspeakVoice &) = delete;

    // Where pelko.exe keeps the voice: espeak-ng-data beside it.
    static QString DataFolderBesideProgram();

    // Starts espeak-ng on the data in folder and takes its French voice:
    // Ready; NoFrenchVoice when the voice's files are not all there;
    // EngineFailed (failure() says why) when espeak-ng would not start on
    // them or gave a voice that is not French. Starting again ends the last start.
    Speaker::Availability Load(const QString &folder);
    Speaker::Availability availability() const { return availability_; }
    QString failure() const { return failure_; }
    // The voice's name and its language as espeak-ng reports them, once Ready.
    QString name() const { return name_; }
    QString language() const { return language_; }
    int sampleRate() const { return sampleRate_; }

    // text said in the voice: 16-bit mono samples at sampleRate(), from the
    // first that is not silent, so that a device starts on the sound itself.
    // Empty unless Ready.
    std::vector<std::int16_t> Synthesize(const QString &text);
    // How the voice reads text, in espeak-ng's phoneme mnemonics ("l@" for "le").
    QString Phonemes(const QString &text);

    // folder as espeak-ng's narrow file calls can open it (the ANSI code
    // page, else the short name), or empty when neither can name it.
    static std::string NarrowPath(const QString &folder);

private:
    Speaker::Availability Fail(Speaker::Availability availability, const QString &failure);
    void Unload();

    Speaker::Availability availability_ = Speaker::Availability::NotLooked;
    bool started_ = false; // espeak-ng initialised, to be terminated
    QString failure_;
    QString name_;
    QString language_;
    int sampleRate_ = 0;
};
