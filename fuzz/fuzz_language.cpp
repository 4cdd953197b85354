// A language file: every section number read, every text bounded for the window.
#include "core/Codecs.h"
#include "core/Cp1251.h"
#include "core/LineList.h"
#include "lang/Messages.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    TLineList source;
    source.SetText(Cp1251::Decode(reinterpret_cast<const char *>(data) + 1, qsizetype(size - 1)));
    const TMessages table = ReadLanguageSection(source, data[0] % 4, data[0] / 4 % 5);
    for (const QString &text : table.Texts)
        if (text.size() > ShownLimit::Label)
            __builtin_trap();
    return 0;
}
