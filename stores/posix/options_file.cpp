#include "stores/posix/options_file.h"

#include <QFileInfo>

namespace {

const QByteArray kSection = QByteArrayLiteral("Options");

QByteArray Key(std::string_view name)
{
    return {name.data(), static_cast<qsizetype>(name.size())};
}

// Read, but not pelko's: moved aside rather than written over or waited on.
bool SetAsideAtWrite(const ProfileProblem &problem)
{
    return problem.kind == ProfileProblem::TooLarge || problem.kind == ProfileProblem::Malformed;
}

} // namespace

QString OptionsFile::BesideProfile(const QString &profilePath)
{
    return QFileInfo(profilePath).absolutePath() + QStringLiteral("/pelko-options.conf");
}

ProfileProblem OptionsFile::Read(std::optional<ProfileDocument> &document) const
{
    QByteArray bytes;
    bool exists = false;
    if (const ProfileProblem problem = file_.Peek(bytes, exists)) {
        return problem;
    }
    document = ProfileDocument::Parse(bytes);
    if (!document) {
        return {ProfileProblem::Malformed, 0, file_.RealPath()};
    }
    return {};
}

bool OptionsFile::ReadFlag(std::string_view name, bool fallback, Problem *problem) const
{
    std::optional<ProfileDocument> document;
    const ProfileProblem unreadable = Read(document);
    if (problem != nullptr) {
        *problem = {unreadable, static_cast<bool>(unreadable)};
    }
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
    std::optional<ProfileDocument> document;
    const ProfileProblem unreadable = Read(document);
    if (unreadable && !SetAsideAtWrite(unreadable)) {
        return {unreadable, true};
    }
    if (unreadable) {
        QString keptAs;
        if (const ProfileProblem moved = file_.MoveAside(QStringLiteral(".unreadable"), keptAs)) {
            return {moved, false};
        }
        setAside_ = {file_.RealPath(), unreadable.Reason(), keptAs};
    }
    // Other options in the file are kept.
    ProfileDocument options = document ? std::move(*document) : ProfileDocument();
    options.SetUnsaved(kSection, Key(name), value ? QByteArrayLiteral("true") : QByteArrayLiteral("false"));
    bool kept = false;
    return {file_.Replace(options.Serialise(), {}, kept), false};
}
