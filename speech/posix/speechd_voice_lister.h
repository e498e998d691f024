#pragma once

#include "speech/speaker.h"

#include <QObject>
#include <QString>

// Looks through speech-dispatcher's voices for a French one, on a thread
// and a connection of its own: the server lists every voice of a module at
// once (espeak-ng has some 13,000, a second or more to list), and the
// words must not wait behind that.
class SpeechdVoiceLister : public QObject
{
    Q_OBJECT
public:
    // The default output module first, then the others; the first module
    // with a French voice gives it.
    void List();

signals:
    // availability is Ready (with the voice), NoFrenchVoice or EngineFailed (with failure).
    void listed(Speaker::Availability availability, const QString &failure, const QString &module, const QString &name,
                const QString &language);
};
