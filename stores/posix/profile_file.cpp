#include "stores/posix/profile_file.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

ProfileFile::Problem FromErrno(int error, const QString &path)
{
    using P = ProfileFile::Problem;
    switch (error) {
    case ENOSPC:
    case EDQUOT:
        return {P::NoSpace, error, path};
    case EACCES:
    case EPERM:
        return {P::NoPermission, error, path};
    case EROFS:
        return {P::ReadOnly, error, path};
    case EISDIR:
    case ELOOP:
    case ENXIO:
        return {P::NotRegular, error, path};
    default:
        return {P::Other, error, path};
    }
}

ProfileFile::Problem NotRegular(const QString &path)
{
    return {ProfileFile::Problem::NotRegular, 0, path};
}

QByteArray Native(const QString &path)
{
    return QFile::encodeName(path);
}

// Creates the folders down to path's own, private to the learner.
int MakeFolders(const QString &folder)
{
    struct stat st
    {
    };
    if (::stat(Native(folder).constData(), &st) == 0) {
        return S_ISDIR(st.st_mode) ? 0 : ENOTDIR;
    }
    const QString parent = QFileInfo(folder).absolutePath();
    if (parent != folder) {
        if (const int error = MakeFolders(parent)) {
            return error;
        }
    }
    return ::mkdir(Native(folder).constData(), 0700) == 0 || errno == EEXIST ? 0 : errno;
}

// Whether MakeFolders(folder) would succeed, leaving nothing behind: the
// first missing folder on the way is made and removed again.
int ProbeFolders(const QString &folder)
{
    QString missing;
    QString at = folder;
    struct stat st
    {
    };
    while (::stat(Native(at).constData(), &st) != 0) {
        missing = at;
        const QString parent = QFileInfo(at).absolutePath();
        if (parent == at) {
            return errno;
        }
        at = parent;
    }
    if (!S_ISDIR(st.st_mode)) {
        return ENOTDIR;
    }
    if (missing.isEmpty()) {
        return 0;
    }
    if (::mkdir(Native(missing).constData(), 0700) != 0) {
        return errno == EEXIST ? 0 : errno;
    }
    ::rmdir(Native(missing).constData());
    return 0;
}

// Every writer works under the lock, so a temporary file of ours that the
// lock's holder finds was left by a writer that was killed.
void RemoveLeftovers(const QString &real)
{
    for (const char *copy : {"", ".bak", ".before-reset"}) {
        ::unlink(Native(real + QLatin1String(copy) + QLatin1String(".tmp")).constData());
    }
}

ProfileFile::Identity IdentityOf(const struct stat &st)
{
    return {st.st_dev, st.st_ino, st.st_size, st.st_mtim.tv_sec * 1'000'000'000LL + st.st_mtim.tv_nsec};
}

void SyncFolder(const QString &folder)
{
    const int fd = ::open(Native(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

int WriteAll(int fd, const QByteArray &bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, static_cast<std::size_t>(bytes.size() - done));
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errno;
        }
        done += n;
    }
    return 0;
}

} // namespace

QString ProfileFile::RealPath() const
{
    // Followed by hand, so that a link to a file not yet made still leads to it.
    QString path = QFileInfo(path_).absoluteFilePath();
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st
        {
        };
        if (::lstat(Native(path).constData(), &st) != 0 || !S_ISLNK(st.st_mode)) {
            break;
        }
        QByteArray target(static_cast<qsizetype>(st.st_size > 0 ? st.st_size : 4096), '\0');
        const ssize_t n = ::readlink(Native(path).constData(), target.data(), static_cast<std::size_t>(target.size()));
        if (n <= 0) {
            break;
        }
        target.truncate(n);
        path = QDir::cleanPath(QFileInfo(path).absoluteDir().absoluteFilePath(QFile::decodeName(target)));
    }
    return path;
}

