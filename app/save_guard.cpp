#include "app/save_guard.h"

#include "res/strings.h"
#include "speech/word_speaker.h"
#include "stores/saved_profile.h"

#include <QAccessible>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QStringList>
#include <QTextLayout>

#include <algorithm>

SaveGuard::SaveGuard(SavedProfile &store, QWidget *window)
    : QObject(window), store_(store), window_(window), message_(new QLabel(window))
{
    message_->setObjectName(QStringLiteral("saveProblem"));
    message_->setTextFormat(Qt::PlainText);
    // Broken into lines here (Lines()), so that a long path breaks too.
    message_->setWordWrap(false);
    message_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    message_->setFrameStyle(QFrame::Box | QFrame::Plain);
    message_->setAutoFillBackground(true);
    message_->setStyleSheet(QStringLiteral("QLabel { background: #fff4c2; color: #8a0000; padding: 2px 6px; }"));
    QFont font = message_->font();
    font.setPixelSize(kFontPx);
    message_->setFont(font);
    message_->hide();

    // No keystroke or click waits for another program's lock: a value that
    // meets one waits in memory for the retry.
    store_.SetLockWait(0);
    connect(&retry_, &QTimer::timeout, this, &SaveGuard::RetryNow);
    store_.SetProblemListener([this] { Update(); });
    Update();
}

SaveGuard::~SaveGuard()
{
    store_.SetProblemListener({});
    if (speaker_ != nullptr) {
        speaker_->SetTroubleListener({});
    }
}

void SaveGuard::Watch(WordSpeaker &speaker)
{
    speaker_ = &speaker;
    speaker.SetTroubleListener([this] { Update(); });
    Update();
}

void SaveGuard::Place(const QRect &area)
{
    message_->setGeometry(area);
    Fit();
}

QString SaveGuard::Describe(const ProfileProblem &problem)
{
    return QStringLiteral("Results cannot be saved to %1: %2.")
        .arg(QDir::toNativeSeparators(problem.path), problem.Reason());
}

QString SaveGuard::Describe(const SavedProfile::SetAside &setAside)
{
    const QString path = QDir::toNativeSeparators(setAside.path);
    if (setAside.keptAs.isEmpty()) {
        return QStringLiteral("%1 cannot be read (%2), so pelko starts afresh. The file is kept as it is, never "
                              "written over.")
            .arg(path, setAside.reason);
    }
    const QFileInfo profile(setAside.path);
    const QFileInfo keptAs(setAside.keptAs);
    // The folder is named once: a long one would fill the message four times over.
    if (keptAs.absolutePath() == profile.absolutePath()) {
        return QStringLiteral("%1 cannot be read (%2), so it was kept beside it as %3 and pelko started afresh. To go "
                              "back to it, close pelko and copy %3 over %4.")
            .arg(path, setAside.reason, keptAs.fileName(), profile.fileName());
    }
    return QStringLiteral("%1 cannot be read (%2), so it was kept as %3 and pelko started afresh. To go back to it, "
                          "close pelko and copy %3 over %1.")
        .arg(path, setAside.reason, QDir::toNativeSeparators(setAside.keptAs));
}

void SaveGuard::RetryNow()
{
    // Never waits: a lock still held is tried again at the next tick.
    store_.Retry(false);
    if (speaker_ != nullptr) {
        speaker_->RetryKeeping();
    }
    Update();
    // Saved while the learner is asked what to do at closing: nothing left to ask.
    if (question_ != nullptr && !store_.HasUnsaved()) {
        question_->done(QMessageBox::Cancel);
    }
}

