#include "ListStreams.h"

#include "core/Cp1251.h"
#include "core/Files.h"
#include "core/Scramble.h"

#include <QBuffer>
#include <QtEndian>

#include <algorithm>
#include <cstring>
#include <new>
#include <sys/mman.h>
#include <zlib.h>

namespace {

const char Signature[8] = {0x0C, 0x00, 0x0D, 0x0E, 'C', 'O', 'D', 'E'};
const unsigned char CompressedMark = 0x26;
const unsigned char StoredMark = 0x20;

// A large body is faulted in page by page as it is inflated; huge pages make that cost small.
void AdviseHugePages(QByteArray &buffer)
{
    const uintptr_t page = 2u << 20;
    const uintptr_t begin = (reinterpret_cast<uintptr_t>(buffer.data()) + page - 1) & ~(page - 1);
    const uintptr_t end =
        (reinterpret_cast<uintptr_t>(buffer.data()) + buffer.size()) & ~(page - 1);
    if (end > begin)
        ::madvise(reinterpret_cast<void *>(begin), end - begin, MADV_HUGEPAGE);
}

// Room for Size bytes of body; false when the memory is not to be had (the body is then taken
// as damaged, as one over the limit is).
bool Grow(QByteArray &out, qsizetype size)
{
    try {
        out.resize(size);
    } catch (const std::bad_alloc &) {
        out = QByteArray();
        return false;
    }
    AdviseHugePages(out);
    return true;
}

// Inflates one zlib stream fed by Next (which fills a buffer and returns its length, 0 at the
// end of the input) into Out. False for a damaged or cut stream, or one that inflates to more
// than the limit or than the memory holds.
template <typename Feed> bool Inflate(Feed next, qsizetype sizeHint, QByteArray &out)
{
    z_stream z{};
    if (inflateInit(&z) != Z_OK)
        return false;
    if (!Grow(out, qBound<qsizetype>(64 * 1024, sizeHint, TListStreams::MaxBodySize))) {
        inflateEnd(&z);
        return false;
    }
    qsizetype produced = 0;
    int rc = Z_OK;
    const char *chunk = nullptr;
    qsizetype chunkLen = 0;
    bool inputDone = false;
    while (rc != Z_STREAM_END) {
        if (z.avail_in == 0 && !inputDone) {
            chunkLen = next(chunk);
            inputDone = chunkLen == 0;
            z.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(chunk));
            z.avail_in = uInt(chunkLen);
        }
        if (produced == out.size()) {
            if (out.size() >= TListStreams::MaxBodySize ||
                !Grow(out, qMin(out.size() * 2, TListStreams::MaxBodySize))) {
                inflateEnd(&z);
                return false;
            }
        }
        const qsizetype room = qMin<qsizetype>(out.size() - produced, 1 << 30);
        z.next_out = reinterpret_cast<Bytef *>(out.data() + produced);
        z.avail_out = uInt(room);
        rc = inflate(&z, Z_NO_FLUSH);
        produced += room - qsizetype(z.avail_out);
        if (rc == Z_BUF_ERROR && z.avail_in == 0 && inputDone)
            break; // the stream is cut short
        if (rc != Z_OK && rc != Z_STREAM_END && rc != Z_BUF_ERROR)
            break;
    }
    inflateEnd(&z);
    out.truncate(produced);
    return rc == Z_STREAM_END;
}

bool FitsAt(const QByteArray &data, qsizetype at, qsizetype need)
{
    return need >= 0 && at <= data.size() && data.size() - at >= need;
}

} // namespace

ECorruptFile::ECorruptFile() : TarvikError(QStringLiteral("The data are damaged.")) {}

TListStreams::TListStreams(QObject *owner) : QObject(owner) {}

void TListStreams::Clear()
{
    entries_.clear();
}

void TListStreams::Corrupt()
{
    if (OnCorrupt)
        OnCorrupt(this);
    throw ECorruptFile();
}

bool TListStreams::CheckSignatureAt(const QByteArray &data, qsizetype base)
{
    if (!FitsAt(data, base, 8) || std::memcmp(data.constData() + base, Signature, 8) != 0)
        Corrupt();
    return true;
}

bool TListStreams::CheckSignature(QIODevice *stream)
{
    const QByteArray data = ReadAllFromStart(stream);
    stream->seek(0);
    return CheckSignatureAt(data, 0);
}

void TListStreams::SortAndMerge(std::vector<Entry> &entries)
{
    std::stable_sort(entries.begin(), entries.end(),
                     [](const Entry &a, const Entry &b) { return a.Key < b.Key; });
    std::vector<Entry> merged;
    merged.reserve(entries.size());
    for (Entry &e : entries) {
        if (!merged.empty() && merged.back().Key == e.Key) {
            // The first spelling stays, with the data of the later entry.
            Entry &kept = merged.back();
            kept.Body = e.Body;
            kept.Offset = e.Offset;
            kept.Size = e.Size;
        } else {
            merged.push_back(std::move(e));
        }
    }
    entries.swap(merged);
}

