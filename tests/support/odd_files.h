#pragma once

// What a learner's folder may hold where pelko expects a file of its own,
// a small file system to fill or make read-only, and a way for root to meet
// permissions as a learner does. POSIX only.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>

#include <cstring>
#include <vector>

#include <linux/capability.h>
#include <sys/mount.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

// Something that is not a regular file, made at a path.
struct OddFile
{
    enum Kind { Folder, Fifo, Socket, LinkLoop, Device };
    Kind kind;
    const char *name;

    // False where it cannot be made (a device needs root).
    bool Make(const QString &path) const
    {
        const QByteArray native = QFile::encodeName(path);
        switch (kind) {
        case Folder:
            return QDir().mkpath(path + QStringLiteral("/inside"));
        case Fifo:
            return ::mkfifo(native.constData(), 0600) == 0;
        case Socket: {
            sockaddr_un address = {};
            address.sun_family = AF_UNIX;
            std::strncpy(address.sun_path, native.constData(), sizeof address.sun_path - 1);
            const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
            const bool bound = ::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0;
            ::close(fd);
            return bound;
        }
        case LinkLoop: // a link to itself
            return ::symlink(QFile::encodeName(QFileInfo(path).fileName()).constData(), native.constData()) == 0;
        case Device: // /dev/null's numbers, should anything write to it
            return ::mknod(native.constData(), S_IFCHR | 0600, makedev(1, 3)) == 0;
        }
        return false;
    }
    // Removes what Make made.
    static bool Remove(const QString &path)
    {
        return QFileInfo(path).isDir() && !QFileInfo(path).isSymLink()
            ? QDir(path).removeRecursively()
            : ::unlink(QFile::encodeName(path).constData()) == 0;
    }
    // Every kind, the device last.
    static std::vector<OddFile> All()
    {
        return {{Folder, "a folder"},
                {Fifo, "a FIFO"},
                {Socket, "a socket"},
                {LinkLoop, "a link to itself"},
                {Device, "a device"}};
    }
};

// A small file system of its own mounted at a folder for the life of this
// object (false where it cannot be: mounting needs root).
class SmallFileSystem
{
public:
    explicit SmallFileSystem(const QString &folder) : where_(QFile::encodeName(folder))
    {
        mounted_ = ::mount("tmpfs", where_.constData(), "tmpfs", 0, "size=256k") == 0;
    }
    ~SmallFileSystem()
    {
        if (mounted_) {
            ::umount2(where_.constData(), MNT_DETACH);
        }
    }
    SmallFileSystem(const SmallFileSystem &) = delete;
    SmallFileSystem &operator=(const SmallFileSystem &) = delete;
    explicit operator bool() const { return mounted_; }

    // What space is left goes to the file "filler" in it.
    void Fill() const
    {
        QFile filler(QFile::decodeName(where_) + QStringLiteral("/filler"));
        filler.open(QIODevice::WriteOnly);
        const QByteArray chunk(4096, 'x');
        while (filler.write(chunk) == chunk.size() && filler.flush()) { }
    }
    bool MakeReadOnly() const
    {
        return ::mount("tmpfs", where_.constData(), "tmpfs", MS_REMOUNT | MS_RDONLY, "size=256k") == 0;
    }

private:
    QByteArray where_;
    bool mounted_ = false;
};

// Root reads and writes whatever the permissions say. For the life of this
// object the calling thread does without that power, so that a file of mode
// 000 is as closed to it as to a learner; elsewhere it changes nothing.
class WithoutFilePowers
{
public:
    WithoutFilePowers()
    {
        header_.version = _LINUX_CAPABILITY_VERSION_3;
        if (::syscall(SYS_capget, &header_, saved_) != 0) {
            return;
        }
        __user_cap_data_struct reduced[2] = {saved_[0], saved_[1]};
        reduced[0].effective &= ~((1U << CAP_DAC_OVERRIDE) | (1U << CAP_DAC_READ_SEARCH));
        dropped_ = ::syscall(SYS_capset, &header_, reduced) == 0;
    }
    ~WithoutFilePowers()
    {
        if (dropped_) {
            ::syscall(SYS_capset, &header_, saved_);
        }
    }
    WithoutFilePowers(const WithoutFilePowers &) = delete;
    WithoutFilePowers &operator=(const WithoutFilePowers &) = delete;

private:
    __user_cap_header_struct header_ = {};
    __user_cap_data_struct saved_[2] = {};
    bool dropped_ = false;
};
