// What only a POSIX system can set up against the one-copy guard and the
// start: a FIFO at the profile's path, a second user on the machine, and a
// config folder reached through a link.

#include "app/single_instance.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLocalSocket>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray Native(const QString &path)
{
    return QFile::encodeName(path);
}

// Owned by us, 0700, a folder itself rather than a link to one.
::testing::AssertionResult IsPrivateFolder(const QString &folder)
{
    struct stat st = {};
    if (::lstat(Native(folder).constData(), &st) != 0) {
        return ::testing::AssertionFailure() << folder.toStdString() << " is missing";
    }
    if (!S_ISDIR(st.st_mode) || st.st_uid != ::geteuid() || (st.st_mode & 07777) != 0700) {
        return ::testing::AssertionFailure() << folder.toStdString() << " is not private: mode " << std::oct
                                             << st.st_mode << ", owner " << std::dec << st.st_uid;
    }
    return ::testing::AssertionSuccess();
}

QString FolderOf(const SingleInstance &instance)
{
    return QFileInfo(instance.socketPath()).absolutePath();
}

// Runs a command as the user nobody (65534); false where that cannot be done.
bool CanActAsAnotherUser()
{
    return ::geteuid() == 0 && !QStandardPaths::findExecutable("setpriv").isEmpty();
}

} // namespace

// The path is learnt without opening the file: a FIFO there (directly or at
// the end of a link) would block any read for good.
TEST(StartPosix, AFifoAtTheProfilesPathDoesNotHoldTheWindowBack)
{
    for (const bool linked : {false, true}) {
        SCOPED_TRACE(linked ? "behind a link" : "directly");
        QTemporaryDir runtime;
        QTemporaryDir config;
        const QString path = config.path() + "/Dravilo/pelko.conf";
        ASSERT_TRUE(QDir().mkpath(config.path() + "/Dravilo"));
        const QString fifo = linked ? config.path() + "/fifo" : path;
        ASSERT_EQ(::mkfifo(Native(fifo).constData(), 0600), 0);
        if (linked) {
            ASSERT_EQ(::symlink(Native(fifo).constData(), Native(path).constData()), 0);
        }
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        environment.insert("XDG_RUNTIME_DIR", runtime.path());
        environment.insert("XDG_CONFIG_HOME", config.path());
        QProcess first;
        first.setProcessEnvironment(environment);
        first.start(QStringLiteral(PELKO_BINARY), {});
        ASSERT_TRUE(first.waitForStarted(10000));

        // Past the one-copy guard once it listens (not before: a second start
        // would take the window itself)...
        const auto listening = [&] {
            const QStringList sockets = QDir(runtime.path()).entryList({"pelko-*.socket"}, QDir::System);
            QLocalSocket probe;
            probe.connectToServer(runtime.path() + "/" + sockets.value(0));
            return !sockets.isEmpty() && probe.waitForConnected(100);
        };
        QElapsedTimer clock;
        clock.start();
        while (!listening() && clock.elapsed() < 30000) {
            QTest::qWait(100);
        }
        ASSERT_TRUE(listening()) << "no window after 30 seconds";
        // ... and the window is up once it answers a second start.
        QProcess second;
        second.setProcessEnvironment(environment);
        second.start(QStringLiteral(PELKO_BINARY), {});
        ASSERT_TRUE(second.waitForFinished(30000));
        EXPECT_TRUE(second.readAllStandardError().contains("its window was brought to the front"));
        EXPECT_EQ(first.state(), QProcess::Running) << first.readAllStandardError().toStdString();
        first.kill();
        first.waitForFinished(10000);
        struct stat st = {};
        ASSERT_EQ(::lstat(Native(fifo).constData(), &st), 0);
        EXPECT_TRUE(S_ISFIFO(st.st_mode)) << "left as it was";
    }
}