void TListStreams::ReadEntriesAt(const QByteArray &data, qsizetype base)
{
    CheckSignatureAt(data, base);
    Clear();
    std::vector<Entry> read;
    bool damaged = false;
    qsizetype at = base + 8;
    if (!FitsAt(data, at, 4)) {
        damaged = true;
    } else {
        const int32_t count = qFromLittleEndian<qint32>(data.constData() + at);
        at += 4;
        for (int32_t i = 0; i < count; ++i) {
            // Every entry takes at least six bytes, so a count the body cannot hold ends here.
            if (!FitsAt(data, at, 2)) {
                damaged = true;
                break;
            }
            const qsizetype nameLength = qFromLittleEndian<quint16>(data.constData() + at);
            at += 2;
            if (!FitsAt(data, at, nameLength + 4)) {
                damaged = true;
                break;
            }
            Entry e;
            e.Name = Cp1251::Decode(data.constData() + at, nameLength);
            e.Key = e.Name.toCaseFolded();
            at += nameLength;
            e.Size = qFromLittleEndian<qint32>(data.constData() + at);
            at += 4;
            if (!FitsAt(data, at, e.Size)) {
                damaged = true;
                break;
            }
            e.Body = data;
            e.Offset = at;
            at += e.Size;
            read.push_back(std::move(e));
        }
    }
    SortAndMerge(read);
    entries_.swap(read);
    if (damaged)
        Corrupt();
}

void TListStreams::ReadEntries(QIODevice *stream)
{
    ReadEntriesAt(ReadAllFromStart(stream), 0);
}

void TListStreams::LoadBody(const QByteArray &data, qsizetype base, bool compressed)
{
    if (!compressed) {
        ReadEntriesAt(data, base);
    } else {
        QByteArray body;
        bool fed = false;
        const bool ok = Inflate(
            [&](const char *&chunk) -> qsizetype {
                if (fed)
                    return 0;
                fed = true;
                chunk = data.constData() + base;
                return data.size() - base;
            },
            4 * (data.size() - base), body);
        if (!ok)
            Corrupt();
        ReadEntriesAt(body, 0);
    }
    Compressed = compressed;
}

void TListStreams::LoadFromBytes(const QByteArray &container)
{
    const bool compressed = !container.isEmpty() && uchar(container[0]) == CompressedMark;
    LoadBody(container, qMin<qsizetype>(1, container.size()), compressed);
}

void TListStreams::LoadFromStream(QIODevice *source)
{
    LoadFromBytes(ReadAllFromStart(source));
}

void TListStreams::LoadFromScrambled(const QByteArray &file, const QByteArray &key)
{
    const int method = file.size() >= 2 ? ScrambleMethod(uint8_t(file[0])) : 0;
    if (method == 0 || key.isEmpty()) {
        LoadFromBytes(QByteArray());
        return;
    }
    const uint8_t h = uint8_t(file[0]);
    // The first content byte is the mark; the scrambling key runs on from it.
    char mark;
    UnscrambleInto(file.constData() + 1, 1, h, key, &mark);
    if (uchar(mark) != CompressedMark) {
        LoadFromBytes(UnscrambleBytes(file, key));
        return;
    }
    // Pieces a whole number of keys long start the key afresh, as the file does.
    const qsizetype pieceLen = ((256 * 1024) / key.size() + 1) * key.size();
    QByteArray piece(pieceLen, Qt::Uninitialized);
    const qsizetype contentLen = file.size() - 1;
    qsizetype from = 0; // content offset of the next piece
    QByteArray body;
    const bool ok = Inflate(
        [&](const char *&chunk) -> qsizetype {
            while (from < contentLen) {
                const qsizetype n = qMin(pieceLen, contentLen - from);
                UnscrambleInto(file.constData() + 1 + from, n, h, key, piece.data());
                const qsizetype skip = from == 0 ? 1 : 0; // the mark
                from += n;
                if (n > skip) {
                    chunk = piece.constData() + skip;
                    return n - skip;
                }
            }
            return 0;
        },
        4 * contentLen, body);
    if (!ok)
        Corrupt();
    ReadEntriesAt(body, 0);
    Compressed = true;
}

const TListStreams::Entry *TListStreams::Find(const QString &name) const
{
    const QString key = name.toCaseFolded();
    auto it = std::lower_bound(entries_.begin(), entries_.end(), key,
                               [](const Entry &e, const QString &k) { return e.Key < k; });
    if (it == entries_.end() || it->Key != key)
        return nullptr;
    return &*it;
}

void TListStreams::GetStream(const QString &name, QIODevice *dest) const
{
    if (name.isEmpty())
        return;
    if (const Entry *e = Find(name))
        dest->write(e->Body.constData() + e->Offset, e->Size);
    dest->seek(0);
}

QByteArray TListStreams::Data(const QString &name) const
{
    const Entry *e = Find(name);
    return e ? e->Body.mid(e->Offset, e->Size) : QByteArray();
}

bool TListStreams::Contains(const QString &name) const
{
    return Find(name) != nullptr;
}

QStringList TListStreams::Names() const
{
    QStringList names;
    for (const Entry &e : entries_)
        names.append(e.Name);
    return names;
}

QByteArray BuildContainer(const QList<ContainerEntry> &entries, bool compressed)
{
    QByteArray body(Signature, 8);
    char word[4];
    qToLittleEndian<qint32>(qint32(entries.size()), word);
    body.append(word, 4);
    for (const ContainerEntry &e : entries) {
        const QByteArray name = Cp1251::Encode(e.Name);
        qToLittleEndian<quint16>(quint16(name.size()), word);
        body.append(word, 2);
        body.append(name);
        qToLittleEndian<qint32>(qint32(e.Data.size()), word);
        body.append(word, 4);
        body.append(e.Data);
    }
    if (!compressed)
        return char(StoredMark) + body;
    uLongf packedLen = compressBound(uLong(body.size()));
    QByteArray out(qsizetype(packedLen) + 1, Qt::Uninitialized);
    out[0] = char(CompressedMark);
    if (compress2(reinterpret_cast<Bytef *>(out.data() + 1), &packedLen,
                  reinterpret_cast<const Bytef *>(body.constData()), uLong(body.size()),
                  Z_BEST_COMPRESSION) != Z_OK)
        return QByteArray();
    out.truncate(qsizetype(packedLen) + 1);
    return out;
}
