// The Windows profile: the registry key and value types learners already
// have, records that are whole, failures that keep their values, and .reg
// copies that regedit puts back.

#include "records/profile_keys.h"
#include "records/reset_times.h"
#include "stores/windows/registry_options_store.h"
#include "tests/stores/writer_kills.h"
#include "tests/support/temp_registry_profile.h"

#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

#include <tuple>

TEST(RegistryProfileStore, ReadsWhatEarlierVersionsLeftAndWritesTheSameTypes)
{
    TempRegistryProfile profile;
    profile.SetText(L"Result1_1", L"  05 mins, 19 secs Tries :53");
    profile.SetText(L"Result1_2", L"");
    profile.SetNumber(L"BestResult1", 53);
    profile.SetNumber(L"Correct0", 0xffffffffU);
    profile.SetText(L"BestResult2", L"40"); // a number stored as text
    profile.SetNumber(L"Title0", 5); // a text stored as a number
    profile.Set(L"BestResult3", REG_BINARY, "\x01\x02", 2);

    RegistryProfileStore &store = profile.store();
    EXPECT_EQ(store.GetProfileString(kResultsSection, "Result1_1", u""), u"  05 mins, 19 secs Tries :53");
    EXPECT_EQ(store.GetProfileString(kResultsSection, "Result1_2", u"absent"), u"absent");
    EXPECT_EQ(store.GetProfileInt(kResultsSection, "BestResult1", 999), 53);
    EXPECT_EQ(store.GetProfileInt(kResultsSection, "Correct0", 0), -1);
    EXPECT_EQ(store.GetProfileInt(kResultsSection, "BestResult2", 999), 999);
    EXPECT_EQ(store.GetProfileString(kResultsSection, "Title0", u""), u"");
    EXPECT_EQ(store.GetProfileInt(kResultsSection, "BestResult3", 999), 999);
    EXPECT_EQ(store.GetProfileInt(kResultsSection, "BestResult4", 999), 999);

    store.WriteProfileInt(kResultsSection, "Span0", -7);
    store.WriteProfileString(kResultsSection, "Title1", u"Zoë \"la\" \\ Reine");
    store.WriteProfileString(kResultsSection, "Result1_1", u"");
    EXPECT_FALSE(store.problem());
    const auto values = profile.Values();
    EXPECT_EQ(values.at("Span0"), std::pair(DWORD {REG_DWORD}, std::u16string(u"-7")));
    EXPECT_EQ(values.at("Title1"), std::pair(DWORD {REG_SZ}, std::u16string(u"Zoë \"la\" \\ Reine")));
    // Cleared, not deleted: an empty text is a value of its own.
    EXPECT_EQ(values.at("Result1_1"), std::pair(DWORD {REG_SZ}, std::u16string()));
}

TEST(RegistryProfileStore, AGroupIsOneRecordBuiltOnWhatIsStoredAtItsStart)
{
    TempRegistryProfile profile;
    RegistryProfileStore &store = profile.store();
    RegistryProfileStore other(profile.key(), profile.copies());
    other.WriteProfileInt(kResultsSection, "BestResult1", 60);
    {
        const ProfileStore::WriteGroup record(store);
        EXPECT_EQ(store.GetProfileInt(kResultsSection, "BestResult1", 999), 60);
        store.WriteProfileString(kResultsSection, "Result1_1", u"  01 mins, 00 secs Tries :50");
        store.WriteProfileInt(kResultsSection, "BestResult1", 50);
        EXPECT_EQ(profile.Values().count("Result1_1"), 0U) << "nothing lands before the record is whole";
        EXPECT_EQ(store.GetProfileInt(kResultsSection, "BestResult1", 999), 50);
    }
    EXPECT_EQ(store.Replacements(), 1);
    EXPECT_EQ(profile.Values().at("BestResult1").second, u"50");
    EXPECT_EQ(other.GetProfileInt(kResultsSection, "BestResult1", 999), 50);
}

TEST(RegistryProfileStore, AKeyThatCannotBeMadeOrALockHeldKeepsTheValuesAndTellsWhyUntilItCan)
{
    TempRegistryProfile profile;
    RegistryProfileStore &store = profile.Block(); // a registry that refuses the profile
    int told = 0;
    store.SetProblemListener([&told] { ++told; });

    store.WriteProfileInt(kResultsSection, "BestResult1", 50);
    EXPECT_EQ(store.problem().path, QStringLiteral("HKEY_CURRENT_USER\\%1\\Results").arg(profile.key()));
    EXPECT_FALSE(store.problem().Reason().isEmpty());
    EXPECT_EQ(store.GetProfileInt(kResultsSection, "BestResult1", 999), 50) << "kept for the rest of the run";
    EXPECT_FALSE(store.Retry());
    EXPECT_EQ(told, 1);

    profile.Unblock();
    EXPECT_TRUE(store.Retry());
    EXPECT_FALSE(store.problem());
    EXPECT_EQ(told, 2);
    EXPECT_EQ(profile.Stored("BestResult1"), QStringLiteral("50"));

    // As the window has it: a lock another writer holds is not waited for,
    // and the value waits in memory for the retry.
    store.SetLockWait(0);
    const int waits = store.LockWaits();
    profile.HoldLock();
    store.WriteProfileString(kResultsSection, "Title0", u"R");
    store.WriteProfileString(kResultsSection, "Title0", u"Ro");
    EXPECT_EQ(store.problem().kind, ProfileProblem::Locked);
    EXPECT_EQ(store.GetProfileString(kResultsSection, "Title0", u""), u"Ro");
    EXPECT_FALSE(store.Retry(false)) << "still held";
    profile.ReleaseLock();
    EXPECT_TRUE(store.Retry(false));
    EXPECT_EQ(profile.Stored("Title0"), QStringLiteral("Ro"));
    EXPECT_EQ(store.LockWaits(), waits) << "two keystrokes and two retries, none let wait";
}

