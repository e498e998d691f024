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

bool OptionsFile::ReadFlag(std::string_view name, bool fallback, Problem *problem) const
{
    QByteArray bytes;
    bool exists = false;
    const ProfileProblem unreadable = file_.Peek(bytes, exists);
    if (problem != nullptr) {
        *problem = {unreadable, static_cast<bool>(unreadable)};
    }
    if (unreadable || !exists) {
        return fallback;
    }
    const std::optional<ProfileDocument> document = ProfileDocument::Parse(bytes);
    const std::optional<QString> text = document ? document->Text(kSection, Key(name)) : std::nullopt;
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

OptionsStore::Problem OptionsFile::WriteFlag(std::string_view name, bool value)
{
    QByteArray bytes;
    bool exists = false;
    if (const ProfileProblem unreadable = file_.Peek(bytes, exists)) {
        return {unreadable, true};
    }
    // Other options in the file are kept; a file that is not such a text is written over.
    ProfileDocument document = ProfileDocument::Parse(bytes).value_or(ProfileDocument());
    document.SetUnsaved(kSection, Key(name), value ? QByteArrayLiteral("true") : QByteArrayLiteral("false"));
    bool kept = false;
    return {file_.Replace(document.Serialise(), {}, kept), false};
}
