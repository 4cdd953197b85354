#include "Scoring.h"

#include "core/Codecs.h"
#include "core/DateFormat.h"

#include <QVariant>

void AnswerLog::Clear()
{
    CorrectNo.fill(0);
    GivenNo.fill(0);
    ClearAnswerTimes();
    ExamStarted = QDateTime();
    ExamTimeMs = 0;
    CorrectCount = DontKnowCount = Percent = Mark = 0;
    NotFinished = true;
}

void AnswerLog::ClearAnswerTimes()
{
    Shown.fill(QDateTime());
    AnswerTimeMs.fill(0);
}

void AnswerLog::QuestionShown(int32_t n, const QDateTime &now)
{
    Shown[size_t(n)] = now;
}

void AnswerLog::Answered(int32_t n, int32_t correctNo, int32_t given, const QDateTime &now)
{
    const QDateTime &shown = Shown[size_t(n)];
    AnswerTimeMs[size_t(n)] = shown.isValid() ? qMax<qint64>(0, shown.msecsTo(now)) : 0;
    CorrectNo[size_t(n)] = uint8_t(correctNo);
    GivenNo[size_t(n)] = uint8_t(given);
}

QString TimeLine(const QString &label, qint64 ms)
{
    // The label is printed as it stands: its letters are never taken for date-time fields.
    return ExpandLineBreaks(label + QStringLiteral(" - ") + FormatDuration(ms / 1000));
}

char AnswerCode(int32_t given, int32_t correctNo, bool dontKnowOffered)
{
    if (dontKnowOffered && given == DontKnowAnswer)
        return '2';
    return given == correctNo ? '1' : '0';
}

ExamResult ComputeResult(const AnswerLog &log, const ExamSettings &s, const TMessages &texts)
{
    ExamResult r;
    const int32_t total = s.AllZ + 1;
    qint64 answerMs = 0;
    for (int32_t n = 0; n < total; ++n) {
        if (log.GivenNo[size_t(n)] == log.CorrectNo[size_t(n)])
            ++r.CorrectCount;
        if (log.GivenNo[size_t(n)] == DontKnowAnswer)
            ++r.DontKnowCount;
        answerMs += log.AnswerTimeMs[size_t(n)];
    }
    r.Percent = r.CorrectCount * 100 / total;
    if (s.BolNotKnow && !s.RNotKnow1) {
        if (s.RNotKnow2) {
            if (r.Percent < s.NotKnowLimit)
                r.Percent = int32_t(qMin<qint64>(
                    qint64(r.Percent) + qint64(s.NotKnowPlus) * r.DontKnowCount, s.NotKnowLimit));
        } else if (r.Percent < s.NotKnowLimit3) {
            r.Percent = int32_t(qMin<qint64>(qint64(r.Percent) + s.NotKnowPlus3, s.NotKnowLimit3));
        }
    }

    QString markText;
    if (r.Percent >= s.PO5) {
        r.Mark = 5;
        markText = s.O5;
    } else if (r.Percent >= s.PO4) {
        r.Mark = 4;
        markText = s.O4;
    } else if (r.Percent >= s.PO3) {
        r.Mark = 3;
        markText = s.O3;
    } else {
        r.Mark = 2;
        markText = s.O2;
    }

    const auto line = [](const QString &label, qint64 value) {
        return label + QStringLiteral(" - ") + QString::number(value);
    };
    r.Summary.append(line(texts[Msg::M_RAPORTALLQU], total));
    r.Summary.append(QStringLiteral("   ") + line(texts[Msg::U_REPORTQ5], r.CorrectCount));
    r.Summary.append(QStringLiteral("   ") +
                     line(texts[Msg::U_REPORTQ2], total - r.CorrectCount - r.DontKnowCount));
    if (s.BolNotKnow && r.DontKnowCount > 0)
        r.Summary.append(QStringLiteral("   ") + line(texts[Msg::M_RAPORTOCN], r.DontKnowCount));
    r.Summary.append(FormatMessage(texts[Msg::U_RESST], {r.Percent}));
    r.Summary.append(TimeLine(texts[Msg::U_ALLTIMEEXAM], log.ExamTimeMs));
    r.Summary.append(TimeLine(texts[Msg::U_ALLTIMEQ], answerMs));
    r.Summary.append(s.Oc + QStringLiteral(" ") + markText);
    return r;
}
