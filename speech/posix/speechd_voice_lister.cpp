#include "speech/posix/speechd_voice_lister.h"

#include "speech/posix/speechd_voice.h"

#include <speech-dispatcher/libspeechd.h>

#include <QByteArrayList>
#include <QLocalSocket>
#include <QTcpSocket>

#include <cstdlib>
#include <memory>

namespace {

// A server listing espeak-ng's voices on a loaded machine takes seconds.
constexpr int kReplyWaitMs = 60000;

// Sends one SSIP command and reads its reply, every line up to the last
// ("NNN text" where the others are "NNN-text"); false when the reply is not
// one of success (a code below 300) or none came.
bool Ask(QIODevice &socket, QByteArray &buffer, const QByteArray &command, QByteArrayList *reply)
{
    socket.write(command + "\r\n");
    socket.waitForBytesWritten(kReplyWaitMs);
    reply->clear();
    for (;;) {
        const qsizetype end = buffer.indexOf("\r\n");
        if (end < 0) {
            if (!socket.waitForReadyRead(kReplyWaitMs)) {
                return false;
            }
            buffer += socket.readAll();
            continue;
        }
        const QByteArray line = buffer.left(end);
        buffer.remove(0, end + 2);
        reply->append(line);
        if (line.size() < 4 || line[3] != '-') {
            return line.size() >= 3 && line[0] >= '2' && line[0] < '3';
        }
    }
}

// The values of a reply ("250-espeak-ng" gives "espeak-ng").
QStringList Values(const QByteArrayList &reply)
{
    QStringList values;
    for (const QByteArray &line : reply) {
        if (line.size() > 4 && line[3] == '-') {
            values << QString::fromUtf8(line.mid(4));
        }
    }
    return values;
}

// Where libspeechd connects (SPEECHD_ADDRESS, else the user's own socket).
std::unique_ptr<QIODevice> Connect(QString *failure)
{
    char *error = nullptr;
    SPDConnectionAddress *address = spd_get_default_address(&error);
    if (address == nullptr) {
        *failure = QString::fromUtf8(error);
        std::free(error);
        return nullptr;
    }
    std::unique_ptr<QIODevice> device;
    if (address->method == SPD_METHOD_UNIX_SOCKET) {
        auto socket = std::make_unique<QLocalSocket>();
        socket->connectToServer(QString::fromUtf8(address->unix_socket_name));
        if (socket->waitForConnected(kReplyWaitMs)) {
            device = std::move(socket);
        } else {
            *failure = socket->errorString();
        }
    } else {
        auto socket = std::make_unique<QTcpSocket>();
        socket->connectToHost(QString::fromUtf8(address->inet_socket_host),
                              static_cast<quint16>(address->inet_socket_port));
        if (socket->waitForConnected(kReplyWaitMs)) {
            device = std::move(socket);
        } else {
            *failure = socket->errorString();
        }
    }
    SPDConnectionAddress__free(address);
    return device;
}

} // namespace

void SpeechdVoiceLister::List()
{
    using A = Speaker::Availability;
    // Straight over the socket: libspeechd reads a reply a byte at a time, which
    // makes espeak-ng's 13,000 voices take seconds (minutes under AddressSanitizer).
    QString failure;
    const std::unique_ptr<QIODevice> socket = Connect(&failure);
    QByteArray buffer;
    QByteArrayList reply;
    if (socket == nullptr || !Ask(*socket, buffer, "SET self CLIENT_NAME user:pelko:voices", &reply)) {
        emit listed(A::EngineFailed, failure, {}, {}, {});
        return;
    }
    QStringList modules;
    if (Ask(*socket, buffer, "LIST OUTPUT_MODULES", &reply)) {
        modules = Values(reply);
    }
    if (Ask(*socket, buffer, "GET OUTPUT_MODULE", &reply) && !Values(reply).isEmpty()
        && modules.removeOne(Values(reply).constFirst())) {
        modules.prepend(Values(reply).constFirst());
    }

    SpeechdVoice french;
    for (const QString &module : modules) {
        if (Ask(*socket, buffer, "SET self OUTPUT_MODULE " + module.toUtf8(), &reply)
            && Ask(*socket, buffer, "LIST SYNTHESIS_VOICES", &reply)) {
            french = SpeechdVoice::ChooseFrench(module, reply.join('\n'));
            if (french.IsFrench()) {
                break;
            }
        }
    }
    Ask(*socket, buffer, "QUIT", &reply);
    emit listed(french.IsFrench() ? A::Ready : A::NoFrenchVoice, {}, french.module, french.name, french.language);
}
