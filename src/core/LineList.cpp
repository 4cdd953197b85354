#include "LineList.h"

#include "core/Cp1251.h"
#include "core/Files.h"

namespace {

bool SameText(const QString &a, const QString &b)
{
    return a.size() == b.size() && a.compare(b, Qt::CaseInsensitive) == 0;
}

} // namespace

int TLineList::IndexOf(const QString &line) const
{
    for (int i = 0; i < lines_.size(); ++i)
        if (SameText(lines_[i], line))
            return i;
    return -1;
}

void TLineList::SetText(const QString &text)
{
    lines_.clear();
    const QChar *p = text.constData();
    const QChar *end = p + text.size();
    while (p < end && *p != QChar(0)) {
        const QChar *start = p;
        while (p < end && *p != QChar(0) && *p != u'\n' && *p != u'\r')
            ++p;
        lines_.append(QString(start, p - start));
        if (p < end && *p == u'\r')
            ++p;
        if (p < end && *p == u'\n')
            ++p;
    }
}

void TLineList::SetText(const QByteArray &bytes)
{
    SetText(Cp1251::Decode(bytes));
}

bool TLineList::LoadFromFile(const QString &fileName)
{
    QByteArray bytes;
    if (!ReadWholeFile(fileName, bytes))
        return false;
    SetText(bytes);
    return true;
}

bool GetSection(const TLineList &source, TLineList &dest, const QString &name)
{
    dest.Clear();
    const QString header = u'[' + name + u']';
    const int at = source.IndexOf(header);
    if (at < 0)
        return false;
    for (int j = at + 1; j < source.Count(); ++j) {
        const QString &line = source[j];
        dest.Add(line);
        if (line.startsWith(u'['))
            break;
    }
    return true;
}

TSectionIndex::TSectionIndex(const TLineList &source) : source_(source)
{
    // The first of equal headers counts, as the scan finds it: walked backwards, it is the last
    // one put in.
    for (int i = source.Count() - 1; i >= 0; --i) {
        const QString &line = source[i];
        if (line.startsWith(u'['))
            first_.insert(line.toCaseFolded(), i);
    }
}

bool TSectionIndex::Get(TLineList &dest, const QString &name) const
{
    dest.Clear();
    const auto it = first_.constFind((u'[' + name + u']').toCaseFolded());
    if (it == first_.constEnd())
        return false;
    for (int j = *it + 1; j < source_.Count(); ++j) {
        const QString &line = source_[j];
        dest.Add(line);
        if (line.startsWith(u'['))
            break;
    }
    return true;
}

QString ReadStr(const TLineList &lines, const QString &key, const QString &defaultValue)
{
    for (const QString &line : lines.Lines()) {
        if (line.size() <= key.size() || line.at(key.size()) != u'=')
            continue;
        // The key is the text before the first "="; a shorter key with an "=" earlier is another
        // key, even when this one's text follows it.
        if (line.left(key.size()).contains(u'='))
            continue;
        if (QStringView(line).left(key.size()).compare(key, Qt::CaseInsensitive) != 0)
            continue;
        const QString value = line.mid(key.size() + 1);
        return value.isEmpty() ? defaultValue : value;
    }
    return defaultValue;
}

bool StrToInt32(const QString &text, int32_t &value)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && text.at(i) == u' ')
        ++i;
    bool negative = false;
    if (i < n && (text.at(i) == u'-' || text.at(i) == u'+')) {
        negative = text.at(i) == u'-';
        ++i;
    }
    int base = 10;
    if (i < n && text.at(i) == u'$') {
        base = 16;
        ++i;
    } else if (i < n && (text.at(i) == u'x' || text.at(i) == u'X')) {
        base = 16;
        ++i;
    } else if (i + 1 < n && text.at(i) == u'0' &&
               (text.at(i + 1) == u'x' || text.at(i + 1) == u'X')) {
        base = 16;
        i += 2;
    }
    if (i >= n)
        return false;
    const int64_t limit = negative ? int64_t(1) << 31 : (int64_t(1) << 31) - 1;
    int64_t magnitude = 0;
    for (; i < n; ++i) {
        const char16_t c = text.at(i).unicode();
        int digit;
        if (c >= u'0' && c <= u'9')
            digit = c - u'0';
        else if (base == 16 && c >= u'a' && c <= u'f')
            digit = c - u'a' + 10;
        else if (base == 16 && c >= u'A' && c <= u'F')
            digit = c - u'A' + 10;
        else
            return false;
        magnitude = magnitude * base + digit;
        if (magnitude > limit)
            return false;
    }
    value = static_cast<int32_t>(negative ? -magnitude : magnitude);
    return true;
}

int32_t ReadInt(const TLineList &lines, const QString &key, int32_t defaultValue)
{
    const QString text = ReadStr(lines, key, QString::number(defaultValue));
    int32_t value;
    return StrToInt32(text, value) ? value : defaultValue;
}

bool ReadBool(const TLineList &lines, const QString &key, bool defaultValue)
{
    const QString text =
        ReadStr(lines, key, defaultValue ? QStringLiteral("1") : QStringLiteral("0"));
    int32_t value;
    if (!StrToInt32(text, value))
        return defaultValue;
    return (value & 0xFF) != 0;
}
