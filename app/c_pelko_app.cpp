#include "app/c_pelko_app.h"

#include "app/c_pelko_dlg.h"
#include "records/qsettings_profile_store.h"
#include "res/strings.h"

CpelkoApp::CpelkoApp(int &argc, char **argv) : QApplication(argc, argv) { }

int CpelkoApp::InitInstance()
{
    // The profile lives under the company key: Dravilo/pelko.
    QCoreApplication::setOrganizationName(QString::fromLatin1(strings::kOrganisation));
    QCoreApplication::setApplicationName(QString::fromLatin1(strings::kApplication));

    QSettingsProfileStore store;
    CpelkoDlg dialog(store);
    dialog.exec();
    return 0;
}