void SaveGuard::Update()
{
    const ProfileProblem &problem = store_.problem();
    const bool locked = problem.kind == ProfileProblem::Locked;
    if (!locked) {
        lockedFor_.invalidate();
    } else if (!lockedFor_.isValid()) {
        lockedFor_.start();
    }
    const QString trouble = speaker_ != nullptr ? speaker_->Trouble() : QString();
    QStringList text;
    // Another program's brief write is no news: only a lock that stays in the way is told.
    if (problem && (!locked || lockedFor_.elapsed() >= kLockPatienceMs)) {
        text << Describe(problem)
                + QStringLiteral(" They are kept while pelko is open and saved as soon as that works again.");
    }
    if (store_.setAside()) {
        text << Describe(store_.setAside());
    }
    if (!trouble.isEmpty()) {
        text << trouble;
    }
    Show(text.join(QLatin1Char(' ')));

    // Whatever the problem and whenever it began, it is tried again while it
    // lasts, values waiting or not; a held lock is looked at more often, so
    // that what waits on it is written soon after it is free.
    if (problem || !trouble.isEmpty()) {
        const int interval = locked ? kLockRetryMs : kRetryMs;
        if (!retry_.isActive() || retry_.interval() != interval) {
            retry_.start(interval);
        }
    } else {
        retry_.stop();
    }
}

void SaveGuard::Show(const QString &text)
{
    if (text.isEmpty()) {
        text_.clear();
        message_->hide();
        return;
    }
    if (text != text_) {
        text_ = text;
        // The whole text for a screen reader and as the tip, whatever the lines.
        message_->setAccessibleName(text_);
        message_->setToolTip(text_);
        Fit();
    }
    if (message_->isHidden()) {
        message_->show();
        message_->raise();
        QAccessibleEvent alert(message_, QAccessible::Alert);
        QAccessible::updateAccessibility(&alert);
    }
}

void SaveGuard::Fit()
{
    if (text_.isEmpty()) {
        return;
    }
    message_->ensurePolished();
    const QSize room = message_->contentsRect().size();
    QFont font = message_->font();
    QStringList lines;
    // Measured the way the label draws them.
    const auto fits = [&room](const QFont &inFont, const QStringList &shown) {
        const QRect used = QFontMetrics(inFont).boundingRect(QRect(QPoint(), room), Qt::AlignLeft | Qt::AlignTop,
                                                             shown.join(QLatin1Char('\n')));
        return used.width() <= room.width() && used.height() <= room.height();
    };
    // The largest letters at which all of it fits, down to the floor.
    for (int px = kFontPx; px >= kMinFontPx; --px) {
        font.setPixelSize(px);
        lines = Lines(text_, font, room.width());
        if (fits(font, lines)) {
            break;
        }
    }
    // Beyond that (paths of hundreds of letters) the last line that fits
    // ends in an ellipsis; the tip and a screen reader have all of it.
    if (!fits(font, lines)) {
        while (lines.size() > 1 && !fits(font, lines)) {
            lines.removeLast();
        }
        lines.last()
            = QFontMetrics(font).elidedText(lines.last() + QStringLiteral(" \u2026"), Qt::ElideRight, room.width());
    }
    message_->setFont(font);
    message_->setText(lines.join(QLatin1Char('\n')));
}

QStringList SaveGuard::Lines(const QString &text, const QFont &font, int width)
{
    // A path may break after each separator (Qt offers no break after a
    // backslash), and a word too long for a line anywhere.
    constexpr QChar kBreak(0x200B);
    QString breakable = text;
    breakable.replace(QLatin1Char('/'), QStringLiteral("/") + kBreak);
    breakable.replace(QLatin1Char('\\'), QStringLiteral("\\") + kBreak);
    QTextLayout layout(breakable, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    QStringList lines;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        lines << breakable.mid(line.textStart(), line.textLength()).remove(kBreak).trimmed();
    }
    layout.endLayout();
    return lines;
}

bool SaveGuard::ConfirmClose()
{
    // The cause may be gone since the last retry (a lock just let go): no question then.
    if (store_.HasUnsaved()) {
        store_.Retry(false);
    }
    // A choice of speaking words still unkept gets its last try; it is not worth a question.
    if (speaker_ != nullptr) {
        speaker_->RetryKeeping();
    }
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
        question_ = &box;
        box.exec();
        question_ = nullptr;
        if (box.clickedButton() == nullptr && !store_.HasUnsaved()) {
            return true; // saved by the retry while the question was open
        }
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
