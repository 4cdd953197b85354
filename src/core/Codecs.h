#pragma once

#include "core/LineList.h"

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
// The descriptor StrToFont reads back.
QString FontToStr(const FontValue &font);
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
// The other way: each line break (CR LF, LF or CR) as the exam files write it, "&<hr>", so the
// text stands on one line of the sectioned text.
QString FoldLineBreaks(const QString &text);

// How much of a text of an exam or language file the window lays out. The file's value is kept
// whole for the records; beyond these lengths the window shows the start and a mark.
namespace ShownLimit {
constexpr qsizetype TextBox = 100'000; // a question, an answer, the instructions, report pieces
constexpr qsizetype Label = 2'000;     // title-page labels, list items, language texts
constexpr qsizetype Title = 255;       // the window's title (the window system's limit is near)
} // namespace ShownLimit
// Text as the window shows it: at most Limit characters (never half a character); a longer text
// is cut and ends with " […]", so the reader sees that it was cut.
QString ShownText(const QString &text, qsizetype limit);
// Removes Sub again and again until none is left.
QString RemoveAll(const QString &text, const QString &sub);
inline QString IfStr(bool flag, const QString &ifTrue, const QString &ifFalse)
{
    return flag ? ifTrue : ifFalse;
}
