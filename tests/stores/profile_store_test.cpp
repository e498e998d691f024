#include "records/profile_keys.h"
#include "tests/support/odd_files.h"
#include "tests/support/temp_profile.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <future>
#include <map>
#include <random>
#include <thread>
#include <tuple>
#include <vector>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/mount.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
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

// What QSettings itself reads from the file now: the code under test is
// not its own judge. (Through a copy under a new name, since QSettings keeps
// what it read per name.)
class QtDisk
{
public:
    explicit QtDisk(const QString &path, QSettings::Status expected = QSettings::NoError)
    {
        static QTemporaryDir dir;
        static int copies = 0;
        const QString copy = dir.path() + "/copy" + QString::number(++copies) + ".conf";
        writeBytes(copy, readBytes(path));
        QSettings settings(copy, QSettings::IniFormat);
        (void)settings.allKeys(); // every group read: a format error may be in any
        EXPECT_EQ(settings.status(), expected);
        settings.beginGroup("Results");
        for (const QString &key : settings.childKeys()) {
            // A bare list "a, b" as pelko reads it: the items joined again.
            const QVariant value = settings.value(key);
            const bool list = value.typeId() == QMetaType::QStringList || value.typeId() == QMetaType::QVariantList;
            values_[key.toStdString()] = list ? value.toStringList().join(", ") : value.toString();
        }
    }
    std::u16string Text(const std::string &key) const
    {
        return values_.count(key) ? values_.at(key).toStdU16String() : u"";
    }
    int Int(const std::string &key, int absent) const { return values_.count(key) ? values_.at(key).toInt() : absent; }

private:
    std::map<std::string, QString> values_;
};

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

QStringList temporaryFiles(const QString &folder)
{
    return QDir(folder).entryList({"*.tmp"}, QDir::AllEntries | QDir::Hidden | QDir::System);
}

} // namespace

// Profiles written by every earlier version through QSettings: each value
// reads here as QSettings reads it, and writes here leave the file byte for
// byte as the same writes through QSettings would; read back, every text and
// 32-bit number is exactly what was written.
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
        const QSettings settings(theirs, QSettings::IniFormat);
        for (int i = 0; i < texts.size(); ++i) {
            const QString read = settings.value("Results/Title" + QString::number(i)).toString();
            EXPECT_EQ(store.GetProfileString(kResultsSection, profile_keys::Title(i), u"-"),
                      read.isEmpty() ? u"-" : read.toStdU16String())
                << i;
        }
    }
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
    EXPECT_EQ(readBytes(ours), readBytes(theirs));
    QSettingsProfileStore again(ours);
    for (int i = 0; i < noted; ++i) {
        EXPECT_EQ(again.GetProfileString(kResultsSection, profile_keys::Title(i), u"-"),
                  texts[noted - 1 - i].toStdU16String())
            << i;
    }
    for (int i = 0; i < std::ssize(ints); ++i) {
        EXPECT_EQ(again.GetProfileInt(kResultsSection, profile_keys::Span(i), 7), ints[i]) << i;
    }
    EXPECT_EQ(again.GetProfileString(kResultsSection, "Result2_1", u"none"), u"none");
}

