#include "Scramble.h"

#include "core/Cp1251.h"
#include "core/Errors.h"
#include "core/Files.h"
#include "core/Random.h"

#include <QBuffer>
#include <QSaveFile>

#include <algorithm>
#include <vector>

namespace Keys {
const QByteArray Settings = QByteArrayLiteral("Harbour\\Ledgers\\mk\\Depth");
const QByteArray Manager = QByteArrayLiteral("Registers of lesson sheets Harbour|*.hbx");
const QByteArray Passwords = QByteArrayLiteral("Storage\\PrimaryArrayConfig\\Layout\\Sensors");
const QByteArray Report = QByteArrayLiteral("Every sheet of answers Harbour|*.hbq;*.hbm|She");
const QByteArray QuestionSignature = QByteArrayLiteral("[Setup]");
} // namespace Keys

namespace {

// The working key repeated to a block of at least 4 KiB that is a whole number of keys, so the
// inner loops run without an index modulo and vectorise.
std::vector<uint8_t> KeyStream(const QByteArray &key, uint8_t methodByte, int method)
{
    const size_t length = size_t(key.size());
    std::vector<uint8_t> working(length);
    for (size_t i = 0; i < length; ++i) {
        const uint8_t b = uint8_t(key[(methodByte & 1) ? qsizetype(i) : qsizetype(length - 1 - i)]);
        working[i] = (method % 2 == 0) ? uint8_t(0u - b) : b;
    }
    const size_t repeats = (4096 + length - 1) / length;
    std::vector<uint8_t> stream(repeats * length);
    for (size_t r = 0; r < repeats; ++r)
        std::copy(working.begin(), working.end(), stream.begin() + r * length);
    return stream;
}

// Start: where in the key stream the first byte stands (a piece that does not begin the content).
template <typename Op>
void Apply(const uint8_t *in, uint8_t *out, size_t n, const std::vector<uint8_t> &ks, Op op,
           size_t start)
{
    const size_t block = ks.size();
    const uint8_t *k = ks.data();
    if (start != 0) {
        const size_t m = std::min(n, block - start);
        for (size_t j = 0; j < m; ++j)
            out[j] = op(in[j], k[start + j]);
        in += m;
        out += m;
        n -= m;
    }
    while (n > 0) {
        const size_t m = n < block ? n : block;
        for (size_t j = 0; j < m; ++j)
            out[j] = op(in[j], k[j]);
        in += m;
        out += m;
        n -= m;
    }
}

inline uint8_t Neg(uint8_t x)
{
    return uint8_t(0u - x);
}

void Transform(const uint8_t *in, uint8_t *out, size_t n, const QByteArray &key, uint8_t methodByte,
               bool scramble, uint64_t position = 0)
{
    const int method = ScrambleMethod(methodByte);
    if (method == 0 || key.isEmpty() || n == 0)
        return;
    const std::vector<uint8_t> ks = KeyStream(key, methodByte, method);
    const size_t start = size_t(position % ks.size());
    switch ((method + 1) / 2) {
    case 1:
        Apply(
            in, out, n, ks, [](uint8_t x, uint8_t k) { return uint8_t(x ^ k); }, start);
        break;
    case 2:
        if (scramble)
            Apply(
                in, out, n, ks, [](uint8_t p, uint8_t k) { return Neg(p ^ k); }, start);
        else
            Apply(
                in, out, n, ks, [](uint8_t c, uint8_t k) { return uint8_t(Neg(c) ^ k); }, start);
        break;
    case 3:
        if (scramble)
            Apply(
                in, out, n, ks, [](uint8_t p, uint8_t k) { return uint8_t(Neg(p) ^ k); }, start);
        else
            Apply(
                in, out, n, ks, [](uint8_t c, uint8_t k) { return Neg(c ^ k); }, start);
        break;
    case 4:
        if (scramble)
            Apply(
                in, out, n, ks, [](uint8_t p, uint8_t k) { return uint8_t(p + k); }, start);
        else
            Apply(
                in, out, n, ks, [](uint8_t c, uint8_t k) { return uint8_t(c - k); }, start);
        break;
    default:
        Apply(
            in, out, n, ks, [](uint8_t x, uint8_t k) { return uint8_t(k - x); }, start);
        break;
    }
}

void ReplaceContent(QIODevice *dest, const QByteArray &bytes)
{
    if (auto *buffer = qobject_cast<QBuffer *>(dest)) {
        buffer->buffer() = bytes;
        buffer->seek(bytes.size());
        return;
    }
    if (auto *file = qobject_cast<QFileDevice *>(dest))
        file->resize(0);
    dest->seek(0);
    dest->write(bytes);
}

} // namespace

