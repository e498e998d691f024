#pragma once

#include "tests/support/wait_for.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

// A speech-dispatcher of its own for one test or benchmark: its own
// configuration, socket and log (at the most detailed level), sound into
// ALSA's null device so that no sound card is needed, and gone with the
// object. SPEECHD_ADDRESS is pointed at it, so that an engine made after
// this one connects here and never starts the user's own.
class PrivateSpeechDispatcher
{
public:
    enum class Synthesiser {
        EspeakNg, // with its French voices
        DummyOnly, // speech-dispatcher's stand-in, with no voice of any language
    };

    explicit PrivateSpeechDispatcher(Synthesiser synthesiser)
    {
        const QString root = dir_.path();
        QDir().mkpath(root + "/conf");
        QDir().mkpath(root + "/log");
        QFile conf(root + "/conf/speechd.conf");
        if (!conf.open(QIODevice::WriteOnly)) {
            return;
        }
        // English by default, so that a French tag can only come from the client.
        conf.write("LogLevel 5\n"
                   "AudioOutputMethod \"alsa\"\n"
                   "AudioALSADevice \"null\"\n"
                   "DefaultLanguage \"en\"\n");
        conf.write(synthesiser == Synthesiser::EspeakNg
                       ? "AddModule \"espeak-ng\" \"sd_espeak-ng\" \"\"\nDefaultModule espeak-ng\n"
                       : "AddModule \"dummy\" \"sd_dummy\" \"\"\nDefaultModule dummy\n");
        conf.close();

        socket_ = root + "/speechd.sock";
        process_.setProcessChannelMode(QProcess::MergedChannels);
        process_.setStandardOutputFile(root + "/log/stdout.txt");
        process_.start(QStringLiteral("speech-dispatcher"),
                       {"-s", "-t", "0", "-C", root + "/conf", "-L", root + "/log", "-c", "unix_socket", "-S", socket_,
                        "-P", root + "/speechd.pid", "-m", "/usr/lib/speech-dispatcher-modules"});
        if (!process_.waitForStarted(10000)) {
            return;
        }
        if (WaitFor([this] { return Accepts() || process_.state() != QProcess::Running; }, 20000) && Accepts()) {
            qputenv("SPEECHD_ADDRESS", "unix_socket:" + QFile::encodeName(socket_));
        }
    }

    ~PrivateSpeechDispatcher()
    {
        qunsetenv("SPEECHD_ADDRESS");
        if (process_.state() != QProcess::NotRunning) {
            // SIGTERM lets it end its synthesiser processes too.
            process_.terminate();
            if (!process_.waitForFinished(5000)) {
                process_.kill();
                process_.waitForFinished(5000);
            }
        }
    }

    PrivateSpeechDispatcher(const PrivateSpeechDispatcher &) = delete;
    PrivateSpeechDispatcher &operator=(const PrivateSpeechDispatcher &) = delete;

    bool Running() const { return process_.state() == QProcess::Running && Accepts(); }
    // Everything the server logged so far; it logs what a client sends
    // ("<fd>:DATA:|<line>") before it answers it.
    QByteArray Log() const
    {
        QFile log(dir_.path() + "/log/speech-dispatcher.log");
        return log.open(QIODevice::ReadOnly) ? log.readAll() : QByteArray();
    }

private:
    // The server listens once its socket takes a connection: the file is
    // there from bind(), a moment before listen().
    bool Accepts() const
    {
        QLocalSocket probe;
        probe.connectToServer(socket_);
        return probe.waitForConnected(1000);
    }

    QTemporaryDir dir_;
    QString socket_;
    QProcess process_;
};
