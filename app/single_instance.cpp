#include "app/single_instance.h"

#include "records/profile_file.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>

#include <cerrno>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

constexpr QByteArrayView kRequest = "show\n";
constexpr QByteArrayView kAnswer = "ok\n";

} // namespace

SingleInstance::SingleInstance(const QString &profilePath, QObject *parent) : QObject(parent)
{
    // Two links to one profile are one profile.
    const QByteArray path = QFile::encodeName(ProfileFile(profilePath).RealPath());
    const QByteArray hash = QCryptographicHash::hash(path, QCryptographicHash::Sha256).toHex().left(16);
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    QString name = QStringLiteral("pelko-") + QString::fromLatin1(hash);
    if (folder.isEmpty()) {
        folder = QDir::tempPath();
        name = QStringLiteral("pelko-%1-%2").arg(::getuid()).arg(QString::fromLatin1(hash));
    }
    base_ = folder + QLatin1Char('/') + name;
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

bool SingleInstance::Claim()
{
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
