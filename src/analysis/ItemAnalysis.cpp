#include "ItemAnalysis.h"

#include "core/Cp1251.h"
#include "core/Files.h"
#include "core/FolderAccess.h"
#include "core/Scramble.h"
#include "records/JournalExport.h"

#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSet>

#include <algorithm>
#include <cmath>
#include <numeric>

namespace {

// Columns of the journal export's rows.
enum Column { Date, Group, Name, Subject, File, Title, Questions, Answers, Percent, Mark, Report };

struct Examinee
{
    QByteArray Answers;
    int32_t Percent = 0;
    QString Mark;
    QString Report; // the report file's name
};

double Round2(double v)
{
    return std::round(v * 100) / 100;
}

ExamFigures Figures(int32_t subject, const QString &file, const QString &title, int p,
                    const QList<Examinee> &people, const ReportReader &reports)
{
    ExamFigures e;
    e.Subject = subject;
    e.File = file;
    e.Title = title;
    e.Questions = p;
    const qint64 n = people.size();
    e.Examinees = int(n);
    for (const char *mark : {"5", "4", "3", "2"})
        e.Marks.insert(QString::fromLatin1(mark), 0);
    std::vector<int32_t> percents;
    percents.reserve(size_t(n));
    for (const Examinee &x : people) {
        percents.push_back(x.Percent);
        ++e.Marks[x.Mark];
    }
    std::sort(percents.begin(), percents.end());
    e.Percents = QList<int32_t>(percents.begin(), percents.end());
    const double mean = std::accumulate(percents.begin(), percents.end(), 0.0) / double(n);
    e.PercentMean = mean;
    e.PercentMin = percents.front();
    e.PercentMax = percents.back();
    e.PercentMedian = n % 2 ? percents[size_t(n / 2)]
                            : (percents[size_t(n / 2 - 1)] + percents[size_t(n / 2)]) / 2.0;
    if (n >= 2) {
        double squares = 0;
        for (int32_t v : percents)
            squares += (v - mean) * (v - mean);
        e.PercentSd = std::sqrt(squares / double(n - 1));
    }

    // Sums in whole numbers, so that a variance of 0 is 0: for each question its count of
    // right answers c_i, of don't-know answers, and S_i, the sum of X over those who got it.
    std::vector<qint64> right(size_t(p), 0), unknown(size_t(p), 0), scoreOfRight(size_t(p), 0);
    std::vector<int> total(size_t(n), 0);
    qint64 sumX = 0, sumX2 = 0;
    for (qint64 j = 0; j < n; ++j) {
        const QByteArray &a = people[j].Answers;
        int x = 0;
        for (int i = 0; i < p; ++i)
            x += a[i] == '1';
        total[size_t(j)] = x;
        sumX += x;
        sumX2 += qint64(x) * x;
        for (int i = 0; i < p; ++i) {
            if (a[i] == '1') {
                ++right[size_t(i)];
                scoreOfRight[size_t(i)] += x;
            } else if (a[i] == '2') {
                ++unknown[size_t(i)];
            }
        }
    }
    // n(n - 1) times the variances and covariances.
    const qint64 sXX = n * sumX2 - sumX * sumX;
    qint64 sumSxx = 0;
    std::vector<qint64> sxx(static_cast<size_t>(p)), sxX(static_cast<size_t>(p));
    for (int i = 0; i < p; ++i) {
        const qint64 c = right[size_t(i)];
        sxx[size_t(i)] = n * c - c * c;
        sxX[size_t(i)] = n * scoreOfRight[size_t(i)] - c * sumX;
        sumSxx += sxx[size_t(i)];
    }
    if (p >= 2 && n >= 2 && sXX > 0) {
        e.Alpha = double(p) / (p - 1) * (1 - double(sumSxx) / double(sXX));
        e.Sem = std::sqrt(double(sXX) / double(n * (n - 1))) * std::sqrt(qMax(0.0, 1 - *e.Alpha));
    }
    // The upper and lower groups: ranked by X from high to low, ties in journal order.
    std::vector<qint64> order(static_cast<size_t>(n));
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](qint64 a, qint64 b) { return total[size_t(a)] > total[size_t(b)]; });
    const qint64 k = qMax<qint64>(1, qint64(std::floor(0.27 * double(n) + 0.5)));
    for (int i = 0; i < p; ++i) {
        ItemFigures item;
        item.N = i + 1;
        item.Facility = 100.0 * double(right[size_t(i)]) / double(n);
        item.DontKnow = 100.0 * double(unknown[size_t(i)]) / double(n);
        const qint64 sRR = sXX + sxx[size_t(i)] - 2 * sxX[size_t(i)]; // of X - x_i
        const qint64 sxR = sxX[size_t(i)] - sxx[size_t(i)];
        if (n >= 3 && sxx[size_t(i)] > 0 && sRR > 0)
            item.Discrimination =
                100.0 * double(sxR) / std::sqrt(double(sxx[size_t(i)]) * double(sRR));
        if (n >= 4) {
            qint64 upper = 0, lower = 0;
            for (qint64 r = 0; r < k; ++r) {
                upper += people[order[size_t(r)]].Answers[i] == '1';
                lower += people[order[size_t(n - 1 - r)]].Answers[i] == '1';
            }
            item.UpperLower = 100.0 * double(upper - lower) / double(k);
        }
        if (p - 1 >= 2 && n >= 2 && sRR > 0)
            item.AlphaIfDeleted =
                double(p - 1) / (p - 2) * (1 - double(sumSxx - sxx[size_t(i)]) / double(sRR));
        if (n < MinExaminees) {
            e.Items.append(item);
            continue;
        }
        if (item.Discrimination && *item.Discrimination < 0)
            item.Flags.append(QStringLiteral("negative discrimination"));
        if (item.Facility > 95)
            item.Flags.append(QStringLiteral("too easy"));
        if (item.Facility < 5)
            item.Flags.append(QStringLiteral("too hard"));
        if (item.DontKnow > 30)
            item.Flags.append(QStringLiteral("often unknown"));
        if (item.AlphaIfDeleted && e.Alpha && *item.AlphaIfDeleted > *e.Alpha + 0.02)
            item.Flags.append(QStringLiteral("weakens the test"));
        e.Items.append(item);
    }
    // The answers chosen, from the report files that can be read.
    if (reports) {
        bool read = false;
        for (const Examinee &x : people) {
            if (x.Report.isEmpty())
                continue;
            const std::optional<QByteArray> bytes = reports(x.Report);
            if (!bytes)
                continue;
            read = true;
            const QMap<int, QString> chosen = ChosenAnswers(*bytes);
            for (auto c = chosen.cbegin(); c != chosen.cend(); ++c)
                if (c.key() < p) {
                    auto &answers = e.Items[c.key()].Answers;
                    if (!answers)
                        answers.emplace();
                    ++(*answers)[c.value()];
                }
        }
        if (read)
            for (ItemFigures &item : e.Items)
                if (!item.Answers)
                    item.Answers.emplace();
    }
    return e;
}

