#include "records/profile_keys.h"
#include "stores/posix/options_file.h"
#include "tests/stores/writer_kills.h"
#include "tests/support/odd_files.h"
#include "tests/support/temp_profile.h"

#include <QCoreApplication>
#include <QDirIterator>
#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <functional>
#include <future>
#include <optional>
#include <random>
#include <thread>
#include <tuple>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

int warnings = 0;
void countWarnings(QtMsgType type, const QMessageLogContext &, const QString &)
{
    warnings += type == QtWarningMsg ? 1 : 0;
}

const std::u16string kResultLine = u"  02 mins, 05 secs Tries :51";

int modeOf(const QString &path)
{
    struct stat st = {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 07777) : -1;
}

// Everything below a folder, as it stands (a folder's own times change with
// any file made and removed in it).
std::string folderState(const QString &folder)
{
    QStringList found;
    QDirIterator it(folder, QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString entry = it.next();
        struct stat st = {};
        ::lstat(QFile::encodeName(entry).constData(), &st);
        found << QStringLiteral("%1 %2").arg(entry).arg(st.st_ino)
                + (S_ISDIR(st.st_mode) ? QString() : QStringLiteral(" %1 %2").arg(st.st_size).arg(st.st_mtim.tv_nsec));
    }
    found.sort();
    return found.join(QLatin1Char('\n')).toStdString();
}

} // namespace

// Profiles written by every earlier version through QSettings: writes here
// leave the file byte for byte as the same writes through QSettings would
// (that every file reads as QSettings reads it is the fuzzer's differential
// check); read back, every 32-bit number is exactly what was written.
TEST(QSettingsProfileStore, ReadsAndWritesTheFileExactlyAsQSettingsDoes)
{
    // Texts of note, one per '|': blanks as in a result line, tabs, line breaks, INI syntax, quotes, Qt's
    // own markers, non-Latin letters; then 500 characters, then random texts over the characters the format
    // treats specially (no lone surrogates: QSettings drops or replaces them, and no keyboard types one).
    QStringList texts = QString::fromUtf16(u"  02 mins, 05 secs Tries :51| |\tTab\t|line one\r\nline two\n|"
                                           u"a=b [Results] ;c #d|\"quoted\" 'single' \\back\\slash\\|a, b|12|"
                                           u"@Variant(x)|@|@@x|@String(x)|@Invalid()|\x01ab|Ça coûte cher : œuvre, "
                                           u"Ελληνικά, 日本語, 😀")
                            .split(u'|');
    texts << QString(500, QChar(0xe9));
    const int noted = static_cast<int>(texts.size());
    const std::vector<char32_t> alphabet
        = {U' ', U'\t', U'\r', U'\n', U'\0', 0x01, 0x1f, 0x7f, U'"', U'\\', U';', U',',   U'=',   U'#',
           U'[', U']',  U'@',  U'%',  U'a',  U'F', U'0', U'9', U'g', U'x',  0xe9, 0x20ac, 0x65e5, 0x1f600};
    std::mt19937 random(20261207);
    for (int i = 0; i < 400; ++i) {
        QString text;
        for (int n = static_cast<int>(random() % 12); n > 0; --n) {
            const char32_t c = alphabet[random() % alphabet.size()];
            text += QString::fromUcs4(&c, 1);
        }
        texts << text;
    }
    const std::int32_t ints[] = {0, 1, -1, 999, 1000000, -999999, INT32_MAX, INT32_MIN, INT32_MAX - 1, INT32_MIN + 1};
    QTemporaryDir dir;
    const QString ours = dir.path() + "/ours.conf", theirs = dir.path() + "/theirs.conf";
    EXPECT_EQ(QSettingsProfileStore(ours).GetProfileInt(kResultsSection, "Span0", 7), 7);
    EXPECT_FALSE(QFile::exists(ours)) << "reading must not create the profile";
    {
        QSettings settings(theirs, QSettings::IniFormat);
        for (int i = 0; i < texts.size(); ++i) {
            settings.setValue("Results/Title" + QString::number(i), texts[i]);
        }
        settings.setValue("Results/Span0", -5);
        settings.setValue("Other/Key", "kept");
    }
    ASSERT_TRUE(QFile::copy(theirs, ours));
    QSettingsProfileStore store(ours);
    {
        QSettings settings(theirs, QSettings::IniFormat);
        for (int i = 0; i < noted; ++i) { // each a record of its own: the texts of note swap places
            store.WriteProfileString(kResultsSection, profile_keys::Title(i), texts[noted - 1 - i].toStdU16String());
            settings.setValue("Results/Title" + QString::number(i), texts[noted - 1 - i]);
        }
        for (int i = 0; i < std::ssize(ints); ++i) {
            store.WriteProfileInt(kResultsSection, profile_keys::Span(i), ints[i]);
            settings.setValue("Results/Span" + QString::number(i), ints[i]);
        }
        store.WriteProfileString(kResultsSection, "Result2_1", u""); // stored, yet reads as absent
        settings.setValue("Results/Result2_1", QStringLiteral(""));
        const ProfileStore::WriteGroup record(store);
        store.WriteProfileInt(kResultsSection, "BestResult7", 52);
        settings.setValue("Results/BestResult7", 52);
    }
    EXPECT_EQ(ReadBytes(ours), ReadBytes(theirs));
    QSettingsProfileStore again(ours);
    for (int i = 0; i < std::ssize(ints); ++i) {
        EXPECT_EQ(again.GetProfileInt(kResultsSection, profile_keys::Span(i), 7), ints[i]) << i;
    }
    EXPECT_EQ(again.GetProfileString(kResultsSection, "Result2_1", u"none"), u"none");
}

