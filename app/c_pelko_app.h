#pragma once

#include <QApplication>

// The application object: names the profile location, then runs the main
// dialog for the whole life of the program.
class CpelkoApp : public QApplication
{
public:
    CpelkoApp(int &argc, char **argv);
    int InitInstance();
};
