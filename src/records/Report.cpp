#include "Report.h"

#include "core/Codecs.h"
#include "core/DateFormat.h"

#include <QLocale>

namespace {

const QString CR = QStringLiteral("\r");
const QString CRLF = QStringLiteral("\r\n");

class Writer
{
public:
    explicit Writer(ReportSink &sink) : sink_(sink) {}
    void Text(const QString &text, ReportFont font) { sink_.Append(text, font); }
    void Line(const QString &text, ReportFont font) { sink_.Append(text + CRLF, font); }

private:
    ReportSink &sink_;
};

// "15.12.2026 - 14:05:09" as the system prints a short date and a long time, without a time
// zone.
QString DateAndTime(const QDateTime &now, const QLocale &locale)
{
    QString timeFormat = locale.timeFormat(QLocale::LongFormat);
    timeFormat.remove(QLatin1Char('t')).replace(QStringLiteral("  "), QStringLiteral(" "));
    return QStringLiteral(" - ") + locale.toString(now.date(), QLocale::ShortFormat) +
           QStringLiteral(" - ") + locale.toString(now.time(), timeFormat.trimmed());
}

QString Totals(const ReportInput &in)
{
    const TMessages &m = in.Messages;
    const AnswerLog &log = in.Log;
    const int32_t total = in.Settings.AllZ + 1;
    qint64 answerMs = 0;
    for (int32_t n = 0; n < total; ++n)
        answerMs += log.AnswerTimeMs[size_t(n)];
    QString t = m[Msg::M_RAPORTALLQU] + QStringLiteral(" - ") + QString::number(total) + CR;
    t += m[Msg::U_REPORTALL] + CR;
    t += QStringLiteral("   ") + m[Msg::U_REPORTQ5] + QStringLiteral(" - ") +
         QString::number(log.CorrectCount) + CR;
    t += QStringLiteral("   ") + m[Msg::U_REPORTQ2] + QStringLiteral(" - ") +
         QString::number(total - log.CorrectCount - log.DontKnowCount) + CR;
    t += QStringLiteral("   ");
    if (in.Settings.BolNotKnow && log.DontKnowCount > 0)
        t += m[Msg::M_RAPORTOCN] + QStringLiteral(" - ") + QString::number(log.DontKnowCount) + CR;
    t += FormatMessage(m[Msg::U_RESST], {log.Percent}) + CR + CR;
    t += TimeLine(m[Msg::U_ALLTIMEEXAM], log.ExamTimeMs) + CR;
    t += TimeLine(m[Msg::U_ALLTIMEQ], answerMs);
    return t;
}

void Header(const ReportInput &in, Writer &w)
{
    const TMessages &m = in.Messages;
    const QLocale locale =
        in.Settings.Language == 0 ? QLocale(QLocale::Russian) : QLocale::system();
    w.Text(m[Msg::M_SETEXDATETIME], ReportFont::F1);
    w.Line(DateAndTime(in.Now, locale), ReportFont::Memo15);
    w.Line(m[Msg::M_RAPORTEXAM], ReportFont::Memo15);
    w.Line(in.Titles.LabTop, ReportFont::LabTop);
    w.Line(in.Titles.LabTema, ReportFont::LabTema);
    w.Line(in.Titles.LabBut, ReportFont::LabBut);
    w.Line(QString(), ReportFont::F0);
    if (!in.Titles.LabJob.isEmpty() || !in.Titles.LabName.isEmpty())
        w.Line(m[Msg::M_RAPORTAUTHOR] + QStringLiteral("  ") + in.Titles.LabJob +
                   QStringLiteral("  ") + in.Titles.LabName,
               ReportFont::LabJob);
    w.Line(QString(), ReportFont::F0);
    w.Line(Totals(in), ReportFont::Memo15);
    w.Line(QString(), ReportFont::F0);
    w.Line(m[Msg::M_RAPORTLIMITTIME] + QStringLiteral(" - ") +
               (in.Settings.YTime ? m[Msg::M_RAPORTYES] : m[Msg::M_RAPORTNO]),
           ReportFont::Memo15);
    w.Line(m[Msg::M_SETEXRAPORT] + QStringLiteral(" - ") + m[Msg::M_SETEX1RES], ReportFont::Memo15);
    w.Text(QString(), ReportFont::F0);
}

void Question(const ReportInput &in, const TSectionIndex &sections, int32_t n, TLineList &section,
              Writer &w)
{
    const TMessages &m = in.Messages;
    sections.Get(section, QStringLiteral("V%1").arg(n));
    const int correct = ReadInt(section, QStringLiteral("CorNo"), 1);
    const int answers = ReadInt(section, QStringLiteral("AllW"), 2) & 0xFF;
    const int given = in.Log.GivenNo[size_t(n)];
    const bool dontKnow = given == DontKnowAnswer;
    // The file's index of the chosen answer; none is chosen when nothing was given.
    const int chosen = dontKnow                            ? DontKnowAnswer
                       : given >= 1 && given <= MaxAnswers ? in.Order[size_t(n)][size_t(given - 1)]
                                                           : -1;
    const QString dontKnowTail =
        CR + QString::number(answers + 1) + QStringLiteral(". [ ][*] не знаю");

    QString list;
    bool right = false;
    for (int i = 0; i < answers; ++i) {
        const QString text =
            ExpandLineBreaks(ReadStr(section, QStringLiteral("S%1").arg(i + 1), QString()));
        const bool isCorrect = i + 1 == correct;
        const bool isChosen = i == chosen;
        right = right || (isCorrect && isChosen);
        switch (in.TipResult) {
        case 0:
            list += CR + QString::number(i + 1) + QStringLiteral(". [") +
                    (isCorrect ? u'+' : u'-') + QStringLiteral("][") + (isChosen ? u'*' : u' ') +
                    QStringLiteral("] ") + text;
            break;
        case 1:
            if (isCorrect) {
                list += CR + m[Msg::U_REP0] + QStringLiteral(" ") + CR + text;
                if (isChosen)
                    list += CR + m[Msg::U_REP1] + text;
            }
            break;
        case 2:
            if (isCorrect && isChosen)
                list += m[Msg::U_REP1] + CR + text;
            break;
        case 3:
            if (!isCorrect && isChosen)
                list += m[Msg::U_REP1] + CR + text;
            break;
        default:
            break;
        }
    }
    if (dontKnow && (in.TipResult == 0 || in.TipResult == 1 || in.TipResult == 3))
        list += dontKnowTail;
    if (list.isEmpty())
        return;

    w.Line(CR + m[Msg::U_LABELQUESTION] + QStringLiteral(" № ") + QString::number(n + 1),
           ReportFont::Panel4);
    w.Line(m[Msg::M_RAPORTOPISQUE] + QStringLiteral(" ") +
               ExpandLineBreaks(ReadStr(section, QStringLiteral("Vopros"), QString())).trimmed(),
           ReportFont::Memo3);
    w.Text(QString(), ReportFont::F0);
    w.Text(m[Msg::U_REPQ], ReportFont::F1);
    w.Line(list, ReportFont::F1);
    w.Line(QString(), ReportFont::F0);
    if (right) {
        w.Text(m[Msg::U_REPORTQVEST] + QStringLiteral(" "), ReportFont::F1);
        w.Line(m[Msg::U_REPORTYES], ReportFont::F1Red);
    } else {
        w.Line(m[Msg::U_REPORTQVEST] + QStringLiteral(" ") + m[Msg::U_REPORTNOT] +
                   QStringLiteral(" ") + m[Msg::U_REPORTYES],
               ReportFont::F1);
    }
    w.Line(TimeLine(m[Msg::U_TIMEQ1], in.Log.AnswerTimeMs[size_t(n)]), ReportFont::F1);
    w.Line(QString(), ReportFont::F0);
}

class PlainSink : public ReportSink
{
public:
    void Append(const QString &text, ReportFont) override
    {
        ForEachReportLine(
            text, [this](QStringView part) { Text += part; }, [this] { Text += CRLF; });
    }
    QString Text;
};

} // namespace

void BuildReport(const ReportInput &in, ReportSink &sink)
{
    Writer w(sink);
    const int32_t total = in.Settings.AllZ + 1;
    if (in.Log.NotFinished) {
        // An interrupted examination: the time of each question, nothing else.
        for (int32_t n = 0; n < total; ++n)
            w.Line(FormatDuration(in.Log.AnswerTimeMs[size_t(n)] / 1000), ReportFont::F0);
        return;
    }
    Header(in, w);
    const TSectionIndex sections(in.ExamLines);
    TLineList section;
    for (int32_t n = 0; n < total; ++n) {
        Question(in, sections, n, section, w);
        sink.QuestionDone();
    }
    w.Text(QString(), ReportFont::F0);
}

QString PlainReport(const ReportInput &in)
{
    PlainSink sink;
    sink.Text.reserve(4096);
    BuildReport(in, sink);
    return sink.Text;
}
