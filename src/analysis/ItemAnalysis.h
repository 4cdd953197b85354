#pragma once

#include "lang/Messages.h"

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QLocale>
#include <QMap>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// What the results of a journal folder tell the examiner about each exam and each question.
//
// For one exam (one subject number of "JTema.fzj", with its exam file and title; P = its
// question count, field 3 of its line):
// - The examinees: result lines of "Journal.fzj" with that subject number whose answer string
//   has exactly P characters and whose mark (field 6) is not "0" (an interrupted examination).
//   Lines of other layouts, answer strings of another length and interrupted lines are left
//   out first, then the filters apply (the group, compared as whole texts without regard to
//   letter case; the date of field 0, both ends included, yy read as 20yy), then one line per
//   examinee is taken, the first in the journal for that group and name (compared the same
//   way), unless every attempt is asked for. n = the examinees taken; an exam with none is not
//   listed.
// - x_i = 1 when character i of the answer string is "1", else 0 (don't know is not right);
//   X = the sum of x_i. Variances and covariances divide by n - 1.
// - Percent: mean, sd, median, min and max of field 5; marks: the count of each mark (field 6).
// - facility_i = 100 · mean(x_i).
// - discrimination_i = 100 · cov(x_i, X - x_i) / sqrt(var(x_i) · var(X - x_i)), the item-rest
//   correlation; none when either variance is 0 or n < 3.
// - upper_lower_i = 100 · (mean of x_i in the upper group - mean in the lower group): the
//   examinees ranked by X (the question included) from high to low, ties in journal order,
//   k = max(1, floor(0.27 · n + 0.5)), the upper group the first k, the lower the last k; none
//   when n < 4.
// - dont_know_i = 100 · the share of examinees whose character i is "2".
// - alpha (Cronbach's alpha, for 0/1 items KR-20) = P / (P - 1) · (1 - Σ var(x_i) / var(X));
//   none when P < 2, n < 2 or var(X) = 0. sem = sd(X) · sqrt(1 - alpha), in questions.
//   alpha_if_deleted_i: alpha of the exam without question i.
// - flags, only with n >= MinExaminees (fewer tell too little to judge a question by):
//   "negative discrimination" (discrimination < 0: probably the wrong answer is keyed
//   correct), "too easy" (facility > 95), "too hard" (facility < 5), "often unknown"
//   (dont_know > 30), "weakens the test" (alpha_if_deleted > alpha + 0.02), decided on the
//   unrounded figures.
// - answers_i: where the examinees' report files are in "report/" (the journal's last field
//   names each), the count of each answer text chosen, read from the report files (a don't-know
//   answer counted under "Не знаю"; answers nobody chose absent); none when no report file was
//   read.
// Nothing is ever NaN or infinite: what is undefined is none.

// The examinees an exam needs before its questions are flagged.
constexpr int MinExaminees = 20;

struct AnalysisFilter
{
    QString Group; // empty: every group
    std::optional<QDate> From, To;
    bool AllAttempts = false;
    QString ExamFile; // empty: every exam
};

struct ItemFigures
{
    int N = 0; // the question's place in the exam file, from 1
    double Facility = 0;
    std::optional<double> Discrimination;
    std::optional<double> UpperLower;
    double DontKnow = 0;
    std::optional<double> AlphaIfDeleted;
    QStringList Flags; // the English names above
    std::optional<QMap<QString, int>> Answers;
};

struct ExamFigures
{
    int32_t Subject = 0;
    QString File, Title;
    int Questions = 0;
    int Examinees = 0;
    double PercentMean = 0, PercentMedian = 0, PercentMin = 0, PercentMax = 0;
    std::optional<double> PercentSd;
    QList<int32_t> Percents;  // of each examinee, from low to high
    QMap<QString, int> Marks; // "5", "4", "3", "2" always, others as they come
    std::optional<double> Alpha, Sem;
    QList<ItemFigures> Items;
};

struct Analysis
{
    QList<ExamFigures> Exams; // by subject number
    // "Journal.fzj line 7: ..." for every line left out for its layout or its answer string.
    QStringList Problems;
};

// A report file's bytes by its name (the journal's last field), or none.
using ReportReader = std::function<std::optional<QByteArray>(const QString &name)>;

// The two journals' bytes (Windows-1251); Reports, when given, reads the report files.
Analysis Analyze(const QByteArray &results, const QByteArray &subjects,
                 const AnalysisFilter &filter = {}, const ReportReader &reports = {});
// The answer chosen for each question a report file shows, by the question's place in the exam
// file from 0: its text, or "Не знаю".
QMap<int, QString> ChosenAnswers(const QByteArray &reportFile);
// The journals of a journal folder (a local folder or a UNC name), through the folder seam;
// false when the result journal cannot be read.
bool AnalyzeFolder(const QString &dir, const AnalysisFilter &filter, Analysis &out);

// A figure with at most two decimals, or None when there is none; its decimal point that of
// Locale (the tools' point by default).
QString FigureText(const std::optional<double> &value, const QString &none,
                   const QLocale &locale = QLocale::c());
// How often each answer was chosen, the most chosen first: "Москва: 12, Казань: 3"; empty when
// no report file was read.
QString AnswersText(const ItemFigures &item);
// A date of the journals, DD/MM/YY with yy as 20yy; none when it is no date.
std::optional<QDate> JournalDate(const QString &text);
// A flag in the language of Messages.
QString FlagText(const QString &flag, const TMessages &messages);
// The figures for reading, per exam a summary and a row per question (flagged rows marked "*"),
// the flags in the language of Messages.
QByteArray StatsTable(const Analysis &analysis, const TMessages &messages = TMessages());
// One row per question, the exam's columns first (UTF-8 with BOM, RFC 4180).
QByteArray StatsCsv(const Analysis &analysis);
// {"exams": [...]}, numbers with at most two decimals, none as null.
QByteArray StatsJson(const Analysis &analysis);
