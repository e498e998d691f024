// One running copy per profile, and what only a POSIX system can set up
// against the guard and the start: a long runtime path, a copy that crashed,
// a FIFO at the profile's path, a second user on the machine, and a config
// folder reached through a link or a bind mount.

#include "app/c_pelko_app.h"
#include "app/single_instance.h"
#include "tests/support/when_modal_opens.h"

#include <QFileInfo>
#include <QLocalSocket>
#include <QMessageBox>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <iostream>
#include <memory>
#include <thread>
#include <tuple>
#include <vector>

#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A second start's hand-over, which blocks, run beside this thread's event
// loop, which serves the running copy in the same process: its answer.
bool HandOverServed(SingleInstance &second)
{
    std::atomic<int> answer = -1;
    std::thread start([&] { answer = second.HandOver() ? 1 : 0; });
    while (answer < 0) {
        QTest::qWait(10);
    }
    start.join();
    return answer == 1;
}

// The program itself (PELKO_BINARY), started headless on that config folder
// and, if given, that runtime folder.
void StartPelko(QProcess &pelko, const QString &config, const QString &runtime = {})
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    environment.insert("XDG_CONFIG_HOME", config);
    if (!runtime.isEmpty()) {
        environment.insert("XDG_RUNTIME_DIR", runtime);
    }
    pelko.setProcessEnvironment(environment);
    pelko.start(QStringLiteral(PELKO_BINARY), {});
    ASSERT_TRUE(pelko.waitForStarted(10000));
}

// The program on a runtime and a config folder of the test's own.
struct ProgramStarts
{
    void Start(QProcess &pelko) const { StartPelko(pelko, config.path(), runtime.path()); }
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

// An environment variable as it was once the test is done.
struct EnvKept
{
    const char *name;
    bool set = qEnvironmentVariableIsSet(name);
    QByteArray value = qgetenv(name);
    ~EnvKept() { set ? qputenv(name, value) : qunsetenv(name); }
};

// Waits for a helper process to say it is ready (it prints that once its
// folder, lock or socket is in place), or to end. The limit only bounds a
// helper that hangs: setpriv and Python start slowly on a loaded machine.
bool Ready(QProcess &process)
{
    while (!process.canReadLine() && process.waitForReadyRead(30000)) { }
    return process.readLine() == "ready\n";
}

} // namespace

TEST(SingleInstancePosix, ASecondClaimOnTheSameProfileHandsOverToTheFirst)
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