// The lock and the socket live only where nobody else can put or hold a
// file: XDG_RUNTIME_DIR when it is the user's own, a folder of pelko's own
// otherwise, never the shared temporary folder.
TEST(SingleInstancePosix, TheLockLivesOnlyInAFolderPrivateToTheUser)
{
    QTemporaryDir shared;
    ASSERT_EQ(::chmod(Native(shared.path()).constData(), 01777), 0);
    QTemporaryDir cache;
    QTemporaryDir config;
    const QString profile = config.path() + "/pelko.conf";
    qputenv("TMPDIR", Native(shared.path()));
    qputenv("XDG_CACHE_HOME", Native(cache.path()));

    QTemporaryDir good; // 0700 and ours
    qputenv("XDG_RUNTIME_DIR", Native(good.path()));
    EXPECT_EQ(FolderOf(SingleInstance(profile)), good.path());

    QTemporaryDir open;
    ASSERT_EQ(::chmod(Native(open.path()).constData(), 0755), 0);
    const QString link = config.path() + "/runtime-link";
    ASSERT_EQ(::symlink(Native(good.path()).constData(), Native(link).constData()), 0);
    QTemporaryDir foreign;
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::chown(Native(foreign.path()).constData(), 65534, 65534), 0);
    }
    struct Unsuitable
    {
        const char *name;
        QString folder;
    };
    for (const Unsuitable &u :
         {Unsuitable {"unset", QString()}, Unsuitable {"open to others", open.path()}, Unsuitable {"a link", link},
          Unsuitable {"another user's", foreign.path()}, Unsuitable {"relative", "run/user"}}) {
        SCOPED_TRACE(u.name);
        if (u.folder == foreign.path() && !root) {
            continue; // only root can give a folder away
        }
        if (u.folder.isNull()) {
            qunsetenv("XDG_RUNTIME_DIR");
        } else {
            qputenv("XDG_RUNTIME_DIR", Native(u.folder));
        }
        SingleInstance instance(profile);
        const QString folder = FolderOf(instance);
        EXPECT_TRUE(folder.startsWith(cache.path() + "/")) << folder.toStdString();
        EXPECT_TRUE(IsPrivateFolder(folder));
        ASSERT_TRUE(instance.Claim());
        EXPECT_FALSE(SingleInstance(profile).Claim());
    }

    // pelko's own folder, loosened since, is made private again.
    qunsetenv("XDG_RUNTIME_DIR");
    const QString own = FolderOf(SingleInstance(profile));
    ASSERT_EQ(::chmod(Native(own).constData(), 0777), 0);
    SingleInstance again(profile);
    EXPECT_TRUE(IsPrivateFolder(FolderOf(again)));
    EXPECT_TRUE(again.Claim());
}

// Another local user who makes the lock file and holds it, or listens where
// a second start would hand over, must reach nothing: the start goes on.
TEST(SingleInstancePosix, AnotherUserCanNeitherBlockNorHijackAStart)
{
    if (!CanActAsAnotherUser()) {
        GTEST_SKIP() << "acting as a second user needs root and setpriv";
    }
    const auto asNobody = [](const QString &script, const QStringList &args) {
        auto *process = new QProcess;
        process->start("setpriv",
                       QStringList {"--reuid=65534", "--regid=65534", "--clear-groups", "--", "sh", "-c", script, "sh"}
                           + args);
        return process;
    };
    QTemporaryDir shared;
    ASSERT_EQ(::chmod(Native(shared.path()).constData(), 01777), 0);
    QTemporaryDir cache;
    QTemporaryDir config;
    qunsetenv("XDG_RUNTIME_DIR");
    qputenv("TMPDIR", Native(shared.path()));
    qputenv("XDG_CACHE_HOME", Native(cache.path()));
    // First the folder a runtime folder would fall back to in the shared
    // one, so that it cannot be the victim's.
    const passwd *user = ::getpwuid(::geteuid());
    ASSERT_NE(user, nullptr);
    std::unique_ptr<QProcess> squat(asNobody("mkdir -m 0777 \"$1\"", {shared.path() + "/runtime-" + user->pw_name}));
    ASSERT_TRUE(squat->waitForFinished(10000));

    SingleInstance victim(config.path() + "/pelko.conf");
    const QString lock = victim.socketPath().chopped(int(qstrlen(".socket"))) + ".lock";
    // Made open to all (mode 0666) and held.
    std::unique_ptr<QProcess> hold(asNobody("umask 0; exec flock -n \"$1\" sleep 60", {lock}));
    ASSERT_TRUE(hold->waitForStarted(10000));
    QTRY_VERIFY_WITH_TIMEOUT(hold->state() != QProcess::Running || QFile::exists(lock), 5000);
    QTest::qWait(300); // from made to held
    EXPECT_NE(hold->state(), QProcess::Running) << "nobody could make and hold " << lock.toStdString();
    EXPECT_TRUE(victim.Claim());
    EXPECT_TRUE(IsPrivateFolder(FolderOf(victim)));
    hold->kill();
    hold->waitForFinished(10000);
}

// Two ways to one folder (a link to the config folder, "..") are one profile,
// whether the profile and its folder exist yet or not.
TEST(SingleInstancePosix, EveryRouteToOneProfileIsOneCopy)
{
    QTemporaryDir runtime;
    qputenv("XDG_RUNTIME_DIR", Native(runtime.path()));
    QTemporaryDir x;
    const QString cfg = x.path() + "/cfg";
    ASSERT_TRUE(QDir().mkpath(cfg));
    ASSERT_EQ(::symlink(Native(cfg).constData(), Native(x.path() + "/cfglink").constData()), 0);
    for (const bool exists : {false, true}) {
        SCOPED_TRACE(exists ? "profile made" : "no profile yet");
        if (exists) {
            ASSERT_TRUE(QDir().mkpath(cfg + "/Dravilo"));
            QFile file(cfg + "/Dravilo/pelko.conf");
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        }
        SingleInstance direct(cfg + "/Dravilo/pelko.conf");
        ASSERT_TRUE(direct.Claim());
        for (const char *route : {"/cfglink/Dravilo/pelko.conf", "/cfglink/../cfg/Dravilo/pelko.conf",
                                  "/cfg/Dravilo/../Dravilo/pelko.conf"}) {
            EXPECT_FALSE(SingleInstance(x.path() + route).Claim()) << route;
        }
    }
}
