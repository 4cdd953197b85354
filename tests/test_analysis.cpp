#include "analysis/ItemAnalysis.h"
#include "analysis/widgets/ResultsWindow.h"
#include "core/Cp1251.h"
#include "core/Scramble.h"
#include "helpers/TestFiles.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

namespace {

// Five examinees of a four-question exam whose fourth question is keyed wrong: the best
// examinee misses it, the weakest gets it. Worked out by hand: X = 3, 2, 2, 2, 1.
const QByteArray Subjects = "1@e.fzk@E@4\r\n";
const QString Results = QStringLiteral("01/12/26@10А@Анна@1@1110@75@4@\r\n"
                                       "01/12/26@10А@Борис@1@1100@50@3@\r\n"
                                       "02/12/26@10Б@Вера@1@1010@50@3@\r\n"
                                       "02/12/26@10Б@Глеб@1@1001@50@3@\r\n"
                                       "03/12/26@10Б@Дина@1@0201@25@2@\r\n"
                                       "04/12/26@10а@АННА@1@1111@100@5@\r\n" // a second attempt
                                       "04/12/26@10Б@Ешь@1@1000@0@0@\r\n"    // interrupted
                                       "04/12/26@10Б@Жук@1@10@50@3@\r\n"     // 2 answers of 4
                                       "не строка журнала\r\n"
                                       "04/12/26@10Б@Зоя@7@1@100@5@\r\n"); // no subject 7

QJsonObject Exam(const AnalysisFilter &filter = {}, const QString &results = Results)
{
    const Analysis a = Analyze(Cp1251::Encode(results), Subjects, filter);
    const QByteArray json = StatsJson(a);
    if (json.contains("nan") || json.contains("inf"))
        qFatal("a figure that is no number: %s", json.constData());
    const QJsonArray exams =
        QJsonDocument::fromJson(json).object()[QStringLiteral("exams")].toArray();
    return exams.isEmpty() ? QJsonObject() : exams.first().toObject();
}

QVariant Item(const QJsonObject &exam, int n, const char *key)
{
    return exam[QStringLiteral("items")]
        .toArray()[n - 1]
        .toObject()[QString::fromLatin1(key)]
        .toVariant();
}

} // namespace