int ScrambleMethod(uint8_t methodByte)
{
    const int m = (int(methodByte) - 32) / 15; // truncated toward zero
    if (m > 10 || m < 0)
        return 10;
    return m;
}

QByteArray ScrambleBytes(const QByteArray &content, const QByteArray &key, uint8_t methodByte)
{
    if (content.isEmpty() || key.isEmpty())
        return QByteArray();
    QByteArray out(content.size() + 1, Qt::Uninitialized);
    out[0] = char(methodByte);
    if (ScrambleMethod(methodByte) == 0) // no readable content follows such a byte
        std::fill(out.begin() + 1, out.end(), '\0');
    Transform(reinterpret_cast<const uint8_t *>(content.constData()),
              reinterpret_cast<uint8_t *>(out.data() + 1), size_t(content.size()), key, methodByte,
              true);
    return out;
}

uint8_t NewMethodByte()
{
    const int m = 1 + Random(10);
    const int r = Random(15);
    return uint8_t(32 + 15 * m + r);
}

QByteArray ScrambleBytes(const QByteArray &content, const QByteArray &key)
{
    return ScrambleBytes(content, key, NewMethodByte());
}

void UnscrambleInto(const char *source, qsizetype size, uint8_t methodByte, const QByteArray &key,
                    char *dest)
{
    Transform(reinterpret_cast<const uint8_t *>(source), reinterpret_cast<uint8_t *>(dest),
              size_t(size), key, methodByte, false);
}

void ScramblePiece(const char *in, char *out, qsizetype n, const QByteArray &key,
                   uint8_t methodByte, bool scramble, qint64 position)
{
    Transform(reinterpret_cast<const uint8_t *>(in), reinterpret_cast<uint8_t *>(out), size_t(n),
              key, methodByte, scramble, uint64_t(position));
}

QByteArray UnscrambleBytes(const QByteArray &source, const QByteArray &key,
                           const QByteArray &signature)
{
    if (key.isEmpty())
        return QByteArray();
    if (!signature.isEmpty() && source.startsWith(signature))
        return source;
    if (source.size() < 2)
        return QByteArray();
    const uint8_t h = uint8_t(source[0]);
    if (ScrambleMethod(h) == 0)
        return QByteArray();
    QByteArray out(source.size() - 1, Qt::Uninitialized);
    UnscrambleInto(source.constData() + 1, out.size(), h, key, out.data());
    return out;
}

void ScrambleStream(QIODevice *source, const QString &fileName, const QByteArray &key)
{
    const QByteArray content = ReadAllFromStart(source);
    if (content.isEmpty())
        return;
    const QByteArray out = ScrambleBytes(content, key);
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(out) != out.size() || !file.commit())
        throw EFCreateError::ForFile(fileName);
}

void ScrambleToStream(QIODevice *source, QIODevice *dest, const QByteArray &key)
{
    const QByteArray content = ReadAllFromStart(source);
    if (content.isEmpty())
        return;
    ReplaceContent(dest, ScrambleBytes(content, key));
}

QString UnscrambleText(QIODevice *source, const QByteArray &key, const QByteArray &signature)
{
    return Cp1251::Decode(UnscrambleBytes(ReadAllFromStart(source), key, signature));
}

void UnscrambleStream(QIODevice *source, QIODevice *dest, const QByteArray &key)
{
    ReplaceContent(dest, UnscrambleBytes(ReadAllFromStart(source), key));
}

QString LoadTextFile(const QString &fileName, const QByteArray &key, const QByteArray &signature)
{
    QByteArray bytes;
    if (!ReadWholeFile(fileName, bytes))
        throw EFOpenError::ForFile(fileName);
    return Cp1251::Decode(UnscrambleBytes(bytes, key, signature));
}

QString LoadTextFileShared(const QString &fileName, const QByteArray &key,
                           const QByteArray &signature)
{
    auto file = OpenFileRetry(fileName, fmOpenRead | fmShareExclusive);
    if (!file)
        return QString();
    const QByteArray bytes = file->readAll();
    if (bytes.size() < 2)
        return QString();
    return Cp1251::Decode(UnscrambleBytes(bytes, key, signature));
}
