#pragma once

#include "exam/Settings.h"
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

// The report box's own font: the report's plain lines are written in it.
QFont ReportBoxFont();
// The report's styles from the exam's settings as read: the instructions' and the question's
// fonts, and each title in the font it was read with; what the exam leaves out takes the
// window's font and colours (Base, Palette).
ReportStyles ReportStylesOf(const SetupReading &reading, const QFont &base,
                            const QPalette &palette);

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
