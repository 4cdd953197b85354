#include "Questions.h"

#include "core/Random.h"

std::vector<int32_t> BuildQuestionOrder(int32_t allZ, bool anRand)
{
    const int32_t m = qBound(0, allZ, MaxQuestions - 1) + 1;
    std::vector<int32_t> order(static_cast<size_t>(m));
    if (!anRand) {
        for (int32_t k = 0; k < m; ++k)
            order[size_t(k)] = k;
        return order;
    }
    std::vector<bool> used(size_t(m), false);
    for (int32_t k = 0; k < m; ++k) {
        int32_t r;
        do
            r = Random(m);
        while (used[size_t(r)]);
        used[size_t(r)] = true;
        order[size_t(k)] = r;
    }
    return order;
}

TQuestion ReadQuestion(const TLineList &exam, int32_t n, TLineList &buffer)
{
    GetSection(exam, buffer, QStringLiteral("V") + QString::number(n));
    const auto str = [&](const QString &key) { return ReadStr(buffer, key, QString()); };
    TQuestion q;
    q.Form = ReadInt(buffer, QStringLiteral("Form"), 0);
    if (q.Form < 0 || q.Form > 3)
        q.Form = 0;
    q.Vopros = str(QStringLiteral("Vopros"));
    q.CorNo = ReadInt(buffer, QStringLiteral("CorNo"), 1);
    const int places = q.Page() == 1 ? 5 : 4;
    q.AllW = uint8_t(qBound(1, ReadInt(buffer, QStringLiteral("AllW"), 2) & 0xFF, places));
    q.AR = ReadBool(buffer, QStringLiteral("AR"), false);
    q.AT = ReadInt(buffer, QStringLiteral("AT"), 0);
    for (int k = 0; k < 5; ++k)
        q.B[size_t(k)] = ReadBool(buffer, QStringLiteral("B%1").arg(k + 1), k < 2);
    for (int k = 0; k < 5; ++k)
        q.S[size_t(k)] = str(QStringLiteral("S%1").arg(k + 1));
    for (int k = 0; k < 4; ++k)
        q.P[size_t(k)] = str(QStringLiteral("P%1").arg(k + 1));
    q.QuestionPicture = q.P[0];
    return q;
}

void ShuffleAnswers(TQuestion &q, std::array<int32_t, MaxAnswers> &order)
{
    const int32_t allW = q.AllW;
    std::array<int32_t, 5> perm{{100, 100, 100, 100, 100}};
    for (int32_t k = 0; k < allW; ++k) {
        int32_t r;
        bool taken;
        do {
            r = Random(allW);
            taken = false;
            for (int32_t j = 0; j < k; ++j)
                taken = taken || perm[size_t(j)] == r;
        } while (taken);
        perm[size_t(k)] = r;
    }
    std::array<QString, 5> s = q.S;
    std::array<QString, 5> p{{q.P[0], q.P[1], q.P[2], q.P[3], QString()}};
    int32_t corNo = q.CorNo;
    for (int32_t k = 0; k < allW; ++k) {
        const int32_t from = perm[size_t(k)];
        q.S[size_t(k)] = s[size_t(from)];
        if (k < 4)
            q.P[size_t(k)] = p[size_t(from)];
        if (q.CorNo == from + 1)
            corNo = k + 1;
        order[size_t(k)] = from;
    }
    q.CorNo = corNo;
}

TQuestion LoadQuestionRecord(const TLineList &exam, int32_t n, TLineList &buffer,
                             AnswerOrderTable &answerOrder)
{
    TQuestion q = ReadQuestion(exam, n, buffer);
    auto &order = answerOrder[size_t(qBound(0, n, MaxQuestions - 1))];
    if (q.AR) {
        ShuffleAnswers(q, order);
    } else {
        for (int32_t k = 0; k < q.AllW; ++k)
            order[size_t(k)] = k;
    }
    return q;
}