// A writer killed with its record pending, found by a store that cannot
// apply it: the record is read where it can be, kept, and carried by the
// next record written; never replaced unread.
TEST(RegistryProfileStore, ARecordLeftPendingIsCarriedOnUntilItCanBeApplied)
{
    TempRegistryProfile profile;
    profile.SetPending(TempRegistryProfile::Record("BestResult1", 50));
    ASSERT_EQ(profile.SetAccess(TempRegistryProfile::Access::None), ERROR_SUCCESS);
    RegistryProfileStore &store = profile.reopen();
    store.WriteProfileInt(kResultsSection, "Span0", 7);
    ASSERT_EQ(profile.SetAccess(TempRegistryProfile::Access::All), ERROR_SUCCESS);
    EXPECT_TRUE(store.Retry());
    EXPECT_EQ(std::pair(profile.Stored("BestResult1"), profile.Stored("Span0")),
              std::pair(QStringLiteral("50"), QStringLiteral("7")));

    // Results gone from under the running store (a copy put back meanwhile): nothing can be applied.
    profile.SetPending(TempRegistryProfile::Record("BestResult2", 40));
    ASSERT_EQ(::RegDeleteKeyW(HKEY_CURRENT_USER, profile.results().toStdWString().c_str()), ERROR_SUCCESS);
    store.WriteProfileInt(kResultsSection, "Span1", 8);
    EXPECT_TRUE(store.problem());
    EXPECT_EQ(store.GetProfileInt(kResultsSection, "BestResult2", 999), 40);
    ASSERT_EQ(profile.SetAccess(TempRegistryProfile::Access::Read), ERROR_SUCCESS);
    {
        const RegistryProfileStore readOnly(profile.key(), profile.copies());
        EXPECT_EQ(readOnly.problem().kind, ProfileProblem::NoPermission) << "told from the start, and retried";
        EXPECT_EQ(std::pair(readOnly.GetProfileInt(kResultsSection, "BestResult2", 999),
                            readOnly.GetProfileInt(kResultsSection, "Span1", 999)),
                  std::pair(40, 8));
    }
    ASSERT_EQ(profile.SetAccess(TempRegistryProfile::Access::All), ERROR_SUCCESS);
    profile.reopen(); // the next start
    EXPECT_EQ(std::pair(profile.Stored("BestResult2"), profile.Stored("Span1")),
              std::pair(QStringLiteral("40"), QStringLiteral("8")));
}

TEST(RegistryProfileStore, CopiesAreRegFilesThatPutBackExactlyWhatTheyHold)
{
    TempRegistryProfile profile;
    profile.store().WriteProfileString(kResultsSection, "Result1_1", u"  05 mins, 19 secs Tries :53");
    profile.store().WriteProfileInt(kResultsSection, "BestResult1", 53);
    profile.store().WriteProfileString(kResultsSection, "Title0", u"Zoë \"la\" \\ Reine");
    const auto before = profile.Values();

    // A new run: its first record keeps the profile as it found it.
    RegistryProfileStore &run = profile.reopen();
    run.WriteProfileString(kResultsSection, "Result1_2", u"  04 mins, 00 secs Tries :51");
    ResetTimes(run);
    EXPECT_EQ(run.GetProfileInt(kResultsSection, "BestResult1", 0), 999);
    run.WriteProfileString(kResultsSection, "Result1_1", u"  09 mins, 00 secs Tries :70");

    // What a double-click on the file does.
    const auto restore = [](const QString &file) { // regedit says nothing of a file that is not there
        return QFile::exists(file)
            && QProcess::execute(QStringLiteral("regedit.exe"), {QStringLiteral("/s"), file}) == 0;
    };
    ASSERT_TRUE(restore(run.CopyPath(".bak")));
    EXPECT_EQ(profile.Values(), before);
    // A record a killed writer left pending goes too, or the next start would apply it on top.
    profile.SetPending(TempRegistryProfile::Record("BestResult1", 40));
    ASSERT_TRUE(restore(run.CopyPath(".before-reset")));
    auto withSecondLine = before;
    withSecondLine["Result1_2"] = {REG_SZ, u"  04 mins, 00 secs Tries :51"};
    EXPECT_EQ(profile.Values(), withSecondLine);
    RegistryProfileStore &next = profile.reopen();
    EXPECT_EQ(profile.Values(), withSecondLine);

    // A PendingRecord this pelko cannot apply (a newer pelko's, a hand edit)
    // is kept as a copy before a record replaces it; an earlier one is not written over.
    const std::pair<DWORD, QByteArray> foreign[]
        = {{REG_BINARY, TempRegistryProfile::Record("BestResult1", 30, 2)}, {REG_SZ, QByteArray("h\0i\0\0\0", 6)}};
    for (const auto &[type, data] : foreign) {
        profile.SetPending(data, type);
        next.WriteProfileInt(kResultsSection, "Span0", type);
        EXPECT_EQ(profile.Pending().second, QByteArray()) << type;
        EXPECT_EQ(profile.Stored("Span0").toUInt(), type);
    }
    ASSERT_TRUE(restore(next.CopyPath(".pending-record")));
    EXPECT_EQ(profile.Pending(), foreign[0]);
    ASSERT_TRUE(restore(next.CopyPath(".pending-record-2")));
    EXPECT_EQ(profile.Pending(), foreign[1]);
}

