// Durability of the profile against writers killed at any instant: inside a
// finished practise, a high-score table save or a Reset Times, not only
// between them. The writer is a separate process (profile_writer), so the
// kill is a real SIGKILL, and the file is read back by QSettings, not by
// the code under test.

#include "records/profile_keys.h"
#include "tests/records/profile_writer_records.h"
#include "tests/support/memory_profile_store.h"
#include "tests/support/temp_profile.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QThread>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>

namespace {

using Values = std::map<std::string, std::u16string>;

// Every "Results" entry on disk, read through a copy under a name QSettings has not cached.
Values OnDisk(const QString &path)
{
    QTemporaryDir dir;
    QFile::copy(path, dir.path() + "/copy.conf");
    QSettings disk(dir.path() + "/copy.conf", QSettings::IniFormat);
    EXPECT_EQ(disk.status(), QSettings::NoError);
    Values values;
    disk.beginGroup(QStringLiteral("Results"));
    for (const QString &key : disk.childKeys()) {
        values["Results/" + key.toStdString()] = disk.value(key).toString().toStdU16String();
    }
    return values;
}

int TemporaryFiles(const QString &folder)
{
    return static_cast<int>(QDir(folder).entryList({QStringLiteral("*.tmp")}, QDir::Files | QDir::Hidden).size());
}

// The writer's records replayed in memory: the state after record g.
class Model
{
public:
    explicit Model(const Values &seed) { store_.values = seed; }
    const Values &After(int g)
    {
        EXPECT_GE(g, made_) << "records are never undone";
        while (made_ < g) {
            WriteWriterRecord(store_, ++made_);
        }
        return store_.values;
    }

private:
    MemoryProfileStore store_;
    int made_ = 0;
};

} // namespace

TEST(ProfileDurability, EveryKillLeavesTheStateAfterAWholeRecord)
{
    QTemporaryDir dir;
    const QString path = dir.path() + "/Dravilo/pelko.conf";
    // 2,000 result lines, so that each record rewrites a file of some size
    // and the first reset has plenty to clear.
    Values seed;
    QByteArray text = "[Results]\n";
    for (int n = 1; n <= 2000; ++n) {
        seed["Results/" + profile_keys::Result(20, n)] = u"  01 mins, 02 secs Tries :50";
        text += QByteArray::fromStdString(profile_keys::Result(20, n)) + "=\"  01 mins, 02 secs Tries :50\"\n";
    }
    ASSERT_TRUE(WriteBytes(path, text));
    Model model(seed);

    // How long a record takes here (sanitizers and load make it vary a lot),
    // so that the kills spread over the first few records of each run.
    QElapsedTimer clock;
    clock.start();
    QProcess calibration;
    calibration.start(QStringLiteral(PELKO_PROFILE_WRITER), {path, QStringLiteral("20")});
    ASSERT_TRUE(calibration.waitForFinished(60000));
    const int recordMs = std::max(2, static_cast<int>(clock.elapsed() / 20));

    const unsigned seedNumber = std::random_device {}();
    SCOPED_TRACE("seed " + std::to_string(seedNumber) + ", " + std::to_string(recordMs) + " ms a record");
    std::mt19937 random(seedNumber);
    std::uniform_int_distribution<int> delayMs(0, 4 * recordMs);
    std::map<std::string, int> killedInside; // record kind -> kills that fell inside one
    int kills = 0;
    for (; kills < 400 && (kills < 100 || killedInside["table"] < 25 || killedInside["reset"] < 25); ++kills) {
        QProcess writer;
        writer.start(QStringLiteral(PELKO_PROFILE_WRITER), {path, QStringLiteral("0")});
        ASSERT_TRUE(writer.waitForStarted(10000));
        writer.waitForReadyRead(10000);
        QThread::msleep(static_cast<unsigned long>(delayMs(random)));
        writer.kill();
        ASSERT_TRUE(writer.waitForFinished(10000));
        const QList<QByteArray> said = writer.readAllStandardOutput().trimmed().split('\n');
        if (said.back().startsWith("begin ")) {
            ++killedInside[said.back().split(' ').value(2).toStdString()];
        }

        const Values disk = OnDisk(path);
        const auto marker = disk.find("Results/Writer");
        const int g = marker == disk.end() ? 0 : std::stoi(std::string(marker->second.begin(), marker->second.end()));
        ASSERT_EQ(disk, model.After(g)) << "after kill " << kills << ", record " << g;
        // At most those of the record it cut short: the new profile and the
        // copy of the old (.before-reset is in place before either is made).
        // A writer makes none before it has cleared those of earlier kills.
        ASSERT_LE(TemporaryFiles(dir.path() + "/Dravilo"), 2);
    }
    EXPECT_GE(killedInside["table"], 10) << kills << " kills";
    EXPECT_GE(killedInside["reset"], 10) << kills << " kills";
    EXPECT_GE(killedInside["practise"], 10) << kills << " kills";

    // A writer started after all that goes on at once and leaves nothing behind.
    QProcess writer;
    writer.start(QStringLiteral(PELKO_PROFILE_WRITER), {path, QStringLiteral("10")});
    ASSERT_TRUE(writer.waitForFinished(20000));
    EXPECT_EQ(writer.exitCode(), 0);
    const Values disk = OnDisk(path);
    const int g = std::stoi(std::string(disk.at("Results/Writer").begin(), disk.at("Results/Writer").end()));
    EXPECT_EQ(disk, model.After(g));
    EXPECT_EQ(QDir(dir.path() + "/Dravilo").entryList(QDir::Files | QDir::Hidden),
              (QStringList {"pelko.conf", "pelko.conf.bak", "pelko.conf.before-reset"}));
}
