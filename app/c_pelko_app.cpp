#include "app/c_pelko_app.h"

#include "app/c_pelko_dlg.h"
#include "app/single_instance.h"
#include "res/strings.h"
#include "stores/user_stores.h"

#include <QAccessible>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

CpelkoApp::CpelkoApp(int &argc, char **argv) : QApplication(argc, argv)
{
    // On Windows accessibility turns on because a reader asked this window
    // for its content: that reader knows the window already.
#ifndef Q_OS_WIN
    QAccessible::installActivationObserver(this);
#endif
}

CpelkoApp::~CpelkoApp()
{
    QAccessible::removeActivationObserver(this);
}

void CpelkoApp::accessibilityActiveChanged(bool active)
{
    // AT-SPI in Qt 6.4 turns on when pelko joins the accessibility bus, a
    // moment after the window is up or once a reader starts the bus, and
    // what the window did before is never sent. Qt calls this just before
    // its bridge sets itself up, so the telling waits for the next turn.
    if (active && !accessible_) {
        QTimer::singleShot(0, this, &CpelkoApp::RetellActiveWindow);
    }
    accessible_ = active;
}

// What activating the window sends: "window:activate" (Qt sends it this way
// for the main window, a frame, alone), then the focus.
void CpelkoApp::RetellActiveWindow()
{
    QWidget *window = activeWindow();
    if (window == nullptr || !QAccessible::isActive()) {
        return; // its activation, when it comes, is sent as usual
    }
    QAccessible::State changed;
    changed.active = true;
    QAccessibleStateChangeEvent activated(window, changed);
    QAccessible::updateAccessibility(&activated);
    if (QWidget *focus = focusWidget(); focus != nullptr && focus->window() == window) {
        QAccessibleEvent focused(focus, QAccessible::Focus);
        QAccessible::updateAccessibility(&focused);
    }
}

int CpelkoApp::InitInstance()
{
    // The profile lives under the company key: Dravilo/pelko.
    QCoreApplication::setOrganizationName(QString::fromLatin1(strings::kOrganisation));
    QCoreApplication::setApplicationName(QString::fromLatin1(strings::kApplication));

    SingleInstance instance(UserStores::ProfilePath());
    if (!instance.Claim()) {
        if (instance.HandOver()) {
            qInfo("pelko is already running on this profile; its window was brought to the front.");
            return 0;
        }
        // No window came forward: not a success.
        qWarning("pelko is already running on this profile, but did not answer.");
        return 1;
    }
    // Never two windows on one profile without being told.
    if (!instance.whyUnguarded().isEmpty() && !AskToStartUnguarded(instance.whyUnguarded())) {
        return 0;
    }

    const std::unique_ptr<SavedProfile> store = UserStores::OpenProfile();
    CpelkoDlg dialog(*store);
    QObject::connect(&instance, &SingleInstance::activationRequested, &dialog, [&dialog] {
        dialog.showNormal();
        dialog.raise();
        dialog.activateWindow();
        // A dialog open on top of it (About, High Scores, a question) stays on top.
        if (QWidget *modal = QApplication::activeModalWidget(); modal != nullptr && modal != &dialog) {
            modal->raise();
            modal->activateWindow();
        }
    });
    dialog.exec();
    return 0;
}

bool CpelkoApp::AskToStartUnguarded(const QString &why)
{
    QMessageBox box(QMessageBox::Warning, QString::fromUtf16(strings::kMessageBoxTitle),
                    QStringLiteral("pelko cannot make sure that it runs only once on your results: %1.").arg(why));
    box.setInformativeText(QStringLiteral("If pelko is open already, a second window works on the same results. "
                                          "Start pelko all the same?"));
    QPushButton *start = box.addButton(QStringLiteral("Start Anyway"), QMessageBox::AcceptRole);
    box.setDefaultButton(box.addButton(QStringLiteral("Quit"), QMessageBox::RejectRole));
    box.exec();
    return box.clickedButton() == start;
}
