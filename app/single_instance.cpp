#include "app/single_instance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>

#ifdef _WIN32
#include <windows.h>

#include <sddl.h>
#else
#include "stores/user_stores.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>
#endif

namespace {

constexpr QByteArrayView kRequest = "show\n";
constexpr QByteArrayView kAnswer = "ok\n";
// How long a second start waits for the running copy, which may be starting too, to listen.
constexpr int kHandOverWaitMs = 5000;

#ifdef _WIN32

// The security id of the user a process runs as; empty when it cannot be
// learnt. Pipe names are seen by every user of the machine, so the running
// copy's pipe is named after this, and its server checked to be this user.
QByteArray UserId(HANDLE process)
{
    QByteArray id;
    HANDLE token = nullptr;
    if (::OpenProcessToken(process, TOKEN_QUERY, &token)) {
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

// Whether the process serving the pipe runs as this user: another user can
// make a pipe of that name first, and would answer a second start.
bool ServerIsThisUser(HANDLE pipe)
{
    ULONG pid = 0;
    HANDLE server = ::GetNamedPipeServerProcessId(pipe, &pid)
        ? ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid)
        : nullptr;
    if (server == nullptr) {
        return false;
    }
    const QByteArray user = UserId(server);
    ::CloseHandle(server);
    return !user.isEmpty() && user == UserId(::GetCurrentProcess());
}

#else

// A start walks these lock files in turn; one that another user made or
// holds is never used again, so that an earlier use of the folder cannot
// keep pelko from starting.
constexpr int kLockFiles = 32;

QByteArray Native(const QString &path)
{
    return QFile::encodeName(path);
}

// The folder at path, opened, when it is this user's own and private: a
// folder itself (not a link), mode 0700; with mayTighten, one that was
// loosened since is made private again. -1 otherwise.
int OpenPrivateFolder(const QString &path, bool mayTighten)
{
    const int fd = ::open(Native(path).constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    struct stat st
    {
    };
    if (fd >= 0 && ::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid()
        && ((st.st_mode & 07777) == 0700 || (mayTighten && ::fchmod(fd, 0700) == 0))) {
        return fd;
    }
    if (fd >= 0) {
        ::close(fd);
    }
    return -1;
}

// XDG_RUNTIME_DIR when it is the user's own; else a folder of pelko's own in
// the cache folder, or in ~/.cache when another user took that name first
// (in a cache folder shared with others). Never a shared folder itself such
// as /tmp: there another user could make the lock first and hold it, or
// answer a second start. Returns the folder opened, its path in folder; -1
// when no private folder can be had.
int PrivateRuntimeFolder(QString &folder)
{
    const QString runtime = QFile::decodeName(qgetenv("XDG_RUNTIME_DIR"));
    if (QDir::isAbsolutePath(runtime)) {
        folder = QDir::cleanPath(runtime);
        if (const int fd = OpenPrivateFolder(folder, false); fd >= 0) {
            return fd;
        }
    }
    QStringList caches {QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation)};
    if (const QString home = QFile::decodeName(qgetenv("HOME")); QDir::isAbsolutePath(home)) {
        caches.append(home + QLatin1String("/.cache"));
    }
    for (const QString &cache : caches) {
        if (!QDir::isAbsolutePath(cache)) {
            continue;
        }
        folder = QDir::cleanPath(cache + QLatin1String("/pelko-runtime"));
        QDir().mkpath(cache);
        ::mkdir(Native(folder).constData(), 0700);
        if (const int fd = OpenPrivateFolder(folder, true); fd >= 0) {
            return fd;
        }
    }
    folder.clear();
    return -1;
}

// Creates the folders down to this one, private, as saving the profile does.
void MakeFolders(const QString &folder)
{
    struct stat st
    {
    };
    const QString parent = QFileInfo(folder).absolutePath();
    if (::stat(Native(folder).constData(), &st) != 0 && parent != folder) {
        MakeFolders(parent);
        ::mkdir(Native(folder).constData(), 0700);
    }
}

// The profile's folder as the file system knows it (device and inode) and
// the file's name in it: one key whatever the route to it (links, "..", a
// bind mount), unchanged while the profile itself is replaced at every save.
// The folder is made if missing, so that a copy that started before the
// first save meets one that starts after.
QByteArray ProfileKey(const QString &profilePath)
{
    const QFileInfo resolved(UserStores::WrittenPath(profilePath));
    QString folder = resolved.absolutePath();
    QString rest = resolved.fileName();
    MakeFolders(folder);
    struct stat st
    {
    };
    // Where it cannot be made, the nearest folder that exists and the path on from it.
    while (::stat(Native(folder).constData(), &st) != 0 && QFileInfo(folder).absolutePath() != folder) {
        rest = QFileInfo(folder).fileName() + QLatin1Char('/') + rest;
        folder = QFileInfo(folder).absolutePath();
    }
    return QByteArray::number(quint64(st.st_dev)) + ':' + QByteArray::number(quint64(st.st_ino)) + '/' + rest.toUtf8();
}

QByteArray ReadProcFile(const QByteArray &path)
{
    QByteArray text;
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return text;
    }
    char buffer[4096];
    for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) > 0 || (n < 0 && errno == EINTR);) {
        text.append(buffer, n > 0 ? n : 0);
    }
    ::close(fd);
    return text;
}

