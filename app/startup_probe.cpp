#include "app/startup_probe.h"

#include <QDialog>
#include <QFile>
#include <QTimer>

#include <chrono>
#include <cstdio>

namespace {
// "VmRSS:  12345 kB" from the kernel's view of this process (Linux only).
long ResidentKilobytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) {
        return -1;
    }
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:")) {
            return line.mid(6).trimmed().split(' ').value(0).toLong();
        }
    }
    return -1;
}
} // namespace

bool StartupProbe::Enabled()
{
    static const bool enabled = qEnvironmentVariableIsSet("PELKO_STARTUP_PROBE");
    return enabled;
}

void StartupProbe::OnFirstPaint(QDialog &window)
{
    // Reported once the whole frame, children included, has been drawn and shown.
    QTimer::singleShot(0, &window, [&window] { Report(window); });
}

void StartupProbe::Report(QDialog &window)
{
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    std::fprintf(stderr, "pelko-first-paint %lld %ld\n",
                 static_cast<long long>(std::chrono::duration_cast<std::chrono::nanoseconds>(now).count()),
                 ResidentKilobytes());
    std::fflush(stderr);
    if (qEnvironmentVariable("PELKO_STARTUP_PROBE") != QStringLiteral("stay")) {
        QTimer::singleShot(0, &window, &QDialog::reject);
    }
}
