#include "RichReport.h"

#include "core/Codecs.h"
#include "core/Cp1251.h"
#include "core/widgets/RichText.h"

#include <QFileInfo>
#include <QHash>
#include <QPageSize>
#include <QPdfWriter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

namespace {

class RichSink : public ReportSink
{
public:
    RichSink(QTextCursor &cursor, const ReportStyles &styles, const std::function<void()> &step)
        : cursor_(cursor), step_(step)
    {
        for (size_t i = 0; i < styles.size(); ++i) {
            formats_[i].setFont(styles[i].Font);
            formats_[i].setForeground(styles[i].Color);
        }
    }

    void Append(const QString &text, ReportFont font) override
    {
        // Each line break is a paragraph of the box; a piece is laid out as far as a text box shows
        // (the report file keeps it whole).
        const QTextCharFormat &format = formats_[size_t(font)];
        ForEachReportLine(
            ShownText(text, ShownLimit::TextBox),
            [&](QStringView part) { cursor_.insertText(part.toString(), format); },
            [&] { cursor_.insertBlock(QTextBlockFormat(), format); });
    }

    void QuestionDone() override
    {
        if (step_)
            step_();
    }

private:
    QTextCursor &cursor_;
    const std::function<void()> &step_;
    std::array<QTextCharFormat, size_t(ReportFont::Count)> formats_;
};

// Text of RTF: \, { and } escaped, Windows-1251 letters as \'xx, other characters as \uN?.
void AppendRtfText(QByteArray &out, const QString &text)
{
    for (const QChar c : text) {
        const ushort u = c.unicode();
        if (u == '\\' || u == '{' || u == '}') {
            out += '\\';
            out += char(u);
        } else if (u == '\t') {
            out += "\\tab ";
        } else if (u == QChar::LineSeparator) {
            out += "\\line ";
        } else if (u >= 0x20 && u < 0x80) {
            out += char(u);
        } else if (u < 0x20) {
            continue;
        } else {
            const char b = Cp1251::EncodeChar(c);
            if (b != '?' && Cp1251::DecodeChar(uchar(b)) == c)
                out += "\\'" + QByteArray::number(uchar(b), 16).rightJustified(2, '0');
            else
                out += "\\u" + QByteArray::number(int(short(u))) + '?';
        }
    }
}

} // namespace

QFont ReportBoxFont()
{
    return QFont(QStringLiteral("Courier New"), 8);
}

ReportStyles ReportStylesOf(const SetupReading &reading, const QFont &base, const QPalette &palette)
{
    const auto of = [&base](const FontValue &font) {
        return ReportStyle{ToQFont(font, base), WindowsColor(font.Color)};
    };
    const auto title = [&](const std::optional<FontValue> &font) {
        return font ? of(*font) : ReportStyle{base, palette.color(QPalette::WindowText)};
    };
    const ExamSettings &s = reading.Settings;
    ReportStyles styles;
    const ReportStyle instructions = of(s.FontHelpExam);
    styles[size_t(ReportFont::F0)] = {ReportBoxFont(), palette.color(QPalette::Text)};
    ReportStyle f1{ReportBoxFont(), instructions.Color};
    f1.Font.setPointSizeF(instructions.Font.pointSizeF());
    styles[size_t(ReportFont::F1)] = f1;
    styles[size_t(ReportFont::F1Red)] = {f1.Font, QColor(255, 0, 0)};
    styles[size_t(ReportFont::Memo15)] = instructions;
    styles[size_t(ReportFont::LabTop)] = title(reading.TitleFonts[0]);
    styles[size_t(ReportFont::LabTema)] = title(reading.TitleFonts[1]);
    styles[size_t(ReportFont::LabBut)] = title(reading.TitleFonts[2]);
    styles[size_t(ReportFont::LabJob)] = title(reading.TitleFonts[3]);
    // The question's number, as its header shows it: bold, two points larger, green.
    QFont header = base;
    header.setBold(true);
    header.setPointSize(header.pointSize() + 2);
    styles[size_t(ReportFont::Panel4)] = {header, QColor(0, 128, 0)};
    styles[size_t(ReportFont::Memo3)] = of(s.FontQuestion);
    return styles;
}

void BuildReportInto(QTextEdit *box, const ReportInput &in, const ReportStyles &styles,
                     const std::function<void()> &step)
{
    // Built hidden: the box lays the text out once, when it is shown again.
    box->setVisible(false);
    box->clear();
    QTextCursor cursor(box->document());
    cursor.beginEditBlock();
    RichSink sink(cursor, styles, step);
    BuildReport(in, sink);
    cursor.endEditBlock();
}

QByteArray ToRtf(const QTextDocument &document)
{
    QStringList fonts;
    QList<QColor> colors{QColor(Qt::black)};
    QByteArray body;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QTextCharFormat format = fragment.charFormat();
            const QFont font = format.font();
            qsizetype f = fonts.indexOf(font.family());
            if (f < 0) {
                fonts.append(font.family());
                f = fonts.size() - 1;
            }
            const QColor color = format.foreground().color();
            qsizetype cf = colors.indexOf(color);
            if (cf < 0) {
                colors.append(color);
                cf = colors.size() - 1;
            }
            const int halfPoints = font.pointSizeF() > 0 ? int(font.pointSizeF() * 2 + 0.5) : 20;
            body += "{\\f" + QByteArray::number(f) + "\\fs" + QByteArray::number(halfPoints) +
                    (font.bold() ? "\\b" : "") + (font.italic() ? "\\i" : "") +
                    (font.underline() ? "\\ul" : "") + "\\cf" + QByteArray::number(cf + 1) + ' ';
            AppendRtfText(body, fragment.text());
            body += '}';
        }
        if (block.next().isValid())
            body += "\\par\n";
    }
    QByteArray out = "{\\rtf1\\ansi\\ansicpg1251\\deff0\n{\\fonttbl";
    for (qsizetype i = 0; i < fonts.size(); ++i) {
        out += "{\\f" + QByteArray::number(i) + "\\fnil\\fcharset204 ";
        AppendRtfText(out, fonts[i]);
        out += ";}";
    }
    out += "}\n{\\colortbl;";
    for (const QColor &c : colors)
        out += "\\red" + QByteArray::number(c.red()) + "\\green" + QByteArray::number(c.green()) +
               "\\blue" + QByteArray::number(c.blue()) + ';';
    out += "}\n\\pard\\plain ";
    out += body;
    out += "\n}\n";
    return out;
}

bool SavePdf(const QTextDocument &document, const QString &fileName)
{
    QPdfWriter writer(fileName);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setResolution(300);
    writer.setTitle(document.metaInformation(QTextDocument::DocumentTitle));
    std::unique_ptr<QTextDocument> copy(document.clone());
    copy->print(&writer);
    return QFileInfo(fileName).size() > 0;
}
