#include "records/profile_keys.h"
#include "tests/support/temp_profile.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <iterator>
#include <thread>
#include <utility>
#include <vector>

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

// Qt shares one in-memory copy per path within a process, so only a store on
// a copy of the file under a new name reads what is really on disk.
std::unique_ptr<QSettingsProfileStore> onDisk(const QString &path)
{
    static QTemporaryDir dir;
    static int copies = 0;
    const QString copy = dir.path() + "/copy" + QString::number(++copies) + ".conf";
    writeBytes(copy, readBytes(path));
    return std::make_unique<QSettingsProfileStore>(copy);
}

int warnings = 0;
void countWarnings(QtMsgType type, const QMessageLogContext &, const QString &)
{
    warnings += type == QtWarningMsg ? 1 : 0;
}

const std::u16string kResultLine = u"  02 mins, 05 secs Tries :51";

} // namespace

TEST(QSettingsProfileStore, ValuesRoundTripExactlyThroughTheFileAtOnce)
{
    // Leading blanks as in a result line, tabs, line breaks, INI syntax, quotes, Qt's own markers,
    // non-Latin letters and 500 characters; one per '|'.
    QStringList texts = QString::fromUtf16(u"  02 mins, 05 secs Tries :51| |\tTab\t|line one\r\nline two\n|"
                                           u"a=b [Results] ;c #d|\"quoted\" 'single' \\back\\slash\\|a, b|"
                                           u"@Variant(x)|@|12|Ça coûte cher : œuvre, Ελληνικά, 日本語, 😀")
                            .split(u'|');
    texts << QString(500, QChar(0xe9));
    const std::vector<std::int32_t> ints
        = {0, 1, 51, 999, 1000000, -1, -7, -999999, INT32_MAX, INT32_MIN, INT32_MAX - 1, INT32_MIN + 1};
    ASSERT_EQ(std::ssize(texts), std::ssize(ints));
    TempProfile profile;
    QSettingsProfileStore &store = profile.store();
    EXPECT_EQ(store.GetProfileInt(kResultsSection, "Span0", 12345), 12345);
    EXPECT_EQ(store.GetProfileString(kResultsSection, "Title0", u"-"), u"-");
    EXPECT_FALSE(QFile::exists(profile.path())) << "reading must not create the profile";
    for (int i = 0; i < std::ssize(texts); ++i) {
        store.WriteProfileString(kResultsSection, profile_keys::Title(i), texts[i].toStdU16String());
        store.WriteProfileInt(kResultsSection, profile_keys::Span(i), ints[i]);
    }
    // An empty string is stored, yet reads as the default.
    store.WriteProfileString(kResultsSection, "Result2_1", kResultLine);
    store.WriteProfileString(kResultsSection, "Result2_1", u"");
    EXPECT_EQ(store.GetProfileString(kResultsSection, "Result2_1", u"none"), u"none");

    const QByteArray bytes = readBytes(profile.path());
    EXPECT_TRUE(bytes.startsWith("[Results]\nResult2_1=\nSpan0=0\nSpan1=1\n")) << bytes.constData();
    // Nothing of the writes is left lying around.
    EXPECT_EQ(QDir(QFileInfo(profile.path()).absolutePath()).entryList(QDir::Files | QDir::Hidden),
              QStringList {"pelko.conf"});
    const auto disk = onDisk(profile.path());
    for (QSettingsProfileStore *reader : {&store, disk.get()}) {
        for (int i = 0; i < std::ssize(texts); ++i) {
            EXPECT_EQ(reader->GetProfileString(kResultsSection, profile_keys::Title(i), u"-"),
                      texts[i].toStdU16String())
                << i;
            EXPECT_EQ(reader->GetProfileInt(kResultsSection, profile_keys::Span(i), 12345), ints[i]) << i;
        }
    }
}