TEST(QSettingsProfileStore, StoredTextReadsAsAnIntOnlyIfItIsAPlain32BitDecimal)
{
    const auto readBack = [](const QByteArray &stored) {
        TempProfile profile;
        EXPECT_TRUE(WriteBytes(profile.path(), "[Results]\nBestResult1=" + stored + "\n"));
        return profile.reopen().GetProfileInt(kResultsSection, "BestResult1", -5);
    };
    // Besides the 32-bit bounds, which the test above reads back from the file.
    for (const auto &[stored, expected] :
         {std::pair("+42", 42), std::pair("007", 7), std::pair("12 ; a comment", 12)}) {
        EXPECT_EQ(readBack(stored), expected) << stored;
    }
    // Out of range, empty, text, trailing garbage, floats (the last but one a
    // stored double) and other shapes; one per '|'.
    for (const QByteArray &stored :
         QByteArray("2147483648|-2147483649|99999999999|99999999999999999999999999||\"\"|abc|12abc|1 2|\" 12\"|"
                    "1.5|1e3|0x10|--1|-|true|1, 2|@Invalid()|@ByteArray(12)|"
                    "@Variant(\\0\\0\\0\\x3\\xff\\xff\\xff\\xfe)|@Variant(garbage")
             .split('|')) {
        EXPECT_EQ(readBack(stored), -5) << stored.constData();
    }
}

