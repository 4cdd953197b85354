#pragma once

#include "records/PendingResults.h"
#include "records/Report.h"

#include <QDateTime>
#include <QString>

// What an examination leaves behind: the subject line, the report file and the result line in
// the journal folder.

// The examinee and the examination, as the window hands them over.
struct ExamRecord
{
    QString Group;
    QString Name;
    QString ExamFileName;
    const ExamSettings &Settings;
    const TLineList &ExamLines;
    const AnswerLog &Log;
    const AnswerOrderTable &Order;
    const TMessages &Messages;
    ReportTitles Titles;
};

// The exam's titles as the report prints them: the texts of the settings, line breaks expanded.
ReportTitles ReportTitlesOf(const ExamSettings &settings);

// What the journals keep between the examinees of one opened exam, in one folder.
struct JournalState
{
    QString Folder, ExamFileName, Title; // the exam and its folder
    bool SubjectPending = true; // the exam's line has not been found in the subject journal yet
    int32_t SubjectNumber = 1;
    QString ReportFileName; // full name of the last report file written
};

struct JournalWrite
{
    bool ResultWritten = false; // the result line is in the journal
    bool ResultKept = false;    // the journal could not be had: the line waits on this station
};

// The report input of a record at a moment, of the given report kind.
ReportInput ReportOf(const ExamRecord &record, const QDateTime &now, int tipResult);

// What the records of an examination need, taken now, for the journal folder Folder.
KeptResult KeptResultOf(const QString &folder, const ExamRecord &record, const QDateTime &now);

// Takes every kept result whose folder can be had one step on: the subject number (from State
// when the result is of its exam and folder, looked up otherwise, the exam's line added when it
// is new), the report file, then its line. A result whose folder holds no result journal is
// dropped, as its line always was. Each step is noted before the next.
void CompleteKeptResults(PendingResults &pending, JournalState &state);

// Writes the journals of one examination into the folder: the subject line when the exam is
// new to the subject journal (held from the lookup to the append, so that two stations cannot
// both add it), the report file when the settings ask for one, then the result line after the
// lines kept on this station for that journal. A result journal that is missing from its folder
// is not created: the result line is then dropped, as it always was; a journal that cannot be
// had, or whose folder is gone, keeps the line on this station.
// The result is kept on the station first and leaves it once its line is in the journal.
JournalWrite WriteJournals(const QString &folder, const ExamRecord &record, JournalState &state,
                           PendingResults &pending, const QDateTime &now);
