#include "records/profile_document.h"

#include <QStringDecoder>
#include <QStringList>

namespace {

constexpr QByteArrayView kGeneral = "General";

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

QByteArrayView Trimmed(QByteArrayView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && IsBlank(text[begin])) {
        ++begin;
    }
    while (end > begin && IsBlank(text[end - 1])) {
        --end;
    }
    return text.sliced(begin, end - begin);
}

int HexValue(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9') {
        return u - u'0';
    }
    if (u >= u'a' && u <= u'f') {
        return u - u'a' + 10;
    }
    if (u >= u'A' && u <= u'F') {
        return u - u'A' + 10;
    }
    return -1;
}

// Section names and keys: %XX and %UXXXX stand for one UTF-16 unit each.
QByteArray DecodeName(QByteArrayView raw)
{
    if (!raw.contains('%')) {
        return raw.toByteArray();
    }
    const QString text = QString::fromUtf8(raw);
    QString name;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const bool wide = text[i] == u'%' && i + 1 < text.size() && text[i + 1] == u'U';
        const qsizetype digits = wide ? 4 : 2;
        const qsizetype first = i + (wide ? 2 : 1);
        int unit = 0;
        bool ok = text[i] == u'%' && first + digits <= text.size();
        for (qsizetype d = 0; ok && d < digits; ++d) {
            const int v = HexValue(text[first + d]);
            ok = v >= 0;
            unit = unit * 16 + v;
        }
        if (ok) {
            name += QChar(static_cast<char16_t>(unit));
            i = first + digits - 1;
        } else {
            name += text[i];
        }
    }
    return name.toUtf8();
}

QByteArray EncodeName(QByteArrayView name)
{
    QByteArray raw;
    for (const char c : name) {
        const auto u = static_cast<unsigned char>(c);
        if ((u >= '0' && u <= '9') || (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || c == '_' || c == '-'
            || c == '.') {
            raw += c;
        } else {
            raw += '%' + QByteArray::number(u, 16).rightJustified(2, '0').toUpper();
        }
    }
    return raw;
}

// Text of a value whose @ form names another type: QSettings reads a QVariant.
bool IsOtherType(const QString &text)
{
    for (const char *form : {"@ByteArray(", "@Variant(", "@DateTime(", "@Rect(", "@Size(", "@Point("}) {
        if (text.startsWith(QLatin1String(form)) && text.endsWith(u')')) {
            return true;
        }
    }
    return false;
}

} // namespace

bool ProfileDocument::SectionOrder::operator()(const QByteArray &a, const QByteArray &b) const
{
    if (a == kGeneral || b == kGeneral) {
        return a == kGeneral && b != kGeneral;
    }
    return a < b;
}

std::optional<ProfileDocument> ProfileDocument::Parse(QByteArrayView bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        bytes = bytes.sliced(3);
    }
    if (bytes.contains('\0')) {
        return std::nullopt;
    }
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    (void)utf8.decode(bytes);
    if (utf8.hasError()) {
        return std::nullopt;
    }

    ProfileDocument document;
    Section *section = nullptr;
    QByteArray continued; // a value whose last line ended in a lone backslash
    qsizetype pos = 0;
    while (pos < bytes.size()) {
        qsizetype end = pos;
        while (end < bytes.size() && bytes[end] != '\n' && bytes[end] != '\r') {
            ++end;
        }
        QByteArrayView line = Trimmed(bytes.sliced(pos, end - pos));
        pos = end + 1;
        QByteArray joined;
        if (!continued.isEmpty()) {
            joined = continued + line.toByteArray();
            continued.clear();
            line = joined;
        }
        if (line.isEmpty() || line[0] == ';' || line[0] == '#') {
            continue;
        }
        if (line[0] == '[') {
            const qsizetype close = line.indexOf(']');
            if (close < 0) {
                return std::nullopt;
            }
            const QByteArrayView header = line.sliced(1, close - 1);
            auto [it, added] = document.sections_.try_emplace(DecodeName(header));
            if (added) {
                it->second.header = header.toByteArray();
            }
            section = &it->second;
            continue;
        }
        const qsizetype equals = line.indexOf('=');
        if (equals <= 0) {
            continue;
        }
        qsizetype backslashes = 0;
        while (backslashes < line.size() && line[line.size() - 1 - backslashes] == '\\') {
            ++backslashes;
        }
        if (backslashes % 2 == 1 && pos < bytes.size()) {
            continued = line.first(line.size() - 1).toByteArray();
            continue;
        }
        const QByteArrayView key = Trimmed(line.first(equals));
        if (key.isEmpty()) {
            continue;
        }
        if (section == nullptr) {
            auto [it, added] = document.sections_.try_emplace(kGeneral.toByteArray());
            if (added) {
                it->second.header = kGeneral.toByteArray();
            }
            section = &it->second;
        }
        section->entries[DecodeName(key)] = Entry {key.toByteArray(), Trimmed(line.sliced(equals + 1)).toByteArray()};
    }
    // A header with no key under it is not written back, as QSettings does not.
    std::erase_if(document.sections_, [](const auto &item) { return item.second.entries.empty(); });
    return document;
}

