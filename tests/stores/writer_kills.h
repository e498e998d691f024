#pragma once

// Writers of the profile killed at random moments (profile_writer, a real
// process), each kill checked against the writer's records replayed in memory.

#include "tests/stores/profile_writer_records.h"
#include "tests/support/memory_profile_store.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QThread>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <random>
#include <string>

using WriterValues = std::map<std::string, std::u16string>;

// The writer's records replayed in memory: the state after record g.
class WriterModel
{
public:
    explicit WriterModel(const WriterValues &seed) { store_.values = seed; }
    const WriterValues &After(int g)
    {
        EXPECT_GE(g, made_) << "records are never undone";
        while (made_ < g) {
            WriteWriterRecord(store_, ++made_);
        }
        return store_.values;
    }
    // The record the marker "Writer" among values names, 0 for none.
    static int Marker(const WriterValues &values)
    {
        const auto marker = values.find("Results/Writer");
        return marker == values.end() ? 0 : std::stoi(std::string(marker->second.begin(), marker->second.end()));
    }

private:
    MemoryProfileStore store_;
    int made_ = 0;
};

struct WriterKills
{
    int kills = 0;
    std::map<std::string, int> inside; // record kind -> kills that fell inside one
};

// Kills writers of `profile` until there were minKills kills, minInside of
// them inside a table save and as many inside a reset (400 at most). After
// each, seen() (what the disk holds now) must be the state after a whole
// record; a writer waited for gets timeoutMs.
inline void KillWriters(const QString &profile, WriterModel &model, int minKills, int minInside, int timeoutMs,
                        const std::function<WriterValues()> &seen, WriterKills &done)
{
    // How long a record takes here (sanitizers, load and Wine make it vary a
    // lot), so that the kills spread over the first few records of each run.
    QElapsedTimer clock;
    clock.start();
    QProcess calibration;
    calibration.start(QStringLiteral(PELKO_PROFILE_WRITER), {profile, QStringLiteral("20")});
    ASSERT_TRUE(calibration.waitForFinished(6 * timeoutMs));
    ASSERT_EQ(calibration.exitCode(), 0);
    const int recordMs = std::max(2, static_cast<int>(clock.elapsed() / 20));

    const unsigned seedNumber = std::random_device {}();
    SCOPED_TRACE("seed " + std::to_string(seedNumber) + ", " + std::to_string(recordMs) + " ms a record");
    std::mt19937 random(seedNumber);
    std::uniform_int_distribution<int> delayMs(0, 4 * recordMs);
    for (; done.kills < 400
         && (done.kills < minKills || done.inside["table"] < minInside || done.inside["reset"] < minInside);
         ++done.kills) {
        QProcess writer;
        writer.start(QStringLiteral(PELKO_PROFILE_WRITER), {profile, QStringLiteral("0")});
        ASSERT_TRUE(writer.waitForStarted(timeoutMs));
        writer.waitForReadyRead(timeoutMs);
        QThread::msleep(static_cast<unsigned long>(delayMs(random)));
        writer.kill();
        ASSERT_TRUE(writer.waitForFinished(timeoutMs));
        const QList<QByteArray> said = writer.readAllStandardOutput().trimmed().split('\n');
        if (said.back().startsWith("begin ")) {
            ++done.inside[said.back().split(' ').value(2).trimmed().toStdString()];
        }
        const WriterValues disk = seen();
        const int g = WriterModel::Marker(disk);
        ASSERT_EQ(disk, model.After(g)) << "after kill " << done.kills << ", record " << g;
        if (::testing::Test::HasFailure()) {
            return;
        }
    }
}
