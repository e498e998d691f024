// Durability of the profile against writers killed at any instant: inside a
// finished practise, a high-score table save or a Reset Times, not only
// between them. The writer is a separate process (profile_writer), so the
// kill is a real SIGKILL, and the file is read back by QSettings, not by
// the code under test.

#include "records/profile_keys.h"
#include "tests/stores/writer_kills.h"
#include "tests/support/temp_profile.h"

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
