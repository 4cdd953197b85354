#pragma once

#include "exam/Questions.h"
#include "exam/Settings.h"
#include "lang/Messages.h"

#include <QDateTime>
#include <QStringList>
#include <array>
#include <cstdint>

// What an examination has recorded so far. Times are taken from the clock as whole date-times,
// so a question or an examination across midnight gets its true duration.
struct AnswerLog
{
    std::array<uint8_t, MaxQuestions> CorrectNo{};
    std::array<uint8_t, MaxQuestions> GivenNo{};
    // While question n is on screen: the moment it appeared; once answered: the time spent.
    std::array<QDateTime, MaxQuestions> Shown{};
    std::array<qint64, MaxQuestions> AnswerTimeMs{};
    QDateTime ExamStarted;
    qint64 ExamTimeMs = 0;
    int32_t CorrectCount = 0;
    int32_t DontKnowCount = 0;
    int32_t Percent = 0;
    int32_t Mark = 0;
    bool NotFinished = true;

    // Everything of an examinee (a new examinee starts with no percentage and no mark).
    void Clear();
    void ClearAnswerTimes();
    void QuestionShown(int32_t n, const QDateTime &now);
    // Records the answer of question n: the time spent, the correct and the given position.
    void Answered(int32_t n, int32_t correctNo, int32_t given, const QDateTime &now);
};

// The code of an answer in the monitoring messages: '2' don't know (when it is offered), '1'
// correct, '0' wrong.
char AnswerCode(int32_t given, int32_t correctNo, bool dontKnowOffered);

struct ExamResult
{
    int32_t CorrectCount = 0;
    int32_t DontKnowCount = 0;
    int32_t Percent = 0;
    int32_t Mark = 0;
    QStringList Summary; // the lines of the result page
};

// "Общее время экзамена - 02:05": the label as it stands, " - ", minutes and seconds of the
// duration (hours are not printed); "&<hr>" in the label is a line break.
QString TimeLine(const QString &label, qint64 ms);

// Counts, percentage with the don't-know bonus, mark and the summary lines.
ExamResult ComputeResult(const AnswerLog &log, const ExamSettings &settings,
                         const TMessages &texts);