TEST(QSettingsProfileStore, StoredTextReadsAsAnIntOnlyIfItIsAPlain32BitDecimal)
{
    const auto readBack = [](const QByteArray &stored) {
        TempProfile profile;
        EXPECT_TRUE(writeBytes(profile.path(), "[Results]\nBestResult1=" + stored + "\n"));
        return profile.reopen().GetProfileInt(kResultsSection, "BestResult1", -5);
    };
    // Besides the 32-bit bounds, which the round trip above reads from the file.
    const std::vector<std::pair<const char *, std::int32_t>> valid = {{"+42", 42}, {"007", 7}, {"12 ; a comment", 12}};
    for (const auto &[stored, expected] : valid) {
        EXPECT_EQ(readBack(stored), expected) << stored;
    }
    // Out of range, empty, text, trailing garbage, floats (the last but one a
    // stored double) and other shapes; one per '|'.
    const QList<QByteArray> garbage
        = QByteArray("2147483648|-2147483649|99999999999|99999999999999999999999999||\"\"|abc|12abc|1 2|\" 12\"|"
                     "1.5|1e3|0x10|--1|-|true|1, 2|@Invalid()|@ByteArray(12)|"
                     "@Variant(\\0\\0\\0\\x3\\xff\\xff\\xff\\xfe)|@Variant(garbage")
              .split('|');
    for (const QByteArray &stored : garbage) {
        EXPECT_EQ(readBack(stored), -5) << stored.constData();
    }
}

TEST(QSettingsProfileStore, UnparsableProfileIsKeptAsideBeforeTheFirstWrite)
{
    TempProfile profile;
    const QByteArray broken = "[Results]\nBestResult1=5\nResult1_1=old\n[Broken\n";
    ASSERT_TRUE(writeBytes(profile.path(), broken));
    warnings = 0;
    const QtMessageHandler previous = qInstallMessageHandler(countWarnings);
    QSettingsProfileStore &store = profile.reopen();
    // Half of it parsed, but none of it is trusted.
    EXPECT_EQ(store.GetProfileInt(kResultsSection, "BestResult1", 999), 999);
    EXPECT_EQ(store.GetProfileString(kResultsSection, "Result1_1", u""), u"");
    EXPECT_EQ(readBytes(profile.path()), broken) << "reading must leave it alone";

    store.WriteProfileInt(kResultsSection, "BestResult2", 60);
    qInstallMessageHandler(previous);
    EXPECT_GE(warnings, 1);
    EXPECT_EQ(readBytes(profile.path() + ".unreadable"), broken);
    EXPECT_EQ(store.GetProfileInt(kResultsSection, "BestResult2", 999), 60);
    EXPECT_EQ(store.GetProfileInt(kResultsSection, "BestResult1", 999), 999);
    EXPECT_FALSE(readBytes(profile.path()).contains("Result1_1"));

    // Another broken file never replaces one kept aside, nor is it written
    // over while every name to keep it under is taken.
    ASSERT_TRUE(writeBytes(profile.path(), "[Other"));
    for (int n = 2; n < 1000; ++n) {
        ASSERT_TRUE(writeBytes(profile.path() + ".unreadable." + QString::number(n), "taken"));
    }
    QSettingsProfileStore &again = profile.reopen();
    again.WriteProfileString(kResultsSection, "Result1_1", kResultLine);
    EXPECT_EQ(again.GetProfileString(kResultsSection, "Result1_1", u""), kResultLine);
    EXPECT_EQ(readBytes(profile.path()), "[Other");

    ASSERT_TRUE(QFile::remove(profile.path() + ".unreadable.999"));
    again.WriteProfileInt(kResultsSection, "BestResult3", 70);
    EXPECT_EQ(readBytes(profile.path() + ".unreadable"), broken);
    EXPECT_EQ(readBytes(profile.path() + ".unreadable.999"), "[Other");
    const auto disk = onDisk(profile.path());
    EXPECT_EQ(disk->GetProfileString(kResultsSection, "Result1_1", u""), kResultLine);
    EXPECT_EQ(disk->GetProfileInt(kResultsSection, "BestResult3", 999), 70);
}

