// Any bytes as the profile file, read through the store: every read gives
// a stored value or the caller's default, a write reads back, and what the
// store leaves on disk parses again.

#include "records/profile_keys.h"
#include "records/qsettings_profile_store.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QtGlobal>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

void quiet(QtMsgType, const QMessageLogContext &, const QString &) { }

// PELKO_FUZZ_DIR if given (scripts/fuzz puts it on tmpfs and removes it:
// libFuzzer may end without running destructors), else a temporary dir.
QString workDir()
{
    static const QString dir = [] {
        if (!qEnvironmentVariableIsEmpty("PELKO_FUZZ_DIR")) {
            return qEnvironmentVariable("PELKO_FUZZ_DIR");
        }
        static QTemporaryDir fallback;
        return fallback.path();
    }();
    return dir;
}

const std::vector<std::string> &keys()
{
    static const std::vector<std::string> all = [] {
        std::vector<std::string> k;
        for (int level = 1; level <= 20; level += 19) {
            k.push_back(profile_keys::BestResult(level));
            k.push_back(profile_keys::Result(level, 1));
            k.push_back(profile_keys::Result(level, 2));
        }
        k.push_back(profile_keys::Span(0));
        k.push_back(profile_keys::Correct(0));
        k.push_back(profile_keys::Tries(14));
        k.push_back(profile_keys::Title(0));
        k.push_back("A");
        k.push_back("a");
        return k;
    }();
    return all;
}

void check(bool condition)
{
    if (!condition) {
        std::abort();
    }
}

void readAll(const QSettingsProfileStore &store)
{
    for (const std::string &key : keys()) {
        const std::int32_t a = store.GetProfileInt(kResultsSection, key, 12345);
        const std::int32_t b = store.GetProfileInt(kResultsSection, key, -777);
        check(a == b || (a == 12345 && b == -777));
        const std::u16string s = store.GetProfileString(kResultsSection, key, u"\x01");
        const std::u16string t = store.GetProfileString(kResultsSection, key, u"\x02");
        check((s == t && !s.empty()) || (s == u"\x01" && t == u"\x02"));
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    qInstallMessageHandler(quiet);
    return QDir(workDir()).exists() ? 0 : 1;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    // A new name every time: Qt keeps what it read of a file per name.
    static unsigned long long run = 0;
    const QString base = workDir() + QStringLiteral("/p") + QString::number(++run);
    const QString path = base + QStringLiteral(".conf");
    {
        QFile file(path);
        check(file.open(QIODevice::WriteOnly));
        check(file.write(reinterpret_cast<const char *>(data), static_cast<qint64>(size)) == qint64(size));
    }
    {
        QSettingsProfileStore store(path);
        readAll(store);
        // Writing is slow (it syncs); do it for a quarter of the inputs.
        if (size > 0 && (data[0] & 3) == 0) {
            store.WriteProfileInt(kResultsSection, "BestResult1", -42);
            store.WriteProfileString(kResultsSection, "Title0", u" =[x];\r\n");
            check(store.GetProfileInt(kResultsSection, "BestResult1", 0) == -42);
            check(store.GetProfileString(kResultsSection, "Title0", u"") == u" =[x];\r\n");
            readAll(store);

            // What was written parses, and holds the two values.
            const QString copy = base + QStringLiteral("-copy.conf");
            check(QFile::copy(path, copy));
            {
                QSettings reread(copy, QSettings::IniFormat);
                check(reread.status() == QSettings::NoError);
                QSettingsProfileStore fresh(copy);
                check(fresh.GetProfileInt(kResultsSection, "BestResult1", 0) == -42);
                check(fresh.GetProfileString(kResultsSection, "Title0", u"") == u" =[x];\r\n");
            }
            QFile::remove(copy);
        }
    }
    QFile::remove(path);
    QFile::remove(path + QStringLiteral(".unreadable"));
    return 0;
}
