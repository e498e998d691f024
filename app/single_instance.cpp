#include "app/single_instance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>

#ifdef _WIN32
#include <windows.h>

#include <sddl.h>
#else
#include "records/profile_file.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

constexpr QByteArrayView kRequest = "show\n";
constexpr QByteArrayView kAnswer = "ok\n";

#ifdef _WIN32

// The user's security id: pipe names are seen by every user of the machine,
// so a name of another user's never matches ours.
QByteArray UserId()
{
    QByteArray id;
    HANDLE token = nullptr;
    if (::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token)) {
        DWORD size = 0;
        ::GetTokenInformation(token, TokenUser, nullptr, 0, &size);
        QByteArray buffer(static_cast<qsizetype>(size), '\0');
        wchar_t *text = nullptr;
        if (size > 0 && ::GetTokenInformation(token, TokenUser, buffer.data(), size, &size)
            && ::ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER *>(buffer.data())->User.Sid, &text)) {
            id = QString::fromWCharArray(text).toUtf8();
            ::LocalFree(text);
        }
        ::CloseHandle(token);
    }
    return id;
}

#else

// Only this user can put, hold or replace a file in it: owned by the user,
// mode 0700, a folder itself and not a link to one.
bool IsPrivate(const QString &folder)
{
    struct stat st
    {
    };
    return ::lstat(QFile::encodeName(folder).constData(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid()
        && (st.st_mode & 07777) == 0700;
}

// XDG_RUNTIME_DIR when it is the user's own; else a folder of pelko's own in
// the user's cache folder. Never a shared folder such as /tmp: there another
// user could make the lock first and hold it, or answer a second start.
// Empty when no private folder can be had.
QString PrivateRuntimeFolder()
{
    const QString runtime = QFile::decodeName(qgetenv("XDG_RUNTIME_DIR"));
    if (QDir::isAbsolutePath(runtime) && IsPrivate(runtime)) {
        return QDir::cleanPath(runtime);
    }
    QString cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    if (cache.isEmpty()) {
        cache = QDir::homePath() + QLatin1String("/.cache");
    }
    const QString own = QDir::cleanPath(cache + QLatin1String("/pelko-runtime"));
    QDir().mkpath(cache);
    const QByteArray native = QFile::encodeName(own);
    ::mkdir(native.constData(), 0700);
    struct stat st
    {
    };
    // Ours but loosened since (by hand, or a umask at making): made private again.
    if (::lstat(native.constData(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid()
        && (st.st_mode & 07777) != 0700) {
        ::chmod(native.constData(), 0700);
    }
    return IsPrivate(own) ? own : QString();
}

#endif

} // namespace

#ifdef _WIN32

SingleInstance::SingleInstance(const QString &profilePath, QObject *parent) : QObject(parent)
{
    // The profile is a registry key, whose names ignore case.
    const QByteArray key = UserId() + '\n' + profilePath.toLower().toUtf8();
    base_ = QStringLiteral("pelko-")
        + QString::fromLatin1(QCryptographicHash::hash(key, QCryptographicHash::Sha256).toHex().left(16));
}

SingleInstance::~SingleInstance()
{
    if (server_ != nullptr) {
        server_->close();
    }
    if (mutex_ != nullptr) {
        ::ReleaseMutex(mutex_);
        ::CloseHandle(mutex_);
    }
}

QString SingleInstance::socketPath() const
{
    return base_; // the pipe \\.\pipe\<name>
}

#else

SingleInstance::SingleInstance(const QString &profilePath, QObject *parent) : QObject(parent)
{
    // Every route to one profile (links, a linked folder, "..") is one profile.
    const QByteArray path = QFile::encodeName(ProfileFile(profilePath).ResolvedPath());
    const QByteArray hash = QCryptographicHash::hash(path, QCryptographicHash::Sha256).toHex().left(16);
    const QString folder = PrivateRuntimeFolder();
    if (!folder.isEmpty()) {
        base_ = folder + QLatin1String("/pelko-") + QString::fromLatin1(hash);
    }
}

SingleInstance::~SingleInstance()
{
    if (server_ != nullptr) {
        server_->close();
    }
    if (lockFd_ >= 0) {
        ::close(lockFd_);
    }
}

QString SingleInstance::socketPath() const
{
    return base_ + QLatin1String(".socket");
}

#endif

bool SingleInstance::Claim()
{
#ifdef _WIN32
    // A mutex of this session ("Local\\"): Windows drops it with its last holder.
    HANDLE mutex = ::CreateMutexW(nullptr, TRUE, (QStringLiteral("Local\\") + base_).toStdWString().c_str());
    if (mutex == nullptr) {
        qWarning("Cannot make sure pelko runs only once on its profile: error %lu", ::GetLastError());
        return true;
    }
    if (::GetLastError() == ERROR_ALREADY_EXISTS) {
        ::CloseHandle(mutex);
        return false;
    }
    mutex_ = mutex;
#else
    if (base_.isEmpty()) {
        qWarning("Cannot make sure pelko runs only once on its profile: no folder private to this user");
        return true;
    }
    const QByteArray lockPath = QFile::encodeName(base_ + QLatin1String(".lock"));
    const int fd = ::open(lockPath.constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) {
        qWarning("Cannot make sure pelko runs only once on its profile: %s cannot be opened", lockPath.constData());
        return true;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        ::close(fd);
        return error != EWOULDBLOCK;
    }
    lockFd_ = fd;
#endif

    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    // Holding the lock, any socket left at that name belongs to a copy that died.
    QLocalServer::removeServer(socketPath());
    if (!server_->listen(socketPath())) {
        qWarning("A second start cannot reach this pelko: %s", qPrintable(server_->errorString()));
    }
    connect(server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *client = server_->nextPendingConnection()) {
            connect(client, &QLocalSocket::disconnected, client, &QObject::deleteLater);
            connect(client, &QLocalSocket::readyRead, this, [this, client] {
                if (!client->canReadLine()) {
                    return;
                }
                if (client->readLine() == kRequest) {
                    emit activationRequested();
                    client->write(kAnswer.data(), kAnswer.size());
                    client->flush();
                }
                client->disconnectFromServer();
            });
        }
    });
    return true;
}

bool SingleInstance::HandOver()
{
    // The running copy may be starting too: give it a moment to listen.
    QLocalSocket socket;
    QElapsedTimer waited;
    waited.start();
    for (;;) {
        socket.connectToServer(socketPath());
        if (socket.waitForConnected(500)) {
            break;
        }
        if (waited.elapsed() > 5000) {
            return false;
        }
        QThread::msleep(50);
    }
    socket.write(kRequest.data(), kRequest.size());
    if (!socket.waitForBytesWritten(2000)) {
        return false;
    }
    while (!socket.canReadLine() && socket.waitForReadyRead(3000)) { }
    return socket.readLine() == kAnswer;
}