// The effective user of a process; -1 when it cannot be seen.
long long UserOf(long long pid)
{
    for (const QByteArray &line : ReadProcFile("/proc/" + QByteArray::number(pid) + "/status").split('\n')) {
        if (line.startsWith("Uid:")) {
            const QList<QByteArray> ids = line.simplified().split(' '); // "Uid:" real effective saved fs
            return ids.size() > 2 ? ids[2].toLongLong() : -1;
        }
    }
    return -1;
}

enum class Holder { None, ThisUser, Other };

// Who holds a flock() on the file st describes, as /proc/locks lists it
// ("1: FLOCK  ADVISORY  WRITE 1234 fe:00:5678 0 EOF"; one waiting for it has
// "->" before FLOCK). A holder that cannot be seen (another pid namespace,
// /proc mounted hidepid) is not taken for this user's.
Holder HolderOf(const struct stat &st)
{
    const auto hex2 = [](unsigned n) { return QByteArray::number(n, 16).rightJustified(2, '0'); };
    const QByteArray file
        = hex2(major(st.st_dev)) + ':' + hex2(minor(st.st_dev)) + ':' + QByteArray::number(quint64(st.st_ino));
    Holder holder = Holder::None;
    for (const QByteArray &line : ReadProcFile("/proc/locks").split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() > 5 && fields[1] == "FLOCK" && fields[5] == file) {
            const long long pid = fields[4].toLongLong();
            if (pid <= 0 || UserOf(pid) != ::geteuid()) {
                return Holder::Other;
            }
            holder = Holder::ThisUser;
        }
    }
    return holder;
}

enum class Lock { Taken, HeldByThisUser, Unusable, CannotMake };

// One lock file of the profile. Taken (with take) when it is this user's,
// made by pelko (mode 0600) and free; HeldByThisUser when a process of this
// user holds it, a running copy. Anything else at that name is Unusable: a
// file of another user's, a link, not a file, or one that another user
// could open (a careless chmod) or holds. One held by another user is marked
// (mode 0200) so that no later start takes it once they let go: every start
// passes over the same files.
Lock TryLock(int folder, const QByteArray &name, bool take, int &taken)
{
    int fd = take ? ::openat(folder, name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600) : -1;
    struct stat st
    {
    };
    if (fd >= 0) {
        ::fchmod(fd, 0600); // made here and now: not the umask's to say
    } else if (take && errno != EEXIST) {
        return Lock::CannotMake;
    } else {
        // Looked at before it is opened, so that nothing but a file of ours is.
        if (::fstatat(folder, name.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode)
            || st.st_uid != ::geteuid()) {
            return Lock::Unusable;
        }
        fd = ::openat(folder, name.constData(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    }
    if (fd < 0 || ::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::geteuid()) {
        if (fd >= 0) {
            ::close(fd);
        }
        return Lock::Unusable;
    }
    Lock result = Lock::Unusable;
    for (int look = 0;; ++look) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            if (take && ::fstat(fd, &st) == 0 && (st.st_mode & 07777) == 0600) {
                taken = fd;
                return Lock::Taken;
            }
            break;
        }
        if (errno == EINTR) {
            continue;
        }
        if (errno != EWOULDBLOCK) {
            break;
        }
        const Holder holder = HolderOf(st);
        if (holder == Holder::ThisUser) {
            result = Lock::HeldByThisUser;
            break;
        }
        if (holder == Holder::None && look < 3) {
            continue; // let go between the two looks
        }
        if (::fstat(fd, &st) == 0 && (st.st_mode & 07777) == 0600) {
            ::fchmod(fd, 0200);
        }
        break;
    }
    ::close(fd);
    return result;
}

