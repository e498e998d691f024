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
// them inside a table save and as many inside a reset (400 at most). Every
// other kill falls at a random moment; the rest, while a kind still lacks
// kills, the moment the writer says it begins such a record, so that the
// count is reached by the order of the writer's lines, not by luck. After
// each, seen() (what the disk holds now) must be the state after a whole
// record; a writer waited for gets timeoutMs.
inline void KillWriters(const QString &profile, WriterModel &model, int minKills, int minInside, int timeoutMs,
                        const std::function<WriterValues()> &seen, WriterKills &done)
{
    // How long a record takes here (sanitizers, load and Wine make it vary a
    // lot), so that the random kills spread over the first few records of each run.
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
        const QByteArray wanted = done.kills % 2 == 0 ? ""
            : done.inside["table"] < minInside        ? "table"
            : done.inside["reset"] < minInside        ? "reset"
                                                      : "";
        QProcess writer;
        writer.start(QStringLiteral(PELKO_PROFILE_WRITER), {profile, QStringLiteral("0")});
        ASSERT_TRUE(writer.waitForStarted(timeoutMs));
        QByteArray said;
        if (wanted.isEmpty()) {
            writer.waitForReadyRead(timeoutMs);
            QThread::msleep(static_cast<unsigned long>(delayMs(random)));
        } else {
            while (!(said.startsWith("begin ") && said.endsWith(" " + wanted))
                   && (writer.canReadLine() || writer.waitForReadyRead(timeoutMs))) {
                said = writer.readLine().trimmed();
            }
        }
        writer.kill();
        ASSERT_TRUE(writer.waitForFinished(timeoutMs));
        const QByteArray rest = writer.readAllStandardOutput().trimmed();
        said = rest.isEmpty() ? said : rest.split('\n').back();
        if (said.startsWith("begin ")) {
            ++done.inside[said.split(' ').value(2).trimmed().toStdString()];
        }
        const WriterValues disk = seen();
        const int g = WriterModel::Marker(disk);
        ASSERT_EQ(disk, model.After(g)) << "after kill " << done.kills << ", record " << g;
        if (::testing::Test::HasFailure()) {
            return;
        }
    }
}
