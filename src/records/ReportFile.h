#pragma once

#include <QDate>
#include <QString>

#include <functional>

// The report file left with every journal line: the report as plain text, scrambled, in the
// folder "report" of the journal folder.

// "3_081226 Иванов И 1.fzr": the subject number, the date as ddmmyy, the examinee's name trimmed
// and without its full stops, and k. A "/" or "\" of the name becomes "_", so the file stays in
// its folder. A name that would make the file's name longer than MaxBytes (UTF-8) is shortened;
// the rest of the name is kept.
QString ReportFileName(int32_t subject, const QDate &date, const QString &name, int k,
                       int maxBytes = 255);

// Writes the report under File when an earlier attempt chose that name, else under the first k
// from 1 whose name is free, claimed atomically: no report file is ever replaced, whatever other
// stations write at the same moment. Chosen learns a new name before anything is written under
// it, and may stop the write by returning false (the name is noted first, so that a retry uses
// it again instead of leaving a second report). The folder is created with its parents. True
// when the report is in File: written now, or found there whole from an earlier attempt.
bool SaveReportFile(const QString &journalDir, int32_t subject, const QDate &date,
                    const QString &name, const QString &report, QString &file,
                    const std::function<bool(const QString &)> &chosen = {});
