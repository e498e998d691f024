#pragma once

class QDialog;

// Start-up measurement for scripts/measure: with PELKO_STARTUP_PROBE set in
// the environment, the first painted frame reports the wall clock (ns since
// the epoch) and the resident memory, then closes the window at once.
class StartupProbe
{
public:
    static bool Enabled();
    static void OnFirstPaint(QDialog &window);

private:
    static void Report(QDialog &window);
};
