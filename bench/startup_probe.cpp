#include "bench/startup_probe.h"

#include "app/c_pelko_dlg.h"

#include <QEvent>
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

bool StartupProbe::eventFilter(QObject *watched, QEvent *event)
{
    if (!seen_ && event->type() == QEvent::Paint) {
        if (auto *window = qobject_cast<CpelkoDlg *>(watched)) {
            seen_ = true;
            // The children paint and the frame is flushed before a queued call runs.
            QTimer::singleShot(0, window, [window] { Report(*window); });
        }
    }
    return QObject::eventFilter(watched, event);
}

void StartupProbe::Report(QDialog &window)
{
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    std::fprintf(stderr, "pelko-first-paint %lld %ld\n",
                 static_cast<long long>(std::chrono::duration_cast<std::chrono::nanoseconds>(now).count()),
                 ResidentKilobytes());
    std::fflush(stderr);
    window.reject();
}
