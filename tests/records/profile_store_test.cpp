#include "records/profile_keys.h"
#include "tests/support/temp_profile.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSettings>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include <chrono>
#include <thread>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

// Qt shares one in-memory copy per file path within a process, so a store on
// a copy of the file under a new name is the only way to read what is really
// on disk.
class DiskCopy
{
public:
    explicit DiskCopy(const QString &path)
    {
        writeBytes(dir_.path() + "/copy.conf", readBytes(path));
        store_ = std::make_unique<QSettingsProfileStore>(dir_.path() + "/copy.conf");
    }
    QSettingsProfileStore &store() { return *store_; }

private:
    QTemporaryDir dir_;
    std::unique_ptr<QSettingsProfileStore> store_;
};

// Counts the warnings issued while it lives.
class WarningCounter
{
public:
    WarningCounter()
    {
        count_ = 0;
        previous_ = qInstallMessageHandler(&WarningCounter::handle);
    }
    ~WarningCounter() { qInstallMessageHandler(previous_); }
    int count() const { return count_; }

private:
    static void handle(QtMsgType type, const QMessageLogContext &, const QString &)
    {
        if (type == QtWarningMsg) {
            ++count_;
        }
    }
    static inline int count_ = 0;
    QtMessageHandler previous_ = nullptr;
};

const std::u16string kResultLine = u"  02 mins, 05 secs Tries :51";

} // namespace

TEST(QSettingsProfileStore, FreshProfileReadsDefaults)
{
    TempProfile profile;
    EXPECT_EQ(profile.store().GetProfileInt(kResultsSection, profile_keys::BestResult(1), 999), 999);
    EXPECT_EQ(profile.store().GetProfileInt(kResultsSection, profile_keys::Span(0), 0), 0);
    EXPECT_EQ(profile.store().GetProfileString(kResultsSection, profile_keys::Result(1, 1), u""), u"");
    EXPECT_EQ(profile.store().GetProfileString(kResultsSection, profile_keys::Title(0), u"x"), u"x");
    EXPECT_FALSE(QFile::exists(profile.path())) << "reading must not create the profile";
}

TEST(QSettingsProfileStore, StringsRoundTripExactlyThroughTheFile)
{
    const std::vector<std::u16string> values = {
        kResultLine,
        u" ",
        u"\tTab\t",
        u"line one\r\nline two\n",
        u"a=b [Results] ;c #d",
        u"\"quoted\" 'single' \\back\\slash\\",
        u"a, b",
        u"@Variant(x)",
        u"@",
        u"12",
        u"Ça coûte cher : œuvre, Ελληνικά, 日本語, 😀",
        std::u16string(500, u'\u00e9'),
    };
    TempProfile profile;
    for (std::size_t i = 0; i < values.size(); ++i) {
        profile.store().WriteProfileString(kResultsSection, profile_keys::Title(static_cast<int>(i)), values[i]);
    }
    DiskCopy disk(profile.path());
    for (std::size_t i = 0; i < values.size(); ++i) {
        const std::string key = profile_keys::Title(static_cast<int>(i));
        EXPECT_EQ(profile.reopen().GetProfileString(kResultsSection, key, u"-"), values[i]) << key;
        EXPECT_EQ(disk.store().GetProfileString(kResultsSection, key, u"-"), values[i]) << key;
    }
}

TEST(QSettingsProfileStore, IntsRoundTripIncludingBoundaries)
{
    const std::vector<std::int32_t> values
        = {0, 1, 51, 999, -1, -7, INT32_MAX, INT32_MIN, INT32_MAX - 1, INT32_MIN + 1};
    TempProfile profile;
    for (std::size_t i = 0; i < values.size(); ++i) {
        profile.store().WriteProfileInt(kResultsSection, profile_keys::Span(static_cast<int>(i)), values[i]);
    }
    DiskCopy disk(profile.path());
    for (std::size_t i = 0; i < values.size(); ++i) {
        const std::string key = profile_keys::Span(static_cast<int>(i));
        EXPECT_EQ(profile.store().GetProfileInt(kResultsSection, key, 12345), values[i]) << key;
        EXPECT_EQ(disk.store().GetProfileInt(kResultsSection, key, 12345), values[i]) << key;
    }
}

