#include "records/options_file.h"

#include "records/profile_document.h"

#include <QFileInfo>

namespace {

const QByteArray kSection = QByteArrayLiteral("Options");

QByteArray Key(std::string_view name)
{
    return {name.data(), static_cast<qsizetype>(name.size())};
}

} // namespace

QString OptionsFile::BesideProfile(const QString &profilePath)
{
    return QFileInfo(profilePath).absolutePath() + QStringLiteral("/pelko-options.conf");
}

bool OptionsFile::ReadFlag(std::string_view name, bool fallback) const
{
    QByteArray bytes;
    bool exists = false;
    readProblem_ = file_.Peek(bytes, exists);
    if (readProblem_ || !exists) {
        return fallback;
    }
    const std::optional<ProfileDocument> document = ProfileDocument::Parse(bytes);
    if (!document) {
        readProblem_ = {ProfileFile::Problem::Malformed, 0, file_.RealPath()};
        return fallback;
    }
    const std::optional<QString> text = document->Text(kSection, Key(name));
    if (!text) {
        return fallback;
    }
    // As QSettings reads a bool that it wrote, or that was typed by hand.
    const QString value = text->trimmed().toLower();
    if (value == QLatin1String("true") || value == QLatin1String("1")) {
        return true;
    }
    if (value == QLatin1String("false") || value == QLatin1String("0")) {
        return false;
    }
    return fallback;
}

bool OptionsFile::WriteFlag(std::string_view name, bool value)
{
    QByteArray bytes;
    bool exists = false;
    if (const ProfileFile::Problem problem = file_.Peek(bytes, exists);
        problem && problem.kind != ProfileFile::Problem::TooLarge) {
        return false;
    }
    // Other options in the file are kept; a file that is not such a text
    // (or far too large to be one) is written over.
    ProfileDocument document = ProfileDocument::Parse(bytes).value_or(ProfileDocument());
    document.SetUnsaved(kSection, Key(name), value ? QByteArrayLiteral("true") : QByteArrayLiteral("false"));
    bool kept = false;
    return !file_.Replace(document.Serialise(), {}, kept);
}