QString ProfileFile::ResolvedPath() const
{
    // Every folder on the way resolved too; the part not yet made stays as written.
    QString existing = RealPath();
    QString rest;
    for (;;) {
        if (char *resolved = ::realpath(Native(existing).constData(), nullptr)) {
            const QString path = QFile::decodeName(resolved);
            std::free(resolved);
            return rest.isEmpty() ? path : QDir::cleanPath(path + QLatin1Char('/') + rest);
        }
        const QFileInfo info(existing);
        const QString parent = info.absolutePath();
        if (parent == existing) {
            return RealPath();
        }
        rest = rest.isEmpty() ? info.fileName() : info.fileName() + QLatin1Char('/') + rest;
        existing = parent;
    }
}

ProfileFile::Problem ProfileFile::ReadWhole(QByteArray &bytes, bool &exists, Identity &identity) const
{
    bytes.clear();
    exists = false;
    identity = {};
    const QString real = RealPath();
    struct stat st
    {
    };
    if (::stat(Native(real).constData(), &st) != 0) {
        return errno == ENOENT || errno == ENOTDIR ? Problem {} : FromErrno(errno, real);
    }
    // Never open anything else: a FIFO would block, a device may act.
    if (!S_ISREG(st.st_mode)) {
        return NotRegular(real);
    }
    const int fd = ::open(Native(real).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        return FromErrno(errno, real);
    }
    Problem problem;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        problem = NotRegular(real);
    } else if (st.st_size > maxBytes_) {
        problem = {Problem::TooLarge, 0, real};
    } else {
        identity = IdentityOf(st);
        bytes.resize(static_cast<qsizetype>(st.st_size));
        qsizetype done = 0;
        for (;;) {
            if (done == bytes.size()) {
                // Grown since the stat: read on, but one byte past the limit at most.
                if (done > maxBytes_) {
                    problem = {Problem::TooLarge, 0, real};
                    break;
                }
                bytes.resize(static_cast<qsizetype>(std::min<qint64>(done + 65536, maxBytes_ + 1)));
            }
            const ssize_t n = ::read(fd, bytes.data() + done, static_cast<std::size_t>(bytes.size() - done));
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n <= 0) {
                if (n < 0) {
                    problem = FromErrno(errno, real);
                }
                break;
            }
            done += n;
        }
        if (problem) {
            bytes.clear();
        } else {
            bytes.truncate(done);
        }
        exists = !problem;
    }
    ::close(fd);
    return problem;
}

ProfileFile::Problem ProfileFile::Read(QByteArray &bytes, bool &exists)
{
    Identity identity;
    const Problem problem = ReadWhole(bytes, exists, identity);
    if (!problem) {
        seen_ = identity;
    }
    return problem;
}

ProfileFile::Problem ProfileFile::Peek(QByteArray &bytes, bool &exists) const
{
    Identity identity;
    return ReadWhole(bytes, exists, identity);
}

bool ProfileFile::ChangedOnDisk() const
{
    struct stat st
    {
    };
    if (::stat(Native(RealPath()).constData(), &st) != 0) {
        return seen_.size >= 0;
    }
    return !(seen_ == IdentityOf(st));
}

