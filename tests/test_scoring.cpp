#include "records/Scoring.h"

#include <QtTest>

namespace {

// A log of Total questions: the first Correct answered right, the next DontKnow with
// "don't know", the rest wrong.
AnswerLog Log(int total, int correct, int dontKnow)
{
    AnswerLog log;
    for (int n = 0; n < total; ++n) {
        log.CorrectNo[size_t(n)] = 2;
        log.GivenNo[size_t(n)] = n < correct ? 2 : n < correct + dontKnow ? DontKnowAnswer : 1;
        log.AnswerTimeMs[size_t(n)] = 3000;
    }
    log.ExamTimeMs = (3600 + 2 * 60 + 5) * 1000 + 999; // 1 h 2 min 5.999 s
    return log;
}

} // namespace

class TestScoring : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void result_data()
    {
        QTest::addColumn<int>("total");
        QTest::addColumn<int>("correct");
        QTest::addColumn<int>("dontKnow");
        QTest::addColumn<QString>("rules"); // "" off, "1", "2", "3" and thresholds "PO5"
        QTest::addColumn<int>("percent");
        QTest::addColumn<int>("mark");
        QTest::addColumn<int>("wrong");
        QTest::newRow("7 of 10") << 10 << 7 << 0 << "" << 70 << 4 << 3;
        QTest::newRow("2 of 3 rounds down") << 3 << 2 << 0 << "" << 66 << 4 << 1;
        QTest::newRow("rule 2, 3 don't know") << 10 << 4 << 3 << "2" << 55 << 3 << 3;
        QTest::newRow("rule 2 up to its limit") << 10 << 4 << 6 << "2" << 60 << 4 << 0;
        QTest::newRow("rule 2 above the limit unchanged") << 10 << 7 << 3 << "2" << 70 << 4 << 0;
        QTest::newRow("rule 3 without any don't know") << 10 << 4 << 0 << "3" << 50 << 3 << 6;
        QTest::newRow("rule 3 at the limit unchanged") << 10 << 6 << 1 << "3" << 60 << 4 << 3;
        QTest::newRow("rule 1: no bonus") << 10 << 4 << 3 << "1" << 40 << 3 << 3;
        QTest::newRow("don't know not offered: counted, no bonus")
            << 10 << 4 << 3 << "" << 40 << 3 << 3;
        QTest::newRow("exactly PO5") << 5 << 4 << 0 << "" << 80 << 5 << 1;
        QTest::newRow("one below PO5") << 100 << 79 << 0 << "" << 79 << 4 << 21;
        QTest::newRow("below PO3") << 100 << 39 << 0 << "" << 39 << 2 << 61;
        QTest::newRow("all") << 1024 << 1024 << 0 << "" << 100 << 5 << 0;
    }
    void result()
    {
        QFETCH(int, total);
        QFETCH(int, correct);
        QFETCH(int, dontKnow);
        QFETCH(QString, rules);
        ExamSettings s;
        s.AllZ = total - 1;
        s.BolNotKnow = !rules.isEmpty();
        s.RNotKnow1 = rules == QStringLiteral("1");
        s.RNotKnow2 = rules == QStringLiteral("2");
        const ExamResult r = ComputeResult(Log(total, correct, dontKnow), s, TMessages());
        QTEST(int(r.Percent), "percent");
        QTEST(int(r.Mark), "mark");
        QCOMPARE(int(r.CorrectCount), correct);
        QCOMPARE(int(r.DontKnowCount), dontKnow);
        QFETCH(int, wrong);
        QCOMPARE(r.Summary[2], QStringLiteral("   не правильных ответов - %1").arg(wrong));
        // The don't-know line stands only when it is offered and was used.
        QCOMPARE(r.Summary.size(), s.BolNotKnow && dontKnow > 0 ? 8 : 7);
    }

    void summaryLinesExactly()
    {
        ExamSettings s;
        s.AllZ = 9;
        s.BolNotKnow = true;
        s.RNotKnow1 = false;
        s.RNotKnow2 = true;
        s.Oc = QStringLiteral("Оценка:");
        s.O3 = QStringLiteral("удовлетворительно");
        const ExamResult r = ComputeResult(Log(10, 4, 3), s, TMessages());
        QCOMPARE(r.Summary, (QStringList{
                                QStringLiteral("Всего вопросов в экзамене: - 10"),
                                QStringLiteral("   правильных ответов - 4"),
                                QStringLiteral("   не правильных ответов - 3"),
                                QStringLiteral("   Ответов \"Не знаю\" - 3"),
                                QStringLiteral("Вы ответили правильно на 55 процентов ответов"),
                                QStringLiteral("Общее время экзамена - 02:05"),
                                QStringLiteral("Общее время ответов - 00:30"),
                                QStringLiteral("Оценка: удовлетворительно"),
                            }));
        // Without mark texts the line is one blank.
        QCOMPARE(ComputeResult(Log(10, 10, 0), ExamSettings(), TMessages()).Summary.last(),
                 QStringLiteral(" "));
    }

    void translatedLabelsPrintAsTheyStand()
    {
        TMessages en;
        en.Texts[size_t(Msg::U_ALLTIMEEXAM)] = QStringLiteral("Total exam time (mm:ss, hh dd yy)");
        en.Texts[size_t(Msg::U_ALLTIMEQ)] = QStringLiteral("Answers&<hr>time");
        const ExamResult r = ComputeResult(Log(2, 1, 0), ExamSettings{}, en);
        QCOMPARE(r.Summary[4], QStringLiteral("Total exam time (mm:ss, hh dd yy) - 02:05"));
        QCOMPARE(r.Summary[5], QStringLiteral("Answers\r\ntime - 00:06"));
    }

    void timesAcrossMidnight()
    {
        AnswerLog log;
        const QDateTime before(QDate(2026, 12, 9), QTime(23, 59, 50));
        log.ExamStarted = before;
        log.QuestionShown(3, before);
        log.Answered(3, 1, 2, before.addSecs(25));
        QCOMPARE(log.AnswerTimeMs[3], qint64(25000));
        QCOMPARE(log.CorrectNo[3], uint8_t(1));
        QCOMPARE(log.GivenNo[3], uint8_t(2));
        // A clock set back never gives a negative duration.
        log.QuestionShown(4, before);
        log.Answered(4, 1, 1, before.addSecs(-60));
        QCOMPARE(log.AnswerTimeMs[4], qint64(0));
    }

    void answerCodes()
    {
        QCOMPARE(AnswerCode(99, 2, true), '2');
        QCOMPARE(AnswerCode(99, 2, false), '0');
        QCOMPARE(AnswerCode(2, 2, true), '1');
        QCOMPARE(AnswerCode(1, 2, true), '0');
    }

    void clearingStartsANewExaminee()
    {
        AnswerLog log = Log(5, 5, 0);
        log.Percent = 100;
        log.Mark = 5;
        log.NotFinished = false;
        log.Clear();
        QCOMPARE(log.Percent, 0);
        QCOMPARE(log.Mark, 0);
        QVERIFY(log.NotFinished);
        QCOMPARE(log.GivenNo[0], uint8_t(0));
        QCOMPARE(log.AnswerTimeMs[0], qint64(0));
    }
};

QTEST_GUILESS_MAIN(TestScoring)
#include "test_scoring.moc"
