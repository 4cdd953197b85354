// The container reader on unscrambled input: any bytes must give entries or ECorruptFile.
#include "exam/ListStreams.h"

#include <QBuffer>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    QBuffer source;
    source.setData(bytes);
    source.open(QIODevice::ReadOnly);
    TListStreams streams;
    try {
        streams.LoadFromStream(&source);
    } catch (const ECorruptFile &) {
    }
    QBuffer dest;
    dest.open(QIODevice::ReadWrite);
    for (const QString &name : streams.Names())
        streams.GetStream(name, &dest);
    streams.GetStream(QStringLiteral("unifileexam"), &dest);
    return 0;
}