// Texts QSettings reads without error, however oddly written by hand: each
// value reads as QSettings reads it, and the file pelko writes back reads
// (with QSettings too) the same, the new value besides.
TEST(QSettingsProfileStore, HandEditedTextsReadAsQSettingsReadsThem)
{
    const QByteArray texts[] = {
        "[Results]\nTitle0=\"two\nlines; and = [more]\"\nTitle1=a;b ; c\nTitle2=\"a;b\"\n",
        "[Results]\nTitle0=one \\\n  two\nTitle1=x\\\r\ny\n#Title2=z\n",
        "[ Results ] and more\n  Title0 =  a \"b\" c  \t\nTitle1= \"a\" , \"b\" , c \nTitle2=@String(x), @@y\n",
        "Results\\Title0=from [General]\n[Results]\nTitle1=x\n[%52esults]\nTitl%65%32=escaped\n[Results/Sub]\nX=y\n"
        "[%UFEFFResults]\nTitle2=elsewhere\n",
        "[General]\nResults/Title0=x\n[Results]\nTitle0=y\nTitle1=\\x41\\101\\x\\q\\\"\nTitle2=\"open at the end",
        "[Results]\nTitle0=a, \"b\nTitle1=\\\nTitle2=ends on a backslash\\",
        "[Results]\nTitle0=x\\\r\rTitle1=y\nTitle2=\\\r",
        "[General]\nResults\\Title0=a\n\\Results\\Title0=b\n[/Results]\nTitle1=c\n",
        "[Results]\nTitle0=Zo\xe9\\0 \nTitle1=\xe9\\n\xa9 \nTitle2=@Rect(1 2)\n[a]\nb/=1\n[/c]\nd=2\n",
    };
    for (const QByteArray &text : texts) {
        SCOPED_TRACE(text.toStdString());
        TempProfile profile;
        ASSERT_TRUE(writeBytes(profile.path(), text));
        const QtDisk before(profile.path());
        QSettingsProfileStore &store = profile.reopen();
        for (int row = 0; row < 3; ++row) {
            EXPECT_EQ(store.GetProfileString(kResultsSection, profile_keys::Title(row), u""),
                      before.Text(profile_keys::Title(row)))
                << row;
        }
        store.WriteProfileInt(kResultsSection, "BestResult1", 60);
        EXPECT_FALSE(store.setAside());
        const QtDisk after(profile.path());
        QSettingsProfileStore &again = profile.reopen();
        for (int row = 0; row < 3; ++row) {
            EXPECT_EQ(after.Text(profile_keys::Title(row)), before.Text(profile_keys::Title(row))) << row;
            EXPECT_EQ(again.GetProfileString(kResultsSection, profile_keys::Title(row), u""),
                      before.Text(profile_keys::Title(row)))
                << row;
        }
        EXPECT_EQ(after.Int("BestResult1", 999), 60);
    }
}

TEST(QSettingsProfileStore, StoredTextReadsAsAnIntOnlyIfItIsAPlain32BitDecimal)
{
    const auto readBack = [](const QByteArray &stored) {
        TempProfile profile;
        EXPECT_TRUE(writeBytes(profile.path(), "[Results]\nBestResult1=" + stored + "\n"));
        return profile.reopen().GetProfileInt(kResultsSection, "BestResult1", -5);
    };
    // Besides the 32-bit bounds, which the test above reads back from the file.
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
    const QtDisk disk(profile.path());
    EXPECT_EQ(disk.Text("Result1_1"), kResultLine);
    EXPECT_EQ(disk.Int("BestResult3", 999), 70);
}

