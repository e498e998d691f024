// Any bytes as the profile file, read by QSettings and through the store:
// what QSettings reports a format error for is set aside, what it reads is
// read the same; every read gives a stored value or the caller's default, a
// write reads back, and what the store leaves on disk reads with QSettings
// (the same way again) and is written back unchanged.

#include "records/profile_keys.h"
#include "stores/posix/qsettings_profile_store.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QtGlobal>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <optional>
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

// Every value the store reads for the keys, checked to be a stored value or the default.
std::vector<std::u16string> readAll(const QSettingsProfileStore &store)
{
    std::vector<std::u16string> values;
    for (const std::string &key : keys()) {
        const std::int32_t a = store.GetProfileInt(kResultsSection, key, 12345);
        const std::int32_t b = store.GetProfileInt(kResultsSection, key, -777);
        check(a == b || (a == 12345 && b == -777));
        const std::u16string s = store.GetProfileString(kResultsSection, key, u"\x01");
        const std::u16string t = store.GetProfileString(kResultsSection, key, u"\x02");
        check((s == t && !s.empty()) || (s == u"\x01" && t == u"\x02"));
        values.push_back(s + u'|' + QString::number(a).toStdU16String());
    }
    return values;
}

// What QSettings reads as text: a string, or a list of them joined as pelko joins them.
std::optional<QString> qtText(const QVariant &value)
{
    if (value.typeId() == QMetaType::QString) {
        return value.toString();
    }
    if (value.typeId() == QMetaType::QStringList) {
        return value.toStringList().join(QLatin1String(", "));
    }
    if (value.typeId() == QMetaType::QVariantList) {
        QStringList items;
        for (const QVariant &item : value.toList()) {
            if (item.typeId() != QMetaType::QString) {
                return std::nullopt;
            }
            items << item.toString();
        }
        return items.join(QLatin1String(", "));
    }
    return std::nullopt;
}

// The file at path as QSettings reads it, every group of it, beside what
// ProfileDocument makes of its bytes: a format error is a text pelko does
// not take (nor one with a NUL byte, which QSettings reads); otherwise every
// key QSettings finds is there, and reads the same unless it holds another type.
std::optional<ProfileDocument> readBoth(const QString &path, const QByteArray &bytes)
{
    std::optional<ProfileDocument> document = ProfileDocument::Parse(bytes);
    QSettings settings(path, QSettings::IniFormat);
    const QStringList all = settings.allKeys();
    if (settings.status() != QSettings::NoError) {
        check(settings.status() == QSettings::FormatError && !document);
        return document;
    }
    check(document || bytes.contains('\0'));
    if (!document) {
        return document;
    }
    // pelko holds names in UTF-8, which has no lone surrogate (%UD800): two
    // names may become one there.
    if (!std::all_of(all.begin(), all.end(),
                     [](const QString &key) { return QString::fromUtf8(key.toUtf8()) == key; })) {
        return document;
    }
    for (const QString &key : all) {
        // QSettings cannot look up an empty key, nor one with slashes at its ends or doubled.
        if (key.isEmpty() || key.startsWith(u'/') || key.endsWith(u'/') || key.contains(QLatin1String("//"))) {
            continue;
        }
        const qsizetype slash = key.indexOf(u'/');
        const QByteArray section = slash < 0 ? QByteArray() : key.first(slash).toUtf8();
        const QByteArray name = key.sliced(slash + 1).toUtf8();
        check(document->Contains(section, name));
        if (const std::optional<QString> text = document->Text(section, name)) {
            check(qtText(settings.value(key)) == text);
        }
    }
    return document;
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    check(file.open(QIODevice::ReadOnly));
    return file.readAll();
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
    const QByteArray input(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    {
        QFile file(path);
        check(file.open(QIODevice::WriteOnly));
        check(file.write(input) == input.size());
    }
    const bool sound = readBoth(path, input).has_value();
    {
        QSettingsProfileStore store(path);
        check(bool(store.setAside()) == !sound);
        const std::vector<std::u16string> before = readAll(store);
        // Writing is slow (it syncs); do it for a quarter of the inputs.
        if (size > 0 && (data[0] & 3) == 0) {
            store.WriteProfileInt(kResultsSection, "BestResult1", -42);
            store.WriteProfileString(kResultsSection, "Title0", u" =[x];\r\n");
            check(store.GetProfileInt(kResultsSection, "BestResult1", 0) == -42);
            check(store.GetProfileString(kResultsSection, "Title0", u"") == u" =[x];\r\n");
            const std::vector<std::u16string> after = readAll(store);
            for (std::size_t k = 0; k < keys().size(); ++k) {
                check(after[k] == before[k] || keys()[k] == "BestResult1" || keys()[k] == "Title0");
            }

            // What was written reads with QSettings as with pelko, holds
            // every value the store held, and is written back unchanged.
            const QString copy = base + QStringLiteral("-copy.conf");
            check(QFile::copy(path, copy));
            const QByteArray written = fileBytes(copy);
            const std::optional<ProfileDocument> document = readBoth(copy, written);
            check(document && document->Serialise() == written);
            {
                QSettingsProfileStore fresh(copy);
                check(readAll(fresh) == after);
            }
            QFile::remove(copy);
        }
    }
    QFile::remove(path);
    QFile::remove(path + QStringLiteral(".unreadable"));
    return 0;
}
