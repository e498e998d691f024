#pragma once

#include <QByteArray>
#include <QString>

// One voice of speech-dispatcher: the output module that has it, its name
// and its own language tag ("fr-FR"), as the server lists them.
struct SpeechdVoice
{
    QString module;
    QString name;
    QString language;

    // A voice counts only when its own language is French.
    bool IsFrench() const { return !module.isEmpty() && !name.isEmpty() && IsFrenchTag(language); }
    static bool IsFrenchTag(const QString &language);

    // The French voice to use from the server's answer to LIST
    // SYNTHESIS_VOICES for module ("249-name<TAB>language<TAB>variant"
    // lines): France's French without a variant first, then any French
    // without one, then any French; none: an empty voice.
    static SpeechdVoice ChooseFrench(const QString &module, const QByteArray &voiceList);

    // The French voice an earlier start found, kept so that the next start
    // can say its first word at once; empty when there is none or the file
    // names no French voice.
    static SpeechdVoice Remembered(const QString &path);
    void Remember(const QString &path) const;
    static QString RememberedPath();

    friend bool operator==(const SpeechdVoice &, const SpeechdVoice &) = default;
};
