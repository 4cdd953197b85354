#include "JournalExport.h"

#include "core/Cp1251.h"
#include "core/LineList.h"

#include <QHash>
#include <QRegularExpression>

const QStringList JournalExport::Columns = {
    QStringLiteral("Дата"),     QStringLiteral("Группа"),        QStringLiteral("Фамилия, имя"),
    QStringLiteral("Тема"),     QStringLiteral("Файл экзамена"), QStringLiteral("Экзамен"),
    QStringLiteral("Вопросов"), QStringLiteral("Ответы"),        QStringLiteral("Процент"),
    QStringLiteral("Оценка"),   QStringLiteral("Файл отчёта")};

namespace {

bool IsNumber(const QString &text)
{
    int32_t value;
    return StrToInt32(text, value);
}

QStringList Lines(const QByteArray &bytes)
{
    TLineList lines;
    lines.SetText(Cp1251::Decode(bytes));
    return lines.Lines();
}

} // namespace

JournalExport ExportJournals(const QByteArray &results, const QByteArray &subjects)
{
    JournalExport out;
    QHash<QString, QStringList> subject;
    int number = 0;
    for (const QString &line : Lines(subjects)) {
        ++number;
        if (line.trimmed().isEmpty())
            continue;
        const QStringList f = line.split(u'@');
        if (f.size() != 4 || !IsNumber(f[0])) {
            out.Problems.append(
                QStringLiteral("JTema.fzj line %1: not a subject line: %2").arg(number).arg(line));
            continue;
        }
        if (!subject.contains(f[0].trimmed()))
            subject.insert(f[0].trimmed(), f.mid(1));
    }
    static const QRegularExpression date(QStringLiteral("^\\d\\d/\\d\\d/\\d\\d$"));
    number = 0;
    for (const QString &line : Lines(results)) {
        ++number;
        if (line.trimmed().isEmpty())
            continue;
        const QStringList f = line.split(u'@');
        if (f.size() != 8 || !date.match(f[0]).hasMatch() || !IsNumber(f[3]) || !IsNumber(f[5]) ||
            !IsNumber(f[6])) {
            out.Problems.append(
                QStringLiteral("Journal.fzj line %1: not a result line: %2").arg(number).arg(line));
            continue;
        }
        const QStringList exam = subject.value(f[3].trimmed(), {QString(), QString(), QString()});
        out.Rows.append(
            {f[0], f[1], f[2], f[3], exam[0], exam[1], exam[2], f[4], f[5], f[6], f[7]});
        out.RowLines.append(number);
    }
    return out;
}

QByteArray AlignedTable(const JournalExport &journals)
{
    QList<QStringList> all{JournalExport::Columns};
    all += journals.Rows;
    QList<qsizetype> width(JournalExport::Columns.size(), 0);
    for (const QStringList &row : all)
        for (qsizetype c = 0; c < row.size(); ++c)
            width[c] = qMax(width[c], row[c].size());
    QString text;
    for (const QStringList &row : all) {
        QString line;
        for (qsizetype c = 0; c < row.size(); ++c)
            line += c + 1 < row.size() ? row[c].leftJustified(width[c] + 2) : row[c];
        text += line.trimmed() + u'\n';
    }
    return text.toUtf8();
}

QByteArray CsvTable(const JournalExport &journals)
{
    QList<QStringList> all{JournalExport::Columns};
    all += journals.Rows;
    return CsvRows(all);
}

QByteArray CsvRows(const QList<QStringList> &all)
{
    const auto field = [](const QString &f) {
        if (!f.contains(u',') && !f.contains(u'"') && !f.contains(u'\r') && !f.contains(u'\n'))
            return f;
        return u'"' + QString(f).replace(QStringLiteral("\""), QStringLiteral("\"\"")) + u'"';
    };
    QString text;
    for (const QStringList &row : all) {
        QStringList fields;
        for (const QString &f : row)
            fields.append(field(f));
        text += fields.join(u',') + QStringLiteral("\r\n");
    }
    return "\xEF\xBB\xBF" + text.toUtf8();
}
