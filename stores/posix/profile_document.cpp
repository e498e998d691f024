#include "stores/posix/profile_document.h"

#include <QStringDecoder>
#include <QStringList>

#include <algorithm>
#include <array>

namespace {

// The byte classes QSettings splits lines by: blanks and line ends are
// skipped before a line; line ends, quotes, ';', '=' and '\' end or change one.
enum : unsigned char { Space = 1, Special = 2 };
constexpr std::array<unsigned char, 256> kTraits = [] {
    std::array<unsigned char, 256> traits {};
    traits['\t'] = traits[' '] = Space;
    traits['\n'] = traits['\r'] = Space | Special;
    traits['"'] = traits[';'] = traits['='] = traits['\\'] = Special;
    return traits;
}();

unsigned char TraitsOf(char c)
{
    return kTraits[static_cast<unsigned char>(c)];
}

// "\r\n" and "\n\r" are one line end.
bool IsLineEndPair(char a, char b)
{
    return (a == '\n' && b == '\r') || (a == '\r' && b == '\n');
}

struct Line
{
    qsizetype start = 0;
    qsizetype size = 0;
    qsizetype equals = -1; // the first '=' outside quotes, -1 for none
};

// The next line from pos on, as QSettings reads one: blanks and line ends
// before it skipped, as is a comment (from a ';' at its start to the line's
// end); it ends at a line end or a ';' outside double quotes, and a
// backslash takes the next byte (a line end too) with it. False at the end.
bool ReadLine(QByteArrayView data, qsizetype &pos, Line &line)
{
    const qsizetype size = data.size();
    bool inQuotes = false;
    line.equals = -1;
    qsizetype start = pos;
    while (start < size && (TraitsOf(data[start]) & Space)) {
        ++start;
    }
    qsizetype i = start;
    while (i < size) {
        const char c = data[i++];
        if (!(TraitsOf(c) & Special)) {
            continue;
        }
        if (c == '=') {
            if (!inQuotes && line.equals < 0) {
                line.equals = i - 1;
            }
        } else if (c == '\n' || c == '\r') {
            if (i == start + 1) {
                ++start;
            } else if (!inQuotes) {
                --i;
                break;
            }
        } else if (c == '\\') {
            if (i < size) {
                const char next = data[i++];
                if (i < size && IsLineEndPair(next, data[i])) {
                    ++i;
                }
            }
        } else if (c == '"') {
            inQuotes = !inQuotes;
        } else if (i == start + 1) { // ';' opening a comment
            while (i < size && data[i] != '\n' && data[i] != '\r') {
                ++i;
            }
            while (i < size && (TraitsOf(data[i]) & Space)) {
                ++i;
            }
            start = i;
        } else if (!inQuotes) { // ';' ending the line: the rest is a comment
            --i;
            break;
        }
    }
    pos = i;
    line.start = start;
    line.size = i - start;
    return line.size > 0;
}

bool IsHexDigit(char16_t c)
{
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

bool IsPlainNameByte(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c == '-'
        || c == '.';
}

// A group or key name as QSettings decodes it: '\' stands for '/', %XX and
// %UXXXX for one UTF-16 unit each (digits as QString::toUShort takes them).
QString UnescapedName(QByteArrayView raw)
{
    const QString decoded = QString::fromUtf8(raw);
    const qsizetype size = decoded.size();
    QString result;
    result.reserve(size);
    qsizetype i = 0;
    while (i < size) {
        const QChar c = decoded[i];
        if (c == u'\\') {
            result += u'/';
            ++i;
            continue;
        }
        if (c != u'%' || i == size - 1) {
            result += c;
            ++i;
            continue;
        }
        const bool wide = decoded[i + 1] == u'U';
        const qsizetype first = wide ? i + 2 : i + 1;
        const qsizetype digits = wide ? 4 : 2;
        bool ok = first + digits <= size;
        const ushort unit = ok ? QStringView(decoded).sliced(first, digits).toUShort(&ok, 16) : 0;
        if (!ok) {
            result += u'%';
            ++i;
            continue;
        }
        result += QChar(unit);
        i = first + digits;
    }
    return result;
}

// A name as QSettings writes it: letters, digits, '_', '-' and '.' as they
// are, '/' as '\', the rest as %XX or %UXXXX. But a '/' at the end would
// be a '\' taking the '=' after it along (QSettings writes it so, and cannot
// read it back): it is written %2F, which reads back as '/'.
void AppendEscapedName(QByteArray &out, QByteArrayView name)
{
    if (std::all_of(name.begin(), name.end(), IsPlainNameByte)) {
        out += name;
        return;
    }
    // A name may begin with U+FEFF, which QString::fromUtf8() would drop.
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    const QString text = utf8(name);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c == u'/' && i + 1 < text.size()) {
            out += '\\';
        } else if (c < 0x80 && IsPlainNameByte(static_cast<char>(c))) {
            out += static_cast<char>(c);
        } else if (c <= 0xFF) {
            out += '%' + QByteArray::number(c, 16).rightJustified(2, '0').toUpper();
        } else {
            out += "%U" + QByteArray::number(c, 16).rightJustified(4, '0').toUpper();
        }
    }
}