ProfileFile::Problem ProfileFile::Lock(int waitMs)
{
    if (lockFd_ >= 0) {
        return {};
    }
    const QString real = RealPath();
    if (const int error = MakeFolders(QFileInfo(real).absolutePath())) {
        return FromErrno(error, QFileInfo(real).absolutePath());
    }
    lockPath_ = real + QLatin1String(".lock");
    const QByteArray lockPath = Native(lockPath_);
    QElapsedTimer waited;
    waited.start();
    for (;;) {
        // Non-blocking and no links: whatever lies at that name, this returns at once.
        const int fd = ::open(lockPath.constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
        if (fd < 0) {
            // A full, read-only or closed folder keeps the profile from being
            // saved: the learner knows the profile, not pelko's lock beside it.
            Problem problem = FromErrno(errno, lockPath_);
            if (problem.kind == Problem::NoSpace || problem.kind == Problem::NoPermission
                || problem.kind == Problem::ReadOnly) {
                problem.path = real;
            }
            return problem;
        }
        struct stat held
        {
        };
        if (::fstat(fd, &held) != 0 || !S_ISREG(held.st_mode)) {
            ::close(fd);
            return NotRegular(lockPath_);
        }
        int error = 0;
        for (;;) {
            if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
                error = 0;
                break;
            }
            error = errno;
            if ((error != EWOULDBLOCK && error != EINTR) || waited.elapsed() >= waitMs) {
                break;
            }
            QThread::msleep(10);
        }
        if (error == 0) {
            // The holder unlinks the file before it lets go: a lock on a file
            // no longer at that name is worth nothing, so try the name again.
            struct stat now
            {
            };
            if (::stat(lockPath.constData(), &now) == 0 && now.st_ino == held.st_ino && now.st_dev == held.st_dev) {
                lockFd_ = fd;
                RemoveLeftovers(real);
                return {};
            }
            ::close(fd);
            continue;
        }
        ::close(fd);
        return error == EWOULDBLOCK || error == EINTR ? Problem {Problem::Locked, 0, lockPath_}
                                                      : FromErrno(error, lockPath_);
    }
}

void ProfileFile::Unlock()
{
    if (lockFd_ >= 0) {
        // Unlinked while still held, so nobody is left locking a stale name.
        ::unlink(Native(lockPath_).constData());
        ::close(lockFd_);
        lockFd_ = -1;
    }
}

mode_t ProfileFile::CopyMode() const
{
    struct stat st
    {
    };
    return ::stat(Native(RealPath()).constData(), &st) == 0 ? (st.st_mode & 07777) : 0600;
}

ProfileFile::Problem ProfileFile::WriteWhole(const QString &target, const QByteArray &bytes, Identity *written,
                                             const QString &keepOldAs, bool *kept, mode_t newMode, bool dryRun) const
{
    const QString folder = QFileInfo(target).absolutePath();
    if (const int error = MakeFolders(folder)) {
        return FromErrno(error, folder);
    }
    struct stat st
    {
    };
    const bool replacing = ::stat(Native(target).constData(), &st) == 0;
    if (replacing && !S_ISREG(st.st_mode)) {
        return NotRegular(target);
    }
    // A link that leads nowhere it can be followed to (a loop) is kept, like the link to a file.
    if (!replacing && errno != ENOENT) {
        return FromErrno(errno, target);
    }
    // The profile keeps its own permissions (a new one gets the usual ones,
    // or those of the one it follows); every copy gets the profile's, so a
    // private profile has private copies.
    const bool isProfile = written != nullptr;
    const bool setMode = !isProfile || replacing || newMode != 0;
    const mode_t mode = isProfile ? (replacing ? st.st_mode & 07777 : newMode) : CopyMode();

    const QByteArray temporary = Native(target + QLatin1String(".tmp"));
    ::unlink(temporary.constData()); // one a killed writer left
    const int fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) {
        // Still there after the unlink: something that is not a file of ours.
        return errno == EEXIST ? NotRegular(target + QLatin1String(".tmp")) : FromErrno(errno, target);
    }
    int error = setMode && ::fchmod(fd, mode) != 0 ? errno : 0;
    if (error == 0) {
        error = WriteAll(fd, bytes);
    }
    if (error == 0 && ::fdatasync(fd) != 0) {
        error = errno;
    }
    if (error == 0 && written != nullptr && ::fstat(fd, &st) == 0) {
        *written = IdentityOf(st);
    }
    if (::close(fd) != 0 && error == 0) {
        error = errno;
    }
    if (dryRun) {
        ::unlink(temporary.constData());
        return error != 0 ? FromErrno(error, target) : Problem {};
    }
    if (error == 0 && kept != nullptr) {
        // Only now that the new file is whole, so a failed write keeps no copy.
        *kept = !replacing || !KeepAs(target, keepOldAs, false);
    }
    if (error == 0 && ::rename(temporary.constData(), Native(target).constData()) != 0) {
        error = errno;
    }
    if (error != 0) {
        ::unlink(temporary.constData());
        return FromErrno(error, target);
    }
    SyncFolder(folder);
    return {};
}

