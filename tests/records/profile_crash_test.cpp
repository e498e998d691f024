// Durability of the profile against writers that die mid-write and against
// two writers at once. The writers are separate processes (profile_writer)
// so that the kill is a real SIGKILL and the file is read back from disk,
// not from Qt's in-process copy.

#include "records/profile_keys.h"
#include "tests/records/profile_writer_text.h"
#include "tests/support/temp_profile.h"

#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace {

// The highest n the writer reported as done (its lines come in order), or 0.
int lastDone(QProcess &writer)
{
    const QByteArray output = writer.readAllStandardOutput();
    const qsizetype at = output.lastIndexOf("done ");
    return at < 0 ? 0 : output.mid(at + 5).trimmed().toInt();
}

void startWriter(QProcess &writer, const QString &profile, int level, int first, int count)
{
    writer.start(QStringLiteral(PELKO_PROFILE_WRITER),
                 {profile, QString::number(level), QString::number(first), QString::number(count)});
    ASSERT_TRUE(writer.waitForStarted(10000)) << writer.errorString().toStdString();
}

// The file parses, every result 1..done of the level is there, and the best
// result is the last one reported or the one after it (written, then killed
// before it was reported). Read from a copy under a name Qt has not cached.
void expectResults(const QString &path, int level, int done, int bestPlus = 1)
{
    QTemporaryDir dir;
    QFile::copy(path, dir.path() + "/copy.conf");
    const QSettings disk(dir.path() + "/copy.conf", QSettings::IniFormat);
    ASSERT_EQ(disk.status(), QSettings::NoError);
    const auto value = [&](const std::string &key) { return disk.value(QString::fromStdString("Results/" + key)); };
    for (int n = 1; n <= done; ++n) {
        ASSERT_EQ(value(profile_keys::Result(level, n)).toString().toStdU16String(), WriterResultLine(level, n)) << n;
    }
    if (done > 0) {
        const int best = value(profile_keys::BestResult(level)).toInt();
        EXPECT_TRUE(best >= done && best <= done + bestPlus) << "best " << best << ", done " << done;
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
    // Half the kills come at any time from the start, start-up included; the
    // other half once writing is under way, so that they fall among writes
    // however slow the machine is.
    std::uniform_int_distribution<int> delayMs(0, 60);
    int done = 0;
    int runsWithProgress = 0;
    for (int kill = 0; kill < kKills; ++kill) {
        QProcess writer;
        startWriter(writer, profile.path(), 1, done + 1, 0);
        if (kill % 2 == 1) {
            writer.waitForReadyRead(10000);
        }
        QThread::msleep(static_cast<unsigned long>(kill % 2 == 0 ? delayMs(random) : delayMs(random) / 2));
        writer.kill();
        ASSERT_TRUE(writer.waitForFinished(10000));
        const int reached = lastDone(writer);
        runsWithProgress += reached > done ? 1 : 0;
        done = std::max(done, reached);
        expectResults(profile.path(), 1, done);
        ASSERT_FALSE(HasFatalFailure()) << "after kill " << kill;
    }
    EXPECT_GE(runsWithProgress, kKills / 2) << done << " results written";

    // A writer started after all that finishes promptly: no lock was left
    // behind that it has to wait out.
    QProcess writer;
    startWriter(writer, profile.path(), 1, done + 1, 5);
    ASSERT_TRUE(writer.waitForFinished(20000));
    EXPECT_EQ(writer.exitCode(), 0);
    EXPECT_EQ(lastDone(writer), done + 5);
    expectResults(profile.path(), 1, done + 5, 0);
    EXPECT_FALSE(QFile::exists(profile.path() + ".lock"));
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
    expectResults(profile.path(), 1, kResults, 0);
    expectResults(profile.path(), 2, kResults, 0);
}
