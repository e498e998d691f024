// The yardstick for pelko.exe's start-up under Wine (scripts/measure-wine):
// a QDialog of the main window's size and nothing in it, linked against the
// same static Qt. What pelko takes beyond this is pelko's own.
#include <QApplication>
#include <QDialog>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QDialog dialog;
    dialog.setWindowTitle(QStringLiteral("pelko bare dialog"));
    dialog.setFixedSize(1154, 588);
    return dialog.exec();
}
