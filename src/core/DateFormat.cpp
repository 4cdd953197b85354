#include "DateFormat.h"

namespace {

int RunLength(const QString &p, qsizetype i, QChar c)
{
    int n = 0;
    while (i + n < p.size() && p.at(i + n).toLower() == c)
        ++n;
    return n;
}

QString Two(int v)
{
    return QString::asprintf("%02d", v);
}

} // namespace

QString FormatDateTimePattern(const QString &pattern, const QDateTime &when, const QLocale &locale)
{
    const QDate date = when.date();
    const QTime time = when.time();
    QString out;
    for (qsizetype i = 0; i < pattern.size();) {
        const QChar c = pattern.at(i);
        const QChar lower = c.toLower();
        if (c == u'"' || c == u'\'') {
            const qsizetype end = pattern.indexOf(c, i + 1);
            const qsizetype stop = end < 0 ? pattern.size() : end;
            out += pattern.mid(i + 1, stop - i - 1);
            i = stop + 1;
            continue;
        }
        const int n = RunLength(pattern, i, lower);
        if (lower == u'd') {
            if (n == 1)
                out += QString::number(date.day());
            else if (n == 2)
                out += Two(date.day());
            else if (n == 3)
                out += locale.dayName(date.dayOfWeek(), QLocale::ShortFormat);
            else
                out += locale.dayName(date.dayOfWeek(), QLocale::LongFormat);
            i += qMin(n, 4);
        } else if (lower == u'm') {
            if (n == 1)
                out += QString::number(date.month());
            else if (n == 2)
                out += Two(date.month());
            else if (n == 3)
                out += locale.monthName(date.month(), QLocale::ShortFormat);
            else
                out += locale.monthName(date.month(), QLocale::LongFormat);
            i += qMin(n, 4);
        } else if (lower == u'y') {
            out += n <= 2 ? Two(date.year() % 100) : QString::number(date.year());
            i += n;
        } else if (lower == u'h') {
            out += n == 1 ? QString::number(time.hour()) : Two(time.hour());
            i += qMin(n, 2);
        } else if (lower == u'n') {
            out += n == 1 ? QString::number(time.minute()) : Two(time.minute());
            i += qMin(n, 2);
        } else if (lower == u's') {
            out += n == 1 ? QString::number(time.second()) : Two(time.second());
            i += qMin(n, 2);
        } else {
            out += c;
            ++i;
        }
    }
    return out;
}

QString FormatDuration(qint64 seconds)
{
    if (seconds < 0)
        seconds = 0;
    return QString::asprintf("%02d:%02d", int((seconds / 60) % 60), int(seconds % 60));
}