QByteArray Owned(QByteArrayView bytes)
{
    return QByteArray(bytes.data(), bytes.size());
}

// Bytes of the text a document holds, shared rather than copied.
QByteArray Slice(QByteArrayView bytes)
{
    return QByteArray::fromRawData(bytes.data(), bytes.size());
}

// The text after "key=" as it is kept and written back: blanks that QSettings
// skips around a value dropped; and whatever would not read the same with a
// line end after it mended: quotes left open (at the end of the file) are
// closed, and a backslash with nothing after it (there too), or one that
// takes a '\r' alone, is given the '\n' it would otherwise take from the
// next line.
QByteArray SettledValue(const QByteArray &text, qsizetype begin, qsizetype end)
{
    while (begin < end && (text[begin] == ' ' || text[begin] == '\t')) {
        ++begin;
    }
    bool inQuotes = false;
    bool itemQuoted = false; // this item of a list has quotes: blanks after them count
    bool endsOnQuote = false;
    bool openEscape = false;
    qsizetype loneCrEnd = -1; // just after an escaped '\r' without its '\n'
    qsizetype significantEnd = begin;
    for (qsizetype i = begin; i < end; ++i) {
        const char c = text[i];
        if (c == '\\') {
            if (i + 1 == end) {
                openEscape = true;
            } else if (++i + 1 < end && IsLineEndPair(text[i], text[i + 1])) {
                ++i;
            } else if (text[i] == '\r') {
                loneCrEnd = i + 1;
            }
            significantEnd = std::min(i + 1, end);
            endsOnQuote = false;
            continue;
        }
        if (c == '"') {
            inQuotes = !inQuotes;
            itemQuoted = true;
            endsOnQuote = true;
        } else if (!inQuotes && (c == ' ' || c == '\t')) {
            continue;
        } else {
            if (!inQuotes && c == ',') {
                itemQuoted = false;
            }
            endsOnQuote = false;
        }
        significantEnd = i + 1;
    }
    // Blanks after the quotes of an item with more after them count. So do
    // blanks after an unfinished UTF-8 sequence, however far back (escapes
    // between leave it unfinished): they end it, as U+FFFD; so past any byte
    // outside ASCII they stay.
    const bool ascii = std::all_of(text.begin() + begin, text.begin() + end,
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (!inQuotes && !openEscape && (!itemQuoted || endsOnQuote) && ascii) {
        end = significantEnd;
    }
    const QByteArrayView kept = QByteArrayView(text).sliced(begin, end - begin);
    const bool takesLineEnd = openEscape || loneCrEnd == end;
    if (!takesLineEnd && !inQuotes) {
        return Slice(kept);
    }
    QByteArray value = Owned(kept);
    if (takesLineEnd) {
        value += '\n';
    }
    if (inQuotes) {
        value += '"';
    }
    return value;
}

// The arguments of an @Rect(...), @Size(...) or @Point(...) as QSettings
// counts them: one per blank and per ')' after the '(' at open.
qsizetype ArgumentCount(const QString &text, qsizetype open)
{
    const QStringView args = QStringView(text).sliced(open + 1);
    return args.count(u' ') + args.count(u')');
}

// A value's text as QSettings turns it into a QVariant; nothing for a type
// other than a string.
std::optional<QString> StringOf(const QString &text)
{
    if (!text.startsWith(u'@')) {
        return text;
    }
    if (text.endsWith(u')')) {
        if (text.startsWith(QLatin1String("@String("))) {
            return text.sliced(8).chopped(1);
        }
        if (text.startsWith(QLatin1String("@ByteArray(")) || text.startsWith(QLatin1String("@Variant("))
            || text.startsWith(QLatin1String("@DateTime(")) || text == QLatin1String("@Invalid()")
            || (text.startsWith(QLatin1String("@Rect(")) && ArgumentCount(text, 5) == 4)
            || (text.startsWith(QLatin1String("@Size(")) && ArgumentCount(text, 5) == 2)
            || (text.startsWith(QLatin1String("@Point(")) && ArgumentCount(text, 6) == 2)) {
            return std::nullopt;
        }
    }
    return text.startsWith(QLatin1String("@@")) ? text.sliced(1) : text;
}

// QSettings' reading of a value (iniUnescapedStringList), step for step:
// true for a list, whose items go to list.
bool Unescape(QByteArrayView str, QString &text, QStringList &list)
{
    static constexpr char kEscapes[][2]
        = {{'a', '\a'}, {'b', '\b'}, {'f', '\f'}, {'n', '\n'},  {'r', '\r'}, {'t', '\t'},
           {'v', '\v'}, {'"', '"'},  {'?', '?'},  {'\'', '\''}, {'\\', '\\'}};
    // Unquoted blanks at the end of an item are dropped, back to chopLimit.
    const auto chopBlanks = [&text](qsizetype chopLimit) {
        while (text.size() > chopLimit && (text.back() == u' ' || text.back() == u'\t')) {
            text.chop(1);
        }
    };
    bool isList = false;
    bool inQuotes = false;
    bool itemQuoted = false;
    QStringDecoder fromUtf8(QStringDecoder::Utf8);
    qsizetype i = 0;
    bool skipBlanks = true;
    qsizetype chopLimit = 0;
    while (true) {
        if (skipBlanks) {
            while (i < str.size() && (str[i] == ' ' || str[i] == '\t')) {
                ++i;
            }
            skipBlanks = false;
            chopLimit = text.size();
        }
        if (i >= str.size()) {
            if (!itemQuoted) {
                chopBlanks(chopLimit);
            }
            break;
        }
        const char c = str[i];
        if (c == '\\') {
            if (++i >= str.size()) {
                break; // a lone backslash at the end: nothing, and no blanks dropped
            }
            const char e = str[i++];
            const auto known = std::find_if(std::begin(kEscapes), std::end(kEscapes),
                                            [e](const char(&pair)[2]) { return pair[0] == e; });
            if (known != std::end(kEscapes)) {
                text += QLatin1Char((*known)[1]);
                chopLimit = text.size();
                continue;
            }
            const bool hex = e == 'x';
            const bool octal = e >= '0' && e <= '7';
            if (hex && i >= str.size()) {
                break;
            }
            if (hex || octal) {
                const int base = hex ? 16 : 8;
                const auto digit = [base](char d) {
                    const int v = d >= '0' && d <= '9' ? d - '0'
                        : d >= 'a' && d <= 'f'         ? d - 'a' + 10
                        : d >= 'A' && d <= 'F'         ? d - 'A' + 10
                                                       : 99;
                    return v < base ? v : -1;
                };
                if (hex && digit(str[i]) < 0) {
                    chopLimit = text.size(); // "\x" without a digit stands for nothing
                    continue;
                }
                char16_t unit = hex ? 0 : static_cast<char16_t>(e - '0');
                for (; i < str.size() && digit(str[i]) >= 0; ++i) {
                    unit = static_cast<char16_t>(unit * base + digit(str[i]));
                }
                text += QChar(unit);
                chopLimit = text.size();
                continue;
            }
            if ((e == '\n' || e == '\r') && i < str.size() && (str[i] == '\n' || str[i] == '\r') && str[i] != e) {
                ++i; // a continued line: "\r\n" or "\n\r" is one line end
            }
            chopLimit = text.size(); // an unknown escape stands for nothing
            continue;
        }
        if (c == '"') {
            ++i;
            itemQuoted = true;
            inQuotes = !inQuotes;
            skipBlanks = !inQuotes;
            continue;
        }
        if (c == ',' && !inQuotes) {
            if (!itemQuoted) {
                chopBlanks(chopLimit);
            }
            if (!isList) {
                isList = true;
                list.clear();
            }
            list.append(text);
            text.clear();
            itemQuoted = false;
            ++i;
            skipBlanks = true;
            continue;
        }
        qsizetype j = i + 1;
        while (j < str.size() && str[j] != '\\' && str[j] != '"' && str[j] != ',') {
            ++j;
        }
        text += fromUtf8(str.sliced(i, j - i));
        i = j;
    }
    if (isList) {
        list.append(text);
    }
    return isList;
}

} // namespace

