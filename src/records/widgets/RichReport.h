#pragma once

#include "records/Report.h"

#include <QColor>
#include <QFont>
#include <QTextCharFormat>
#include <array>

class QTextDocument;
class QTextEdit;

// The fonts of the report's pieces, each a font and its colour.
struct ReportStyle
{
    QFont Font;
    QColor Color;
};
using ReportStyles = std::array<ReportStyle, size_t(ReportFont::Count)>;

// Builds the report into the report box with the given styles, in one edit of its document;
// Step is called after each question. The box is hidden meanwhile and stays hidden: the caller
// shows it (the report box takes its visibility at the end of every build).
void BuildReportInto(QTextEdit *box, const ReportInput &in, const ReportStyles &styles,
                     const std::function<void()> &step = {});

// The document as rich text in RTF (Windows-1251 text, a font and a colour table, runs of
// font, size, bold, italic, underline and colour, one paragraph per line).
QByteArray ToRtf(const QTextDocument &document);
// The document as a PDF file; false when it could not be written.
bool SavePdf(const QTextDocument &document, const QString &fileName);
