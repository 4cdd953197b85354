#pragma once

#include "core/Errors.h"

#include <QByteArray>
#include <QIODevice>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

// A uniform file's container is damaged: "The data are damaged.".
class ECorruptFile : public TarvikError
{
public:
    ECorruptFile();
};

// The container of named streams inside a uniform file (.uzk): a mark byte (0x26: the rest is
// one zlib stream; anything else: stored), then the body: the signature 0C 00 0D 0E "CODE", a
// signed 32-bit entry count and the entries (16-bit name length, name, signed 32-bit size,
// data), all little-endian. Entries are kept sorted by name, names compared without regard to
// case; a later entry of the same name replaces the data of the earlier one.
class TListStreams : public QObject
{
    Q_OBJECT

public:
    // An inflated body larger than this is taken as damaged rather than exhausting memory.
    static constexpr qsizetype MaxBodySize = qsizetype(1) << 30;

    explicit TListStreams(QObject *owner = nullptr);

    bool Compressed = true;
    // Called just before ECorruptFile is raised.
    std::function<void(QObject *sender)> OnCorrupt;

    void Clear();
    // Replaces the entries with those of the container (the whole stream, from its start).
    // Raises ECorruptFile. A wrong signature or a bad zlib stream leaves the entries as they
    // were; a body cut short keeps the entries read before the damage.
    void LoadFromStream(QIODevice *source);
    void LoadFromBytes(const QByteArray &container);
    // A whole uniform file: unscrambled with Key piece by piece as it is inflated, so the
    // unscrambled copy of a large file is never held at once.
    void LoadFromScrambled(const QByteArray &file, const QByteArray &key);
    // An uncompressed body.
    void ReadEntries(QIODevice *stream);
    // True when the stream begins with the signature; otherwise the corruption path.
    bool CheckSignature(QIODevice *stream);
    // Appends the entry's data to Dest at its position, then rewinds Dest. An empty name does
    // nothing; a name not in the list only rewinds.
    void GetStream(const QString &name, QIODevice *dest) const;

    // The entry's data (empty when there is none).
    QByteArray Data(const QString &name) const;
    bool Contains(const QString &name) const;
    int Count() const { return int(entries_.size()); }
    // Names in list order, and the size of each entry.
    QStringList Names() const;
    qsizetype SizeAt(int index) const { return entries_[size_t(index)].Size; }

private:
    struct Entry
    {
        QString Name;
        QString Key;     // case-folded name
        QByteArray Body; // shared with every entry of the same load
        qsizetype Offset = 0;
        qsizetype Size = 0;
    };

    [[noreturn]] void Corrupt();
    bool CheckSignatureAt(const QByteArray &data, qsizetype base);
    void ReadEntriesAt(const QByteArray &data, qsizetype base);
    void LoadBody(const QByteArray &data, qsizetype base, bool compressed);
    const Entry *Find(const QString &name) const;
    static void SortAndMerge(std::vector<Entry> &entries);

    std::vector<Entry> entries_;
};

struct ContainerEntry
{
    QString Name;
    QByteArray Data;
};

// A container stream (mark byte and body) holding the entries in the given order; compressed
// as one zlib stream, or stored.
QByteArray BuildContainer(const QList<ContainerEntry> &entries, bool compressed);