// However a profile cannot be read, none of it is trusted, and it is kept
// byte for byte as .unreadable at the first write (never before, never over
// an earlier one); the new profile is as private as the old one was. One
// larger than any profile is never read into memory at all. Bytes that are
// not UTF-8 inside a value (a hand edit in Latin-1) are no such reason:
// they are written back as they were.
TEST(QSettingsProfileStore, UnreadableProfileIsKeptAsideAtTheFirstWriteAndTheNewOneKeepsItsPermissions)
{
    struct Case
    {
        const char *name;
        QByteArray bytes;
        int mode;
    };
    const std::vector<Case> cases = {
        {"a NUL byte", QByteArray("[Results]\nBestResult1=5\0\n", 24), 0600},
        {"an open section header after values", "[Results]\nBestResult1=5\nResult1_1=old\n[Broken\n", 0600},
        {"no permission to read", "[Results]\nBestResult1=5\n", 0},
        {"group-readable and broken", "[Results\nBestResult1=5\n", 0640},
        // More that QSettings reports a format error for.
        {"a line neither a comment nor key=value", "[Results]\nBestResult1=5\nBestResult1 6\n", 0600},
        {"a ';' in a header, which ends the line before its ']'", "[Res;ults]\n[Results]\nBestResult1=5\n", 0600},
        {"a byte order mark before a header", "\xEF\xBB\xBF[Results]\nBestResult1=5\n", 0600},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        if (c.mode == 0 && ::geteuid() == 0) {
            continue; // root reads it anyway
        }
        TempProfile profile;
        ASSERT_TRUE(WriteBytes(profile.path(), c.bytes));
        ASSERT_EQ(::chmod(QFile::encodeName(profile.path()).constData(), static_cast<mode_t>(c.mode)), 0);
        warnings = 0;
        const QtMessageHandler previous = qInstallMessageHandler(countWarnings);
        QSettingsProfileStore &store = profile.reopen();
        EXPECT_EQ(store.GetProfileInt(kResultsSection, "BestResult1", 999), 999);
        EXPECT_EQ(store.GetProfileString(kResultsSection, "Result1_1", u""), u"");
        EXPECT_FALSE(QFile::exists(profile.path() + ".unreadable")) << "reading leaves it alone";
        store.WriteProfileInt(kResultsSection, "BestResult2", 60);
        qInstallMessageHandler(previous);
        EXPECT_GE(warnings, 1);
        EXPECT_FALSE(store.problem());
        ASSERT_EQ(::chmod(QFile::encodeName(profile.path() + ".unreadable").constData(), 0600), 0);
        EXPECT_EQ(ReadBytes(profile.path() + ".unreadable"), c.bytes);
        EXPECT_EQ(modeOf(profile.path()), c.mode | 0600);
        EXPECT_EQ(std::tuple(StoredIn(profile.path(), "BestResult2"), StoredIn(profile.path(), "BestResult1")),
                  std::tuple(QStringLiteral("60"), QString()));
    }

    // Another broken file never replaces one kept aside, nor is it written
    // over while every name to keep it under is taken.
    TempProfile profile;
    ASSERT_TRUE(WriteBytes(profile.path(), "[Broken") && WriteBytes(profile.path() + ".unreadable", "[Broken"));
    for (int n = 2; n < 1000; ++n) {
        ASSERT_TRUE(WriteBytes(profile.path() + ".unreadable." + QString::number(n), "taken"));
    }
    QSettingsProfileStore &again = profile.reopen();
    again.WriteProfileString(kResultsSection, "Result1_1", kResultLine);
    EXPECT_EQ(again.GetProfileString(kResultsSection, "Result1_1", u""), kResultLine);
    EXPECT_EQ(ReadBytes(profile.path()), "[Broken");
    ASSERT_TRUE(QFile::remove(profile.path() + ".unreadable.999"));
    again.WriteProfileInt(kResultsSection, "BestResult3", 70);
    EXPECT_EQ(ReadBytes(profile.path() + ".unreadable.999"), "[Broken");
    EXPECT_EQ(std::tuple(StoredIn(profile.path(), "Result1_1"), StoredIn(profile.path(), "BestResult3")),
              std::tuple(QString::fromStdU16String(kResultLine), QStringLiteral("70")));

    // Larger than pelko reads: just past the limit, and a sparse file of 64 GB,
    // which is moved aside unread. At the limit it still reads.
    const QByteArray sound = "[Results]\nBestResult1=5\n";
    QByteArray padded = sound + QByteArray(ProfileFile::kMaxProfileBytes - sound.size() - 1, ';') + '\n';
    ASSERT_TRUE(WriteBytes(profile.path(), padded));
    EXPECT_EQ(profile.reopen().GetProfileInt(kResultsSection, "BestResult1", 999), 5);
    EXPECT_FALSE(profile.store().setAside());
    padded.insert(sound.size(), ';');
    ASSERT_TRUE(WriteBytes(profile.path(), padded));
    EXPECT_EQ(profile.reopen().GetProfileInt(kResultsSection, "BestResult1", 999), 999);
    EXPECT_EQ(profile.store().setAside().reason, "it is too large to be a file of pelko's");
    ASSERT_TRUE(QFile::remove(profile.path() + ".unreadable"));
    profile.store().WriteProfileInt(kResultsSection, "BestResult2", 60);
    EXPECT_EQ(ReadBytes(profile.path() + ".unreadable"), padded);

    // More lines than any profile holds, however short: not taken either.
    QByteArray lines = "[Results]\n";
    for (qsizetype n = 1; n < ProfileDocument::kMaxLines; ++n) {
        lines += "k=" + QByteArray::number(n) + '\n';
    }
    ASSERT_TRUE(WriteBytes(profile.path(), lines));
    EXPECT_EQ(profile.reopen().GetProfileInt(kResultsSection, "k", 0), ProfileDocument::kMaxLines - 1);
    ASSERT_TRUE(WriteBytes(profile.path(), lines + "k=0\n"));
    EXPECT_EQ(profile.reopen().GetProfileInt(kResultsSection, "k", 0), 0);
    EXPECT_TRUE(profile.store().setAside());

    const qint64 huge = qint64 {64} << 30;
    ASSERT_EQ(::truncate(QFile::encodeName(profile.path()).constData(), huge), 0);
    QSettingsProfileStore &store = profile.reopen();
    EXPECT_EQ(store.GetProfileInt(kResultsSection, "BestResult2", 999), 999);
    EXPECT_EQ(store.setAside().reason, "it is too large to be a file of pelko's");
    ASSERT_TRUE(QFile::remove(profile.path() + ".unreadable"));
    store.WriteProfileInt(kResultsSection, "BestResult3", 70);
    EXPECT_EQ(QFileInfo(profile.path() + ".unreadable").size(), huge);
    EXPECT_EQ(StoredIn(profile.path(), "BestResult3"), "70");

    ASSERT_TRUE(WriteBytes(profile.path(), "[Results]\nTitle0=Zo\xe9\nBestResult1=60\n"));
    QSettingsProfileStore &latin1 = profile.reopen();
    EXPECT_EQ(latin1.GetProfileInt(kResultsSection, "BestResult1", 999), 60);
    latin1.WriteProfileInt(kResultsSection, "BestResult2", 61);
    EXPECT_EQ(ReadBytes(profile.path()), "[Results]\nBestResult1=60\nBestResult2=61\nTitle0=Zo\xe9\n");
    EXPECT_FALSE(latin1.setAside());
}

