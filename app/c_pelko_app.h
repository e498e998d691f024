#pragma once

#include <QAccessible>
#include <QApplication>

// The application object: names the profile location, then runs the main
// dialog for the whole life of the program.
class CpelkoApp : public QApplication, public QAccessible::ActivationObserver
{
public:
    CpelkoApp(int &argc, char **argv);
    ~CpelkoApp() override;
    int InitInstance();

    // Where pelko cannot make sure it runs only once on its profile (why
    // says what is missing): asks whether to start all the same.
    static bool AskToStartUnguarded(const QString &why);

    // A reader is told of the active window and its focus once accessibility
    // turns on: it was told nothing of the window's activation before.
    void accessibilityActiveChanged(bool active) override;

private:
    void RetellActiveWindow();

    bool accessible_ = false;
};
