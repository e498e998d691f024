#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <map>
#include <optional>
#include <vector>

// The profile's text: the INI dialect QSettings reads and writes. Lines are
// taken apart exactly as QSettings (Qt 6.4) does, so that a text QSettings
// reports a format error for is never read as a sound profile, and a sound
// one reads as QSettings reads it; it is written back byte for byte as
// QSettings would write it (groups in name order with "General" first, keys
// sorted, a blank line between groups). Values are held as their encoded
// text, most of them as slices of the text read, and decoded only when read,
// so that opening and rewriting a profile of thousands of results stays cheap.
class ProfileDocument
{
public:
    // The most lines (group headers and values) a text may hold: a few more
    // than the result lines ProfileFile::kMaxProfileBytes holds, and a bound
    // on what a text of many short lines costs (each result of the level
    // shown is a row of the window's list).
    static constexpr qsizetype kMaxLines = 75'000;

    // Nothing for bytes QSettings cannot read without a format error (a line
    // that is neither a comment nor "key=value", a group header without its
    // "]"), nor for a NUL byte or more than kMaxLines lines. Unchanged values
    // are kept as slices of bytes, which the document holds on to.
    static std::optional<ProfileDocument> Parse(const QByteArray &bytes);

    ProfileDocument() = default;
    ProfileDocument(ProfileDocument &&) = default;
    ProfileDocument &operator=(ProfileDocument &&) = default;
    // What is unsaved points into the document itself: it is moved, never copied.
    ProfileDocument(const ProfileDocument &) = delete;
    ProfileDocument &operator=(const ProfileDocument &) = delete;

    // The decoded text of an entry; nothing when it is absent or holds a
    // value of another type (a QVariant QSettings wrote with an @ form).
    // A bare list "a, b" reads as that text.
    std::optional<QString> Text(QByteArrayView section, QByteArrayView key) const;
    bool Contains(QByteArrayView section, QByteArrayView key) const;
    // Sets an entry to its text exactly as it stands in the file, marked as
    // not yet on disk until MarkSaved().
    void SetUnsaved(QByteArrayView section, QByteArrayView key, QByteArrayView encoded);
    bool HasUnsaved() const { return !unsaved_.empty(); }
    void MarkSaved() { unsaved_.clear(); }
    // Puts the entries not yet on disk of another document on top of this one.
    void TakeUnsaved(const ProfileDocument &other);

    QByteArray Serialise() const;
    bool IsEmpty() const { return sections_.empty(); }

    // One value as QSettings writes it after the "=": quoted where blanks at
    // either end or ",;=" would not survive, escapes for controls, quotes and
    // backslashes, an @ form for a leading @ or a NUL.
    static QByteArray EncodeText(const QString &value);
    // The reverse, as QSettings reads a value, hand-edited ones too: quotes,
    // escapes (\x hex and octal too), unquoted blanks at either end dropped,
    // a list "a, b" joined again. Nothing for @ forms of other types.
    static std::optional<QString> DecodeValue(QByteArrayView encoded);

private:
    // QSettings' order: by UTF-16 code units (the keyless group "" first).
    struct NameOrder
    {
        using is_transparent = void;
        bool operator()(QByteArrayView a, QByteArrayView b) const;
    };
    // Decoded key (UTF-8) to encoded value.
    using Entries = std::map<QByteArray, QByteArray, NameOrder>;

    struct UnsavedEntry
    {
        const QByteArray *section;
        const QByteArray *key;
        const QByteArray *value;
    };

    // By decoded group name, "" for the keys written under [General]. A key
    // with a '/' in it belongs to the group before its first '/', as QSettings
    // writes it; but one that begins with '/' stays in [General] (QSettings
    // would drop that '/', and then read it back in another group).
    std::map<QByteArray, Entries, NameOrder> sections_;
    QByteArray text_; // what Parse() read: names and values left as they were point into it
    // Entries written since the last MarkSaved(); map nodes never move.
    std::vector<UnsavedEntry> unsaved_;
};