QJsonValue Json(const std::optional<double> &v)
{
    return v ? QJsonValue(Round2(*v) + 0.0) : QJsonValue(QJsonValue::Null);
}

} // namespace

QString FigureText(const std::optional<double> &v, const QString &none, const QLocale &locale)
{
    if (!v)
        return none;
    QString s = QString::number(Round2(*v), 'f', 2);
    while (s.contains(u'.') && (s.endsWith(u'0') || s.endsWith(u'.')))
        s.chop(1);
    if (s == QStringLiteral("-0"))
        s = QStringLiteral("0");
    return s.replace(u'.', locale.decimalPoint());
}

QString AnswersText(const ItemFigures &item)
{
    if (!item.Answers)
        return QString();
    QList<std::pair<QString, int>> counts;
    for (auto c = item.Answers->cbegin(); c != item.Answers->cend(); ++c)
        counts.append({c.key(), c.value()});
    std::stable_sort(counts.begin(), counts.end(),
                     [](const auto &a, const auto &b) { return a.second > b.second; });
    QStringList shown;
    for (const auto &[answer, count] : counts)
        shown.append(answer + QStringLiteral(": ") + QString::number(count));
    return shown.join(QStringLiteral(", "));
}

QMap<int, QString> ChosenAnswers(const QByteArray &reportFile)
{
    // A report lists each question as "<caption> № N", then its answers "K. [+][*] text", the
    // chosen one starred; a don't-know answer is the last, "K. [ ][*] не знаю".
    static const QRegularExpression question(QStringLiteral("^\\S+ № (\\d+)$"));
    static const QRegularExpression starred(QStringLiteral("^\\d+\\. \\[[-+ ]\\]\\[\\*\\] (.*)$"));
    QMap<int, QString> chosen;
    int current = -1;
    const QString text = Cp1251::Decode(UnscrambleBytes(reportFile, Keys::Report));
    for (const QString &line : text.split(QStringLiteral("\r\n"))) {
        const QRegularExpressionMatch q = question.match(line);
        if (q.hasMatch()) {
            current = q.captured(1).toInt() - 1;
            continue;
        }
        const QRegularExpressionMatch s = starred.match(line);
        if (current >= 0 && s.hasMatch() && !chosen.contains(current))
            chosen.insert(current, s.captured(1) == QStringLiteral("не знаю")
                                       ? QStringLiteral("Не знаю")
                                       : s.captured(1));
    }
    return chosen;
}

