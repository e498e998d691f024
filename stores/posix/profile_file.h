#pragma once

#include "stores/profile_problem.h"

#include <QByteArray>
#include <QString>

#include <sys/types.h>

// The profile on disk and the files beside it. Every replacement is whole:
// the new text goes to "<profile>.tmp", is flushed once and renamed over
// the profile, and the folder is flushed, so a crash at any instant leaves
// the old file or the new one. Writers take "<profile>.lock" with flock(),
// which the kernel releases when a process dies, so a lock is never left
// to wait out; and no call waits more than kLockWaitMs for one.
// Anything at the profile's path that is not a regular file (a device, a
// FIFO, a socket, a folder) is neither opened for reading nor replaced; a
// symbolic link is followed, and its target replaced, the link kept.
// A file larger than its reader takes is never read at all: a read stops
// at that size, however large the file is or grows while being read.
class ProfileFile
{
public:
    static constexpr int kLockWaitMs = 1500;
    // A result line takes about 44 bytes, so 3 MiB hold some 71,000
    // results: ten practises a day, every day, for 19 years. What is larger
    // is no profile of pelko's; and the window lists every result of a
    // level, which for that many stays within a second and 100 MB.
    static constexpr qint64 kMaxProfileBytes = qint64 {3} << 20;

    // Why a read, a write or a copy failed, and the file it concerns.
    using Problem = ProfileProblem;

    // What tells one state of the file from another.
    struct Identity
    {
        dev_t device = 0;
        ino_t inode = 0;
        off_t size = -1; // -1: no file
        long long modifiedNs = 0;
        bool operator==(const Identity &) const = default;
    };

    // maxBytes: the most Read() and Peek() take in; a larger file reads as TooLarge.
    explicit ProfileFile(QString path, qint64 maxBytes = kMaxProfileBytes) : path_(std::move(path)), maxBytes_(maxBytes)
    {
    }

    // The path as configured, and the file it resolves to through links.
    const QString &path() const { return path_; }
    QString RealPath() const;
    // One name for the file whatever the route to it: every link on the way
    // resolved, the folders' too, also before the file or its folder exists.
    QString ResolvedPath() const;

    // The whole file; an absent one reads as empty, with exists false, and
    // one larger than maxBytes as nothing, with the problem TooLarge.
    Problem Read(QByteArray &bytes, bool &exists);
    // The same, without taking it for what this object has seen.
    Problem Peek(QByteArray &bytes, bool &exists) const;
    // Whether the file differs from what this object last read or wrote.
    bool ChangedOnDisk() const;

    // Waits up to waitMs for another writer to finish.
    Problem Lock(int waitMs = kLockWaitMs);
    void Unlock();
    bool Locked() const { return lockFd_ >= 0; }

    // With keepOldAs, the file being replaced is kept under that name first
    // (kept tells whether that worked, or there was no file to keep).
    Problem Replace(const QByteArray &bytes, const QString &keepOldAs, bool &kept);
    // The file as it is now, under another name: a hard link where the file
    // system allows it (the profile is only ever replaced, never changed in
    // place, so the link keeps this state), else a copy.
    Problem Keep(const QString &copyPath) const;
    // The bytes as a file of their own, whole, with the profile's
    // permissions: a copy beside the profile or anywhere.
    Problem WriteCopy(const QString &copyPath, const QByteArray &bytes) const;
    // Whether a replacement with these bytes would go through now, found the
    // way Replace would find it up to but not including the rename: the
    // folders (a missing one is made and removed again), the kind of file at
    // the path, the lock (not waited for) and the temporary file, written,
    // flushed and removed. Neither the profile nor its folder is changed.
    Problem Probe(const QByteArray &bytes);
    // Renames the profile to its path + suffix, or + suffix.2, .3, ... when
    // that name is taken; never over an existing file. The name used goes
    // to keptAs. The next Replace makes the profile with the same permissions.
    Problem MoveAside(const QString &suffix, QString &keptAs);

private:
    Problem ReadWhole(QByteArray &bytes, bool &exists, Identity &identity) const;
    // newMode: the permissions for a profile made anew (0: the usual ones).
    // dryRun: everything up to the rename, and the temporary file removed.
    Problem WriteWhole(const QString &target, const QByteArray &bytes, Identity *written, const QString &keepOldAs = {},
                       bool *kept = nullptr, mode_t newMode = 0, bool dryRun = false) const;
    Problem KeepAs(const QString &real, const QString &copyPath, bool syncFolder) const;
    mode_t CopyMode() const;

    QString path_;
    qint64 maxBytes_;
    Identity seen_;
    QString lockPath_;
    int lockFd_ = -1;
    mode_t modeOfMovedAside_ = 0;
};