// Generation 0 is the one every start uses; the others only after a use of
// the folder by another user.
QByteArray LockName(const QString &base, int generation)
{
    return Native(base) + (generation > 0 ? '.' + QByteArray::number(generation) : QByteArray()) + ".lock";
}

// Where the socket is bound or reached: through the folder opened, so that
// neither a rename on the way nor a path longer than a socket address holds
// (108 bytes) can lead elsewhere; by its path where /proc is not mounted.
bool SocketAddress(int folder, const QString &folderPath, const QByteArray &name, sockaddr_un &address)
{
    const QByteArray viaFd = "/proc/self/fd/" + QByteArray::number(folder);
    const QByteArray path = (::access(viaFd.constData(), X_OK) == 0 ? viaFd : Native(folderPath)) + '/' + name;
    address = {};
    address.sun_family = AF_UNIX;
    if (path.size() >= qsizetype(sizeof address.sun_path)) {
        return false;
    }
    std::memcpy(address.sun_path, path.constData(), std::size_t(path.size()));
    return true;
}

bool PeerIsThisUser(int socket)
{
    ucred peer {};
    socklen_t size = sizeof peer;
    return ::getsockopt(socket, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 && size == sizeof peer
        && peer.uid == ::geteuid();
}

// Asks the copy at the other end of socket to come to the front.
bool Ask(int socket)
{
    const timeval wait {3, 0};
    ::setsockopt(socket, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
    ::setsockopt(socket, SOL_SOCKET, SO_SNDTIMEO, &wait, sizeof wait);
    if (::send(socket, kRequest.data(), std::size_t(kRequest.size()), MSG_NOSIGNAL) != kRequest.size()) {
        return false;
    }
    QByteArray answer;
    char c = 0;
    while (answer.size() < kAnswer.size() && !answer.endsWith('\n')) {
        const ssize_t n = ::recv(socket, &c, 1, 0);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            break;
        }
        answer.append(c);
    }
    return answer == kAnswer;
}

#endif

} // namespace

#ifdef _WIN32

