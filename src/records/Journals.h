#pragma once

#include "records/Scoring.h"

#include <QByteArray>
#include <QDate>
#include <QString>

// The lines of the two journals of the journal folder, and the subject number of an exam.
// Fields are joined by "@" without quoting; the lines are Windows-1251 text ended by CR LF.

// Subject line of "JTema.fzj": number@exam file without folder@title trimmed@question count.
QString SubjectLine(int32_t number, const QString &examFileName, const QString &title,
                    int32_t questions);

// One character per question 0..AllZ in file order: "1" answered correctly, "2" don't know,
// "0" answered wrongly or never answered (an interrupted examination).
QString AnswerString(const AnswerLog &log, int32_t allZ);

// Result line of "Journal.fzj": date@group@name@subject@answers@percent@mark@report file; the
// percentage and the mark are "0" for an interrupted examination, the report file its name
// without folder (empty when none was written).
QString ResultLine(const QDate &date, const QString &group, const QString &name, int32_t subject,
                   const AnswerLog &log, int32_t allZ, const QString &reportFileName);
// The same line from its fields as they are kept.
QString ResultLine(const QDate &date, const QString &group, const QString &name, int32_t subject,
                   const QString &answers, int32_t percent, int32_t mark,
                   const QString &reportFileName);

struct SubjectLookup
{
    int32_t Number = 1;
    bool Found = false; // a line of the exam is there: no new line is written
};

// The exam's number in the subject journal's text: the first non-blank line whose file name
// or title equals the exam's (either, ignoring case) gives its number; without one, a new
// exam's number is the count of non-blank lines plus one. A number that is no number is read
// as that count plus one, as a reader of key values reads a malformed number.
SubjectLookup FindSubjectNumber(const QByteArray &journal, const QString &examFileName,
                                const QString &title);