bool ProfileDocument::NameOrder::operator()(QByteArrayView a, QByteArrayView b) const
{
    // UTF-8 sorts as code points; UTF-16, which QSettings sorts by, puts
    // U+10000 and above (surrogate pairs) before U+E000..U+FFFF. Names are
    // valid UTF-8, so a byte that differs is in the same place of a character in both.
    const qsizetype common = std::min(a.size(), b.size());
    qsizetype i = 0;
    while (i < common && a[i] == b[i]) {
        ++i;
    }
    if (i == common) {
        return a.size() < b.size();
    }
    const auto x = static_cast<unsigned char>(a[i]);
    const auto y = static_cast<unsigned char>(b[i]);
    const auto high = [](unsigned char lead) { return lead == 0xEE || lead == 0xEF; };
    if (x >= 0xF0 && high(y)) {
        return true;
    }
    if (high(x) && y >= 0xF0) {
        return false;
    }
    return x < y;
}

std::optional<ProfileDocument> ProfileDocument::Parse(const QByteArray &bytes)
{
    if (bytes.contains('\0')) {
        return std::nullopt;
    }
    // As QSettings: first the text cut at each group header (a '[' line) into
    // the parts of each group, the first part from the very start (a UTF-8
    // byte order mark included, though the headers are looked for after it).
    struct Part
    {
        QString prefix; // what the group header puts before the keys: "" or "Name/"
        qsizetype begin;
        qsizetype end;
    };
    std::vector<Part> parts;
    QString prefix;
    qsizetype partBegin = 0;
    qsizetype pos = bytes.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    qsizetype lines = 0;
    Line line;
    while (ReadLine(bytes, pos, line)) {
        if (++lines > kMaxLines) {
            return std::nullopt;
        }
        const QByteArrayView text = QByteArrayView(bytes).sliced(line.start, line.size);
        if (!text.startsWith('[')) {
            continue;
        }
        parts.push_back({prefix, partBegin, line.start});
        const qsizetype close = text.indexOf(']');
        if (close < 0) {
            return std::nullopt;
        }
        const QByteArrayView name = text.first(close).sliced(1).trimmed();
        if (name.compare("general", Qt::CaseInsensitive) == 0) {
            prefix.clear();
        } else {
            prefix = name.compare("%general", Qt::CaseInsensitive) == 0 ? QString::fromLatin1(name.sliced(1))
                                                                        : UnescapedName(name);
            prefix += u'/';
        }
        partBegin = pos;
    }
    parts.push_back({prefix, partBegin, bytes.size()});

    // Then each group's parts, groups in name order: where two lines give one
    // key, the later one read this way holds.
    std::stable_sort(parts.begin(), parts.end(), [](const Part &a, const Part &b) { return a.prefix < b.prefix; });
    ProfileDocument document;
    document.text_ = bytes;
    for (const Part &part : parts) {
        // The group a plain key lands in, and what goes before it there.
        const qsizetype slash = part.prefix.indexOf(u'/');
        const QByteArray group = slash > 0 ? part.prefix.first(slash).toUtf8() : QByteArray();
        const QByteArray keyPrefix = (slash > 0 ? part.prefix.sliced(slash + 1) : part.prefix).toUtf8();
        Entries *entries = nullptr;

        const QByteArrayView data = QByteArrayView(bytes).sliced(part.begin, part.end - part.begin);
        qsizetype at = 0;
        while (ReadLine(data, at, line)) {
            if (line.equals < 0) {
                return std::nullopt; // neither a comment nor "key=value"
            }
            const qsizetype begin = part.begin + line.start;
            const QByteArrayView rawKey = data.sliced(line.start, line.equals - line.start).trimmed();
            const QByteArray value = SettledValue(bytes, part.begin + line.equals + 1, begin + line.size);
            const bool plainKey = std::none_of(rawKey.begin(), rawKey.end(), [](char c) {
                return static_cast<unsigned char>(c) >= 0x80 || c == '%' || c == '\\' || c == '/';
            });
            if (plainKey) {
                if (entries == nullptr) {
                    entries = &document.sections_[group];
                }
                const QByteArray key = keyPrefix.isEmpty() ? Slice(rawKey) : keyPrefix + rawKey.toByteArray();
                entries->insert_or_assign(key, value);
                continue;
            }
            // A key with escapes: its group is what comes before the first
            // '/' of the whole name, prefix and key, unless that is empty.
            const QString name = part.prefix + UnescapedName(rawKey);
            const qsizetype split = name.indexOf(u'/');
            document.sections_[split > 0 ? name.first(split).toUtf8() : QByteArray()].insert_or_assign(
                (split > 0 ? name.sliced(split + 1) : name).toUtf8(), value);
        }
    }
    return document;
}

