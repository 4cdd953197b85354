// What a monitoring server receives from a station and what a station receives from a server,
// in pieces cut where the first bytes say: whole messages only, bounded buffers.
#include "records/MonitorServer.h"
#include "records/ServerLink.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 2)
        return 0;
    const size_t cut = 1 + data[0] % 64;
    MonitorParser parser;
    QByteArray received;
    for (size_t at = 1; at < size; at += cut) {
        const QByteArray piece(reinterpret_cast<const char *>(data) + at,
                               qsizetype(std::min(cut, size - at)));
        for (const MonitorMessage &m : parser.Feed(piece))
            if (m.Tag.isEmpty())
                __builtin_trap();
        received += piece;
        int32_t number = 0;
        TakeNumber(received, number);
        if (received.size() > 16)
            __builtin_trap();
    }
    return 0;
}
