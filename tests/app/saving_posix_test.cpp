// What the learner is told when results cannot be saved, with the real main
// window on a profile file of its own: a full file system, a blocked folder,
// an odd file at the profile's path, a profile set aside. POSIX only: these
// need mounts, permissions, FIFOs and links.

#include "app/c_pelko_dlg.h"
#include "app/save_guard.h"
#include "records/profile_keys.h"
#include "res/control_ids.h"
#include "tests/support/odd_files.h"
#include "tests/support/temp_profile.h"
#include "tests/support/when_modal_opens.h"

#include <QAbstractButton>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace {

// The real window on the profile at path, shown.
struct Window
{
    explicit Window(const QString &path) : store(path), dialog(store) { dialog.show(); }
    // A whole practise drill, all right, through the engine; its result line.
    QString FinishAPractise()
    {
        DrillEngine &engine = dialog.engine();
        engine.StartDrill();
        while (engine.session().currentWord != -1) {
            engine.AnswerClicked(engine.session().answerSlot);
            for (int tick = 0; tick < 3; ++tick) {
                engine.OnDrillTimer();
            }
        }
        return qobject_cast<QTreeWidget *>(dialog.control(ids::main::kResultsList))->topLevelItem(0)->text(0);
    }
    QSettingsProfileStore store;
    CpelkoDlg dialog;
    QLabel *message = dialog.saveGuard().message();
};

// Needs root, to mount a small file system of its own; skipped elsewhere.
TEST(Saving, AFullDiskIsToldInTheWindowAndTheResultIsSavedOnceSpaceReturns)
{
    QTemporaryDir mountPoint;
    SmallFileSystem disk(mountPoint.path());
    if (!disk) {
        GTEST_SKIP() << "mounting a small file system needs root";
    }
    const QString path = mountPoint.path() + "/Dravilo/pelko.conf";
    QSettingsProfileStore(path).WriteProfileInt("Results", profile_keys::BestResult(2), 60);
    disk.Fill(); // the rest of the space
    Window window(path);
    auto &[store, dialog, message] = window;
    EXPECT_FALSE(message->isVisible()) << "nothing is shown while all is well";

    const QString line = window.FinishAPractise();
    EXPECT_TRUE(message->isVisible());
    EXPECT_EQ(dialog.saveGuard().Text(),
              QStringLiteral("Results cannot be saved to %1: no space is left on the device. They "
                             "are kept while pelko is open and saved as soon as that works again.")
                  .arg(path));
    EXPECT_TRUE(StoredIn(path, profile_keys::Result(1, 1)).isEmpty());

    ASSERT_TRUE(QFile::remove(mountPoint.path() + "/filler"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !message->isVisible(); }, 10 * SaveGuard::kRetryMs));
    EXPECT_EQ(StoredIn(path, profile_keys::Result(1, 1)), line);
    EXPECT_EQ(StoredIn(path, profile_keys::BestResult(2)), "60");
}

// Exit, Escape and the close box ask while results are unsaved: Cancel goes
// back, a copy elsewhere holds them, Quit leaves them, Try Again saves them
// once the way is clear.
TEST(Saving, ClosingWithUnsavedResultsAsksWhatToDo)
{
    QTemporaryDir dir;
    const QString blocker = dir.path() + "/Dravilo";
    const QString path = blocker + "/pelko.conf";
    ASSERT_TRUE(WriteBytes(blocker, "")); // a file where the profile's folder should be
    Window window(path);
    auto &[store, dialog, message] = window;
    const QString line = window.FinishAPractise();
    ASSERT_TRUE(store.HasUnsaved());

    WhenModalOpens(&dialog, [](QWidget *box) {
        EXPECT_TRUE(qobject_cast<QMessageBox *>(box)->text().contains(": not a directory."));
        qobject_cast<QMessageBox *>(box)->button(QMessageBox::Cancel)->click();
    });
    QTest::keyClick(&dialog, Qt::Key_Escape);
    EXPECT_TRUE(dialog.isVisible());

    const QString copy = dir.path() + "/results.conf";
    WhenModalOpens(&dialog, [&](QWidget *box) {
        WhenModalOpens(
            box,
            [&](QWidget *files) {
                WhenModalOpens(
                    files, [](QWidget *done) { Press(done, "OK"); }, "QMessageBox");
                auto *chooser = qobject_cast<QFileDialog *>(files);
                // Typed, as a learner would: the dialog's own first selection may
                // still land after a selectFile() from here.
                chooser->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->setText(copy);
                QMetaObject::invokeMethod(chooser, "accept");
            },
            "QFileDialog");
        Press(box, "Save a Copy...");
    });
    QTest::mouseClick(qobject_cast<QAbstractButton *>(dialog.control(ids::main::kExit)), Qt::LeftButton);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(StoredIn(copy, profile_keys::Result(1, 1)), line);

    dialog.show();
    WhenModalOpens(&dialog, [](QWidget *box) { Press(box, "Quit Without Saving"); });
    QTest::keyClick(&dialog, Qt::Key_Escape);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_TRUE(store.HasUnsaved());

    // The learner clears the way while asked, then tries again.
    dialog.show();
    WhenModalOpens(&dialog, [&](QWidget *box) {
        ASSERT_TRUE(QFile::remove(blocker));
        Press(box, "Try Again");
    });
    dialog.close();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(StoredIn(path, profile_keys::Result(1, 1)), line);
    EXPECT_FALSE(dialog.saveGuard().message()->isVisible());
}

