#include "app/c_about_dlg.h"

#include "app/c_high_scores_dlg.h"
#include "app/dialog_layout.h"
#include "drill/drill_engine.h"
#include "drill/window_services.h"
#include "records/reset_times.h"
#include "res/control_ids.h"
#include "res/strings.h"
#include "stores/saved_profile.h"

#include <QDir>
#include <QLabel>
#include <QMessageBox>
#include <QPixmap>
#include <QPushButton>

namespace {
QString ToQString(std::u16string_view text)
{
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}
} // namespace

CAboutDlg::CAboutDlg(ProfileStore &store, WindowServices &window, DrillEngine *mainWindow, QWidget *parent)
    : QDialog(parent), store_(store), window_(window), mainWindow_(mainWindow)
{
    const dialogs::Template &t = dialogs::kAboutDialog;
    const DialogLayout layout(t);
    setWindowTitle(ToQString(t.caption));
    // The title's blanks are only layout; a screen reader says the words.
    setAccessibleName(windowTitle().simplified());
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFont(layout.Font());
    setFixedSize(layout.ClientSize());

    for (const dialogs::Control &c : t.controls) {
        const QRect rect = layout.ToPixels(c);
        QWidget *widget = nullptr;
        switch (c.kind) {
        case dialogs::Kind::Icon: {
            auto *icon = new QLabel(this);
            icon->setPixmap(QPixmap(QStringLiteral(":/pelko/pelko-32.png")));
            icon->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            widget = icon;
            break;
        }
        case dialogs::Kind::Static: {
            auto *label = new QLabel(ToQString(c.caption), this);
            label->setTextFormat(Qt::PlainText);
            widget = label;
            break;
        }
        default: {
            auto *button = new QPushButton(ToQString(c.caption), this);
            if (c.id == ids::about::kOk) {
                button->setDefault(true);
                connect(button, &QPushButton::clicked, this, &QDialog::accept);
            } else if (c.id == ids::about::kResetTimes) {
                connect(button, &QPushButton::clicked, this, &CAboutDlg::ResetTimes);
            } else if (c.id == ids::about::kHighScores) {
                connect(button, &QPushButton::clicked, this, &CAboutDlg::OnHighScores);
            }
            widget = button;
            break;
        }
        }
        if (c.id > 0) {
            widget->setObjectName(QString::number(c.id));
        }
        widget->setGeometry(rect);
        if (c.kind == dialogs::Kind::Icon) {
            // The template's box is a few pixels narrower than the icon: it
            // grows to the icon, from the same corner, rather than cut it.
            widget->resize(rect.size().expandedTo(widget->sizeHint()));
        }
    }
}

void CAboutDlg::OnHighScores()
{
    // The About dialog goes away first; closing the table returns to the main window.
    accept();
    CHighScoresDlg table(store_, parentWidget());
    table.SetNoCandidate();
    table.exec();
}

void CAboutDlg::ResetTimes()
{
    if (!window_.AskYesNo(strings::kResetQuestion)) {
        return;
    }
    if (!::ResetTimes(store_)) {
        QString why = QStringLiteral("Nothing was reset: a copy of the results, to undo the reset with, could not be "
                                     "saved first.");
        if (const auto *profile = dynamic_cast<const SavedProfile *>(&store_);
            profile != nullptr && profile->copyProblem()) {
            why = QStringLiteral("Nothing was reset: a copy of the results, to undo the reset with, could not be "
                                 "saved to %1: %2.")
                      .arg(QDir::toNativeSeparators(profile->copyProblem().path), profile->copyProblem().Reason());
        }
        QMessageBox::warning(this, QString::fromUtf16(strings::kMessageBoxTitle), why);
        return;
    }
    // The main window follows at once, so the next result is stored where its list will find it.
    if (mainWindow_ != nullptr) {
        mainWindow_->AfterTimesReset();
    }
}