std::optional<QString> ProfileDocument::Text(const QByteArray &section, const QByteArray &key) const
{
    const auto s = sections_.find(section);
    if (s == sections_.end()) {
        return std::nullopt;
    }
    const auto e = s->second.entries.find(key);
    return e == s->second.entries.end() ? std::nullopt : DecodeValue(e->second.value);
}

void ProfileDocument::SetUnsaved(const QByteArray &section, const QByteArray &key, QByteArray encoded)
{
    auto s = sections_.find(section);
    if (s == sections_.end()) {
        s = sections_.emplace(section, Section {EncodeName(section), {}}).first;
    }
    auto e = s->second.entries.find(key);
    if (e == s->second.entries.end()) {
        e = s->second.entries.emplace(key, Entry {EncodeName(key), {}}).first;
    }
    e->second.value = std::move(encoded);
    unsaved_.push_back({&s->first, &e->first, &e->second});
}

void ProfileDocument::TakeUnsaved(const ProfileDocument &other)
{
    for (const UnsavedEntry &u : other.unsaved_) {
        SetUnsaved(*u.section, *u.key, u.entry->value);
    }
}

QByteArray ProfileDocument::Serialise() const
{
    qsizetype size = 0;
    for (const auto &[name, section] : sections_) {
        size += section.header.size() + 4;
        for (const auto &[key, entry] : section.entries) {
            size += entry.key.size() + entry.value.size() + 2;
        }
    }
    QByteArray text;
    text.reserve(size);
    for (const auto &[name, section] : sections_) {
        if (!text.isEmpty()) {
            text += '\n';
        }
        text += '[';
        text += section.header;
        text += "]\n";
        for (const auto &[key, entry] : section.entries) {
            text += entry.key;
            text += '=';
            text += entry.value;
            text += '\n';
        }
    }
    return text;
}

QByteArray ProfileDocument::EncodeText(const QString &value)
{
    QString text = value;
    if (text.contains(QChar(0))) {
        text = QStringLiteral("@String(") + text + u')';
    } else if (text.startsWith(u'@')) {
        text.prepend(u'@');
    }

    QByteArray out;
    out.reserve(text.size() + 2);
    bool needsQuotes = false;
    // After a \x escape a hex digit would read as part of it, so it is escaped too.
    bool escapeHexDigit = false;
    qsizetype plainFrom = -1; // start of a run of characters written as they are
    const auto flushPlain = [&](qsizetype upTo) {
        if (plainFrom >= 0) {
            out += QStringView(text).sliced(plainFrom, upTo - plainFrom).toUtf8();
            plainFrom = -1;
        }
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        needsQuotes = needsQuotes || c == u';' || c == u',' || c == u'=';
        const char *escape = nullptr;
        switch (c) {
        case u'\0':
            escape = "\\0";
            break;
        case u'\a':
            escape = "\\a";
            break;
        case u'\b':
            escape = "\\b";
            break;
        case u'\f':
            escape = "\\f";
            break;
        case u'\n':
            escape = "\\n";
            break;
        case u'\r':
            escape = "\\r";
            break;
        case u'\t':
            escape = "\\t";
            break;
        case u'\v':
            escape = "\\v";
            break;
        case u'"':
            escape = "\\\"";
            break;
        case u'\\':
            escape = "\\\\";
            break;
        default:
            break;
        }
        const bool hexEscape = escape == nullptr && (c < 0x20 || (escapeHexDigit && HexValue(QChar(c)) >= 0));
        if (escape == nullptr && !hexEscape) {
            if (plainFrom < 0) {
                plainFrom = i;
            }
            escapeHexDigit = false;
            continue;
        }
        flushPlain(i);
        if (hexEscape) {
            out += "\\x" + QByteArray::number(c, 16);
        } else {
            out += escape;
        }
        escapeHexDigit = hexEscape || c == u'\0';
    }
    flushPlain(text.size());
    if (needsQuotes || out.startsWith(' ') || out.endsWith(' ')) {
        out.prepend('"');
        out.append('"');
    }
    return out;
}

