#pragma once

#include <QObject>
#include <QString>

class QLocalServer;

// One running copy per profile. The copy that starts first holds a lock for
// its whole life (flock() on a file in a folder private to the user; on
// Windows a named mutex of the user's session: either way the lock of a copy
// that crashed is gone with it and no other user can take or fake it) and
// listens on a local socket (a named pipe on Windows) named from the
// profile's fully resolved path. A second start finds the lock taken, asks
// the running copy over the socket to come to the front, and ends.
class SingleInstance : public QObject
{
    Q_OBJECT
public:
    explicit SingleInstance(const QString &profilePath, QObject *parent = nullptr);
    ~SingleInstance() override;

    // True when no other copy runs on the profile. Where no lock can be had
    // at all, pelko runs unguarded rather than not at all: true as well.
    bool Claim();
    // Asks the running copy to come to the front; true when it answered.
    bool HandOver();

    QString socketPath() const;

signals:
    void activationRequested();

private:
    QString base_; // <private folder>/pelko-<hash of the profile's path>; empty without one
#ifdef _WIN32
    void *mutex_ = nullptr;
#else
    int lockFd_ = -1;
#endif
    QLocalServer *server_ = nullptr;
};
