#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// The journals as an examiner reads them in a spreadsheet: one row per result line, joined
// with the line of its subject.

struct JournalExport
{
    // Date, group, name, subject number, exam file, exam title, question count, answers,
    // percent, mark, report file.
    static const QStringList Columns;
    QList<QStringList> Rows;
    QList<int> RowLines; // the line of "Journal.fzj" each row comes from, from 1
    // "Journal.fzj line 7: ..." for every line of another layout, which is left out.
    QStringList Problems;
};

// The two journals' bytes (Windows-1251).
JournalExport ExportJournals(const QByteArray &results, const QByteArray &subjects);

// A table for reading, columns aligned, header first (UTF-8, LF).
QByteArray AlignedTable(const JournalExport &journals);
// RFC 4180 CSV in UTF-8 after a byte-order mark, header first, CR LF line ends.
QByteArray CsvTable(const JournalExport &journals);
// The same of any rows.
QByteArray CsvRows(const QList<QStringList> &rows);