// The profile as each run found it is kept as .bak; .before-reset and a
// copy saved elsewhere hold all of it; every copy is as private as the profile.
TEST(QSettingsProfileStore, CopiesHoldWhatTheyPromiseWithTheProfilesPermissions)
{
    TempProfile profile;
    EXPECT_FALSE(profile.store().KeepCopy(".before-reset")) << "no profile to copy yet";
    const QByteArray first = "[Results]\nBestResult1=60\nResult1_1=\"  02 mins, 05 secs Tries :60\"\n";
    ASSERT_TRUE(WriteBytes(profile.path(), first));
    ASSERT_EQ(::chmod(QFile::encodeName(profile.path()).constData(), 0600), 0);
    ASSERT_TRUE(WriteBytes(profile.path() + ".before-reset", "an older copy"));
    ASSERT_EQ(::chmod(QFile::encodeName(profile.path() + ".before-reset").constData(), 0644), 0);
    // A run killed after keeping .bak but before replacing the profile left
    // .bak a second name of it. Keeping it again is a rename between two names
    // of one file, which Linux leaves undone: its temporary name must not stay.
    ASSERT_EQ(
        ::link(QFile::encodeName(profile.path()).constData(), QFile::encodeName(profile.path() + ".bak").constData()),
        0);

    QSettingsProfileStore &run1 = profile.reopen();
    run1.WriteProfileInt(kResultsSection, "BestResult1", 55);
    EXPECT_EQ(QDir(profile.dirPath() + "/Dravilo").entryList({"*.tmp"}, QDir::AllEntries | QDir::Hidden),
              QStringList());
    run1.WriteProfileInt(kResultsSection, "BestResult1", 52);
    EXPECT_EQ(ReadBytes(profile.path() + ".bak"), first) << "the profile as the run found it";
    const QByteArray afterRun1 = ReadBytes(profile.path());
    ASSERT_TRUE(run1.KeepCopy(".before-reset"));
    EXPECT_EQ(ReadBytes(profile.path() + ".before-reset"), afterRun1);
    const QString elsewhere = profile.dirPath() + "/elsewhere/results.conf";
    EXPECT_FALSE(run1.SaveCopyTo(elsewhere));
    EXPECT_EQ(ReadBytes(elsewhere), afterRun1);

    profile.reopen().WriteProfileInt(kResultsSection, "BestResult2", 70);
    EXPECT_EQ(ReadBytes(profile.path() + ".bak"), afterRun1) << "a new run keeps a new copy";
    EXPECT_EQ(ReadBytes(profile.path() + ".before-reset"), afterRun1) << "copies never change afterwards";
    for (const QString &path : {profile.path(), profile.path() + ".bak", profile.path() + ".before-reset", elsewhere}) {
        EXPECT_EQ(modeOf(path), 0600) << path.toStdString();
    }
}

// Reads inside a group see what another writer put on disk meanwhile, and
// the group reaches the disk as one replacement holding both.
TEST(QSettingsProfileStore, AGroupIsOneReplacementBuiltOnWhatIsOnDiskAtItsStart)
{
    TempProfile profile;
    QSettingsProfileStore other(profile.path());
    QSettingsProfileStore &store = profile.store();
    store.WriteProfileString(kResultsSection, "Result1_1", kResultLine);
    other.WriteProfileString(kResultsSection, "Result1_2", u"from the other");
    const int replacements = store.Replacements();
    {
        const ProfileStore::WriteGroup record(store);
        EXPECT_EQ(store.GetProfileString(kResultsSection, "Result1_2", u""), u"from the other");
        for (int r = 0; r < 15; ++r) {
            const ProfileStore::WriteGroup nested(store);
            store.WriteProfileInt(kResultsSection, profile_keys::Correct(r), 20 - r);
        }
        EXPECT_EQ(store.Replacements(), replacements);
    }
    EXPECT_EQ(store.Replacements(), replacements + 1);
    EXPECT_EQ(
        std::tuple(profile.Stored("Result1_1"), profile.Stored("Result1_2"), profile.Stored("Correct14")),
        std::tuple(QString::fromStdU16String(kResultLine), QStringLiteral("from the other"), QStringLiteral("6")));
}

