#include "app/save_guard.h"

#include "records/platform_profile_store.h"
#include "res/strings.h"

#include <QAccessible>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QStringList>

SaveGuard::SaveGuard(PlatformProfileStore &store, QWidget *window)
    : QObject(window), store_(store), window_(window), message_(new QLabel(window))
{
    message_->setObjectName(QStringLiteral("saveProblem"));
    message_->setTextFormat(Qt::PlainText);
    message_->setWordWrap(true);
    message_->setFrameStyle(QFrame::Box | QFrame::Plain);
    message_->setAutoFillBackground(true);
    message_->setStyleSheet(QStringLiteral("QLabel { background: #fff4c2; color: #8a0000; padding: 2px 6px; }"));
    QFont font = message_->font();
    font.setPixelSize(14);
    message_->setFont(font);
    message_->hide();

    // A keystroke or a click must not stall on another program's lock: what
    // cannot be written at once waits for the retry.
    store_.SetLockWait(kLockWaitMs);
    retry_.setInterval(kRetryMs);
    // In the background a lock held elsewhere is not waited for: the window never stalls.
    connect(&retry_, &QTimer::timeout, this, [this] { store_.Retry(false); });
    store_.SetProblemListener([this] { Update(); });
    Update();
}

SaveGuard::~SaveGuard()
{
    store_.SetProblemListener({});
}

void SaveGuard::Place(const QRect &area)
{
    message_->setGeometry(area);
}

QString SaveGuard::Describe(const ProfileProblem &problem)
{
    return QStringLiteral("Results cannot be saved to %1: %2.")
        .arg(QDir::toNativeSeparators(problem.path), problem.Reason());
}

QString SaveGuard::Describe(const PlatformProfileStore::SetAside &setAside)
{
    const QString path = QDir::toNativeSeparators(setAside.path);
    if (setAside.keptAs.isEmpty()) {
        return QStringLiteral("%1 cannot be read (%2), so pelko starts afresh. The file is kept as it is, never "
                              "written over.")
            .arg(path, setAside.reason);
    }
    const QString keptAs = QDir::toNativeSeparators(setAside.keptAs);
    return QStringLiteral("%1 cannot be read (%2), so it was kept as %3 and pelko started afresh. To go back to it, "
                          "close pelko and copy %3 over %1.")
        .arg(path, setAside.reason, keptAs);
}

void SaveGuard::Update()
{
    const ProfileProblem &problem = store_.problem();
    QStringList text;
    if (problem) {
        text << Describe(problem)
                + QStringLiteral(" They are kept while pelko is open and saved as soon as that works again.");
    }
    if (store_.setAside()) {
        text << Describe(store_.setAside());
    }
    if (text.isEmpty()) {
        message_->hide();
    } else {
        message_->setText(text.join(QLatin1Char(' ')));
        if (!message_->isVisible()) {
            message_->show();
            message_->raise();
            QAccessibleEvent alert(message_, QAccessible::Alert);
            QAccessible::updateAccessibility(&alert);
        }
    }
    // Whatever the problem and whenever it began: while values wait, they are retried.
    if (problem && store_.HasUnsaved()) {
        if (!retry_.isActive()) {
            retry_.start();
        }
    } else {
        retry_.stop();
    }
}

bool SaveGuard::ConfirmClose()
{
    while (store_.HasUnsaved()) {
        QMessageBox box(QMessageBox::Warning, QString::fromUtf16(strings::kMessageBoxTitle),
                        QStringLiteral("Some results are not saved. %1").arg(Describe(store_.problem())),
                        QMessageBox::NoButton, window_);
        box.setInformativeText(QStringLiteral("Try again, save a copy of all results somewhere else, or quit "
                                              "without saving them?"));
        QPushButton *again = box.addButton(QStringLiteral("Try Again"), QMessageBox::AcceptRole);
        QPushButton *copy = box.addButton(QStringLiteral("Save a Copy..."), QMessageBox::ActionRole);
        QPushButton *quit = box.addButton(QStringLiteral("Quit Without Saving"), QMessageBox::DestructiveRole);
        box.addButton(QMessageBox::Cancel);
        box.setDefaultButton(again);
        box.exec();
        if (box.clickedButton() == quit) {
            return true;
        }
        if (box.clickedButton() == again) {
            store_.Retry();
        } else if (box.clickedButton() == copy) {
#ifdef _WIN32
            // A registry file: a double-click puts it back.
            const QString name = QStringLiteral("pelko-results.reg");
            const QString filter = QStringLiteral("Registry files (*.reg);;All files (*)");
#else
            const QString name = QStringLiteral("pelko-results.conf");
            const QString filter = QStringLiteral("pelko results (*.conf);;All files (*)");
#endif
            const QString path = QFileDialog::getSaveFileName(window_, QStringLiteral("Save a Copy of the Results"),
                                                              QDir::home().filePath(name), filter);
            if (path.isEmpty()) {
                continue;
            }
            if (const ProfileProblem problem = store_.SaveCopyTo(path)) {
                QMessageBox::warning(window_, QString::fromUtf16(strings::kMessageBoxTitle),
                                     QStringLiteral("The copy could not be saved either. %1").arg(Describe(problem)));
                continue;
            }
#ifdef _WIN32
            const QString howBack = QStringLiteral("All results were saved to %1. To go on with them, open that "
                                                   "file (it puts them back into %2) while pelko is closed.");
#else
            const QString howBack = QStringLiteral("All results were saved to %1. To go on with them, copy that "
                                                   "file over %2 while pelko is closed.");
#endif
            QMessageBox::information(
                window_, QStringLiteral("pelko"),
                howBack.arg(QDir::toNativeSeparators(path), QDir::toNativeSeparators(store_.fileName())));
            return true;
        } else {
            return false; // Cancel, Escape or the close box: back to pelko
        }
    }
    return true;
}