Analysis Analyze(const QByteArray &results, const QByteArray &subjects,
                 const AnalysisFilter &filter, const ReportReader &reports)
{
    Analysis out;
    const JournalExport journals = ExportJournals(results, subjects);
    out.Problems = journals.Problems;
    struct Exam
    {
        QString File, Title;
        int Questions = 0;
        QList<Examinee> People;
        QSet<QString> Seen;
    };
    QMap<int32_t, Exam> exams;
    const QString group = filter.Group.toCaseFolded();
    const QString examFile = filter.ExamFile.toCaseFolded();
    for (qsizetype r = 0; r < journals.Rows.size(); ++r) {
        const QStringList &row = journals.Rows[r];
        const int line = journals.RowLines[r];
        const int32_t subject = row[Subject].trimmed().toInt();
        bool known = false;
        const int p = row[Questions].trimmed().toInt(&known);
        if (!known || p <= 0) {
            out.Problems.append(
                QStringLiteral("Journal.fzj line %1: subject %2 has no line in JTema.fzj")
                    .arg(line)
                    .arg(row[Subject]));
            continue;
        }
        if (row[Answers].size() != p) {
            out.Problems.append(QStringLiteral("Journal.fzj line %1: %2 answers for %3 questions")
                                    .arg(line)
                                    .arg(row[Answers].size())
                                    .arg(p));
            continue;
        }
        if (row[Mark].trimmed() == QStringLiteral("0"))
            continue; // an interrupted examination
        if (!group.isEmpty() && row[Group].toCaseFolded() != group)
            continue;
        if (!examFile.isEmpty() && row[File].toCaseFolded() != examFile)
            continue;
        if (filter.From || filter.To) {
            const std::optional<QDate> d = JournalDate(row[Date]);
            if (!d || (filter.From && *d < *filter.From) || (filter.To && *d > *filter.To))
                continue;
        }
        Exam &exam = exams[subject];
        exam.File = row[File];
        exam.Title = row[Title];
        exam.Questions = p;
        if (!filter.AllAttempts) {
            const QString who = row[Group].toCaseFolded() + u'\x1f' + row[Name].toCaseFolded();
            if (exam.Seen.contains(who))
                continue;
            exam.Seen.insert(who);
        }
        exam.People.append({row[Answers].toLatin1(), row[Percent].trimmed().toInt(),
                            row[Mark].trimmed(), row[Report]});
    }
    for (auto it = exams.cbegin(); it != exams.cend(); ++it)
        out.Exams.append(
            Figures(it.key(), it->File, it->Title, it->Questions, it->People, reports));
    return out;
}

