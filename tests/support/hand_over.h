#pragma once

#include "app/single_instance.h"

#include <QDir>
#include <QLocalSocket>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <thread>
#include <tuple>

#include <gtest/gtest.h>

// A second start's hand-over, which blocks, run beside this thread's event
// loop, which serves the running copy in the same process: its answer.
inline bool HandOverServed(SingleInstance &second)
{
    std::atomic<int> answer = -1;
    std::thread start([&] { answer = second.HandOver() ? 1 : 0; });
    while (answer < 0) {
        QTest::qWait(10);
    }
    start.join();
    return answer == 1;
}

// The program itself (PELKO_BINARY), started headless on a runtime and a
// config folder of the test's own.
struct ProgramStarts
{
    void Start(QProcess &pelko) const
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        environment.insert("XDG_RUNTIME_DIR", runtime.path());
        environment.insert("XDG_CONFIG_HOME", config.path());
        pelko.setProcessEnvironment(environment);
        pelko.start(QStringLiteral(PELKO_BINARY), {});
        ASSERT_TRUE(pelko.waitForStarted(10000));
    }
    // Started is not yet running: a copy answers once it listens (a crashed
    // one's socket file is still there, but nobody answers on it).
    bool Listening() const
    {
        const QStringList sockets = QDir(runtime.path()).entryList({"pelko-*.socket"}, QDir::System);
        QLocalSocket probe;
        probe.connectToServer(runtime.path() + "/" + sockets.value(0));
        return !sockets.isEmpty() && probe.waitForConnected(100);
    }
    // Once it listens, a second start hands over to it and ends with 0. (The
    // limits are generous, for a sanitizer build under load; QTRY_* would
    // only return from this function on a timeout, which gtest takes for a pass.)
    void SecondStartHandsOver(QProcess &running) const
    {
        ASSERT_TRUE(QTest::qWaitFor([&] { return Listening() && running.state() == QProcess::Running; }, 30000))
            << "the running copy never listened";
        QProcess second;
        Start(second);
        ASSERT_TRUE(second.waitForFinished(30000));
        EXPECT_EQ(std::tuple(second.exitStatus(), second.exitCode()), std::tuple(QProcess::NormalExit, 0));
        EXPECT_TRUE(second.readAllStandardError().contains("its window was brought to the front"));
        EXPECT_EQ(running.state(), QProcess::Running) << running.readAllStandardError().toStdString();
    }

    QTemporaryDir runtime;
    QTemporaryDir config;
};
