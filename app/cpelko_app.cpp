#include "app/cpelko_app.h"

#include "res/strings.h"

#include <QDialog>

CpelkoApp::CpelkoApp(int &argc, char **argv) : QApplication(argc, argv) { }

int CpelkoApp::InitInstance()
{
    QCoreApplication::setOrganizationName(QString::fromLatin1(strings::kOrganisation));
    QCoreApplication::setApplicationName(QString::fromLatin1(strings::kApplication));

    QDialog dialog;
    dialog.setWindowTitle(QString::fromUtf16(strings::kWindowCaption));
    dialog.resize(1154, 588);
    dialog.exec();
    return 0;
}
