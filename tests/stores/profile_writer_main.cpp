// Makes the records of profile_writer_records.h through the real profile
// store, from the one after the last on disk, and says on stdout when each
// begins and ends, so that a test can kill it at any moment.
//
//   profile_writer <profile> <records, 0 = forever>
// The profile is a file, or on Windows a key under HKEY_CURRENT_USER.

#ifdef _WIN32
#include "stores/windows/registry_profile_store.h"
#else
#include "stores/posix/qsettings_profile_store.h"
#endif
#include "tests/stores/profile_writer_records.h"

#include <QCoreApplication>
#include <QDir>
#include <QStringList>

#include <cstdio>
#include <string>

namespace {

// Each line flushed whole as it is said: the reader never sees half of one.
bool Say(const std::string &line)
{
    return std::fwrite(line.data(), 1, line.size(), stdout) == line.size() && std::fflush(stdout) == 0;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3) {
        return 2;
    }
#ifdef _WIN32
    RegistryProfileStore store(args[1], QDir::temp().filePath(QStringLiteral("pelko-writer-copies")));
#else
    QSettingsProfileStore store(args[1]);
#endif
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
