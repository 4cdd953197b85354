#pragma once

#include "LineList.h"

#include <QString>
#include <QStringList>
#include <cstdint>

// The six properties the program sets on a font, in the order they are always set.
struct FontValue
{
    QString Name = QStringLiteral("MS Sans Serif");
    int32_t Style = 0; // 1 bold, 2 italic, 4 underline, 8 strike-out
    int32_t Charset = 0;
    int32_t Color = 0; // 0x00BBGGRR, or 0x80000000 + n for system colour n
    int32_t Pitch = 0;
    int32_t Size = 8; // points

    bool operator==(const FontValue &o) const
    {
        return Name == o.Name && Style == o.Style && Charset == o.Charset && Color == o.Color &&
               Pitch == o.Pitch && Size == o.Size;
    }
};

// "Name,Style,Charset,Color,Pitch,Size". Raises EConvertError for a numeric field that is not an
// integer; the properties before that field are already set on Font.
void StrToFont(const QString &descriptor, FontValue &font);
// Section [Font<Suffix>] with keys Name, Style, Charset, Color, Pitch, Size; a missing section
// leaves Font as it was.
void ReadFontSection(const TLineList &lines, const QString &suffix, FontValue &font);

// Splits Text at Separator into fields[0..maxIndex] (characters of further fields are dropped);
// returns the number of separators met.
int SplitFields(const QString &text, QChar separator, QStringList &fields, int maxIndex);
// Field Index (0..9) of a record; empty above 9.
QString GetField(const QString &text, QChar separator, int index);

// Every "&<hr>" becomes CR LF.
QString ExpandLineBreaks(const QString &text);
// Removes Sub again and again until none is left.
QString RemoveAll(const QString &text, const QString &sub);
inline QString IfStr(bool flag, const QString &ifTrue, const QString &ifFalse)
{
    return flag ? ifTrue : ifFalse;
}