// "Speak French Words" under ...\Options: a number, anything else a choice
// never made; a key that cannot be made or read says which and why.
TEST(RegistryOptionsStore, KeepsANumberAndTellsWhatKeepsItFromBeingWrittenOrRead)
{
    TempRegistryProfile profile;
    RegistryOptionsStore options(QStringLiteral("HKEY_CURRENT_USER\\") + profile.key());
    const QString optionsKey = QStringLiteral("HKEY_CURRENT_USER\\") + profile.key() + QStringLiteral("\\Options");
    OptionsStore::Problem problem;
    EXPECT_FALSE(options.WriteFlag("SpeakFrenchWords", true));
    EXPECT_TRUE(profile.OptionFlag("SpeakFrenchWords", false));
    profile.Set(L"SpeakFrenchWords", REG_SZ, L"1", 4, QStringLiteral("Options"));
    EXPECT_FALSE(options.ReadFlag("SpeakFrenchWords", false, &problem));
    EXPECT_FALSE(problem) << "a text there: a choice never made";

    // A key that may not be read: told, the fallback meanwhile.
    ASSERT_EQ(profile.SetAccess(TempRegistryProfile::Access::None, QStringLiteral("Options")), ERROR_SUCCESS);
    EXPECT_FALSE(options.ReadFlag("SpeakFrenchWords", false, &problem));
    EXPECT_EQ(std::tuple(problem.cause.kind, problem.cause.path, problem.reading),
              std::tuple(ProfileProblem::NoPermission, optionsKey, true));
    const OptionsStore::Problem denied = options.WriteFlag("SpeakFrenchWords", true);
    EXPECT_EQ(std::tuple(denied.cause.kind, denied.cause.path), std::tuple(ProfileProblem::NoPermission, optionsKey));
    ASSERT_EQ(profile.SetAccess(TempRegistryProfile::Access::All, QStringLiteral("Options")), ERROR_SUCCESS);

    // Below a volatile key no lasting key can be made.
    profile.Block();
    const OptionsStore::Problem refused = options.WriteFlag("SpeakFrenchWords", true);
    EXPECT_EQ(std::tuple(refused.cause.path, refused.reading), std::tuple(optionsKey, false));
    EXPECT_FALSE(refused.cause.Reason().isEmpty());
    EXPECT_TRUE(options.ReadFlag("SpeakFrenchWords", true, &problem));
    EXPECT_FALSE(problem) << "nothing there yet: a choice never made";
}

// Durability of the registry profile against writers killed at any instant:
// inside a finished practise, a high-score table save or a Reset Times. The
// writer is a separate process (profile_writer), killed by TerminateProcess;
// what counts is what the next start sees, so the registry is read after a
// new store has opened it, value by value, not through the store's reads.

TEST(RegistryDurability, EveryKillLeavesTheStateAfterAWholeRecord)
{
    TempRegistryProfile profile;
    // 500 result lines, so that the first reset has plenty to clear.
    WriterValues seed;
    for (int n = 1; n <= 500; ++n) {
        profile.SetText(QString::fromStdString(profile_keys::Result(20, n)).toStdWString(),
                        L"  01 mins, 02 secs Tries :50");
        seed["Results/" + profile_keys::Result(20, n)] = u"  01 mins, 02 secs Tries :50";
    }
    WriterModel model(seed);
    // A practise record is two values and a marker: under Wine a kill seldom
    // lands inside one, so only the long records are counted on.
    WriterKills done;
    KillWriters(
        profile.key(), model, 60, 5, 20000,
        [&] {
            profile.reopen(); // as the next start sees it
            WriterValues values;
            for (const auto &[name, typed] : profile.Values()) {
                values["Results/" + name] = typed.second;
            }
            return values;
        },
        done);
    EXPECT_GE(done.inside["table"], 5) << done.kills << " kills";
    EXPECT_GE(done.inside["reset"], 5) << done.kills << " kills";
}
