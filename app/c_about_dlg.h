#pragma once

#include <QDialog>

class DrillEngine;
class ProfileStore;
class WindowServices;

// Names the product and offers the two record commands: the high-score
// table (read-only) and the reset of every stored result.
class CAboutDlg : public QDialog
{
    Q_OBJECT
public:
    CAboutDlg(ProfileStore &store, WindowServices &window, DrillEngine *mainWindow, QWidget *parent = nullptr);

    void OnHighScores();
    void ResetTimes();

private:
    ProfileStore &store_;
    WindowServices &window_;
    DrillEngine *mainWindow_;
};
