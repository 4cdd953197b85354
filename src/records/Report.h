#pragma once

#include "core/LineList.h"
#include "exam/Questions.h"
#include "exam/Settings.h"
#include "lang/Messages.h"
#include "records/Scoring.h"

#include <QDateTime>
#include <QString>

// The detailed report of an examination: one builder, which hands its pieces of text with the
// font each is written in to a sink. The window's sink puts them into the report box with the
// controls' fonts; the plain sink gives the text of the report file.

// The fonts of the report's pieces: the report box's own (F0), the box's with the colour and
// size of the instructions (F1, and F1 in red for a correct verdict), and those of the controls
// whose texts the report repeats.
enum class ReportFont {
    F0,
    F1,
    F1Red,
    Memo15,
    LabTop,
    LabTema,
    LabBut,
    LabJob,
    Panel4,
    Memo3,
    Count
};

class ReportSink
{
public:
    virtual ~ReportSink() = default;
    // One piece of text; a CR inside it, or the CR LF that ends it, starts a new line.
    virtual void Append(const QString &text, ReportFont font) = 0;
    // One question is done (the progress bar steps).
    virtual void QuestionDone() {}
};

// The captions of the title page as they stand when the report is built.
struct ReportTitles
{
    QString LabTop, LabTema, LabBut, LabJob, LabName;
};

struct ReportInput
{
    const ExamSettings &Settings;
    const TLineList &ExamLines;
    const AnswerLog &Log;
    const AnswerOrderTable &Order;
    const TMessages &Messages;
    ReportTitles Titles;
    QDateTime Now;
    int TipResult = 0; // the report kind: the settings' for the screen, 0 for the report file
};

void BuildReport(const ReportInput &in, ReportSink &sink);

// The lines of a piece: Text(part) for each run of characters, Break() for each line break (a CR
// or LF alone, or CR LF).
template <typename T, typename B>
void ForEachReportLine(const QString &text, T textPart, B lineBreak)
{
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c != u'\r' && c != u'\n')
            continue;
        if (i > start)
            textPart(QStringView(text).mid(start, i - start));
        lineBreak();
        if (c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        textPart(QStringView(text).mid(start));
}

// The report as the report file holds it: every text, blank and line break of the report, each
// line break written CR LF.
QString PlainReport(const ReportInput &in);
