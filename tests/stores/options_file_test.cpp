// The options file beside the profile: what a missing, broken or unreadable
// file reads as, that QSettings reads what it writes, and that other options
// in it, a file that cannot be read and a write that fails are left as they were.

#include "stores/posix/options_file.h"
#include "tests/support/temp_profile.h"

#include <gtest/gtest.h>

#include <tuple>

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
