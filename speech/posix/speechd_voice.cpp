#include "speech/posix/speechd_voice.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QSaveFile>
#include <QStandardPaths>

bool SpeechdVoice::IsFrenchTag(const QString &language)
{
    // ISO 639-1 or -2, with or without a region: "fr", "fr-FR", "fr_BE", "fra".
    const QString primary = language.section(QLatin1Char('-'), 0, 0).section(QLatin1Char('_'), 0, 0).toLower();
    return primary == QLatin1String("fr") || primary == QLatin1String("fra") || primary == QLatin1String("fre");
}

SpeechdVoice SpeechdVoice::ChooseFrench(const QString &module, const QByteArray &voiceList)
{
    SpeechdVoice best;
    int bestRank = 3;
    for (const QByteArray &line : voiceList.split('\n')) {
        if (!line.startsWith("249-")) {
            continue;
        }
        const QList<QByteArray> fields = line.mid(4).trimmed().split('\t');
        if (fields.size() < 2) {
            continue;
        }
        SpeechdVoice voice {module, QString::fromUtf8(fields[0]), QString::fromUtf8(fields[1])};
        if (!voice.IsFrench()) {
            continue;
        }
        const bool plain = fields.size() < 3 || fields[2] == "none";
        const bool france = voice.language.compare(QLatin1String("fr-FR"), Qt::CaseInsensitive) == 0
            || voice.language.compare(QLatin1String("fr"), Qt::CaseInsensitive) == 0;
        const int rank = plain ? (france ? 0 : 1) : 2;
        if (rank < bestRank) {
            best = voice;
            bestRank = rank;
        }
    }
    return best;
}

SpeechdVoice SpeechdVoice::Remembered(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    const QList<QByteArray> lines = file.read(4096).split('\n');
    if (lines.size() < 3) {
        return {};
    }
    SpeechdVoice voice {QString::fromUtf8(lines[0]), QString::fromUtf8(lines[1]), QString::fromUtf8(lines[2])};
    return voice.IsFrench() ? voice : SpeechdVoice {};
}

void SpeechdVoice::Remember(const QString &path) const
{
    // Only a convenience for the next start: a failure costs that start its head start, nothing more.
    if (!IsFrench()) {
        QFile::remove(path);
        return;
    }
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly)) {
        file.write(module.toUtf8() + '\n' + name.toUtf8() + '\n' + language.toUtf8() + '\n');
        file.commit();
    }
}

QString SpeechdVoice::RememberedPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation)
        + QStringLiteral("/Dravilo/pelko-french-voice");
}