SingleInstance::SingleInstance(const QString &profilePath, QObject *parent) : QObject(parent)
{
    // The profile is a registry key, whose names ignore case.
    const QByteArray key = UserId(::GetCurrentProcess()) + '\n' + profilePath.toLower().toUtf8();
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

bool SingleInstance::Claim()
{
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
    Listen();
    return true;
}

void SingleInstance::Listen()
{
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_->listen(socketPath())) {
        qWarning("A second start cannot reach this pelko: %s", qPrintable(server_->errorString()));
    }
    connect(server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *client = server_->nextPendingConnection()) {
            connect(client, &QLocalSocket::disconnected, client, &QObject::deleteLater);
            connect(client, &QLocalSocket::readyRead, this, [this, client] { Answer(client); });
        }
    });
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
            if (ServerIsThisUser(reinterpret_cast<HANDLE>(socket.socketDescriptor()))) {
                break;
            }
            socket.abort();
        }
        if (waited.elapsed() > kHandOverWaitMs) {
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

#else

SingleInstance::SingleInstance(const QString &profilePath, QObject *parent) : QObject(parent)
{
    const QByteArray key = ProfileKey(profilePath);
    base_ = QStringLiteral("pelko-")
        + QString::fromLatin1(QCryptographicHash::hash(key, QCryptographicHash::Sha256).toHex().left(16));
    folderFd_ = PrivateRuntimeFolder(folder_);
}

SingleInstance::~SingleInstance()
{
    if (server_ != nullptr) {
        delete server_;
        // Still holding the lock, so the name is this copy's to remove.
        ::unlinkat(folderFd_, Native(base_ + QLatin1String(".socket")).constData(), 0);
    }
    if (lockFd_ >= 0) {
        ::close(lockFd_);
    }
    if (folderFd_ >= 0) {
        ::close(folderFd_);
    }
}

QString SingleInstance::socketPath() const
{
    return folder_.isEmpty() ? QString() : folder_ + QLatin1Char('/') + base_ + QLatin1String(".socket");
}

bool SingleInstance::Claim()
{
    const auto unguarded = [this](const QString &why) {
        whyUnguarded_ = why;
        qWarning("Cannot make sure pelko runs only once on its profile: %s", qPrintable(why));
        return true;
    };
    if (folderFd_ < 0) {
        return unguarded(QStringLiteral("no folder is private to you"));
    }
    for (int generation = 0; generation < kLockFiles; ++generation) {
        int fd = -1;
        const Lock lock = TryLock(folderFd_, LockName(base_, generation), true, fd);
        const int error = errno;
        switch (lock) {
        case Lock::HeldByThisUser:
            return false;
        case Lock::Unusable:
            continue;
        case Lock::CannotMake:
            return unguarded(QStringLiteral("%1 cannot be made (%2)")
                                 .arg(folder_ + QLatin1Char('/') + QFile::decodeName(LockName(base_, generation)),
                                      QString::fromLocal8Bit(std::strerror(error))));
        case Lock::Taken:
            // A start that took an earlier one meanwhile (it was another
            // user's a moment ago) runs; this one hands over to it.
            for (int earlier = 0; earlier < generation; ++earlier) {
                int unused = -1;
                if (TryLock(folderFd_, LockName(base_, earlier), false, unused) == Lock::HeldByThisUser) {
                    ::close(fd);
                    return false;
                }
            }
            lockFd_ = fd;
            whyUnguarded_.clear();
            Listen();
            return true;
        }
    }
    return unguarded(QStringLiteral("every lock file in %1 was made or taken by another user").arg(folder_));
}

void SingleInstance::Listen()
{
    const QByteArray name = Native(base_ + QLatin1String(".socket"));
    // Holding the lock, whatever is at that name was left by a copy that died, or put there by someone else.
    ::unlinkat(folderFd_, name.constData(), 0);
    sockaddr_un address {};
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0 || !SocketAddress(folderFd_, folder_, name, address)
        || ::bind(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) != 0
        || ::fchmodat(folderFd_, name.constData(), 0600, 0) != 0 || ::listen(fd, 16) != 0) {
        qWarning("A second start cannot reach this pelko: %s", std::strerror(errno));
        if (fd >= 0) {
            ::close(fd);
        }
        return;
    }
    server_ = new QLocalServer(this);
    if (!server_->listen(fd)) {
        qWarning("A second start cannot reach this pelko: %s", qPrintable(server_->errorString()));
    }
    connect(server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *client = server_->nextPendingConnection()) {
            connect(client, &QLocalSocket::disconnected, client, &QObject::deleteLater);
            // Only this user's own starts bring the window forward.
            if (!PeerIsThisUser(int(client->socketDescriptor()))) {
                client->abort();
                client->deleteLater();
                continue;
            }
            connect(client, &QLocalSocket::readyRead, this, [this, client] { Answer(client); });
        }
    });
}

bool SingleInstance::HandOver()
{
    sockaddr_un address {};
    if (folderFd_ < 0 || !SocketAddress(folderFd_, folder_, Native(base_ + QLatin1String(".socket")), address)) {
        return false;
    }
    QElapsedTimer waited;
    waited.start();
    for (;;) {
        // Only a process of this user's is asked: whatever else listens at
        // that name (put there while the folder was open to others) is not.
        const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (fd >= 0 && ::connect(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) == 0
            && PeerIsThisUser(fd)) {
            const bool answered = Ask(fd);
            ::close(fd);
            return answered;
        }
        if (fd >= 0) {
            ::close(fd);
        }
        // The running copy may be starting too: give it a moment to listen.
        if (waited.elapsed() > kHandOverWaitMs) {
            return false;
        }
        QThread::msleep(50);
    }
}

#endif

// A start asking for the window: bring it forward and say so.
void SingleInstance::Answer(QLocalSocket *client)
{
    if (!client->canReadLine()) {
        return;
    }
    if (client->readLine() == kRequest) {
        emit activationRequested();
        client->write(kAnswer.data(), kAnswer.size());
        client->flush();
    }
    client->disconnectFromServer();
}