TEST(QSettingsProfileStore, EmptyStringReadsAsDefaultButIsStored)
{
    TempProfile profile;
    profile.store().WriteProfileString(kResultsSection, "Result2_1", kResultLine);
    profile.store().WriteProfileString(kResultsSection, "Result2_1", u"");
    EXPECT_EQ(profile.store().GetProfileString(kResultsSection, "Result2_1", u"none"), u"none");
    EXPECT_TRUE(readBytes(profile.path()).contains("Result2_1=\n")) << readBytes(profile.path()).constData();
}

TEST(QSettingsProfileStore, FileLayoutIsTheResultsGroupWithExactKeys)
{
    TempProfile profile;
    profile.store().WriteProfileInt(kResultsSection, "BestResult20", 7);
    profile.store().WriteProfileString(kResultsSection, "Result3_12", u"x");
    const QByteArray bytes = readBytes(profile.path());
    EXPECT_TRUE(bytes.startsWith("[Results]\n")) << bytes.constData();
    EXPECT_TRUE(bytes.contains("\nBestResult20=7\n")) << bytes.constData();
    EXPECT_TRUE(bytes.contains("\nResult3_12=x\n")) << bytes.constData();
    // Nothing of the write is left lying around.
    EXPECT_EQ(QDir(QFileInfo(profile.path()).absolutePath()).entryList(QDir::Files | QDir::Hidden),
              QStringList {"pelko.conf"});
    // Names are case-sensitive.
    EXPECT_EQ(profile.store().GetProfileInt(kResultsSection, "bestresult20", 999), 999);
}

TEST(QSettingsProfileStore, StoredValuesThatAreNotA32BitIntReadAsDefault)
{
    struct Case
    {
        const char *stored;
        std::int32_t expected;
    };
    const std::vector<Case> cases = {
        {"42", 42},
        {"-42", -42},
        {"+42", 42},
        {"2147483647", INT32_MAX},
        {"-2147483648", INT32_MIN},
        {"007", 7},
        {"2147483648", -5},
        {"-2147483649", -5},
        {"99999999999", -5},
        {"99999999999999999999999999", -5},
        {"", -5},
        {"\"\"", -5},
        {"12abc", -5},
        {"abc", -5},
        {"1.5", -5},
        {"1e3", -5},
        {"0x10", -5},
        {"--1", -5},
        {"-", -5},
        {"\" 12\"", -5},
        {"1 2", -5},
        {"true", -5},
        {"1, 2", -5},
        {"@Invalid()", -5},
        {"@ByteArray(12)", -5},
        {"@Variant(\\0\\0\\0\\x6@\\x14\\0\\0\\0\\0\\0\\0)", -5}, // a double
        {"@Variant(\\0\\0\\0\\x3\\xff\\xff\\xff\\xfe)", -2}, // unsigned 32 bits, as a registry DWORD
        {"@Variant(garbage", -5},
    };
    for (const Case &c : cases) {
        TempProfile profile;
        ASSERT_TRUE(writeBytes(profile.path(), QByteArray("[Results]\nBestResult1=") + c.stored + "\n"));
        EXPECT_EQ(profile.reopen().GetProfileInt(kResultsSection, "BestResult1", -5), c.expected) << c.stored;
    }
}

TEST(QSettingsProfileStore, UnparsableProfileIsKeptAsideBeforeTheFirstWrite)
{
    TempProfile profile;
    const QByteArray broken = "[Results]\nBestResult1=5\nResult1_1=old\n[Broken\n";
    ASSERT_TRUE(writeBytes(profile.path(), broken));
    WarningCounter warnings;
    QSettingsProfileStore &store = profile.reopen();

    // Half of it parsed, but none of it is trusted.
    EXPECT_EQ(store.GetProfileInt(kResultsSection, "BestResult1", 999), 999);
    EXPECT_EQ(store.GetProfileString(kResultsSection, "Result1_1", u""), u"");
    EXPECT_EQ(readBytes(profile.path()), broken) << "reading must leave it alone";

    store.WriteProfileInt(kResultsSection, "BestResult2", 60);
    EXPECT_EQ(readBytes(profile.path() + ".unreadable"), broken);
    EXPECT_EQ(store.GetProfileInt(kResultsSection, "BestResult2", 999), 60);
    EXPECT_EQ(store.GetProfileInt(kResultsSection, "BestResult1", 999), 999);
    EXPECT_FALSE(readBytes(profile.path()).contains("Result1_1"));
    EXPECT_GE(warnings.count(), 1);

    // A second broken file does not replace the first one kept aside.
    ASSERT_TRUE(writeBytes(profile.path(), "[Other"));
    profile.reopen().WriteProfileInt(kResultsSection, "BestResult3", 70);
    EXPECT_EQ(readBytes(profile.path() + ".unreadable"), broken);
    EXPECT_EQ(readBytes(profile.path() + ".unreadable.2"), "[Other");
    EXPECT_EQ(DiskCopy(profile.path()).store().GetProfileInt(kResultsSection, "BestResult3", 999), 70);
}