// As root, permission bits do not stop writes, so the profile is made
// unwritable by what lies at its path: a file where its directory should
// be, or a directory where the file should be.
TEST(QSettingsProfileStore, UnwritableProfileKeepsValuesWarnsOnceAndSavesThemLater)
{
    for (const bool parentIsFile : {true, false}) {
        SCOPED_TRACE(parentIsFile ? "directory is a file" : "file is a directory");
        QTemporaryDir dir;
        const QString parent = dir.path() + "/Dravilo";
        const QString path = parent + "/pelko.conf";
        ASSERT_TRUE(parentIsFile ? writeBytes(parent, "not a directory") : QDir().mkpath(path));
        warnings = 0;
        const QtMessageHandler previous = qInstallMessageHandler(countWarnings);
        QSettingsProfileStore store(path);
        for (int n = 1; n <= 3; ++n) {
            store.WriteProfileString(kResultsSection, profile_keys::Result(4, n), kResultLine);
            store.WriteProfileInt(kResultsSection, "BestResult4", 60 - n);
        }
        qInstallMessageHandler(previous);
        EXPECT_EQ(warnings, 1);
        EXPECT_EQ(store.GetProfileString(kResultsSection, "Result4_1", u""), kResultLine);
        EXPECT_EQ(store.GetProfileInt(kResultsSection, "BestResult4", 999), 57);

        // Once the way is clear, the next write saves all that was kept.
        ASSERT_TRUE(parentIsFile ? QFile::remove(parent) : QDir(path).removeRecursively());
        store.WriteProfileInt(kResultsSection, "BestResult5", 70);
        const auto disk = onDisk(path);
        for (int n = 1; n <= 3; ++n) {
            EXPECT_EQ(disk->GetProfileString(kResultsSection, profile_keys::Result(4, n), u""), kResultLine) << n;
        }
        EXPECT_EQ(disk->GetProfileInt(kResultsSection, "BestResult4", 999), 57);
        EXPECT_EQ(disk->GetProfileInt(kResultsSection, "BestResult5", 999), 70);
    }
}

TEST(QSettingsProfileStore, KeepCopyWritesTheWholeProfileNextToIt)
{
    TempProfile profile;
    EXPECT_FALSE(profile.store().KeepCopy(".before-reset")) << "no profile to copy yet";
    profile.store().WriteProfileString(kResultsSection, "Result1_1", kResultLine);
    ASSERT_TRUE(profile.store().KeepCopy(".before-reset"));
    profile.store().WriteProfileInt(kResultsSection, "BestResult1", 51);
    ASSERT_TRUE(profile.store().KeepCopy(".before-reset")) << "an older copy is replaced";
    const QByteArray copy = readBytes(profile.path() + ".before-reset");
    EXPECT_TRUE(copy.contains("\nBestResult1=51\n")) << copy.constData();
    EXPECT_EQ(copy, readBytes(profile.path()));
}

TEST(QSettingsProfileStore, DefaultProfileIsTheUsersOwnFileOnly)
{
    QTemporaryDir config;
    QCoreApplication::setOrganizationName("Dravilo");
    QCoreApplication::setApplicationName("pelko");
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, config.path());
    // Organisation-wide values must not leak into the profile.
    ASSERT_TRUE(writeBytes(config.path() + "/Dravilo.conf", "[Results]\nBestResult1=3\n"));
    EXPECT_EQ(QSettingsProfileStore().fileName(), config.path() + "/Dravilo/pelko.conf");
    EXPECT_EQ(QSettingsProfileStore().GetProfileInt(kResultsSection, "BestResult1", 999), 999);
}

// A writer killed right after creating the lock file leaves it empty, which
// Qt would take for stale only after 30 seconds. An empty lock that is still
// held, though, is a writer in the middle of taking it.
TEST(QSettingsProfileStore, EmptyLockIsClearedOnlyOnceNobodyHoldsIt)
{
    TempProfile profile;
    profile.store().WriteProfileInt(kResultsSection, "BestResult1", 40);
    const QByteArray lockPath = QFile::encodeName(profile.path() + ".lock");
    const int fd = ::open(lockPath.constData(), O_RDWR | O_CREAT | O_EXCL, 0644);
    struct stat held = {};
    ASSERT_TRUE(::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::fstat(fd, &held) == 0);
    bool stillOurs = false;
    std::thread owner([&] {
        ::usleep(700000);
        struct stat now = {};
        stillOurs = ::stat(lockPath.constData(), &now) == 0 && now.st_ino == held.st_ino;
        ::unlink(lockPath.constData());
        ::close(fd);
    });
    profile.reopen().WriteProfileInt(kResultsSection, "BestResult1", 30);
    owner.join();
    EXPECT_TRUE(stillOurs);
    EXPECT_EQ(onDisk(profile.path())->GetProfileInt(kResultsSection, "BestResult1", 999), 30);

    ASSERT_TRUE(writeBytes(profile.path() + ".lock", ""));
    QElapsedTimer clock;
    clock.start();
    profile.reopen().WriteProfileInt(kResultsSection, "BestResult1", 20);
    EXPECT_LT(clock.elapsed(), 10000) << "a hang check: a stall lasts 30 s";
    EXPECT_EQ(onDisk(profile.path())->GetProfileInt(kResultsSection, "BestResult1", 999), 20);
    EXPECT_FALSE(QFile::exists(profile.path() + ".lock"));
}