ProfileFile::Problem ProfileFile::KeepAs(const QString &real, const QString &copyPath, bool syncFolder) const
{
    const QByteArray temporary = Native(copyPath + QLatin1String(".tmp"));
    ::unlink(temporary.constData());
    if (::link(Native(real).constData(), temporary.constData()) == 0) {
        if (::rename(temporary.constData(), Native(copyPath).constData()) != 0) {
            const int error = errno;
            ::unlink(temporary.constData());
            return FromErrno(error, copyPath);
        }
        // Where the copy already was this very file (a run killed between
        // keeping it and replacing the profile), rename() succeeds without
        // doing anything: the temporary name would stay.
        ::unlink(temporary.constData());
        if (syncFolder) {
            SyncFolder(QFileInfo(copyPath).absolutePath());
        }
        return {};
    }
    // No hard links here (or not allowed): a copy of the bytes.
    QByteArray bytes;
    bool exists = false;
    if (const Problem problem = Peek(bytes, exists)) {
        return problem;
    }
    return exists ? WriteCopy(copyPath, bytes) : Problem {Problem::Other, ENOENT, real};
}

ProfileFile::Problem ProfileFile::Replace(const QByteArray &bytes, const QString &keepOldAs, bool &kept)
{
    Identity written;
    kept = keepOldAs.isEmpty();
    const Problem problem
        = WriteWhole(RealPath(), bytes, &written, keepOldAs, keepOldAs.isEmpty() ? nullptr : &kept, modeOfMovedAside_);
    if (!problem) {
        seen_ = written;
        modeOfMovedAside_ = 0;
    }
    return problem;
}

ProfileFile::Problem ProfileFile::Probe(const QByteArray &bytes)
{
    const QString real = RealPath();
    const QString folder = QFileInfo(real).absolutePath();
    if (const int error = ProbeFolders(folder)) {
        return FromErrno(error, folder);
    }
    struct stat st
    {
    };
    if (::stat(Native(folder).constData(), &st) != 0) {
        return {}; // could be made: nothing in it can be in the way
    }
    const bool wasLocked = Locked();
    if (const Problem problem = Lock(0)) {
        return problem;
    }
    Identity written;
    const Problem problem = WriteWhole(real, bytes, &written, {}, nullptr, modeOfMovedAside_, true);
    if (!wasLocked) {
        Unlock();
    }
    return problem;
}

ProfileFile::Problem ProfileFile::Keep(const QString &copyPath) const
{
    return KeepAs(RealPath(), copyPath, true);
}

ProfileFile::Problem ProfileFile::WriteCopy(const QString &copyPath, const QByteArray &bytes) const
{
    return WriteWhole(copyPath, bytes, nullptr);
}

ProfileFile::Problem ProfileFile::MoveAside(const QString &suffix, QString &keptAs)
{
    const QString real = RealPath();
    for (int n = 1; n < 1000; ++n) {
        keptAs = real + suffix + (n == 1 ? QString() : QLatin1Char('.') + QString::number(n));
        struct stat st
        {
        };
        if (::lstat(Native(keptAs).constData(), &st) == 0) {
            continue;
        }
        const mode_t mode = ::stat(Native(real).constData(), &st) == 0 ? st.st_mode & 07777 : 0;
        if (::rename(Native(real).constData(), Native(keptAs).constData()) != 0) {
            return FromErrno(errno, real);
        }
        // The profile that takes its place is as private as it was, and
        // readable and writable by the learner whatever it was.
        modeOfMovedAside_ = mode | S_IRUSR | S_IWUSR;
        SyncFolder(QFileInfo(real).absolutePath());
        seen_ = {};
        return {};
    }
    return {Problem::Other, EEXIST, real};
}