// As root, permission bits do not stop writes, so the profile is made
// unwritable by what lies at its path: a file where its directory should
// be, or a directory where the file should be.
TEST(QSettingsProfileStore, UnwritableProfileKeepsValuesForTheRunAndWarnsOnce)
{
    for (const bool parentIsFile : {true, false}) {
        SCOPED_TRACE(parentIsFile ? "directory is a file" : "file is a directory");
        QTemporaryDir dir;
        QString path;
        if (parentIsFile) {
            ASSERT_TRUE(writeBytes(dir.path() + "/Dravilo", "not a directory"));
            path = dir.path() + "/Dravilo/pelko.conf";
        } else {
            path = dir.path() + "/Dravilo/pelko.conf";
            ASSERT_TRUE(QDir().mkpath(path));
        }
        WarningCounter warnings;
        QSettingsProfileStore store(path);
        for (int n = 1; n <= 3; ++n) {
            store.WriteProfileString(kResultsSection, profile_keys::Result(4, n), kResultLine);
            store.WriteProfileInt(kResultsSection, "BestResult4", 60 - n);
        }
        EXPECT_EQ(store.GetProfileString(kResultsSection, "Result4_3", u""), kResultLine);
        EXPECT_EQ(store.GetProfileInt(kResultsSection, "BestResult4", 999), 57);
        EXPECT_EQ(warnings.count(), 1);
        EXPECT_FALSE(QFileInfo(path).isFile());
    }
}

TEST(QSettingsProfileStore, ValuesFromFailedWritesAreSavedOnceWritingWorksAgain)
{
    QTemporaryDir dir;
    const QString parent = dir.path() + "/Dravilo";
    ASSERT_TRUE(writeBytes(parent, "not a directory"));
    QSettingsProfileStore store(parent + "/pelko.conf");
    store.WriteProfileString(kResultsSection, "Result1_1", kResultLine);

    ASSERT_TRUE(QFile::remove(parent));
    store.WriteProfileInt(kResultsSection, "BestResult1", 51);

    DiskCopy disk(parent + "/pelko.conf");
    EXPECT_EQ(disk.store().GetProfileString(kResultsSection, "Result1_1", u""), kResultLine);
    EXPECT_EQ(disk.store().GetProfileInt(kResultsSection, "BestResult1", 999), 51);
}

TEST(QSettingsProfileStore, ReadOnlyFileIsNotWrittenAndNotLost)
{
    if (geteuid() == 0) {
        GTEST_SKIP() << "permission bits do not apply to root";
    }
    TempProfile profile;
    profile.store().WriteProfileInt(kResultsSection, "BestResult1", 40);
    ASSERT_TRUE(QFile::setPermissions(profile.path(), QFileDevice::ReadOwner));
    QSettingsProfileStore &store = profile.reopen();
    store.WriteProfileInt(kResultsSection, "BestResult1", 30);
    EXPECT_EQ(store.GetProfileInt(kResultsSection, "BestResult1", 999), 30);
    EXPECT_EQ(DiskCopy(profile.path()).store().GetProfileInt(kResultsSection, "BestResult1", 999), 40);
}

