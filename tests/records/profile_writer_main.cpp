// Makes the records of profile_writer_records.h through the real profile
// store, from the one after the last on disk, and says on stdout when each
// begins and ends, so that a test can kill it at any moment.
//
//   profile_writer <profile.conf> <records, 0 = forever>

#include "records/qsettings_profile_store.h"
#include "tests/records/profile_writer_records.h"

#include <QCoreApplication>
#include <QStringList>

#include <string>

#include <unistd.h>

namespace {

// One unbuffered write a line: the reader never sees half of one.
bool Say(const std::string &line)
{
    return ::write(STDOUT_FILENO, line.data(), line.size()) == static_cast<ssize_t>(line.size());
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3) {
        return 2;
    }
    QSettingsProfileStore store(args[1]);
    const int count = args[2].toInt();
    const int first = store.GetProfileInt(kResultsSection, "Writer", 0) + 1;
    for (int g = first; count == 0 || g < first + count; ++g) {
        if (!Say("begin " + std::to_string(g) + " " + WriterRecordKind(g) + "\n")) {
            return 1;
        }
        WriteWriterRecord(store, g);
        if (store.HasUnsaved() || !Say("done " + std::to_string(g) + "\n")) {
            return 1;
        }
    }
    return 0;
}