class TestAnalysis : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void handWorkedJournal()
    {
        const Analysis a = Analyze(Cp1251::Encode(Results), Subjects);
        QCOMPARE(a.Problems.size(), 3);
        QVERIFY(a.Problems[0].startsWith(QStringLiteral("Journal.fzj line 9:"))); // layout
        QVERIFY(a.Problems[1].startsWith(QStringLiteral("Journal.fzj line 8: 2 answers")));
        QVERIFY(a.Problems[2].contains(QStringLiteral("subject 7")));
        const QJsonObject e = Exam();
        QCOMPARE(e[QStringLiteral("examinees")].toInt(), 5);
        QCOMPARE(e[QStringLiteral("alpha")].toDouble(), -1.6);
        QCOMPARE(e[QStringLiteral("sem")].toDouble(), 1.14);
        const QJsonObject percent = e[QStringLiteral("percent")].toObject();
        QCOMPARE(percent[QStringLiteral("mean")].toDouble(), 50.0);
        QCOMPARE(percent[QStringLiteral("median")].toDouble(), 50.0);
        QCOMPARE(percent[QStringLiteral("sd")].toDouble(), 17.68);
        QCOMPARE(e[QStringLiteral("marks")].toObject()[QStringLiteral("3")].toInt(), 3);
        // facility, discrimination, upper-lower, don't know, alpha without it, flags
        const QList<QVariantList> items{
            {80.0, 25.0, 100.0, 0.0, -5.25, QStringList()},
            {40.0, -16.67, 100.0, 20.0, -2.5, QStringList{"negative discrimination"}},
            {40.0, -16.67, 100.0, 0.0, -2.5, QStringList{"negative discrimination"}},
            {40.0, -88.07, -100.0, 0.0, 0.58,
             QStringList{"negative discrimination", "weakens the test"}}};
        QVERIFY(Item(e, 1, "answers").isNull()); // no report file read
        for (int n = 1; n <= 4; ++n) {
            const QVariantList &want = items[n - 1];
            QCOMPARE(Item(e, n, "facility").toDouble(), want[0].toDouble());
            QCOMPARE(Item(e, n, "discrimination").toDouble(), want[1].toDouble());
            QCOMPARE(Item(e, n, "upper_lower").toDouble(), want[2].toDouble());
            QCOMPARE(Item(e, n, "dont_know").toDouble(), want[3].toDouble());
            QCOMPARE(Item(e, n, "alpha_if_deleted").toDouble(), want[4].toDouble());
            QCOMPARE(Item(e, n, "flags").toStringList(), want[5].toStringList());
        }
    }

    // The answers chosen, from the report files the journal names: the starred answer of each
    // question shown, don't know under "Не знаю".
    void answersFromTheReports()
    {
        const QByteArray report = ScrambleBytes(
            Cp1251::Encode(QStringLiteral("Дата и время экзамена - 01.12.2026\r\n\r\nВопрос № 1\r\n"
                                          "Вопрос: Столица?\r\nОтветы:\r\n1. [-][ ] Казань\r\n"
                                          "2. [+][*] Москва\r\n\r\nВопрос № 2\r\nОтветы:\r\n"
                                          "1. [+][ ] 60\r\n2. [-][ ] 30\r\n3. [ ][*] не знаю\r\n")),
            Keys::Report);
        QString results = Results;
        results.replace(QStringLiteral("@1110@75@4@"), QStringLiteral("@1110@75@4@r.fzr"));
        const Analysis a = Analyze(Cp1251::Encode(results), Subjects, {}, [&](const QString &name) {
            return name == QStringLiteral("r.fzr") ? std::optional<QByteArray>(report)
                                                   : std::nullopt;
        });
        const ExamFigures &e = a.Exams.first();
        QCOMPARE(*e.Items[0].Answers, (QMap<QString, int>{{QStringLiteral("Москва"), 1}}));
        QCOMPARE(*e.Items[1].Answers, (QMap<QString, int>{{QStringLiteral("Не знаю"), 1}}));
        QVERIFY(e.Items[2].Answers->isEmpty());
    }

    // The examiner's view of a folder: the exam file found beside the journals gives the mark
    // thresholds and the questions' texts; the printable report is a PDF, or false when it
    // cannot be written.
    void folderView()
    {
        QTemporaryDir dir;
        WriteFile(dir.filePath(QStringLiteral("Journal.fzj")), Cp1251::Encode(Results));
        WriteFile(dir.filePath(QStringLiteral("JTema.fzj")), Subjects);
        WriteFile(dir.filePath(QStringLiteral("e.fzk")),
                  Cp1251::Encode(QStringLiteral("[Setup]\r\nAllZ=3\r\nPO5=90\r\nPO4=70\r\n"
                                                "PO3=50\r\nPO2=30\r\n[V0]\r\nVopros=Столица?"
                                                "&<hr>России\r\n")));
        QList<ExamView> views;
        QStringList problems;
        QVERIFY(LoadExamViews(dir.path(), {}, views, problems));
        QCOMPARE(views.size(), 1);
        QCOMPARE(*views[0].Thresholds, (std::array<int, 4>{90, 70, 50, 30}));
        QCOMPARE(views[0].Questions.value(0), QStringLiteral("Столица? России"));
        QCOMPARE(QuestionRows(views[0], TMessages()).size(), 5); // the titles and 4 questions
        const QString pdf = dir.filePath(QStringLiteral("r.pdf"));
        QVERIFY(WriteResultsPdf(pdf, views, TMessages()));
        QVERIFY(ReadFile(pdf).startsWith("%PDF"));
        QVERIFY(
            !WriteResultsPdf(dir.filePath(QStringLiteral("no/such/r.pdf")), views, TMessages()));
        QVERIFY(!LoadExamViews(dir.filePath(QStringLiteral("none")), {}, views, problems));
    }

    // Who is taken: one line per examinee unless every attempt is asked for, the group and
    // the dates as filtered, the exam by its file; too few examinees give none, never NaN.
    void whoIsTaken_data()
    {
        QTest::addColumn<QString>("group");
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<bool>("all");
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("examinees");
        QTest::addColumn<bool>("alpha");
        QTest::newRow("first attempt each") << ""
                                            << ""
                                            << "" << false << "" << 5 << true;
        QTest::newRow("every attempt") << ""
                                       << ""
                                       << "" << true << "" << 6 << true;
        QTest::newRow("group in other letters") << "10а"
                                                << ""
                                                << "" << false << "" << 2 << true;
        QTest::newRow("dates, both ends: equal scores, no alpha")
            << ""
            << "02/12/26"
            << "02/12/26" << false << "" << 2 << false;
        QTest::newRow("one examinee: no correlation") << ""
                                                      << "03/12/26"
                                                      << "03/12/26" << false << "" << 1 << false;
        QTest::newRow("another exam file") << ""
                                           << ""
                                           << "" << false << "x.fzk" << 0 << false;
        QTest::newRow("exam file in other letters") << ""
                                                    << ""
                                                    << "" << false << "E.FZK" << 5 << true;
    }
    void whoIsTaken()
    {
        QFETCH(QString, group);
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(bool, all);
        QFETCH(QString, file);
        QFETCH(int, examinees);
        QFETCH(bool, alpha);
        AnalysisFilter f;
        f.Group = group;
        if (!from.isEmpty())
            f.From = QDate::fromString(from, QStringLiteral("dd/MM/yy")).addYears(100);
        if (!to.isEmpty())
            f.To = QDate::fromString(to, QStringLiteral("dd/MM/yy")).addYears(100);
        f.AllAttempts = all;
        f.ExamFile = file;
        const QJsonObject e = Exam(f);
        QCOMPARE(e[QStringLiteral("examinees")].toInt(), examinees); // 0: the exam is not listed
        QCOMPARE(!e[QStringLiteral("alpha")].isNull() && examinees > 0, alpha);
        if (examinees == 1) {
            QVERIFY(Item(e, 1, "discrimination").isNull());
            QVERIFY(Item(e, 1, "upper_lower").isNull());
            QVERIFY(e[QStringLiteral("percent")].toObject()[QStringLiteral("sd")].isNull());
        }
    }
};

QTEST_MAIN(TestAnalysis)
#include "test_analysis.moc"
