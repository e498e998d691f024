// Writes practise results through the real profile store, as a finished
// drill does, and reports each completed pair of writes on stdout, so that
// a test can kill it at any moment and check what must be on disk.
//
//   profile_writer <profile.conf> <level> <first n> <count, 0 = forever>

#include "records/profile_keys.h"
#include "records/qsettings_profile_store.h"
#include "tests/records/profile_writer_text.h"

#include <QCoreApplication>
#include <QStringList>

#include <string>

#include <unistd.h>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 5) {
        return 2;
    }
    const int level = args[2].toInt(), first = args[3].toInt(), count = args[4].toInt();
    QSettingsProfileStore store(args[1]);
    for (int n = first; count == 0 || n < first + count; ++n) {
        store.WriteProfileString(kResultsSection, profile_keys::Result(level, n), WriterResultLine(level, n));
        store.WriteProfileInt(kResultsSection, profile_keys::BestResult(level), n);
        // One unbuffered write: the reader never sees half a line.
        const std::string line = "done " + std::to_string(n) + "\n";
        if (::write(STDOUT_FILENO, line.data(), line.size()) != static_cast<ssize_t>(line.size())) {
            return 1;
        }
    }
    return 0;
}
