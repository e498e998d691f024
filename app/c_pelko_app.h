#pragma once

#include <QApplication>

// The application object: names the profile location, then runs the main
// dialog for the whole life of the program.
class CpelkoApp : public QApplication
{
public:
    CpelkoApp(int &argc, char **argv);
    int InitInstance();

    // Where pelko cannot make sure it runs only once on its profile (why
    // says what is missing): asks whether to start all the same.
    static bool AskToStartUnguarded(const QString &why);
};
