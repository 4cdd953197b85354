#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>

// Formats a date-time with a pattern in the notation the language texts use: d dd ddd dddd
// (day, two-digit day, short and long day name), m mm mmm mmmm (month), yy yyyy (year),
// h hh (hour), n nn (minute), s ss (second); text in double or single quotes is literal; any
// other character stands as it is. Names come from Locale (month names in the form a date takes).
QString FormatDateTimePattern(const QString &pattern, const QDateTime &when, const QLocale &locale);

// A duration in seconds as "nn:ss" (minutes of the hour and seconds; hours are not printed).
QString FormatDuration(qint64 seconds);
