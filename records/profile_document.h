#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <cstdint>
#include <map>
#include <optional>
#include <vector>

// The profile's text: the INI dialect QSettings reads and writes, so that a
// profile written by any earlier version reads the same and is written back
// byte for byte as QSettings would write it (sections in name order with
// "General" first, keys sorted, a blank line between sections). Values are
// held as their encoded text and decoded only when read, so that opening and
// rewriting a profile of thousands of results stays cheap.
class ProfileDocument
{
public:
    // Nothing for bytes that are not such a text at all: not UTF-8, a NUL
    // byte, or a section header without its closing bracket. Lines that are
    // not "key=value" are dropped, as QSettings drops them.
    static std::optional<ProfileDocument> Parse(QByteArrayView bytes);

    // The decoded text of an entry; nothing when it is absent or holds a
    // value of another type (a QVariant QSettings wrote with an @ form).
    // A bare list "a, b" reads as that text.
    std::optional<QString> Text(const QByteArray &section, const QByteArray &key) const;
    // Sets an entry to its text exactly as it stands in the file, marked as
    // not yet on disk until MarkSaved().
    void SetUnsaved(const QByteArray &section, const QByteArray &key, QByteArray encoded);
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
    // The reverse, with QSettings' reading of hand-edited values: quotes,
    // escapes (\x hex and octal too), a ";" comment, unquoted blanks at
    // either end dropped. Nothing for @ forms of other types.
    static std::optional<QString> DecodeValue(QByteArrayView encoded);

private:
    struct Entry
    {
        QByteArray key; // as written in the file
        QByteArray value; // encoded
    };
    // QSettings writes the keyless "General" section first, then by name.
    struct SectionOrder
    {
        bool operator()(const QByteArray &a, const QByteArray &b) const;
    };
    struct Section
    {
        QByteArray header; // as written in the file
        std::map<QByteArray, Entry> entries; // by decoded key
    };

    struct UnsavedEntry
    {
        const QByteArray *section;
        const QByteArray *key;
        const Entry *entry;
    };

    std::map<QByteArray, Section, SectionOrder> sections_; // by decoded name
    // Entries written since the last MarkSaved(); map nodes never move.
    std::vector<UnsavedEntry> unsaved_;
};
