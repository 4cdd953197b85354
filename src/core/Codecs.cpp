#include "Codecs.h"

#include "core/Errors.h"

namespace {

int32_t FontField(const QString &field, int32_t whenEmpty)
{
    if (field.isEmpty())
        return whenEmpty;
    int32_t value;
    if (!StrToInt32(field, value))
        throw EConvertError::BadInteger(field);
    return value;
}

} // namespace

void StrToFont(const QString &descriptor, FontValue &font)
{
    QStringList f;
    SplitFields(descriptor, u',', f, 7);
    font.Name = f[0].isEmpty() ? QStringLiteral("MS Sans Serif") : f[0];
    font.Style = FontField(f[1], 0);
    font.Charset = FontField(f[2], 0);
    font.Color = FontField(f[3], 0);
    font.Pitch = FontField(f[4], 0);
    font.Size = FontField(f[5], 8);
}

QString FontToStr(const FontValue &font)
{
    return QStringLiteral("%1,%2,%3,%4,%5,%6")
        .arg(font.Name)
        .arg(font.Style)
        .arg(font.Charset)
        .arg(font.Color)
        .arg(font.Pitch)
        .arg(font.Size);
}

void ReadFontSection(const TLineList &lines, const QString &suffix, FontValue &font)
{
    TLineList section;
    if (!GetSection(lines, section, QStringLiteral("Font") + suffix))
        return;
    font.Name = ReadStr(section, QStringLiteral("Name"), QStringLiteral("MS Sans Serif"));
    font.Style = ReadInt(section, QStringLiteral("Style"), 0);
    font.Charset = ReadInt(section, QStringLiteral("Charset"), 0);
    font.Color = ReadInt(section, QStringLiteral("Color"), 0);
    font.Pitch = ReadInt(section, QStringLiteral("Pitch"), 0);
    font.Size = ReadInt(section, QStringLiteral("Size"), 8);
}

int SplitFields(const QString &text, QChar separator, QStringList &fields, int maxIndex)
{
    fields = QStringList();
    for (int i = 0; i <= maxIndex; ++i)
        fields.append(QString());
    int n = 0;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        if (i == text.size() || text.at(i) == separator) {
            if (n <= maxIndex)
                fields[n] = text.mid(start, i - start);
            start = i + 1;
            if (i < text.size())
                ++n;
        }
    }
    return n;
}

QString GetField(const QString &text, QChar separator, int index)
{
    if (index < 0 || index > 9)
        return QString();
    QStringList fields;
    SplitFields(text, separator, fields, 9);
    return fields[index];
}

QString ExpandLineBreaks(const QString &text)
{
    // CR LF holds no character of "&<hr>", so one pass replaces what the repeated search would.
    QString out = text;
    out.replace(QStringLiteral("&<hr>"), QStringLiteral("\r\n"));
    return out;
}

QString FoldLineBreaks(const QString &text)
{
    QString out = text;
    out.replace(QStringLiteral("\r\n"), QStringLiteral("&<hr>"));
    out.replace(u'\n', QStringLiteral("&<hr>"));
    out.replace(u'\r', QStringLiteral("&<hr>"));
    return out;
}

QString RemoveAll(const QString &text, const QString &sub)
{
    if (sub.isEmpty())
        return text;
    QString out = text;
    qsizetype from = 0;
    for (;;) {
        const qsizetype at = out.indexOf(sub, from);
        if (at < 0)
            return out;
        out.remove(at, sub.size());
        // Joining the two sides can make a new occurrence that starts before the cut.
        from = qMax<qsizetype>(0, at - sub.size() + 1);
    }
}

QString ShownText(const QString &text, qsizetype limit)
{
    if (text.size() <= limit)
        return text;
    const QString mark = QStringLiteral(" [\u2026]");
    qsizetype keep = qMax<qsizetype>(0, limit - mark.size());
    if (keep > 0 && text.at(keep - 1).isHighSurrogate())
        --keep;
    return text.left(keep) + mark;
}
