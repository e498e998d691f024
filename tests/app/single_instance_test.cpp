// One running copy per profile: a second start hands over to the first and
// ends; a copy that crashed leaves nothing in the way of the next.

#include "app/single_instance.h"
#include "tests/support/hand_over.h"

#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

TEST(SingleInstance, ASecondClaimOnTheSameProfileHandsOverToTheFirst)
{
    QTemporaryDir runtime;
    // A runtime folder whose path leaves no room for a socket's name (108 bytes).
    const QString deep = runtime.path() + "/" + QString(110, 'r');
    ASSERT_TRUE(QDir().mkpath(deep));
    ASSERT_TRUE(QFile::setPermissions(deep, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    QTemporaryDir config;
    const QString profile = config.path() + "/pelko.conf";
    ASSERT_TRUE(QFile::link(profile, config.path() + "/link.conf"));

    for (const QString &folder : {runtime.path(), deep}) {
        SCOPED_TRACE(folder.size() > 100 ? "a long runtime path" : "a short one");
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(folder));
        SingleInstance first(profile);
        SingleInstance second(profile);
        SingleInstance throughALink(config.path() + "/link.conf");
        SingleInstance otherProfile(config.path() + "/other.conf");
        ASSERT_TRUE(first.socketPath().startsWith(folder + "/"));
        ASSERT_TRUE(first.Claim());
        EXPECT_FALSE(second.Claim());
        EXPECT_FALSE(throughALink.Claim());
        EXPECT_TRUE(otherProfile.Claim());

        int activations = 0;
        QObject::connect(&first, &SingleInstance::activationRequested, [&] { ++activations; });
        EXPECT_TRUE(HandOverServed(second));
        EXPECT_EQ(activations, 1);
    }
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

    // QTRY_* would only return from this function on a timeout: gtest would
    // take that for a pass. The limit is generous (a sanitizer build under load).
    QProcess first;
    start(first);
    ASSERT_TRUE(QTest::qWaitFor(listening, 30000)) << "the first copy never listened";
    secondStartHandsOver(first);

    first.kill();
    ASSERT_TRUE(first.waitForFinished(10000));
    QProcess next;
    start(next);
    ASSERT_TRUE(QTest::qWaitFor([&] { return listening() && next.state() == QProcess::Running; }, 30000))
        << "the next copy never listened";
    secondStartHandsOver(next);
    next.kill();
    next.waitForFinished(10000);
}
