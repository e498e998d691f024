// One running copy per profile: a second start hands over to the first and
// ends; a copy that crashed leaves nothing in the way of the next.

#include "app/single_instance.h"
#include "tests/support/hand_over.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(SingleInstance, ASecondClaimOnTheSameProfileHandsOverToTheFirst)
{
    QTemporaryDir runtime;
    // A runtime folder whose path leaves no room for a socket's name (108 bytes).
    const QString deep = runtime.path() + "/" + QString(110, 'r');
    ASSERT_TRUE(QDir().mkpath(deep));
    ASSERT_TRUE(QFile::setPermissions(deep, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    QTemporaryDir config;
    const QString profile = config.path() + "/pelko.conf";
    ASSERT_TRUE(QFile::link(profile, config.path() + "/link.conf"));

    for (const QString &folder : {runtime.path(), deep}) {
        SCOPED_TRACE(folder.size() > 100 ? "a long runtime path" : "a short one");
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(folder));
        SingleInstance first(profile);
        SingleInstance second(profile);
        SingleInstance throughALink(config.path() + "/link.conf");
        SingleInstance otherProfile(config.path() + "/other.conf");
        ASSERT_TRUE(first.socketPath().startsWith(folder + "/"));
        ASSERT_TRUE(first.Claim());
        EXPECT_FALSE(second.Claim());
        EXPECT_FALSE(throughALink.Claim());
        EXPECT_TRUE(otherProfile.Claim());

        int activations = 0;
        QObject::connect(&first, &SingleInstance::activationRequested, [&] { ++activations; });
        EXPECT_TRUE(HandOverServed(second));
        EXPECT_EQ(activations, 1);
    }
}

TEST(SingleInstance, TheProgramHandsOverAndTakesOverFromACrashedCopy)
{
    const ProgramStarts program;
    QProcess first;
    program.Start(first);
    program.SecondStartHandsOver(first);

    first.kill();
    ASSERT_TRUE(first.waitForFinished(10000));
    QProcess next;
    program.Start(next);
    program.SecondStartHandsOver(next);
    next.kill();
    next.waitForFinished(10000);
}
