#pragma once

#include <QObject>
#include <QString>

class QLocalServer;
class QLocalSocket;

// One running copy per profile. The copy that starts first holds a lock for
// its whole life and listens on a local socket; a second start finds the
// lock taken, asks the running copy over the socket to come to the front,
// and ends. Either way the lock of a copy that crashed is gone with it.
//
// POSIX: flock() on a file in a folder private to the user, named from the
// file system's identity of the profile's folder, so that every route to
// the profile (links, "..", bind mounts) meets the same lock. Nothing found
// in that folder is trusted for having been there: a lock file counts only
// when this user made it, and a held one only when its holder is a process
// of this user; the socket's peer is checked to be this user both ways.
// Windows: a named mutex of the user's session and a named pipe, whose
// server a second start checks to run as this user.
class SingleInstance : public QObject
{
    Q_OBJECT
public:
    explicit SingleInstance(const QString &profilePath, QObject *parent = nullptr);
    ~SingleInstance() override;

    // True when no other copy runs on the profile, and also when none can be
    // told apart: then whyUnguarded() says why.
    bool Claim();
    // Asks the running copy to come to the front; true when it answered.
    bool HandOver();

    // Empty once Claim() holds the lock; else why pelko cannot make sure it
    // runs only once on the profile.
    QString whyUnguarded() const { return whyUnguarded_; }
    QString socketPath() const;

signals:
    void activationRequested();

private:
    void Listen();
    void Answer(QLocalSocket *client);

    QString base_; // pelko-<hash of the profile>
    QString folder_; // the private folder, empty without one
    QString whyUnguarded_;
#ifdef _WIN32
    void *mutex_ = nullptr;
#else
    int folderFd_ = -1;
    int lockFd_ = -1;
#endif
    QLocalServer *server_ = nullptr;
};