std::optional<QString> ProfileDocument::Text(QByteArrayView section, QByteArrayView key) const
{
    const auto s = sections_.find(section);
    if (s == sections_.end()) {
        return std::nullopt;
    }
    const auto e = s->second.find(key);
    return e == s->second.end() ? std::nullopt : DecodeValue(e->second);
}

bool ProfileDocument::Contains(QByteArrayView section, QByteArrayView key) const
{
    const auto s = sections_.find(section);
    return s != sections_.end() && s->second.find(key) != s->second.end();
}

void ProfileDocument::SetUnsaved(QByteArrayView section, QByteArrayView key, QByteArrayView encoded)
{
    // Names and values of its own: other documents' bytes do not live as long.
    auto s = sections_.find(section);
    if (s == sections_.end()) {
        s = sections_.emplace(Owned(section), Entries()).first;
    }
    auto e = s->second.find(key);
    if (e == s->second.end()) {
        e = s->second.emplace(Owned(key), QByteArray()).first;
    }
    e->second = Owned(encoded);
    unsaved_.push_back({&s->first, &e->first, &e->second});
}

void ProfileDocument::TakeUnsaved(const ProfileDocument &other)
{
    for (const UnsavedEntry &u : other.unsaved_) {
        SetUnsaved(*u.section, *u.key, *u.value);
    }
}