// The path is worked out as QSettings works it out, but without reading the
// file: a FIFO there must not hang start-up, nor a large profile be parsed twice.
TEST(QSettingsProfileStore, DefaultProfileIsWhereQSettingsKeepsItAndIsFoundWithoutReadingIt)
{
    // Before any default QSettings in this process: QSettings learns the folder once.
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    QCoreApplication::setOrganizationName("Dravilo");
    QCoreApplication::setApplicationName("pelko");
    const QString path = config.path() + "/Dravilo/pelko.conf";
    EXPECT_EQ(QSettingsProfileStore::UserProfilePath(), path);
    EXPECT_EQ(QSettings(QSettings::NativeFormat, QSettings::UserScope, "Dravilo", "pelko").fileName(), path);
    // Organisation-wide values must not leak into the profile.
    ASSERT_TRUE(WriteBytes(config.path() + "/Dravilo.conf", "[Results]\nBestResult1=3\n"));
    EXPECT_EQ(QSettingsProfileStore().fileName(), path);
    EXPECT_EQ(QSettingsProfileStore().GetProfileInt(kResultsSection, "BestResult1", 999), 999);

    ASSERT_TRUE(QDir().mkpath(config.path() + "/Dravilo"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    std::promise<QString> found;
    std::thread lookUp([&] { found.set_value(QSettingsProfileStore::UserProfilePath()); });
    const auto answer = found.get_future();
    const bool returned = answer.wait_for(std::chrono::seconds(2)) == std::future_status::ready;
    if (!returned) {
        // Whatever reads the FIFO gets its end, so that the test can end.
        ::close(::open(QFile::encodeName(path).constData(), O_WRONLY | O_NONBLOCK));
    }
    lookUp.join();
    EXPECT_TRUE(returned) << "a FIFO at the profile's path holds the look-up";
}

// Whatever blocks a write (anything but a regular file at the profile's
// path, directly or behind a link, or at its .tmp or .lock; a file where its
// folder should be; another writer's lock; no permission; a full or
// read-only file system): no write waits two seconds, the reason names the
// file the learner knows, once however many writes fail, the values are
// kept and nothing is made or replaced. The check made while a problem is
// shown meets the same, changing nothing. Once the cause is gone the values
// are saved, and a link stays a link.
TEST(QSettingsProfileStore, WhatBlocksAWriteIsToldOnceAndItsValuesAreSavedOnceItIsGone)
{
    using P = ProfileFile::Problem;
    const QByteArray profileText = "[Results]\nBestResult1=60\n";
    // name, what blocks the write (false: cannot be set up here), how to clear
    // it, the problem and the file it names, below the temporary folder
    struct Case
    {
        std::string name;
        std::function<bool(TempProfile &)> block;
        std::function<void(TempProfile &)> clear;
        P::Kind kind;
        QString at;
    };
    const QString conf = "/Dravilo/pelko.conf";
    const auto dravilo = [](TempProfile &p) { return p.dirPath() + "/Dravilo"; };
    const auto target = [](TempProfile &p) { return p.dirPath() + "/target"; };
    std::vector<Case> cases;
    for (const OddFile &odd : OddFile::All()) {
        cases.push_back({odd.name, [odd](TempProfile &p) { return QFile::remove(p.path()) && odd.Make(p.path()); },
                         [](TempProfile &p) { OddFile::Remove(p.path()); }, P::NotRegular, conf});
        cases.push_back({std::string(odd.name) + " behind a link",
                         [=](TempProfile &p) {
                             return QFile::remove(p.path()) && odd.Make(target(p)) && QFile::link(target(p), p.path());
                         },
                         [=](TempProfile &p) { OddFile::Remove(target(p)); }, P::NotRegular, "/target"});
    }
    cases.push_back({"a folder at .tmp", [](TempProfile &p) { return QDir().mkpath(p.path() + ".tmp/inside"); },
                     [](TempProfile &p) { QDir(p.path() + ".tmp").removeRecursively(); }, P::NotRegular,
                     conf + ".tmp"});
    // Garbage a lock file may hold is no problem.
    cases.push_back({"a folder at .lock", [](TempProfile &p) { return QDir().mkpath(p.path() + ".lock/inside"); },
                     [](TempProfile &p) {
                         QDir(p.path() + ".lock").removeRecursively();
                         WriteBytes(p.path() + ".lock", "12345\npelko\nsomehost\n\x01garbage");
                     },
                     P::NotRegular, conf + ".lock"});
    cases.push_back({"a file where the folder should be",
                     [&](TempProfile &p) { return QDir(dravilo(p)).removeRecursively() && WriteBytes(dravilo(p), ""); },
                     [&](TempProfile &p) { QFile::remove(dravilo(p)); }, P::Other, "/Dravilo"});
    cases.push_back({"another writer's lock", [](TempProfile &p) { return p.HoldLock(), true; },
                     [](TempProfile &p) { p.ReleaseLock(); }, P::Locked, conf + ".lock"});
    // As a learner meets it (root without its powers): a folder that may not be written to.
    cases.push_back(
        {"no permission",
         [&](TempProfile &p) { return QFile::setPermissions(dravilo(p), QFile::ReadOwner | QFile::ExeOwner); },
         [&](TempProfile &p) {
             QFile::setPermissions(dravilo(p), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
         },
         P::NoPermission, conf});
    // A small file system of its own at the folder, full or read-only (needs root).
    std::optional<SmallFileSystem> mounted;
    const auto mountAt = [&](TempProfile &p, bool full) {
        if (!mounted.emplace(dravilo(p))) {
            return false;
        }
        WriteBytes(p.path(), profileText);
        return full ? (mounted->Fill(), true) : mounted->MakeReadOnly();
    };
    const auto unmount = [&](TempProfile &) { mounted.reset(); };
    cases.push_back({"a full disk", [&](TempProfile &p) { return mountAt(p, true); }, unmount, P::NoSpace, conf});
    cases.push_back(
        {"a read-only file system", [&](TempProfile &p) { return mountAt(p, false); }, unmount, P::ReadOnly, conf});

    const WithoutFilePowers learner;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        TempProfile profile;
        ASSERT_TRUE(WriteBytes(profile.path(), profileText));
        if (!c.block(profile)) {
            continue; // a device or a mount without root
        }
        const std::string before = folderState(profile.dirPath());
        const auto problem = std::tuple(c.kind, profile.dirPath() + c.at);
        ProfileFile file(profile.path());
        const P probed = file.Probe("[Results]\nBestResult1=50\n");
        EXPECT_EQ(std::tuple(probed.kind, probed.path), problem) << probed.Reason().toStdString();
        EXPECT_EQ(folderState(profile.dirPath()), before) << "nothing made or changed";
        EXPECT_FALSE(file.Locked());

        warnings = 0;
        const QtMessageHandler previous = qInstallMessageHandler(countWarnings);
        QSettingsProfileStore &store = profile.reopen();
        QElapsedTimer clock;
        clock.start();
        store.WriteProfileString(kResultsSection, "Result1_1", kResultLine);
        EXPECT_LT(clock.restart(), 2000);
        store.WriteProfileInt(kResultsSection, "BestResult1", 50);
        EXPECT_LT(clock.elapsed(), 2000);
        qInstallMessageHandler(previous);
        EXPECT_EQ(warnings, 1) << "one warning for one problem, however many writes fail";
        EXPECT_EQ(std::tuple(store.problem().kind, store.problem().path), problem) << "what a write meets";
        EXPECT_EQ(store.GetProfileString(kResultsSection, "Result1_1", u""), kResultLine) << "kept";
        EXPECT_EQ(folderState(profile.dirPath()), before) << "nothing replaced";
        EXPECT_FALSE(store.Retry(false)) << "still in the way";

        c.clear(profile);
        EXPECT_FALSE(file.Probe("[Results]\nBestResult1=50\n")) << "the cause is gone";
        EXPECT_TRUE(store.Retry());
        EXPECT_EQ(std::tuple(profile.Stored("Result1_1"), profile.Stored("BestResult1")),
                  std::tuple(QString::fromStdU16String(kResultLine), QStringLiteral("50")));
        EXPECT_EQ(QFileInfo(profile.path()).isSymLink(), c.at == "/target");
        EXPECT_EQ(profile.reopen().GetProfileInt(kResultsSection, "BestResult1", 999), 50);
    }
    // Folders not made yet are made and removed again; what they would hold is not in the way.
    TempProfile fresh;
    EXPECT_FALSE(ProfileFile(fresh.path()).Probe("[Results]\n"));
    EXPECT_FALSE(QFileInfo::exists(fresh.dirPath() + "/Dravilo"));
}

// The options file beside the profile: what a missing, broken or unreadable
// file reads as, that QSettings reads what it writes, and that other options
// in it, a file that cannot be read and a write that fails are left as they were.

namespace {

class OptionsFileTest : public ::testing::Test
{
protected:
    QTemporaryDir dir;
    QString path = OptionsFile::BesideProfile(dir.path() + "/Dravilo/pelko.conf");
};

// Beside the profile as configured, not beside a link's target.
TEST_F(OptionsFileTest, AChoiceNeverMadeOrNotUnderstoodIsTheFallback)
{
    EXPECT_EQ(path, dir.path() + "/Dravilo/pelko-options.conf");
    QDir().mkpath(dir.path() + "/Dravilo");
    ASSERT_TRUE(QFile::link(dir.path() + "/elsewhere/pelko.conf", dir.path() + "/Dravilo/pelko.conf"));
    EXPECT_EQ(OptionsFile::BesideProfile(dir.path() + "/Dravilo/pelko.conf"), path);

    const OptionsFile options(path);
    OptionsStore::Problem problem;
    EXPECT_FALSE(options.ReadFlag("SpeakFrenchWords", false, &problem));
    EXPECT_TRUE(options.ReadFlag("SpeakFrenchWords", true));
    EXPECT_FALSE(problem) << "no file: a choice never made";
    for (const QByteArray &bytes :
         {QByteArray("[Options]\nSpeakFrenchWords=perhaps\n"), QByteArray("[Other]\nSpeakFrenchWords=true\n")}) {
        ASSERT_TRUE(WriteBytes(path, bytes));
        EXPECT_FALSE(options.ReadFlag("SpeakFrenchWords", false, &problem)) << bytes.toStdString();
        EXPECT_FALSE(problem);
    }
    // Not in the form QSettings reads: the fallback, and why.
    for (const QByteArray &bytes : {QByteArray("[Options\nSpeakFrenchWords=true\n"), QByteArray("\xff\xfe garbage")}) {
        ASSERT_TRUE(WriteBytes(path, bytes));
        EXPECT_FALSE(options.ReadFlag("SpeakFrenchWords", false, &problem)) << bytes.toStdString();
        EXPECT_EQ(problem, (OptionsStore::Problem {{ProfileProblem::Malformed, 0, path}, true}));
    }
    // Larger than an options file can be: not read, just past the limit or 64 GB (sparse).
    const QByteArray on = "[Options]\nSpeakFrenchWords=true\n";
    ASSERT_TRUE(WriteBytes(path, on + QByteArray(OptionsFile::kMaxBytes - on.size(), ';')));
    EXPECT_TRUE(options.ReadFlag("SpeakFrenchWords", false)) << "at the limit";
    for (const qint64 size : {OptionsFile::kMaxBytes + 1, qint64 {64} << 30}) {
        ASSERT_TRUE(QFile::resize(path, size));
        EXPECT_FALSE(options.ReadFlag("SpeakFrenchWords", false, &problem)) << size;
        EXPECT_EQ(problem, (OptionsStore::Problem {{ProfileProblem::TooLarge, 0, path}, true}));
    }
}

// The file is replaced whole (no temporary left beside it), with the other
// entries in it kept.
TEST_F(OptionsFileTest, WhatIsWrittenIsReadByANewObjectAndByQSettingsAndOtherEntriesStay)
{
    ASSERT_TRUE(WriteBytes(path, "[Options]\nVoiceRate=3\n\n[Window]\nX=10\n"));
    ASSERT_FALSE(OptionsFile(path).WriteFlag("SpeakFrenchWords", true));
    EXPECT_EQ(ReadBytes(path), QByteArray("[Options]\nSpeakFrenchWords=true\nVoiceRate=3\n\n[Window]\nX=10\n"));
    EXPECT_TRUE(OptionsFile(path).ReadFlag("SpeakFrenchWords", false));
    EXPECT_TRUE(QSettings(path, QSettings::IniFormat).value("Options/SpeakFrenchWords").toBool());
    ASSERT_FALSE(OptionsFile(path).WriteFlag("SpeakFrenchWords", false));
    EXPECT_FALSE(OptionsFile(path).ReadFlag("SpeakFrenchWords", true));
    EXPECT_FALSE(QFile::exists(path + ".tmp"));
    // Hand-edited the way QSettings also reads it.
    ASSERT_TRUE(WriteBytes(path, "[Options]\nSpeakFrenchWords = 1\n"));
    EXPECT_TRUE(OptionsFile(path).ReadFlag("SpeakFrenchWords", false));

    // No options of pelko's, though they can be read: kept aside, never written over.
    const QByteArray garbage = "\xff\xfe garbage";
    for (const qint64 size : {qint64(garbage.size()), OptionsFile::kMaxBytes + 1}) {
        SCOPED_TRACE(size);
        ASSERT_TRUE(WriteBytes(path, garbage) && QFile::resize(path, size));
        OptionsFile options(path);
        ASSERT_FALSE(options.WriteFlag("SpeakFrenchWords", true));
        EXPECT_EQ(ReadBytes(path), QByteArray("[Options]\nSpeakFrenchWords=true\n"));
        const QString keptAs = path + (size == garbage.size() ? ".unreadable" : ".unreadable.2");
        EXPECT_EQ(std::tuple(options.setAside().path, options.setAside().keptAs), std::tuple(path, keptAs));
        QFile kept(keptAs);
        ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
        EXPECT_EQ(std::tuple(kept.size(), kept.read(garbage.size())), std::tuple(size, garbage));
    }
}

TEST_F(OptionsFileTest, AWriteThatFailsSaysWhyAndChangesNothing)
{
    OptionsFile options(path);
    ASSERT_FALSE(options.WriteFlag("SpeakFrenchWords", false));
    // A folder where the new text would go first: the replacement cannot start (root included).
    ASSERT_TRUE(QDir().mkpath(path + ".tmp/inside"));
    EXPECT_EQ(options.WriteFlag("SpeakFrenchWords", true),
              (OptionsStore::Problem {{ProfileProblem::NotRegular, 0, path + ".tmp"}, false}));
    EXPECT_EQ(ReadBytes(path), QByteArray("[Options]\nSpeakFrenchWords=false\n"));
    // A file where the folder should be.
    const QString folder = dir.path() + "/Dravilo";
    ASSERT_TRUE(QDir(folder).removeRecursively() && WriteBytes(folder, ""));
    EXPECT_EQ(options.WriteFlag("SpeakFrenchWords", true),
              (OptionsStore::Problem {{ProfileProblem::Other, ENOTDIR, folder}, false}));
}

} // namespace

// Durability of the profile against writers killed at any instant: inside a
// finished practise, a high-score table save or a Reset Times, not only
// between them. The writer is a separate process (profile_writer), so the
// kill is a real SIGKILL, and the file is read back by QSettings, not by
// the code under test.

namespace {

// Every "Results" entry on disk, read through a copy under a name QSettings has not cached.
WriterValues OnDisk(const QString &path)
{
    QTemporaryDir dir;
    QFile::copy(path, dir.path() + "/copy.conf");
    QSettings disk(dir.path() + "/copy.conf", QSettings::IniFormat);
    EXPECT_EQ(disk.status(), QSettings::NoError);
    WriterValues values;
    disk.beginGroup(QStringLiteral("Results"));
    for (const QString &key : disk.childKeys()) {
        values["Results/" + key.toStdString()] = disk.value(key).toString().toStdU16String();
    }
    return values;
}

} // namespace

TEST(ProfileDurability, EveryKillLeavesTheStateAfterAWholeRecord)
{
    QTemporaryDir dir;
    const QString path = dir.path() + "/Dravilo/pelko.conf";
    // 2,000 result lines, so that each record rewrites a file of some size
    // and the first reset has plenty to clear.
    WriterValues seed;
    QByteArray text = "[Results]\n";
    for (int n = 1; n <= 2000; ++n) {
        seed["Results/" + profile_keys::Result(20, n)] = u"  01 mins, 02 secs Tries :50";
        text += QByteArray::fromStdString(profile_keys::Result(20, n)) + "=\"  01 mins, 02 secs Tries :50\"\n";
    }
    ASSERT_TRUE(WriteBytes(path, text));
    WriterModel model(seed);

    WriterKills done;
    KillWriters(
        path, model, 100, 25, 10000,
        [&] {
            // At most those of the record it cut short: the new profile and the
            // copy of the old (.before-reset is in place before either is made).
            // A writer makes none before it has cleared those of earlier kills.
            EXPECT_LE(QDir(dir.path() + "/Dravilo").entryList({"*.tmp"}, QDir::Files | QDir::Hidden).size(), 2);
            return OnDisk(path);
        },
        done);
    ASSERT_FALSE(HasFailure());
    for (const char *kind : {"table", "reset", "practise"}) {
        EXPECT_GE(done.inside[kind], 10) << kind << ", " << done.kills << " kills";
    }

    // A writer started after all that goes on at once and leaves nothing behind.
    QProcess writer;
    writer.start(QStringLiteral(PELKO_PROFILE_WRITER), {path, QStringLiteral("10")});
    ASSERT_TRUE(writer.waitForFinished(20000));
    EXPECT_EQ(writer.exitCode(), 0);
    const WriterValues disk = OnDisk(path);
    EXPECT_EQ(disk, model.After(WriterModel::Marker(disk)));
    EXPECT_EQ(QDir(dir.path() + "/Dravilo").entryList(QDir::Files | QDir::Hidden),
              (QStringList {"pelko.conf", "pelko.conf.bak", "pelko.conf.before-reset"}));
}