TEST(QSettingsProfileStore, DefaultProfileIsTheUsersOwnFileOnly)
{
    QTemporaryDir config;
    const QString oldOrganisation = QCoreApplication::organizationName();
    const QString oldApplication = QCoreApplication::applicationName();
    QCoreApplication::setOrganizationName("Dravilo");
    QCoreApplication::setApplicationName("pelko");
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, config.path());
    // Organisation-wide values must not leak into the profile.
    ASSERT_TRUE(writeBytes(config.path() + "/Dravilo.conf", "[Results]\nBestResult1=3\n"));
    {
        QSettingsProfileStore store;
        EXPECT_EQ(store.fileName(), config.path() + "/Dravilo/pelko.conf");
        EXPECT_EQ(store.GetProfileInt(kResultsSection, "BestResult1", 999), 999);
        store.WriteProfileInt(kResultsSection, "BestResult2", 55);
    }
    EXPECT_TRUE(readBytes(config.path() + "/Dravilo/pelko.conf").contains("BestResult2=55"));
    QCoreApplication::setOrganizationName(oldOrganisation);
    QCoreApplication::setApplicationName(oldApplication);
}

// A writer killed right after creating the lock file leaves it empty; Qt
// would wait 30 seconds before taking it for stale.
TEST(QSettingsProfileStore, EmptyLockLeftByACrashDoesNotStallWrites)
{
    TempProfile profile;
    profile.store().WriteProfileInt(kResultsSection, "BestResult1", 40);
    ASSERT_TRUE(writeBytes(profile.path() + ".lock", ""));
    QElapsedTimer clock;
    clock.start();
    profile.reopen().WriteProfileInt(kResultsSection, "BestResult1", 30);
    // A hang check, not a speed measurement: a stall lasts 30 s.
    EXPECT_LT(clock.elapsed(), 10000);
    EXPECT_EQ(DiskCopy(profile.path()).store().GetProfileInt(kResultsSection, "BestResult1", 999), 30);
    EXPECT_FALSE(QFile::exists(profile.path() + ".lock"));
}

// An empty lock that someone still holds is a writer in the middle of
// taking it: it must not be taken away.
TEST(QSettingsProfileStore, EmptyLockStillHeldIsLeftToItsOwner)
{
    TempProfile profile;
    profile.store().WriteProfileInt(kResultsSection, "BestResult1", 40);
    const QByteArray lockPath = QFile::encodeName(profile.path() + ".lock");
    const int fd = ::open(lockPath.constData(), O_RDWR | O_CREAT | O_EXCL, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::flock(fd, LOCK_EX | LOCK_NB), 0);
    struct stat held
    {
    };
    ASSERT_EQ(::fstat(fd, &held), 0);

    bool stillOurs = false;
    std::thread owner([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(700));
        struct stat now
        {
        };
        stillOurs = ::stat(lockPath.constData(), &now) == 0 && now.st_ino == held.st_ino;
        ::unlink(lockPath.constData());
        ::close(fd);
    });
    profile.reopen().WriteProfileInt(kResultsSection, "BestResult1", 30);
    owner.join();
    EXPECT_TRUE(stillOurs);
    EXPECT_EQ(DiskCopy(profile.path()).store().GetProfileInt(kResultsSection, "BestResult1", 999), 30);
}

TEST(QSettingsProfileStore, UnparsableProfileInAReadOnlyDirectoryIsNeverOverwritten)
{
    if (geteuid() == 0) {
        GTEST_SKIP() << "permission bits do not apply to root";
    }
    TempProfile profile;
    const QString dir = QFileInfo(profile.path()).absolutePath();
    ASSERT_TRUE(writeBytes(profile.path(), "[Broken"));
    QSettingsProfileStore &store = profile.reopen();
    ASSERT_TRUE(QFile::setPermissions(dir, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    store.WriteProfileString(kResultsSection, "Result1_1", kResultLine);
    EXPECT_EQ(store.GetProfileString(kResultsSection, "Result1_1", u""), kResultLine);
    EXPECT_EQ(readBytes(profile.path()), "[Broken");

    ASSERT_TRUE(QFile::setPermissions(dir, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));
    store.WriteProfileInt(kResultsSection, "BestResult1", 51);
    EXPECT_EQ(readBytes(profile.path() + ".unreadable"), "[Broken");
    DiskCopy disk(profile.path());
    EXPECT_EQ(disk.store().GetProfileString(kResultsSection, "Result1_1", u""), kResultLine);
    EXPECT_EQ(disk.store().GetProfileInt(kResultsSection, "BestResult1", 999), 51);
}