// Something that is not a file at the profile's path when pelko starts: the
// message goes once it is gone, with nothing to save too (and nothing made
// on disk to find that out); when it comes back with a result waiting, the
// retry saves the result once it is gone again, without Try Again.
TEST(Saving, AnOddFileFoundAtStartIsToldUntilItIsGone)
{
    QTemporaryDir dir;
    const QString path = dir.path() + "/Dravilo/pelko.conf";
    ASSERT_TRUE(QDir().mkpath(path + "/inside"));
    Window window(path);
    auto &[store, dialog, message] = window;
    EXPECT_TRUE(message->isVisible());
    ASSERT_TRUE(QDir(path).removeRecursively());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !message->isVisible(); }, 10 * SaveGuard::kRetryMs));
    EXPECT_EQ(QDir(dir.path() + "/Dravilo").entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot),
              QStringList {})
        << "no profile made, nothing left beside it";

    ASSERT_TRUE(QDir().mkpath(path + "/inside"));
    const QString line = window.FinishAPractise();
    EXPECT_TRUE(message->isVisible());
    EXPECT_TRUE(dialog.saveGuard().retryTimer().isActive());
    ASSERT_TRUE(QDir(path).removeRecursively());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !message->isVisible(); }, 10 * SaveGuard::kRetryMs));
    EXPECT_EQ(StoredIn(path, profile_keys::Result(1, 1)), line);
}

// A profile that cannot be read is told at start; once it is set aside, at
// the first save, the window names both files and how to go back to it, the
// whole text inside its box whatever the path's length.
TEST(Saving, AProfileSetAsideIsToldWithBothFilesAndHowToGoBack)
{
    for (const int length : {52, 180, 600}) {
        SCOPED_TRACE(length);
        QTemporaryDir dir;
        QString folder = dir.path();
        while (length - 19 - folder.size() > 16) {
            folder += QStringLiteral("/learner-files");
        }
        ASSERT_GE(length - 19 - folder.size(), 2) << "a shorter TMPDIR";
        folder += QLatin1Char('/') + QString(length - 20 - folder.size(), QLatin1Char('p'));
        const QString path = folder + "/Dravilo/pelko.conf";
        ASSERT_EQ(path.size(), length);
        ASSERT_TRUE(WriteBytes(path, "[Results\nBestResult1=60\n"));
        Window window(path);
        auto &[store, dialog, message] = window;
        EXPECT_TRUE(message->isVisible());
        EXPECT_TRUE(dialog.saveGuard().Text().startsWith(path + " cannot be read"))
            << dialog.saveGuard().Text().toStdString();

        const QString line = window.FinishAPractise();
        EXPECT_EQ(StoredIn(path, profile_keys::Result(1, 1)), line);
        EXPECT_TRUE(message->isVisible());
        const QString text = QStringLiteral("%1 cannot be read (it is not a profile pelko can read), so it was kept "
                                            "beside it as pelko.conf.unreadable and pelko started afresh. To go back "
                                            "to it, close pelko and copy pelko.conf.unreadable over pelko.conf.")
                                 .arg(path);
        EXPECT_EQ(dialog.saveGuard().Text(), text);
        EXPECT_EQ(message->toolTip(), text);
        EXPECT_EQ(message->accessibleName(), text);
        // The whole text inside its box, as Qt lays it out.
        const QRect room = message->contentsRect();
        const int flags = static_cast<int>(message->alignment()) | (message->wordWrap() ? Qt::TextWordWrap : 0);
        EXPECT_TRUE(room.contains(QFontMetrics(message->font()).boundingRect(room, flags, message->text())))
            << message->font().pixelSize() << " px in " << room.width() << "x" << room.height();
        EXPECT_GE(message->font().pixelSize(), SaveGuard::kMinFontPx);
        // Beyond what any size of letters can hold, the box says that there is more.
        EXPECT_EQ(message->text().endsWith(QChar(0x2026)), length > 200);
    }
}

} // namespace