// However a profile cannot be read, it is kept byte for byte as .unreadable
// at the first write, and the new profile is as private as the old one was.
// One larger than any profile is never read into memory at all.
// Bytes that are not UTF-8 inside a value (a hand edit in Latin-1) are no
// such reason: they are written back as they were.
TEST(QSettingsProfileStore, UnreadableProfileIsKeptAsideAndTheNewOneKeepsItsPermissions)
{
    struct Case
    {
        const char *name;
        QByteArray bytes;
        int mode;
        bool formatError; // what QSettings reports a format error for
    };
    const std::vector<Case> cases = {
        {"a NUL byte", QByteArray("[Results]\nBestResult1=5\0\n", 24), 0600, false},
        {"an open section header", "[Results\nBestResult1=5\n", 0600, true},
        {"no permission to read", "[Results]\nBestResult1=5\n", 0, false},
        {"group-readable and broken", "[Results\nBestResult1=5\n", 0640, true},
        {"a line neither a comment nor key=value", "[Results]\nBestResult1=5\nBestResult1 6\n", 0600, true},
        {"a ';' in a header, which ends the line before its ']'", "[Res;ults]\n[Results]\nBestResult1=5\n", 0600, true},
        {"a byte order mark before a header, read as a line of its own", "\xEF\xBB\xBF[Results]\nBestResult1=5\n", 0600,
         true},
        // What the fuzzer found pelko reading, and writing back so that QSettings could not read it.
        {"the fuzzer's input",
         QByteArray("\x90RtlResults]\n[ResunBct;ts]\n_\x11=\" esults]\ntlResults]\n[R.esCTriestlRes"
                    "ults]\n[ResCTries13ults]\n_\x11="),
         0600, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        if (c.mode == 0 && ::geteuid() == 0) {
            continue; // root reads it anyway
        }
        TempProfile profile;
        ASSERT_TRUE(writeBytes(profile.path(), c.bytes));
        if (c.formatError) {
            QtDisk(profile.path(), QSettings::FormatError);
        }
        ASSERT_EQ(::chmod(QFile::encodeName(profile.path()).constData(), static_cast<mode_t>(c.mode)), 0);
        QSettingsProfileStore &store = profile.reopen();
        EXPECT_EQ(store.GetProfileInt(kResultsSection, "BestResult1", 999), 999);
        store.WriteProfileInt(kResultsSection, "BestResult2", 60);
        EXPECT_FALSE(store.problem());
        ASSERT_EQ(::chmod(QFile::encodeName(profile.path() + ".unreadable").constData(), 0600), 0);
        EXPECT_EQ(readBytes(profile.path() + ".unreadable"), c.bytes);
        EXPECT_EQ(modeOf(profile.path()), c.mode | 0600);
        EXPECT_EQ(QtDisk(profile.path()).Int("BestResult2", 999), 60);
    }

    // Larger than pelko reads: just past the limit, and a sparse file of 64 GB,
    // which is moved aside unread. At the limit it still reads.
    {
        TempProfile profile;
        const QByteArray sound = "[Results]\nBestResult1=5\n";
        QByteArray padded = sound + QByteArray(ProfileFile::kMaxProfileBytes - sound.size() - 1, ';') + '\n';
        ASSERT_TRUE(writeBytes(profile.path(), padded));
        EXPECT_EQ(profile.reopen().GetProfileInt(kResultsSection, "BestResult1", 999), 5);
        EXPECT_FALSE(profile.store().setAside());
        padded.insert(sound.size(), ';');
        ASSERT_TRUE(writeBytes(profile.path(), padded));
        EXPECT_EQ(profile.reopen().GetProfileInt(kResultsSection, "BestResult1", 999), 999);
        EXPECT_EQ(profile.store().setAside().reason, "it is too large to be a file of pelko's");
        profile.store().WriteProfileInt(kResultsSection, "BestResult2", 60);
        EXPECT_EQ(readBytes(profile.path() + ".unreadable"), padded);

        // More lines than any profile holds, however short: not taken either.
        ASSERT_TRUE(QFile::remove(profile.path() + ".unreadable"));
        QByteArray lines = "[Results]\n";
        for (qsizetype n = 1; n < ProfileDocument::kMaxLines; ++n) {
            lines += "k=" + QByteArray::number(n) + '\n';
        }
        ASSERT_TRUE(writeBytes(profile.path(), lines));
        EXPECT_EQ(profile.reopen().GetProfileInt(kResultsSection, "k", 0), ProfileDocument::kMaxLines - 1);
        ASSERT_TRUE(writeBytes(profile.path(), lines + "k=0\n"));
        EXPECT_EQ(profile.reopen().GetProfileInt(kResultsSection, "k", 0), 0);
        EXPECT_TRUE(profile.store().setAside());

        const qint64 huge = qint64 {64} << 30;
        ASSERT_EQ(::truncate(QFile::encodeName(profile.path()).constData(), huge), 0);
        QSettingsProfileStore &store = profile.reopen();
        EXPECT_EQ(store.GetProfileInt(kResultsSection, "BestResult2", 999), 999);
        EXPECT_EQ(store.setAside().reason, "it is too large to be a file of pelko's");
        store.WriteProfileInt(kResultsSection, "BestResult3", 70);
        EXPECT_EQ(QFileInfo(profile.path() + ".unreadable").size(), huge);
        EXPECT_EQ(QtDisk(profile.path()).Int("BestResult3", 999), 70);
    }

    TempProfile profile;
    ASSERT_TRUE(writeBytes(profile.path(), "[Results]\nTitle0=Zo\xe9\nBestResult1=60\n"));
    QSettingsProfileStore &store = profile.reopen();
    EXPECT_EQ(store.GetProfileInt(kResultsSection, "BestResult1", 999), 60);
    store.WriteProfileInt(kResultsSection, "BestResult2", 61);
    EXPECT_EQ(readBytes(profile.path()), "[Results]\nBestResult1=60\nBestResult2=61\nTitle0=Zo\xe9\n");
    EXPECT_FALSE(QFile::exists(profile.path() + ".unreadable"));
}

// A run killed after keeping .bak (or .before-reset) but before replacing
// the profile leaves that copy as a second name of the profile. The next
// copy is then a rename between two names of one file, which Linux leaves
// undone: its temporary name must not stay behind.
TEST(QSettingsProfileStore, ACopyThatIsAlreadyTheSameFileLeavesNoTemporaryName)
{
    TempProfile profile;
    const QByteArray first = "[Results]\nBestResult1=60\n";
    ASSERT_TRUE(writeBytes(profile.path(), first));
    for (const char *copy : {".bak", ".before-reset"}) {
        ASSERT_EQ(
            ::link(QFile::encodeName(profile.path()).constData(), QFile::encodeName(profile.path() + copy).constData()),
            0);
    }
    QSettingsProfileStore &store = profile.reopen();
    {
        const ProfileStore::WriteGroup record(store);
        EXPECT_TRUE(store.KeepCopy(".before-reset"));
        EXPECT_EQ(temporaryFiles(profile.dirPath() + "/Dravilo"), QStringList());
        store.WriteProfileInt(kResultsSection, "BestResult2", 61);
    }
    EXPECT_EQ(temporaryFiles(profile.dirPath() + "/Dravilo"), QStringList());
    EXPECT_EQ(readBytes(profile.path() + ".bak"), first);
    EXPECT_EQ(readBytes(profile.path() + ".before-reset"), first);
}

// The profile as each run found it is kept as .bak; .before-reset and a
// copy saved elsewhere hold all of it; every copy is as private as the profile.
TEST(QSettingsProfileStore, CopiesHoldWhatTheyPromiseWithTheProfilesPermissions)
{
    TempProfile profile;
    EXPECT_FALSE(profile.store().KeepCopy(".before-reset")) << "no profile to copy yet";
    const QByteArray first = "[Results]\nBestResult1=60\nResult1_1=\"  02 mins, 05 secs Tries :60\"\n";
    ASSERT_TRUE(writeBytes(profile.path(), first));
    ASSERT_EQ(::chmod(QFile::encodeName(profile.path()).constData(), 0600), 0);
    ASSERT_TRUE(writeBytes(profile.path() + ".before-reset", "an older copy"));
    ASSERT_EQ(::chmod(QFile::encodeName(profile.path() + ".before-reset").constData(), 0644), 0);

    QSettingsProfileStore &run1 = profile.reopen();
    run1.WriteProfileInt(kResultsSection, "BestResult1", 55);
    run1.WriteProfileInt(kResultsSection, "BestResult1", 52);
    EXPECT_EQ(readBytes(profile.path() + ".bak"), first) << "the profile as the run found it";
    const QByteArray afterRun1 = readBytes(profile.path());
    ASSERT_TRUE(run1.KeepCopy(".before-reset"));
    EXPECT_EQ(readBytes(profile.path() + ".before-reset"), afterRun1);
    const QString elsewhere = profile.dirPath() + "/elsewhere/results.conf";
    EXPECT_FALSE(run1.SaveCopyTo(elsewhere));
    EXPECT_EQ(readBytes(elsewhere), afterRun1);

    profile.reopen().WriteProfileInt(kResultsSection, "BestResult2", 70);
    EXPECT_EQ(readBytes(profile.path() + ".bak"), afterRun1) << "a new run keeps a new copy";
    EXPECT_EQ(readBytes(profile.path() + ".before-reset"), afterRun1) << "copies never change afterwards";
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
    const QtDisk disk(profile.path());
    EXPECT_EQ(disk.Text("Result1_1"), kResultLine);
    EXPECT_EQ(disk.Text("Result1_2"), u"from the other");
    EXPECT_EQ(disk.Int("Correct14", 0), 6);
}

// A device, a FIFO, a socket or a folder at the profile's path (or at the
// end of a link) is never opened, so nothing hangs, and never replaced; a
// link to a regular file works, and stays a link.
TEST(QSettingsProfileStore, AnythingButARegularFileIsNeitherReadNorReplaced)
{
    QTemporaryDir dir;
    const auto native = [](const QString &path) { return QFile::encodeName(path); };
    // A link to itself leads nowhere: kept like the link to a file.
    for (const OddFile &odd : OddFile::All()) {
        for (const bool linked : {false, true}) {
            SCOPED_TRACE(std::string(odd.name) + (linked ? " behind a link" : ""));
            const QString target = dir.path() + "/" + odd.name + (linked ? "-target" : "");
            if (!odd.Make(target)) {
                continue; // no mknod without root
            }
            const QString path = linked ? dir.path() + "/" + odd.name + "-link.conf" : target;
            if (linked) {
                ASSERT_TRUE(QFile::link(target, path));
            }
            struct stat before = {};
            ASSERT_EQ(::lstat(native(target).constData(), &before), 0);
            QElapsedTimer clock;
            clock.start();
            QSettingsProfileStore store(path);
            store.WriteProfileString(kResultsSection, "Result1_1", kResultLine);
            EXPECT_LT(clock.elapsed(), 2000);
            EXPECT_EQ(store.problem().kind, ProfileFile::Problem::NotRegular);
            EXPECT_EQ(store.problem().path, target);
            EXPECT_EQ(store.GetProfileString(kResultsSection, "Result1_1", u""), kResultLine) << "kept";
            struct stat after = {};
            ASSERT_EQ(::lstat(native(target).constData(), &after), 0);
            EXPECT_EQ(std::tuple(after.st_mode, after.st_ino, after.st_rdev),
                      std::tuple(before.st_mode, before.st_ino, before.st_rdev));
            EXPECT_EQ(QFileInfo(path).isSymLink(), linked || odd.kind == OddFile::LinkLoop);
        }
    }

    const QString target = dir.path() + "/real.conf";
    const QString link = dir.path() + "/link.conf";
    ASSERT_TRUE(writeBytes(target, "[Results]\nBestResult1=60\n") && QFile::link(target, link));
    QSettingsProfileStore store(link);
    EXPECT_EQ(store.GetProfileInt(kResultsSection, "BestResult1", 999), 60);
    store.WriteProfileInt(kResultsSection, "BestResult2", 61);
    EXPECT_FALSE(store.problem());
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(QtDisk(target).Int("BestResult2", 999), 61);
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
    ASSERT_TRUE(writeBytes(config.path() + "/Dravilo.conf", "[Results]\nBestResult1=3\n"));
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

// Whatever lies at "<profile>.lock" or holds it, a write gives up after
// under two seconds, tells why, keeps its values and saves them later.
TEST(QSettingsProfileStore, NoLockProblemHoldsAWriteForMoreThanTwoSeconds)
{
    TempProfile profile;
    const QString lockPath = profile.path() + ".lock";
    const auto write = [&](int value) {
        QElapsedTimer clock;
        clock.start();
        profile.store().WriteProfileInt(kResultsSection, "BestResult1", value);
        EXPECT_LT(clock.elapsed(), 2000) << value;
        EXPECT_EQ(profile.store().GetProfileInt(kResultsSection, "BestResult1", 999), value);
    };

    ASSERT_TRUE(QDir().mkpath(lockPath));
    warnings = 0;
    const QtMessageHandler previous = qInstallMessageHandler(countWarnings);
    profile.store().WriteProfileString(kResultsSection, "Result4_1", kResultLine);
    write(40);
    qInstallMessageHandler(previous);
    EXPECT_EQ(warnings, 1) << "one warning for one problem, however many writes fail";
    EXPECT_EQ(std::tuple(profile.store().problem().kind, profile.store().problem().path),
              std::tuple(ProfileFile::Problem::NotRegular, lockPath));
    ASSERT_TRUE(QDir(lockPath).removeRecursively());

    // The next write that gets through takes every value kept since.
    ASSERT_TRUE(writeBytes(lockPath, "12345\npelko\nsomehost\n\x01garbage"));
    profile.store().WriteProfileInt(kResultsSection, "BestResult2", 30);
    EXPECT_FALSE(profile.store().problem());
    EXPECT_EQ(std::tuple(QtDisk(profile.path()).Text("Result4_1"), QtDisk(profile.path()).Int("BestResult1", 999)),
              std::tuple(kResultLine, 40));

    // Another writer that holds the lock and does not let go.
    const int fd = ::open(QFile::encodeName(lockPath).constData(), O_RDWR | O_CREAT, 0600);
    ASSERT_EQ(::flock(fd, LOCK_EX | LOCK_NB), 0);
    write(20);
    EXPECT_EQ(profile.store().problem().kind, ProfileFile::Problem::Locked);
    EXPECT_FALSE(profile.store().Retry(false)) << "without waiting, still held";
    ::close(fd);
    EXPECT_TRUE(profile.store().Retry());
    EXPECT_FALSE(profile.store().problem());
    EXPECT_EQ(QtDisk(profile.path()).Int("BestResult1", 999), 20);
}

// The message names the file the learner knows: the profile, unless the
// trouble is a file of pelko's own beside it that is not a regular file.
TEST(QSettingsProfileStore, AFailureNamesTheFileItConcerns)
{
    {
        TempProfile profile;
        ASSERT_TRUE(QDir().mkpath(profile.path() + ".tmp/inside"));
        profile.store().WriteProfileInt(kResultsSection, "BestResult1", 60);
        EXPECT_EQ(std::tuple(profile.store().problem().kind, profile.store().problem().path),
                  std::tuple(ProfileFile::Problem::NotRegular, profile.path() + ".tmp"));
        ASSERT_TRUE(QDir(profile.path() + ".tmp").removeRecursively());
        EXPECT_TRUE(profile.store().Retry());
    }
    if (::geteuid() != 0) {
        // No permission: a folder the learner may not write to.
        TempProfile profile;
        ASSERT_TRUE(writeBytes(profile.path(), "[Results]\nBestResult1=60\n"));
        const QByteArray folder = QFile::encodeName(profile.dirPath() + "/Dravilo");
        ASSERT_EQ(::chmod(folder.constData(), 0500), 0);
        profile.reopen().WriteProfileInt(kResultsSection, "BestResult1", 50);
        EXPECT_EQ(std::tuple(profile.store().problem().kind, profile.store().problem().path),
                  std::tuple(ProfileFile::Problem::NoPermission, profile.path()));
        ::chmod(folder.constData(), 0700);
        return;
    }
    // Read-only: a small file system of its own, mounted again read-only (needs root).
    QTemporaryDir mountPoint;
    const QByteArray where = QFile::encodeName(mountPoint.path());
    ASSERT_EQ(::mount("tmpfs", where.constData(), "tmpfs", 0, "size=256k"), 0);
    const QString path = mountPoint.path() + "/Dravilo/pelko.conf";
    ASSERT_TRUE(writeBytes(path, "[Results]\nBestResult1=60\n"));
    ASSERT_EQ(::mount("tmpfs", where.constData(), "tmpfs", MS_REMOUNT | MS_RDONLY, "size=256k"), 0);
    {
        QSettingsProfileStore store(path);
        store.WriteProfileInt(kResultsSection, "BestResult1", 50);
        EXPECT_EQ(std::tuple(store.problem().kind, store.problem().path),
                  std::tuple(ProfileFile::Problem::ReadOnly, path));
    }
    ::umount2(where.constData(), MNT_DETACH);
}

// The check made while a problem is shown and nothing waits to be saved
// meets what a write would meet, for every kind of problem the window names,
// without making or changing anything; once the cause is gone it finds none.
TEST(QSettingsProfileStore, AProbeMeetsWhatAWriteWouldAndChangesNothing)
{
    using P = ProfileFile::Problem;
    const QByteArray profileText = "[Results]\nBestResult1=60\n";
    // name, what blocks the write (false: cannot be set up here), how to clear it, the problem
    struct Case
    {
        std::string name;
        std::function<bool(TempProfile &)> block;
        std::function<void(TempProfile &)> clear;
        P::Kind kind;
    };
    const auto dravilo = [](TempProfile &p) { return p.dirPath() + "/Dravilo"; };
    std::vector<Case> cases;
    for (const OddFile &odd : OddFile::All()) {
        cases.push_back({odd.name, [odd](TempProfile &p) { return QFile::remove(p.path()) && odd.Make(p.path()); },
                         [](TempProfile &p) { OddFile::Remove(p.path()); }, P::NotRegular});
    }
    cases.push_back({"a folder at .tmp", [](TempProfile &p) { return QDir().mkpath(p.path() + ".tmp/inside"); },
                     [](TempProfile &p) { QDir(p.path() + ".tmp").removeRecursively(); }, P::NotRegular});
    cases.push_back({"a folder at .lock", [](TempProfile &p) { return QDir().mkpath(p.path() + ".lock/inside"); },
                     [](TempProfile &p) { QDir(p.path() + ".lock").removeRecursively(); }, P::NotRegular});
    cases.push_back({"a file where the folder should be",
                     [&](TempProfile &p) { return QDir(dravilo(p)).removeRecursively() && writeBytes(dravilo(p), ""); },
                     [&](TempProfile &p) { QFile::remove(dravilo(p)); }, P::Other});
    cases.push_back({"another writer's lock", [](TempProfile &p) { return p.HoldLock(), true; },
                     [](TempProfile &p) { p.ReleaseLock(); }, P::Locked});
    // As a learner meets it (root without its powers): a folder that may not be written to.
    cases.push_back(
        {"no permission",
         [&](TempProfile &p) { return QFile::setPermissions(dravilo(p), QFile::ReadOwner | QFile::ExeOwner); },
         [&](TempProfile &p) {
             QFile::setPermissions(dravilo(p), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
         },
         P::NoPermission});
    // A small file system of its own at the folder, full or read-only (needs root).
    const auto mountAt = [&](TempProfile &p, const char *options) {
        const QByteArray where = QFile::encodeName(dravilo(p));
        if (::mount("tmpfs", where.constData(), "tmpfs", 0, "size=256k") != 0) {
            return false;
        }
        writeBytes(p.path(), profileText);
        if (std::strcmp(options, "full") == 0) {
            QFile filler(dravilo(p) + "/filler");
            filler.open(QIODevice::WriteOnly);
            const QByteArray chunk(4096, 'x');
            while (filler.write(chunk) == chunk.size() && filler.flush()) { }
            return true;
        }
        return ::mount("tmpfs", where.constData(), "tmpfs", MS_REMOUNT | MS_RDONLY, "size=256k") == 0;
    };
    const auto unmount = [&](TempProfile &p) { ::umount2(QFile::encodeName(dravilo(p)).constData(), MNT_DETACH); };
    cases.push_back({"a full disk", [&](TempProfile &p) { return mountAt(p, "full"); }, unmount, P::NoSpace});
    cases.push_back(
        {"a read-only file system", [&](TempProfile &p) { return mountAt(p, "read-only"); }, unmount, P::ReadOnly});

    const WithoutFilePowers learner;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        TempProfile profile;
        ASSERT_TRUE(writeBytes(profile.path(), profileText));
        if (!c.block(profile)) {
            continue; // a device or a mount without root
        }
        // Everything in the temporary folder, as it stands.
        const auto state = [&profile] {
            QStringList found;
            QDirIterator it(profile.dirPath(), QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot,
                            QDirIterator::Subdirectories);
            while (it.hasNext()) {
                const QString entry = it.next();
                struct stat st = {};
                ::lstat(QFile::encodeName(entry).constData(), &st);
                // A folder's own times change with any file made and removed in it.
                found << (S_ISDIR(st.st_mode) ? QStringLiteral("%1 %2").arg(entry).arg(st.st_ino)
                                              : QStringLiteral("%1 %2 %3 %4")
                                                    .arg(entry)
                                                    .arg(st.st_ino)
                                                    .arg(st.st_size)
                                                    .arg(st.st_mtim.tv_nsec));
            }
            found.sort();
            return found.join(QLatin1Char('\n')).toStdString();
        };
        const std::string before = state();
        ProfileFile file(profile.path());
        const P probed = file.Probe("[Results]\nBestResult1=50\n");
        EXPECT_EQ(probed.kind, c.kind) << probed.Reason().toStdString();
        EXPECT_EQ(state(), before) << "nothing made or changed";
        EXPECT_FALSE(file.Locked());

        QSettingsProfileStore &store = profile.reopen();
        store.SetLockWait(0);
        store.WriteProfileInt(kResultsSection, "BestResult1", 50);
        EXPECT_EQ(std::tuple(probed.kind, probed.path), std::tuple(store.problem().kind, store.problem().path))
            << "what a write meets";

        c.clear(profile);
        EXPECT_FALSE(file.Probe("[Results]\nBestResult1=50\n")) << "the cause is gone";
    }
    // Folders not made yet are made and removed again; what they would hold is not in the way.
    TempProfile fresh;
    ProfileFile file(fresh.path());
    EXPECT_FALSE(file.Probe("[Results]\n"));
    EXPECT_FALSE(QFileInfo::exists(fresh.dirPath() + "/Dravilo"));
}
