// One running copy per profile: a second start hands over to the first and
// ends; a copy that crashed leaves nothing in the way of the next.

#include "app/single_instance.h"

#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

TEST(SingleInstance, ASecondClaimOnTheSameProfileHandsOverToTheFirst)
{
    QTemporaryDir runtime;
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    QTemporaryDir config;
    const QString profile = config.path() + "/pelko.conf";
    ASSERT_TRUE(QFile::link(profile, config.path() + "/link.conf"));

    SingleInstance first(profile);
    SingleInstance second(profile);
    SingleInstance throughALink(config.path() + "/link.conf");
    SingleInstance otherProfile(config.path() + "/other.conf");
    ASSERT_TRUE(first.Claim());
    EXPECT_FALSE(second.Claim());
    EXPECT_FALSE(throughALink.Claim());
    EXPECT_TRUE(otherProfile.Claim());

    int activations = 0;
    QObject::connect(&first, &SingleInstance::activationRequested, [&] { ++activations; });
    std::atomic<bool> answered = false;
    std::thread start([&] { answered = second.HandOver(); }); // blocks, as a second start does
    QTRY_COMPARE(activations, 1);
    start.join();
    EXPECT_TRUE(answered);
}

TEST(SingleInstance, TheProgramHandsOverAndTakesOverFromACrashedCopy)
{
    QTemporaryDir runtime;
    QTemporaryDir config;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    environment.insert("XDG_RUNTIME_DIR", runtime.path());
    environment.insert("XDG_CONFIG_HOME", config.path());
    const auto start = [&](QProcess &pelko) {
        pelko.setProcessEnvironment(environment);
        pelko.start(QStringLiteral(PELKO_BINARY), {});
        ASSERT_TRUE(pelko.waitForStarted(10000));
    };
    // Started is not yet running: a copy answers once it listens (a crashed
    // one's socket file is still there, but nobody answers on it).
    const auto listening = [&] {
        const QStringList sockets = QDir(runtime.path()).entryList({"pelko-*.socket"}, QDir::System);
        QLocalSocket probe;
        probe.connectToServer(runtime.path() + "/" + sockets.value(0));
        return !sockets.isEmpty() && probe.waitForConnected(100);
    };
    const auto secondStartHandsOver = [&](QProcess &running) {
        QProcess second;
        start(second);
        ASSERT_TRUE(second.waitForFinished(30000));
        EXPECT_EQ(std::tuple(second.exitStatus(), second.exitCode()), std::tuple(QProcess::NormalExit, 0));
        EXPECT_TRUE(second.readAllStandardError().contains("its window was brought to the front"));
        EXPECT_EQ(running.state(), QProcess::Running);
    };

    QProcess first;
    start(first);
    QTRY_VERIFY_WITH_TIMEOUT(listening(), 30000);
    secondStartHandsOver(first);

    first.kill();
    ASSERT_TRUE(first.waitForFinished(10000));
    QProcess next;
    start(next);
    QTRY_VERIFY_WITH_TIMEOUT(listening() && next.state() == QProcess::Running, 30000);
    secondStartHandsOver(next);
    next.kill();
    next.waitForFinished(10000);
}
