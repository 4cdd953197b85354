// The picture decoders on any bytes, the first byte choosing the kind: an image within the
// bound, or none; never a crash, and never more memory than the picture budget allows.
#include "exam/Pictures.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    static const char *const names[] = {"a.jpg", "a.gif", "a.bmp", "a.ico"};
    const QByteArray bytes(reinterpret_cast<const char *>(data) + 1, qsizetype(size - 1));
    const QImage image =
        DecodePicture(bytes, QString::fromLatin1(names[data[0] % 4]), QSize(640, 480));
    if (!image.isNull() && (image.width() > 640 || image.height() > 480))
        __builtin_trap();
    return 0;
}
