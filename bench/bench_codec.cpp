// Codec and container figures, each a ratio against its reference measured in the same run:
//   unscramble throughput of a 256 MB buffer / memcpy throughput of it      (target >= 0.25)
//   load of a 64 MB compressed uniform file / zlib uncompress of its body   (target <= 1.3)
// Times are the best of several runs.

#include "BestTime.h"
#include "core/Random.h"
#include "core/Scramble.h"
#include "exam/ListStreams.h"

#include <QByteArray>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <zlib.h>

namespace {

double BestSeconds(int runs, const std::function<void()> &work)
{
    return BestMs(runs, work) / 1e3;
}

QByteArray Noise(qsizetype size)
{
    QByteArray b(size, Qt::Uninitialized);
    uint32_t x = uint32_t(Random(1 << 30)) | 1u;
    for (qsizetype i = 0; i < size; ++i) {
        x ^= x << 13, x ^= x >> 17, x ^= x << 5;
        b[i] = char(x);
    }
    return b;
}

// A drawing as a bitmap holds it: 2400-byte rows of smooth colour runs with a little noise.
QByteArray BitmapLike(qsizetype size)
{
    QByteArray b(size, Qt::Uninitialized);
    uint32_t x = 12345;
    for (qsizetype i = 0; i < size; ++i) {
        const qsizetype row = i / 2400, col = i % 2400;
        x = x * 1103515245u + 12345u;
        const int noise = (x >> 28) == 0 ? int((x >> 20) & 15) : 0;
        b[i] = char(((col / 48) * 5 + (row / 64) * 3 + noise) & 0xFF);
    }
    return b;
}

struct Figures
{
    double Load;
    double Uncompress;     // into a new buffer, as a loader that knows the size would
    double UncompressWarm; // into a buffer already in memory
    qsizetype FileSize;
    qsizetype BodySize;
};

Figures MeasureContainer(const QList<ContainerEntry> &entries)
{
    const QByteArray container = BuildContainer(entries, true);
    const QByteArray file = ScrambleBytes(container, Keys::Settings);
    qsizetype bodySize = 12;
    for (const ContainerEntry &e : entries)
        bodySize += 6 + e.Name.size() + e.Data.size();
    const auto unpack = [&](QByteArray &body) {
        uLongf len = uLongf(body.size());
        if (uncompress(reinterpret_cast<Bytef *>(body.data()), &len,
                       reinterpret_cast<const Bytef *>(container.constData() + 1),
                       uLong(container.size() - 1)) != Z_OK)
            std::abort();
    };
    const double uncompressTime = BestSeconds(3, [&] {
        QByteArray body(bodySize, Qt::Uninitialized);
        unpack(body);
    });
    QByteArray warm(bodySize, '\0');
    const double warmTime = BestSeconds(3, [&] { unpack(warm); });
    const double loadTime = BestSeconds(3, [&] {
        TListStreams streams;
        streams.LoadFromScrambled(file, Keys::Settings);
    });
    return {loadTime, uncompressTime, warmTime, file.size(), bodySize};
}

} // namespace

int main()
{
    RandomSeed(1);
    const qsizetype size = qsizetype(256) << 20;
    const QByteArray source = Noise(size);
    QByteArray dest(size, Qt::Uninitialized);
    std::memset(dest.data(), 1, size_t(size));
    const double memcpyTime =
        BestSeconds(5, [&] { std::memcpy(dest.data(), source.constData(), size_t(size)); });
    const double unscrambleTime = BestSeconds(
        5, [&] { UnscrambleInto(source.constData(), size, 100, Keys::Settings, dest.data()); });
    std::printf(
        "unscramble 256 MB: %.1f ms, memcpy %.1f ms: throughput ratio %.2f (target >= 0.25)\n",
        unscrambleTime * 1e3, memcpyTime * 1e3, memcpyTime / unscrambleTime);

    // Exam-like content: half of the pictures already compressed (JPEG-like noise), half bitmaps,
    // until the compressed file is about 64 MB.
    QList<ContainerEntry> mixed{{QStringLiteral("unifileexam"), BitmapLike(200000)}};
    for (int i = 0; i < 48; ++i) {
        mixed.append({QStringLiteral("photo%1.jpg").arg(i), Noise(1 << 20)});
        mixed.append({QStringLiteral("plan%1.bmp").arg(i), BitmapLike(3 << 20)});
    }
    const Figures m = MeasureContainer(mixed);
    std::printf("load %.1f MB uniform file (%.1f MB body, mixed pictures): %.1f ms, uncompress "
                "%.1f ms: ratio %.2f (target <= 1.3); against uncompress into memory already "
                "touched (%.1f ms): %.2f\n",
                m.FileSize / 1048576.0, m.BodySize / 1048576.0, m.Load * 1e3, m.Uncompress * 1e3,
                m.Load / m.Uncompress, m.UncompressWarm * 1e3, m.Load / m.UncompressWarm);

    QList<ContainerEntry> photos{{QStringLiteral("unifileexam"), BitmapLike(200000)}};
    for (int i = 0; i < 64; ++i)
        photos.append({QStringLiteral("photo%1.jpg").arg(i), Noise(1 << 20)});
    const Figures p = MeasureContainer(photos);
    std::printf("load %.1f MB uniform file of JPEG-like pictures only (stored deflate blocks): "
                "%.1f ms, uncompress %.1f ms: ratio %.2f; warm %.1f ms: %.2f (no target)\n",
                p.FileSize / 1048576.0, p.Load * 1e3, p.Uncompress * 1e3, p.Load / p.Uncompress,
                p.UncompressWarm * 1e3, p.Load / p.UncompressWarm);
    return 0;
}