QByteArray ProfileDocument::Serialise() const
{
    qsizetype size = 0;
    for (const auto &[name, entries] : sections_) {
        size += name.size() + 12;
        for (const auto &[key, value] : entries) {
            size += key.size() + value.size() + 2;
        }
    }
    QByteArray text;
    text.reserve(size);
    for (const auto &[name, entries] : sections_) {
        if (!text.isEmpty()) {
            text += '\n';
        }
        if (name.isEmpty()) {
            text += "[General]\n";
        } else {
            // A group of that name (in any case): [General] is the keyless one.
            text += QByteArrayView(name).compare("general", Qt::CaseInsensitive) == 0 ? "[%" : "[";
            AppendEscapedName(text, name);
            text += "]\n";
        }
        for (const auto &[key, value] : entries) {
            AppendEscapedName(text, key);
            text += '=';
            text += value;
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
        const bool hexEscape = escape == nullptr && (c < 0x20 || (escapeHexDigit && IsHexDigit(c)));
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
    QString text;
    QStringList list;
    if (!Unescape(encoded, text, list)) {
        return StringOf(text);
    }
    // A list as QSettings reads it: strings, unless an item has an @ form
    // ("@@" aside), when every item is read as a value of its own.
    const bool values = std::any_of(list.begin(), list.end(), [](const QString &item) {
        return item.startsWith(u'@') && (item.size() < 2 || item[1] != u'@');
    });
    for (QString &item : list) {
        if (!values) {
            item.remove(0, item.startsWith(u'@') ? 1 : 0);
            continue;
        }
        std::optional<QString> string = StringOf(item);
        if (!string) {
            return std::nullopt;
        }
        item = std::move(*string);
    }
    return list.join(QLatin1String(", "));
}
