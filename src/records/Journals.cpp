#include "Journals.h"

#include "core/Cp1251.h"
#include "core/Files.h"
#include "core/LineList.h"
#include "core/LineScan.h"

#include <QStringList>

#include <cstring>
#include <optional>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

QString SubjectLine(int32_t number, const QString &examFileName, const QString &title,
                    int32_t questions)
{
    return QStringList{QString::number(number), BareFileName(examFileName), title.trimmed(),
                       QString::number(questions)}
        .join(u'@');
}

QString AnswerString(const AnswerLog &log, int32_t allZ)
{
    QString answers;
    answers.reserve(allZ + 1);
    for (int32_t n = 0; n <= allZ; ++n) {
        const uint8_t given = log.GivenNo[size_t(n)];
        if (given != 0 && given == log.CorrectNo[size_t(n)])
            answers += u'1';
        else if (given == DontKnowAnswer)
            answers += u'2';
        else
            answers += u'0';
    }
    return answers;
}

QString ResultLine(const QDate &date, const QString &group, const QString &name, int32_t subject,
                   const AnswerLog &log, int32_t allZ, const QString &reportFileName)
{
    return ResultLine(date, group, name, subject, AnswerString(log, allZ),
                      log.NotFinished ? 0 : log.Percent, log.NotFinished ? 0 : log.Mark,
                      reportFileName);
}

QString ResultLine(const QDate &date, const QString &group, const QString &name, int32_t subject,
                   const QString &answers, int32_t percent, int32_t mark,
                   const QString &reportFileName)
{
    return QStringList{DateStamp(date),
                       group,
                       name,
                       QString::number(subject),
                       answers,
                       QString::number(percent),
                       QString::number(mark),
                       BareFileName(reportFileName)}
        .join(u'@');
}

namespace {

// Calls Line(begin, end, at) for each line of Text as TLineList::SetText splits it (CR, LF,
// CR LF one break, a NUL ends the text), At holding where its first three "@" are (null when
// fewer). The subject journal is read at every first journal write of an exam and grows by a
// line per exam file: its bytes are looked at sixteen at a time for the few that matter.
template <typename F> void ForEachRecord(const QByteArray &text, F line)
{
    const char *data = text.constData();
    const char *end = data + text.size();
    const char *start = data;
    const char *at[3] = {nullptr, nullptr, nullptr};
    int ats = 0;
    const char *lastCr = nullptr;
    // False: stop, at the caller's word or at a NUL, which ends the text.
    const auto special = [&](const char *p) {
        if (*p == 0) {
            if (start < p)
                line(start, p, at);
            start = end;
            return false;
        }
        if (*p == '@') {
            if (ats < 3)
                at[ats++] = p;
            return true;
        }
        if (*p == '\n' && lastCr == p - 1) { // CR LF: one break
            start = p + 1;
            return true;
        }
        if (!line(start, p, at))
            return false;
        lastCr = *p == '\r' ? p : nullptr;
        start = p + 1;
        at[0] = at[1] = at[2] = nullptr;
        ats = 0;
        return true;
    };
    const char *p = data;
#if defined(__SSE2__)
    const __m128i atSign = _mm_set1_epi8('@'), cr = _mm_set1_epi8('\r'), lf = _mm_set1_epi8('\n');
    const __m128i nul = _mm_setzero_si128();
    for (; p + 16 <= end; p += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
        unsigned mask = unsigned(_mm_movemask_epi8(
            _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v, atSign), _mm_cmpeq_epi8(v, nul)),
                         _mm_or_si128(_mm_cmpeq_epi8(v, cr), _mm_cmpeq_epi8(v, lf)))));
        while (mask) {
            if (!special(p + __builtin_ctz(mask)))
                return;
            mask &= mask - 1;
        }
    }
#endif
    for (; p < end; ++p)
        if ((*p == '@' || *p == '\r' || *p == '\n' || *p == 0) && !special(p))
            return;
    if (start < end)
        line(start, end, at);
}

} // namespace

SubjectLookup FindSubjectNumber(const QByteArray &journal, const QString &examFileName,
                                const QString &title)
{
    // The journal is searched as bytes: the names are compared in their Windows-1251 form (as
    // they were written), ignoring case.
    const QByteArray file = Cp1251::Encode(BareFileName(examFileName));
    const QByteArray name = Cp1251::Encode(title.trimmed());
    int32_t count = 0;
    std::optional<QByteArray> number;
    const auto blank = [](const char *b, const char *e) {
        while (b < e && uchar(*b) <= ' ')
            ++b;
        return b == e;
    };
    ForEachRecord(journal, [&](const char *b, const char *e, const char *const *at) {
        if (blank(b, e))
            return true; // blank lines are not counted
        ++count;
        if (!at[0])
            return true;
        const char *f1 = at[0] + 1;
        const char *f1End = at[1] ? at[1] : e;
        const char *f2 = at[1] ? at[1] + 1 : e;
        const char *f2End = at[2] ? at[2] : e;
        if (EqualFolded(f1, f1End - f1, file) || EqualFolded(f2, f2End - f2, name)) {
            number = QByteArray(b, at[0] - b);
            return false;
        }
        return true;
    });
    if (number) {
        int32_t value = 0;
        if (!StrToInt32(Cp1251::Decode(*number), value)) {
            // The rest of the journal counts too: the number a new exam would get now.
            int32_t all = 0;
            ForEachRecord(journal, [&](const char *b, const char *e, const char *const *) {
                all += !blank(b, e);
                return true;
            });
            value = all + 1;
        }
        return {value == 0 ? 1 : value, true};
    }
    return {count + 1, false};
}
