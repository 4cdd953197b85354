// A uniform file as the player reads it: unscrambled and inflated piece by piece; entries or
// ECorruptFile, and the same entries as unscrambling whole and reading the container.
#include "core/Scramble.h"
#include "exam/ListStreams.h"

#include <QBuffer>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray file(reinterpret_cast<const char *>(data), qsizetype(size));
    TListStreams piecewise, whole;
    bool piecewiseFailed = false, wholeFailed = false;
    try {
        piecewise.LoadFromScrambled(file, Keys::Settings);
    } catch (const ECorruptFile &) {
        piecewiseFailed = true;
    }
    try {
        whole.LoadFromBytes(UnscrambleBytes(file, Keys::Settings));
    } catch (const ECorruptFile &) {
        wholeFailed = true;
    }
    if (piecewiseFailed != wholeFailed || piecewise.Names() != whole.Names())
        __builtin_trap();
    for (const QString &name : piecewise.Names())
        if (piecewise.Data(name) != whole.Data(name))
            __builtin_trap();
    return 0;
}