// The path is learnt without opening the file: a FIFO there (directly or at
// the end of a link) would block any read for good.
TEST(StartPosix, AFifoAtTheProfilesPathDoesNotHoldTheWindowBack)
{
    for (const bool linked : {false, true}) {
        SCOPED_TRACE(linked ? "behind a link" : "directly");
        const ProgramStarts program;
        const QString config = program.config.path();
        const QString path = config + "/Dravilo/pelko.conf";
        ASSERT_TRUE(QDir().mkpath(config + "/Dravilo"));
        const QString fifo = linked ? config + "/fifo" : path;
        ASSERT_EQ(::mkfifo(Native(fifo).constData(), 0600), 0);
        if (linked) {
            ASSERT_EQ(::symlink(Native(fifo).constData(), Native(path).constData()), 0);
        }
        // Past the one-copy guard once it listens (not before: a second start
        // would take the window itself), and the window is up once it answers
        // a second start.
        QProcess first;
        program.Start(first);
        program.SecondStartHandsOver(first);
        // A copy that crashed leaves nothing in the way of the next.
        first.kill();
        ASSERT_TRUE(first.waitForFinished(10000));
        QProcess next;
        program.Start(next);
        program.SecondStartHandsOver(next);
        next.kill();
        next.waitForFinished(10000);
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
    const EnvKept temp {"TMPDIR"}, home {"HOME"};
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
    const std::pair<const char *, QString> unsuitable[] = {{"unset", QString()},
                                                           {"open to others", open.path()},
                                                           {"a link", link},
                                                           {"another user's", foreign.path()},
                                                           {"relative", "run/user"}};
    for (const auto &[name, runtime] : unsuitable) {
        SCOPED_TRACE(name);
        if (runtime == foreign.path() && !root) {
            continue; // only root can give a folder away
        }
        runtime.isNull() ? qunsetenv("XDG_RUNTIME_DIR") : qputenv("XDG_RUNTIME_DIR", Native(runtime));
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

    // None to be had at all (the cache and the home folder are files): the
    // start is not guarded and says why, and pelko asks before it starts.
    const QString file = config.path() + "/file";
    ASSERT_TRUE(QFile(file).open(QIODevice::WriteOnly));
    qputenv("XDG_CACHE_HOME", Native(file));
    qputenv("HOME", Native(file));
    SingleInstance unguarded(profile);
    EXPECT_TRUE(unguarded.Claim());
    const QString why = unguarded.whyUnguarded();
    EXPECT_EQ(why, "no folder is private to you");
    for (const QString button : {"Quit", "Start Anyway"}) {
        WhenModalOpens(
            nullptr,
            [&](QWidget *box) {
                EXPECT_TRUE(qobject_cast<QMessageBox *>(box)->text().contains(why));
                Press(box, button);
            },
            "QMessageBox");
        EXPECT_EQ(CpelkoApp::AskToStartUnguarded(why), button == "Start Anyway");
    }
}

// Another local user can neither stop a start nor answer in place of the
// running copy, whatever they did to the private folder while it was open.
TEST(SingleInstancePosix, AnotherUserCanNeitherBlockNorHijackAStart)
{
    if (::geteuid() != 0 || QStandardPaths::findExecutable("setpriv").isEmpty()) {
        GTEST_SKIP() << "acting as a second user needs root and setpriv";
    }
    // What another local user does: tests/app/single_instance_intruder.py,
    // given to Python as text (nobody may not read the source tree).
    QFile script(QStringLiteral(PELKO_INTRUDER));
    ASSERT_TRUE(script.open(QIODevice::ReadOnly));
    const QString intruderScript = QString::fromUtf8(script.readAll());
    const auto asNobody = [&](const QStringList &args) {
        auto process = std::make_unique<QProcess>();
        process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process->start("setpriv",
                       QStringList {"--reuid=65534", "--regid=65534", "--clear-groups", "--", "/usr/bin/python3", "-c",
                                    intruderScript}
                           + args);
        return process;
    };
    const auto chmodAll = [](const QString &folder, mode_t folderMode, mode_t fileMode) {
        ASSERT_EQ(::chmod(Native(folder).constData(), folderMode), 0);
        for (const QString &name : QDir(folder).entryList(QDir::Files | QDir::System | QDir::Hidden)) {
            ::chmod(Native(folder + "/" + name).constData(), fileMode);
        }
    };
    qunsetenv("XDG_RUNTIME_DIR");
    const EnvKept home {"HOME"};
    QTemporaryDir config; // XDG_CONFIG_HOME
    const QString profile = config.path() + "/Dravilo/pelko.conf";
    QString lockName;
    {
        QTemporaryDir elsewhere;
        qputenv("XDG_CACHE_HOME", Native(elsewhere.path()));
        lockName = QFileInfo(SingleInstance(profile).socketPath()).completeBaseName() + ".lock";
    }

    enum class What { Replaced, OpenedAndMadePrivateAgain, MadeTheFolder };
    for (const What what : {What::Replaced, What::OpenedAndMadePrivateAgain, What::MadeTheFolder}) {
        SCOPED_TRACE(int(what));
        QTemporaryDir home; // $HOME/.cache, where pelko goes when the cache folder holds nothing of its own
        QTemporaryDir cache;
        ASSERT_EQ(::chmod(Native(cache.path()).constData(), what == What::MadeTheFolder ? 01777 : 0755), 0);
        qputenv("HOME", Native(home.path()));
        qputenv("XDG_CACHE_HOME", Native(cache.path()));
        const QString theirs = cache.path() + "/pelko-runtime";
        if (what != What::MadeTheFolder) {
            // A copy ran and ended; then a careless chmod -R.
            SingleInstance earlier(profile);
            ASSERT_TRUE(earlier.Claim());
            ASSERT_EQ(FolderOf(earlier), theirs);
            chmodAll(theirs, 0777, 0666);
        }
        std::unique_ptr<QProcess> intruder = asNobody(
            {what == What::MadeTheFolder  ? "make"
                 : what == What::Replaced ? "replace"
                                          : "open",
             theirs, theirs + "/" + lockName, theirs + "/" + QFileInfo(lockName).completeBaseName() + ".socket"});
        ASSERT_TRUE(Ready(*intruder));
        if (what == What::OpenedAndMadePrivateAgain) {
            chmodAll(theirs, 0700, 0600);
        }

        SingleInstance first(profile);
        EXPECT_TRUE(IsPrivateFolder(FolderOf(first)));
        ASSERT_TRUE(first.Claim());
        SingleInstance second(profile);
        ASSERT_FALSE(second.Claim());
        int activations = 0;
        QObject::connect(&first, &SingleInstance::activationRequested, [&] { ++activations; });
        EXPECT_TRUE(HandOverServed(second));
        EXPECT_EQ(activations, 1);
        EXPECT_EQ(intruder->readAll(), "") << "the intruder was asked";
        intruder->kill();
        intruder->waitForFinished(10000);
        // Once they let go, their lock is not taken for free: one copy still.
        EXPECT_FALSE(SingleInstance(profile).Claim());

        if (what == What::Replaced) {
            // And while this copy runs, the folder is opened to all again:
            // another user's start is not answered, and what they then put
            // at the socket's name is not asked (this copy is out of reach).
            chmodAll(FolderOf(first), 0777, 0777);
            std::unique_ptr<QProcess> asker = asNobody({"ask", "", "", first.socketPath()});
            while (asker->state() != QProcess::NotRunning) {
                QTest::qWait(10); // this copy answers meanwhile, if it does
            }
            EXPECT_EQ(asker->readAll(), "");
            EXPECT_EQ(activations, 1);
            std::unique_ptr<QProcess> listener = asNobody({"listen", "", "", first.socketPath()});
            ASSERT_TRUE(Ready(*listener));
            QProcess third; // the program, on the same profile
            StartPelko(third, config.path());
            ASSERT_TRUE(third.waitForFinished(30000));
            EXPECT_EQ(std::tuple(third.exitStatus(), third.exitCode()), std::tuple(QProcess::NormalExit, 1));
            EXPECT_TRUE(third.readAllStandardError().contains("did not answer"));
            EXPECT_EQ(listener->readAll(), "") << "the intruder was asked";
            listener->kill();
            listener->waitForFinished(10000);
        }
    }
}

// Every route to one profile is one copy: a link to the config folder, "..",
// and (as root) a bind mount of it, which only the file system's identity of
// the folder tells apart from another folder; the same before the profile
// and its folder exist, and after.
TEST(SingleInstancePosix, EveryRouteToOneProfileIsOneCopy)
{
    QTemporaryDir runtime;
    qputenv("XDG_RUNTIME_DIR", Native(runtime.path()));
    QTemporaryDir x;
    const QString cfg = x.path() + "/cfg";
    ASSERT_TRUE(QDir().mkpath(cfg));
    ASSERT_EQ(::symlink(Native(cfg).constData(), Native(x.path() + "/cfglink").constData()), 0);
    std::vector<const char *> routes {"/cfglink/Dravilo/pelko.conf", "/cfglink/../cfg/Dravilo/pelko.conf",
                                      "/cfg/Dravilo/../Dravilo/pelko.conf"};
    struct Mount
    {
        QByteArray at;
        ~Mount()
        {
            if (!at.isEmpty()) {
                ::umount2(at.constData(), MNT_DETACH);
            }
        }
    } mount;
    ASSERT_TRUE(QDir().mkpath(x.path() + "/mounted"));
    if (::mount(Native(cfg).constData(), Native(x.path() + "/mounted").constData(), nullptr, MS_BIND, nullptr) == 0) {
        mount.at = Native(x.path() + "/mounted");
        routes.push_back("/mounted/Dravilo/pelko.conf");
    } else {
        std::cout << "[  NOTE    ] no bind mount (needs root): " << std::strerror(errno) << "\n";
    }
    // The copy that claims first, before even the profile's folder is made.
    SingleInstance direct(cfg + "/Dravilo/pelko.conf");
    ASSERT_TRUE(direct.Claim());
    for (const bool exists : {false, true}) {
        SCOPED_TRACE(exists ? "profile made" : "no profile yet");
        if (exists) {
            ASSERT_TRUE(QDir().mkpath(cfg + "/Dravilo"));
            QFile file(cfg + "/Dravilo/pelko.conf");
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        }
        for (const char *route : routes) {
            EXPECT_FALSE(SingleInstance(x.path() + route).Claim()) << route;
        }
    }
}
