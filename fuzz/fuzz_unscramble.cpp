// The scrambled codec: unscrambling any bytes, with and without the plain-text signature, and
// the round trip of the content through the writer.
#include "core/Scramble.h"

#include <QBuffer>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    QBuffer source;
    source.setData(bytes);
    source.open(QIODevice::ReadOnly);
    (void)UnscrambleText(&source, Keys::Settings, Keys::QuestionSignature);
    const QByteArray content = UnscrambleBytes(bytes, Keys::Passwords);
    if (!content.isEmpty()) {
        const QByteArray again = ScrambleBytes(content, Keys::Passwords, uint8_t(bytes[0]));
        if (UnscrambleBytes(again, Keys::Passwords) != content)
            std::abort();
    }
    return 0;
}