bool AnalyzeFolder(const QString &dir, const AnalysisFilter &filter, Analysis &out)
{
    const std::optional<QByteArray> results =
        ReadWhole(JoinPath(dir, QStringLiteral("Journal.fzj")));
    if (!results)
        return false;
    const QString reports = JoinPath(dir, QStringLiteral("report"));
    out = Analyze(*results, ReadWhole(JoinPath(dir, QStringLiteral("JTema.fzj"))).value_or(""),
                  filter, [&reports](const QString &name) {
                      // A name is a file of the folder, never a path out of it.
                      if (name.contains(u'/') || name.contains(u'\\'))
                          return std::optional<QByteArray>();
                      return ReadWhole(JoinPath(reports, name));
                  });
    return true;
}

std::optional<QDate> JournalDate(const QString &stamp)
{
    const QDate d = QDate::fromString(stamp, QStringLiteral("dd/MM/yy"));
    if (!d.isValid())
        return std::nullopt;
    return d.year() < 2000 ? d.addYears(100) : d; // yy is 20yy
}

QString FlagText(const QString &flag, const TMessages &messages)
{
    static const std::pair<const char *, Msg> texts[] = {
        {"negative discrimination", Msg::S_NEGATIVEDISCRIMINATION},
        {"too easy", Msg::S_TOOEASY},
        {"too hard", Msg::S_TOOHARD},
        {"often unknown", Msg::S_OFTENUNKNOWN},
        {"weakens the test", Msg::S_WEAKENS}};
    for (const auto &[name, msg] : texts)
        if (flag == QLatin1String(name))
            return messages[msg];
    return flag;
}

QByteArray StatsTable(const Analysis &analysis, const TMessages &messages)
{
    const QString none = QStringLiteral("—");
    QString text;
    for (const ExamFigures &e : analysis.Exams) {
        text += QStringLiteral("%1 %2 (%3): вопросов %4, экзаменуемых %5\n")
                    .arg(e.Subject)
                    .arg(e.Title, e.File)
                    .arg(e.Questions)
                    .arg(e.Examinees);
        text += QStringLiteral("процент: среднее %1, ст. откл. %2, медиана %3, от %4 до %5\n")
                    .arg(FigureText(e.PercentMean, none), FigureText(e.PercentSd, none),
                         FigureText(e.PercentMedian, none), FigureText(e.PercentMin, none),
                         FigureText(e.PercentMax, none));
        QStringList marks;
        for (auto m = e.Marks.cbegin(); m != e.Marks.cend(); ++m)
            marks.prepend(m.key() + u':' + QString::number(m.value()));
        text += QStringLiteral("оценки: %1; альфа %2, ошибка измерения %3\n")
                    .arg(marks.join(QStringLiteral(", ")), FigureText(e.Alpha, none),
                         FigureText(e.Sem, none));
        if (e.Examinees < MinExaminees)
            text += FormatMessage(messages[Msg::R_TOOFEW], {e.Examinees}) + u'\n';
        const QStringList header{QStringLiteral("№"),        QStringLiteral("лёгкость"),
                                 QStringLiteral("различ."),  QStringLiteral("в-н"),
                                 QStringLiteral("не знаю"),  QStringLiteral("альфа без"),
                                 QStringLiteral("замечания")};
        QList<QStringList> rows{header};
        for (const ItemFigures &i : e.Items)
            rows.append({QString::number(i.N) +
                             (i.Flags.isEmpty() ? QStringLiteral(" ") : QStringLiteral("*")),
                         FigureText(i.Facility, none), FigureText(i.Discrimination, none),
                         FigureText(i.UpperLower, none), FigureText(i.DontKnow, none),
                         FigureText(i.AlphaIfDeleted, none), [&] {
                             QStringList shown;
                             for (const QString &f : i.Flags)
                                 shown.append(FlagText(f, messages));
                             return shown.join(QStringLiteral("; "));
                         }()});
        QList<qsizetype> width(header.size(), 0);
        for (const QStringList &r : rows)
            for (qsizetype c = 0; c < r.size(); ++c)
                width[c] = qMax(width[c], r[c].size());
        for (const QStringList &r : rows) {
            QString l;
            for (qsizetype c = 0; c < r.size(); ++c)
                l += c + 1 < r.size() ? r[c].rightJustified(width[c]) + QStringLiteral("  ") : r[c];
            while (l.endsWith(u' '))
                l.chop(1);
            text += l + u'\n';
        }
        text += u'\n';
    }
    return text.toUtf8();
}

