#include "stores/profile_problem.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <cstring>
#endif

namespace {

// The system's own words for an error, lower-case first, no full stop.
QString SystemMessage(int error)
{
#ifdef _WIN32
    wchar_t *buffer = nullptr;
    const DWORD length
        = ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                           nullptr, static_cast<DWORD>(error), 0, reinterpret_cast<wchar_t *>(&buffer), 0, nullptr);
    QString text = length > 0 ? QString::fromWCharArray(buffer, static_cast<qsizetype>(length)).trimmed()
                              : QStringLiteral("error %1").arg(error);
    ::LocalFree(buffer);
    if (text.endsWith(QLatin1Char('.'))) {
        text.chop(1);
    }
#else
    QString text = QString::fromLocal8Bit(std::strerror(error));
#endif
    if (!text.isEmpty()) {
        text[0] = text[0].toLower();
    }
    return text;
}

} // namespace

QString ProfileProblem::Reason() const
{
    switch (kind) {
    case None:
        return {};
    case NoSpace:
        return QStringLiteral("no space is left on the device");
    case NoPermission:
        return QStringLiteral("pelko has no permission to write there");
    case ReadOnly:
        return QStringLiteral("the file system is read-only");
    case NotRegular:
        return QStringLiteral("it is not a regular file");
    case Locked:
        return QStringLiteral("another program keeps it locked");
    case TooLarge:
        return QStringLiteral("it is too large to be a file of pelko's");
    case Malformed:
        return QStringLiteral("it is not in the form pelko reads");
    case Other:
        break;
    }
    return SystemMessage(error);
}
