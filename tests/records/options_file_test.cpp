// The options file beside the profile: what a missing or broken file reads
// as, that QSettings reads what it writes, and that other options in it and
// a write that fails leave everything as it was.

#include "records/options_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class OptionsFileTest : public ::testing::Test
{
protected:
    QByteArray Text() const
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    void Put(const QByteArray &bytes) const
    {
        QDir().mkpath(dir.path() + "/Dravilo");
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    QTemporaryDir dir;
    QString path = OptionsFile::BesideProfile(dir.path() + "/Dravilo/pelko.conf");
};

TEST_F(OptionsFileTest, LivesBesideTheProfileAsConfiguredNotBesideALinksTarget)
{
    EXPECT_EQ(path, dir.path() + "/Dravilo/pelko-options.conf");
    QDir().mkpath(dir.path() + "/Dravilo");
    QDir().mkpath(dir.path() + "/elsewhere");
    ASSERT_TRUE(QFile::link(dir.path() + "/elsewhere/pelko.conf", dir.path() + "/Dravilo/pelko.conf"));
    EXPECT_EQ(OptionsFile::BesideProfile(dir.path() + "/Dravilo/pelko.conf"), path);
}

TEST_F(OptionsFileTest, AChoiceNeverMadeOrUnreadableIsTheFallback)
{
    const OptionsFile options(path);
    EXPECT_FALSE(options.ReadFlag("SpeakFrenchWords", false));
    EXPECT_TRUE(options.ReadFlag("SpeakFrenchWords", true));
    for (const QByteArray &bytes : {QByteArray("[Options]\nSpeakFrenchWords=perhaps\n"), QByteArray("[Options\n"),
                                    QByteArray("\xff\xfe garbage"), QByteArray("[Other]\nSpeakFrenchWords=true\n")}) {
        Put(bytes);
        EXPECT_FALSE(options.ReadFlag("SpeakFrenchWords", false)) << bytes.toStdString();
    }
    EXPECT_EQ(options.readProblem().kind, ProfileFile::Problem::None);
    Put("[Options\nSpeakFrenchWords=true\n");
    EXPECT_FALSE(options.ReadFlag("SpeakFrenchWords", false));
    EXPECT_EQ(options.readProblem().kind, ProfileFile::Problem::Malformed);
    // Larger than an options file can be: not read, just past the limit or 64 GB (sparse).
    const QByteArray on = "[Options]\nSpeakFrenchWords=true\n";
    Put(on + QByteArray(OptionsFile::kMaxBytes - on.size(), ';'));
    EXPECT_TRUE(options.ReadFlag("SpeakFrenchWords", false)) << "at the limit";
    for (const qint64 size : {OptionsFile::kMaxBytes + 1, qint64 {64} << 30}) {
        ASSERT_TRUE(QFile::resize(path, size));
        EXPECT_FALSE(options.ReadFlag("SpeakFrenchWords", false)) << size;
        EXPECT_EQ(options.readProblem().kind, ProfileFile::Problem::TooLarge);
    }
    // A folder where the file should be is no file, and never waited on.
    QFile::remove(path);
    QDir().mkpath(path);
    EXPECT_FALSE(options.ReadFlag("SpeakFrenchWords", false));
}

TEST_F(OptionsFileTest, WhatIsWrittenIsReadByANewObjectAndByQSettings)
{
    ASSERT_TRUE(OptionsFile(path).WriteFlag("SpeakFrenchWords", true));
    EXPECT_TRUE(OptionsFile(path).ReadFlag("SpeakFrenchWords", false));
    EXPECT_TRUE(QSettings(path, QSettings::IniFormat).value("Options/SpeakFrenchWords").toBool());
    ASSERT_TRUE(OptionsFile(path).WriteFlag("SpeakFrenchWords", false));
    EXPECT_FALSE(OptionsFile(path).ReadFlag("SpeakFrenchWords", true));
    // Hand-edited the way QSettings also reads it.
    Put("[Options]\nSpeakFrenchWords = 1\n");
    EXPECT_TRUE(OptionsFile(path).ReadFlag("SpeakFrenchWords", false));
    // The file is replaced whole: no temporary is left beside it.
    EXPECT_FALSE(QFile::exists(path + ".tmp"));
}

TEST_F(OptionsFileTest, OtherEntriesAreKeptAndABrokenFileIsWrittenOver)
{
    Put("[Options]\nVoiceRate=3\n\n[Window]\nX=10\n");
    ASSERT_TRUE(OptionsFile(path).WriteFlag("SpeakFrenchWords", true));
    EXPECT_EQ(Text(), QByteArray("[Options]\nSpeakFrenchWords=true\nVoiceRate=3\n\n[Window]\nX=10\n"));

    for (const qint64 tooLarge : {qint64 {0}, OptionsFile::kMaxBytes + 1}) {
        Put("\xff\xfe garbage");
        ASSERT_TRUE(tooLarge == 0 || QFile::resize(path, tooLarge));
        ASSERT_TRUE(OptionsFile(path).WriteFlag("SpeakFrenchWords", true));
        EXPECT_EQ(Text(), QByteArray("[Options]\nSpeakFrenchWords=true\n"));
    }
}

TEST_F(OptionsFileTest, AWriteThatFailsSaysSoAndChangesNothing)
{
    OptionsFile options(path);
    ASSERT_TRUE(options.WriteFlag("SpeakFrenchWords", false));
    // A folder where the new text would go first: the replacement cannot start (root included).
    ASSERT_TRUE(QDir().mkpath(path + ".tmp"));
    EXPECT_FALSE(options.WriteFlag("SpeakFrenchWords", true));
    EXPECT_EQ(Text(), QByteArray("[Options]\nSpeakFrenchWords=false\n"));
    // Nor is anything that is not a regular file at the path itself written over.
    QDir(path + ".tmp").removeRecursively();
    QFile::remove(path);
    QDir().mkpath(path);
    EXPECT_FALSE(options.WriteFlag("SpeakFrenchWords", true));
    EXPECT_TRUE(QFileInfo(path).isDir());
}

} // namespace
