// The options file beside the profile: what a missing, broken or unreadable
// file reads as, that QSettings reads what it writes, and that other options
// in it, a file that cannot be read and a write that fails are left as they were.

#include "records/options_file.h"
#include "tests/support/odd_files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <tuple>

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

TEST_F(OptionsFileTest, AChoiceNeverMadeOrNotUnderstoodIsTheFallback)
{
    const OptionsFile options(path);
    OptionsStore::Problem problem;
    EXPECT_FALSE(options.ReadFlag("SpeakFrenchWords", false, &problem));
    EXPECT_TRUE(options.ReadFlag("SpeakFrenchWords", true));
    EXPECT_FALSE(problem) << "no file: a choice never made";
    for (const QByteArray &bytes : {QByteArray("[Options]\nSpeakFrenchWords=perhaps\n"), QByteArray("[Options\n"),
                                    QByteArray("\xff\xfe garbage"), QByteArray("[Other]\nSpeakFrenchWords=true\n")}) {
        Put(bytes);
        EXPECT_FALSE(options.ReadFlag("SpeakFrenchWords", false, &problem)) << bytes.toStdString();
        EXPECT_FALSE(problem);
    }
}

// Options that cannot be read are the fallback, say why, and are never
// written over: what else they hold is not known. Nothing there is waited on.
TEST_F(OptionsFileTest, OptionsThatCannotBeReadSaySoAndAreNotWrittenOver)
{
    OptionsFile options(path);
    for (const OddFile &odd : OddFile::All()) {
        SCOPED_TRACE(odd.name);
        QFile::remove(path);
        if (!odd.Make(path)) {
            continue; // no device without root
        }
        OptionsStore::Problem problem;
        EXPECT_FALSE(options.ReadFlag("SpeakFrenchWords", false, &problem));
        EXPECT_EQ(std::tuple(problem.cause.kind, problem.cause.path, problem.reading),
                  std::tuple(ProfileProblem::NotRegular, path, true));
        EXPECT_EQ(options.WriteFlag("SpeakFrenchWords", true), problem);
        EXPECT_FALSE(QFileInfo(path).isFile());
        ASSERT_TRUE(OddFile::Remove(path));
    }
    // A file that says "true" with no permission to read it (root too, without its powers).
    Put("[Options]\nSpeakFrenchWords=true\n");
    ASSERT_TRUE(QFile::setPermissions(path, {}));
    {
        const WithoutFilePowers learner;
        OptionsStore::Problem problem;
        EXPECT_FALSE(options.ReadFlag("SpeakFrenchWords", false, &problem));
        EXPECT_EQ(problem, (OptionsStore::Problem {{ProfileProblem::NoPermission, EACCES, path}, true}));
        EXPECT_EQ(options.WriteFlag("SpeakFrenchWords", false), problem);
    }
    ASSERT_TRUE(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner));
    EXPECT_EQ(Text(), QByteArray("[Options]\nSpeakFrenchWords=true\n"));
    EXPECT_TRUE(options.ReadFlag("SpeakFrenchWords", false));
}

TEST_F(OptionsFileTest, WhatIsWrittenIsReadByANewObjectAndByQSettings)
{
    ASSERT_FALSE(OptionsFile(path).WriteFlag("SpeakFrenchWords", true));
    EXPECT_TRUE(OptionsFile(path).ReadFlag("SpeakFrenchWords", false));
    EXPECT_TRUE(QSettings(path, QSettings::IniFormat).value("Options/SpeakFrenchWords").toBool());
    ASSERT_FALSE(OptionsFile(path).WriteFlag("SpeakFrenchWords", false));
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
    ASSERT_FALSE(OptionsFile(path).WriteFlag("SpeakFrenchWords", true));
    EXPECT_EQ(Text(), QByteArray("[Options]\nSpeakFrenchWords=true\nVoiceRate=3\n\n[Window]\nX=10\n"));

    Put("\xff\xfe garbage");
    ASSERT_FALSE(OptionsFile(path).WriteFlag("SpeakFrenchWords", true));
    EXPECT_EQ(Text(), QByteArray("[Options]\nSpeakFrenchWords=true\n"));
}

TEST_F(OptionsFileTest, AWriteThatFailsSaysWhyAndChangesNothing)
{
    OptionsFile options(path);
    ASSERT_FALSE(options.WriteFlag("SpeakFrenchWords", false));
    // A folder where the new text would go first: the replacement cannot start (root included).
    ASSERT_TRUE(QDir().mkpath(path + ".tmp/inside"));
    EXPECT_EQ(options.WriteFlag("SpeakFrenchWords", true),
              (OptionsStore::Problem {{ProfileProblem::NotRegular, 0, path + ".tmp"}, false}));
    EXPECT_EQ(Text(), QByteArray("[Options]\nSpeakFrenchWords=false\n"));
    // A file where the folder should be.
    const QString folder = dir.path() + "/Dravilo";
    ASSERT_TRUE(QDir(folder).removeRecursively());
    QFile blocker(folder);
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    EXPECT_EQ(options.WriteFlag("SpeakFrenchWords", true),
              (OptionsStore::Problem {{ProfileProblem::Other, ENOTDIR, folder}, false}));
}

} // namespace
