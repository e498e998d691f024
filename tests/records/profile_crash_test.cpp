// Durability of the profile against processes that die mid-write and
// against two processes writing at once. The writers are separate processes
// (profile_writer) so that the kill is a real SIGKILL and the file is read
// back from disk, not from Qt's in-process copy.

#include "records/profile_keys.h"
#include "tests/records/profile_writer_text.h"
#include "tests/support/temp_profile.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QThread>

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#ifndef PELKO_PROFILE_WRITER
#error "PELKO_PROFILE_WRITER must name the profile_writer program"
#endif

namespace {

// The highest n the writer reported as done, or 0.
int lastDone(const QByteArray &output)
{
    int last = 0;
    for (const QByteArray &line : output.split('\n')) {
        if (line.startsWith("done ")) {
            last = std::max(last, line.mid(5).toInt());
        }
    }
    return last;
}

void startWriter(QProcess &process, const QString &profile, int level, int first, int count)
{
    process.start(QStringLiteral(PELKO_PROFILE_WRITER),
                  {profile, QString::number(level), QString::number(first), QString::number(count)});
    ASSERT_TRUE(process.waitForStarted(10000)) << process.errorString().toStdString();
}

// Reads the profile as it is on disk: a copy under a name Qt has not cached.
class DiskState
{
public:
    explicit DiskState(const QString &path)
    {
        if (QFile::exists(path)) {
            EXPECT_TRUE(QFile::copy(path, dir_.path() + "/copy.conf"));
        }
        settings_ = std::make_unique<QSettings>(dir_.path() + "/copy.conf", QSettings::IniFormat);
    }
    QSettings::Status status() const { return settings_->status(); }
    QVariant value(const std::string &key) const
    {
        return settings_->value(QStringLiteral("Results/") + QString::fromStdString(key));
    }
    QString text(const std::string &key) const { return value(key).toString(); }

private:
    QTemporaryDir dir_;
    std::unique_ptr<QSettings> settings_;
};

// Every result 1..done of the level is there, and the best result is the
// last completed one or the one after it (written, then killed before it
// was reported).
void expectResults(const DiskState &disk, int level, int done)
{
    for (int n = 1; n <= done; ++n) {
        const std::string key = profile_keys::Result(level, n);
        ASSERT_EQ(disk.text(key).toStdU16String(), WriterResultLine(level, n)) << key;
    }
    if (done > 0) {
        const int best = disk.value(profile_keys::BestResult(level)).toInt();
        EXPECT_TRUE(best == done || best == done + 1) << "BestResult" << level << " = " << best << ", done " << done;
    }
}

} // namespace

TEST(ProfileDurability, WriterKilledAtRandomMomentsLeavesAWholeProfile)
{
    constexpr int kKills = 200;
    TempProfile profile;
    const unsigned seed = std::random_device {}();
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 random(seed);
    // Half the kills come at any time from the start, start-up included;
    // the other half once writing is under way, so that they fall among
    // writes however slow the machine is.
    std::uniform_int_distribution<int> fromStartMs(0, 60);
    std::uniform_int_distribution<int> amidWritesMs(0, 30);

    QElapsedTimer clock;
    clock.start();
    int done = 0;
    int runsWithProgress = 0;
    int abandonedLocks = 0;
    for (int kill = 0; kill < kKills; ++kill) {
        QProcess writer;
        startWriter(writer, profile.path(), 1, done + 1, 0);
        if (kill % 2 == 0) {
            QThread::msleep(static_cast<unsigned long>(fromStartMs(random)));
        } else {
            writer.waitForReadyRead(10000);
            QThread::msleep(static_cast<unsigned long>(amidWritesMs(random)));
        }
        writer.kill();
        ASSERT_TRUE(writer.waitForFinished(10000));
        const int reached = lastDone(writer.readAllStandardOutput());
        abandonedLocks += writer.readAllStandardError().count("abandoned lock");
        if (reached > done) {
            done = reached;
            ++runsWithProgress;
        }
        DiskState disk(profile.path());
        ASSERT_EQ(disk.status(), QSettings::NoError) << "after kill " << kill;
        expectResults(disk, 1, done);
        if (HasFatalFailure()) {
            return;
        }
    }
    const qint64 killPhaseMs = clock.elapsed();

    // A writer started after all that finishes promptly: no lock was left
    // behind that it has to wait out.
    QProcess writer;
    startWriter(writer, profile.path(), 1, done + 1, 5);
    ASSERT_TRUE(writer.waitForFinished(20000));
    EXPECT_EQ(writer.exitCode(), 0);
    EXPECT_EQ(lastDone(writer.readAllStandardOutput()), done + 5);
    expectResults(DiskState(profile.path()), 1, done + 5);
    EXPECT_FALSE(QFile::exists(profile.path() + ".lock"));

    // Temporary files of writes cut short between their two renames.
    const QStringList leftovers
        = QDir(QFileInfo(profile.path()).absolutePath()).entryList({"pelko.conf.*"}, QDir::Files | QDir::Hidden);
    std::printf("%d kills in %lld ms, %d results written, %d runs with progress, %d abandoned locks removed, "
                "%lld leftover temporary files\n",
                kKills, static_cast<long long>(killPhaseMs), done, runsWithProgress, abandonedLocks,
                static_cast<long long>(leftovers.size()));
    EXPECT_GE(runsWithProgress, kKills / 2);
}

TEST(ProfileDurability, TwoWritersAtOnceKeepBothSetsOfResults)
{
    constexpr int kResults = 100;
    TempProfile profile;
    QProcess first;
    QProcess second;
    startWriter(first, profile.path(), 1, 1, kResults);
    startWriter(second, profile.path(), 2, 1, kResults);
    ASSERT_TRUE(first.waitForFinished(60000));
    ASSERT_TRUE(second.waitForFinished(60000));
    ASSERT_EQ(first.exitCode(), 0);
    ASSERT_EQ(second.exitCode(), 0);

    const DiskState disk(profile.path());
    ASSERT_EQ(disk.status(), QSettings::NoError);
    expectResults(disk, 1, kResults);
    expectResults(disk, 2, kResults);
    EXPECT_EQ(disk.value(profile_keys::BestResult(1)).toInt(), kResults);
    EXPECT_EQ(disk.value(profile_keys::BestResult(2)).toInt(), kResults);
}