QByteArray StatsCsv(const Analysis &analysis)
{
    QList<QStringList> rows{{QStringLiteral("subject"), QStringLiteral("file"),
                             QStringLiteral("title"), QStringLiteral("examinees"),
                             QStringLiteral("alpha"), QStringLiteral("sem"), QStringLiteral("n"),
                             QStringLiteral("facility"), QStringLiteral("discrimination"),
                             QStringLiteral("upper_lower"), QStringLiteral("dont_know"),
                             QStringLiteral("alpha_if_deleted"), QStringLiteral("flags")}};
    for (const ExamFigures &e : analysis.Exams)
        for (const ItemFigures &i : e.Items)
            rows.append({QString::number(e.Subject), e.File, e.Title, QString::number(e.Examinees),
                         FigureText(e.Alpha, {}), FigureText(e.Sem, {}), QString::number(i.N),
                         FigureText(i.Facility, {}), FigureText(i.Discrimination, {}),
                         FigureText(i.UpperLower, {}), FigureText(i.DontKnow, {}),
                         FigureText(i.AlphaIfDeleted, {}), i.Flags.join(QStringLiteral("; "))});
    return CsvRows(rows);
}

QByteArray StatsJson(const Analysis &analysis)
{
    QJsonArray exams;
    for (const ExamFigures &e : analysis.Exams) {
        QJsonArray items;
        for (const ItemFigures &i : e.Items)
            items.append(QJsonObject{{QStringLiteral("n"), i.N},
                                     {QStringLiteral("facility"), Json(i.Facility)},
                                     {QStringLiteral("discrimination"), Json(i.Discrimination)},
                                     {QStringLiteral("upper_lower"), Json(i.UpperLower)},
                                     {QStringLiteral("dont_know"), Json(i.DontKnow)},
                                     {QStringLiteral("alpha_if_deleted"), Json(i.AlphaIfDeleted)},
                                     {QStringLiteral("flags"), QJsonArray::fromStringList(i.Flags)},
                                     {QStringLiteral("answers"), [&i]() -> QJsonValue {
                                          if (!i.Answers)
                                              return QJsonValue::Null;
                                          QJsonObject o;
                                          for (auto c = i.Answers->cbegin(); c != i.Answers->cend();
                                               ++c)
                                              o.insert(c.key(), c.value());
                                          return o;
                                      }()}});
        QJsonObject marks;
        for (auto m = e.Marks.cbegin(); m != e.Marks.cend(); ++m)
            marks.insert(m.key(), m.value());
        exams.append(QJsonObject{{QStringLiteral("subject"), e.Subject},
                                 {QStringLiteral("file"), e.File},
                                 {QStringLiteral("title"), e.Title},
                                 {QStringLiteral("questions"), e.Questions},
                                 {QStringLiteral("examinees"), e.Examinees},
                                 {QStringLiteral("percent"),
                                  QJsonObject{{QStringLiteral("mean"), Json(e.PercentMean)},
                                              {QStringLiteral("sd"), Json(e.PercentSd)},
                                              {QStringLiteral("median"), Json(e.PercentMedian)},
                                              {QStringLiteral("min"), Json(e.PercentMin)},
                                              {QStringLiteral("max"), Json(e.PercentMax)}}},
                                 {QStringLiteral("marks"), marks},
                                 {QStringLiteral("alpha"), Json(e.Alpha)},
                                 {QStringLiteral("sem"), Json(e.Sem)},
                                 {QStringLiteral("items"), items}});
    }
    return QJsonDocument(QJsonObject{{QStringLiteral("exams"), exams}})
        .toJson(QJsonDocument::Indented);
}
