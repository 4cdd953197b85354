// The sectioned text store and its readers on any Windows-1251 text.
#include "core/Codecs.h"
#include "core/Errors.h"
#include "core/LineList.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    TLineList lines;
    lines.SetText(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    TLineList section;
    for (const char *name : {"Setup", "V0", "V1", "FontCEdit", "0"}) {
        if (!GetSection(lines, section, QString::fromLatin1(name)))
            continue;
        (void)ReadStr(section, QStringLiteral("CEdit"), QString());
        (void)ReadInt(section, QStringLiteral("AllZ"), 1);
        (void)ReadBool(section, QStringLiteral("AnRand"), false);
        FontValue font;
        try {
            StrToFont(ReadStr(section, QStringLiteral("FontQuestion"), QString()), font);
        } catch (const EConvertError &) {
        }
        ReadFontSection(lines, QStringLiteral("CEdit"), font);
        QStringList fields;
        for (int i = 0; i < section.Count(); ++i) {
            SplitFields(section[i], u'@', fields, 9);
            (void)ExpandLineBreaks(section[i]);
            (void)RemoveAll(section[i], QStringLiteral("."));
        }
    }
    return 0;
}
