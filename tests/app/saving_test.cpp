// What the learner is told when results cannot be saved, and that they are
// saved once they can be: the real window on a profile that cannot be
// written, on a full file system and behind a blocked folder.

#include "app/c_pelko_dlg.h"
#include "app/save_guard.h"
#include "records/profile_keys.h"
#include "records/qsettings_profile_store.h"
#include "res/control_ids.h"
#include "tests/support/when_modal_opens.h"

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <sys/mount.h>

namespace {

QString Stored(const QString &path, const std::string &key)
{
    QTemporaryDir dir;
    QFile::copy(path, dir.path() + "/copy.conf"); // QSettings keeps what it read per name
    return QSettings(dir.path() + "/copy.conf", QSettings::IniFormat)
        .value("Results/" + QString::fromStdString(key))
        .toString();
}

// A whole practise drill, all right, through the engine; its result line.
QString FinishAPractise(CpelkoDlg &dialog)
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

void Press(QWidget *box, const QString &text)
{
    for (QAbstractButton *button : box->findChildren<QAbstractButton *>()) {
        if (button->text() == text) {
            button->click();
            return;
        }
    }
    ADD_FAILURE() << "no button " << text.toStdString();
}

} // namespace

// Needs root, to mount a small file system of its own; skipped elsewhere.
TEST(Saving, AFullDiskIsToldInTheWindowAndTheResultIsSavedOnceSpaceReturns)
{
    QTemporaryDir mountPoint;
    const QByteArray where = QFile::encodeName(mountPoint.path());
    if (::mount("tmpfs", where.constData(), "tmpfs", 0, "size=256k") != 0) {
        GTEST_SKIP() << "mounting a small file system needs root";
    }
    const QString path = mountPoint.path() + "/Dravilo/pelko.conf";
    {
        QSettingsProfileStore store(path);
        store.WriteProfileInt("Results", profile_keys::BestResult(2), 60);
        // The rest of the space goes to a filler.
        QFile filler(mountPoint.path() + "/filler");
        ASSERT_TRUE(filler.open(QIODevice::WriteOnly));
        const QByteArray chunk(4096, 'x');
        while (filler.write(chunk) == chunk.size() && filler.flush()) { }
    }
    QSettingsProfileStore store(path);
    CpelkoDlg dialog(store);
    dialog.show();
    QLabel *message = dialog.saveGuard().message();
    EXPECT_FALSE(message->isVisible()) << "nothing is shown while all is well";

    const QString line = FinishAPractise(dialog);
    EXPECT_TRUE(message->isVisible());
    EXPECT_EQ(message->text(),
              QStringLiteral("Results cannot be saved to %1: no space is left on the device. They "
                             "are kept while pelko is open and saved as soon as that works again.")
                  .arg(path));
    EXPECT_TRUE(Stored(path, profile_keys::Result(1, 1)).isEmpty());

    ASSERT_TRUE(QFile::remove(mountPoint.path() + "/filler"));
    QTRY_VERIFY_WITH_TIMEOUT(!message->isVisible(), 2 * SaveGuard::kRetryMs);
    EXPECT_EQ(Stored(path, profile_keys::Result(1, 1)), line);
    EXPECT_EQ(Stored(path, profile_keys::BestResult(2)), "60");
    ::umount2(where.constData(), MNT_DETACH);
}

// Exit, Escape and the close box ask while results are unsaved: Cancel goes
// back, a copy elsewhere holds them, Quit leaves them, Try Again saves them
// once the way is clear.
TEST(Saving, ClosingWithUnsavedResultsAsksWhatToDo)
{
    QTemporaryDir dir;
    const QString blocker = dir.path() + "/Dravilo";
    const QString path = blocker + "/pelko.conf";
    QFile file(blocker); // a file where the profile's folder should be
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    QSettingsProfileStore store(path);
    CpelkoDlg dialog(store);
    dialog.show();
    const QString line = FinishAPractise(dialog);
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
                chooser->selectFile(copy);
                QMetaObject::invokeMethod(chooser, "accept");
            },
            "QFileDialog");
        Press(box, "Save a Copy...");
    });
    QTest::mouseClick(qobject_cast<QAbstractButton *>(dialog.control(ids::main::kExit)), Qt::LeftButton);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(Stored(copy, profile_keys::Result(1, 1)), line);

    dialog.show();
    WhenModalOpens(&dialog, [](QWidget *box) { Press(box, "Quit Without Saving"); });
    QTest::keyClick(&dialog, Qt::Key_Escape);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_TRUE(store.HasUnsaved());

    dialog.show();
    ASSERT_TRUE(QFile::remove(blocker));
    WhenModalOpens(&dialog, [](QWidget *box) { Press(box, "Try Again"); });
    dialog.close();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(Stored(path, profile_keys::Result(1, 1)), line);
    EXPECT_FALSE(dialog.saveGuard().message()->isVisible());
}