std::optional<QString> ProfileDocument::DecodeValue(QByteArrayView encoded)
{
    // Most values are plain words and numbers: nothing to undo.
    bool plain = !encoded.startsWith('@');
    for (qsizetype i = 0; plain && i < encoded.size(); ++i) {
        const char c = encoded[i];
        plain = c != '"' && c != '\\' && c != ';' && c != ',' && !IsBlank(c);
    }
    if (plain) {
        return QString::fromUtf8(encoded);
    }
    const QString text = QString::fromUtf8(encoded);
    QStringList items;
    QString current;
    QString blanks; // unquoted blanks, kept only between two unquoted characters
    bool inQuotes = false;
    bool afterUnquoted = false;
    const auto append = [&](QChar c, bool unquoted) {
        if (unquoted && afterUnquoted) {
            current += blanks;
        }
        blanks.clear();
        current += c;
        afterUnquoted = unquoted;
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'"') {
            inQuotes = !inQuotes;
            blanks.clear();
            afterUnquoted = false;
            continue;
        }
        if (c == u'\\') {
            if (++i == text.size()) {
                break;
            }
            const char16_t e = text[i].unicode();
            const bool octal = e >= u'0' && e <= u'7';
            if (e == u'x' || octal) {
                // As many digits as follow; QSettings escapes a digit after one.
                const int base = octal ? 8 : 16;
                int unit = 0;
                qsizetype d = octal ? i : i + 1;
                for (; d < text.size(); ++d) {
                    const int v = HexValue(text[d]);
                    if (v < 0 || v >= base) {
                        break;
                    }
                    unit = (unit * base + v) & 0xFFFF;
                }
                if (d > (octal ? i : i + 1)) {
                    append(QChar(static_cast<char16_t>(unit)), !inQuotes);
                }
                i = d - 1;
                continue;
            }
            static constexpr char16_t kFrom[] = u"abfnrtv\"'?\\";
            static constexpr char16_t kTo[] = u"\a\b\f\n\r\t\v\"'?\\";
            for (std::size_t k = 0; k + 1 < std::size(kFrom); ++k) {
                if (kFrom[k] == e) {
                    append(QChar(kTo[k]), !inQuotes);
                }
            }
            continue; // an unknown escape stands for nothing
        }
        if (inQuotes) {
            append(c, false);
        } else if (c == u';') {
            break;
        } else if (c == u',') {
            items << current;
            current.clear();
            blanks.clear();
            afterUnquoted = false;
        } else if (c == u' ' || c == u'\t') {
            blanks += c;
        } else {
            append(c, true);
        }
    }
    if (!items.isEmpty()) {
        items << current;
        return items.join(QLatin1String(", "));
    }
    if (!current.startsWith(u'@')) {
        return current;
    }
    if (current.startsWith(QLatin1String("@@"))) {
        return current.mid(1);
    }
    if (current.startsWith(QLatin1String("@String(")) && current.endsWith(u')')) {
        return current.mid(8, current.size() - 9);
    }
    if (current == QLatin1String("@Invalid()") || IsOtherType(current)) {
        return std::nullopt;
    }
    return current;
}
