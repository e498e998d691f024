#pragma once

#include <QObject>

class QDialog;

// Start-up measurement for scripts/measure, kept out of the shipped program.
// As an application event filter it sees the main window's first paint; once
// that frame, children included, is drawn it prints "pelko-first-paint", the
// wall clock (ns since the epoch) and the resident memory (kB), then closes
// the window.
class StartupProbe : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    static void Report(QDialog &window);

    bool seen_ = false;
};
