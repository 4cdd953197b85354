#include "Journals.h"

#include "Cp1251.h"
#include "Files.h"
#include "LineList.h"
#include "LineScan.h"

#include <QStringList>

#include <optional>

QString SubjectLine(int32_t number, const QString &examFileName, const QString &title, int32_t questions)
{
    return QStringList{QString::number(number), BareFileName(examFileName), title.trimmed(), QString::number(questions)}
        .join(u'@');
}

QString AnswerString(const AnswerLog &log, int32_t allZ)
{
    QString answers;
    answers.reserve(allZ + 1);
    for (int32_t n = 0; n <= allZ; ++n) {
        const uint8_t given = log.GivenNo[size_t(n)];
        if (given != 0 && given == log.CorrectNo[size_t(n)])
            answers += u'1';
        else if (given == DontKnowAnswer)
            answers += u'2';
        else
            answers += u'0';
    }
    return answers;
}

QString ResultLine(const QDate &date, const QString &group, const QString &name, int32_t subject,
                   const AnswerLog &log, int32_t allZ, const QString &reportFileName)
{
    return QStringList{DateStamp(date),
                       group,
                       name,
                       QString::number(subject),
                       AnswerString(log, allZ),
                       QString::number(log.NotFinished ? 0 : log.Percent),
                       QString::number(log.NotFinished ? 0 : log.Mark),
                       BareFileName(reportFileName)}
        .join(u'@');
}

SubjectLookup FindSubjectNumber(const QByteArray &journal, const QString &examFileName, const QString &title)
{
    // The journal is searched as bytes: the names are compared in their Windows-1251 form (as
    // they were written), ignoring case.
    const QByteArray file = Cp1251::Encode(BareFileName(examFileName));
    const QByteArray name = Cp1251::Encode(title.trimmed());
    int32_t count = 0;
    std::optional<QByteArray> number;
    ForEachLine(journal, [&](const char *b, const char *e) {
        const char *p = b;
        while (p < e && uchar(*p) <= ' ')
            ++p;
        if (p == e)
            return true; // blank lines are not counted
        ++count;
        const char *at1 = static_cast<const char *>(std::memchr(b, '@', size_t(e - b)));
        if (!at1)
            return true;
        const char *f1 = at1 + 1;
        const char *at2 = static_cast<const char *>(std::memchr(f1, '@', size_t(e - f1)));
        const char *f1End = at2 ? at2 : e;
        const char *f2 = at2 ? at2 + 1 : e;
        const char *at3 = static_cast<const char *>(std::memchr(f2, '@', size_t(e - f2)));
        const char *f2End = at3 ? at3 : e;
        if (EqualFolded(f1, f1End - f1, file) || EqualFolded(f2, f2End - f2, name)) {
            number = QByteArray(b, at1 - b);
            return false;
        }
        return true;
    });
    if (number) {
        int32_t value = 0;
        if (!StrToInt32(Cp1251::Decode(*number), value)) {
            // The rest of the journal counts too: the number a new exam would get now.
            int32_t all = 0;
            ForEachLine(journal, [&](const char *b, const char *e) {
                while (b < e && uchar(*b) <= ' ')
                    ++b;
                all += b < e;
                return true;
            });
            value = all + 1;
        }
        return {value == 0 ? 1 : value, true};
    }
    return {count + 1, false};
}
