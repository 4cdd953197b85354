#include "analysis/ItemAnalysis.h"
#include "analysis/widgets/ResultsWindow.h"
#include "core/Cp1251.h"
#include "core/Scramble.h"
#include "helpers/TestFiles.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
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

// Анна's report: Москва chosen for question 1, don't know for question 2.
QByteArray Report()
{
    return ScrambleBytes(
        Cp1251::Encode(QStringLiteral("Дата и время экзамена - 01.12.2026\r\n\r\nВопрос № 1\r\n"
                                      "Вопрос: Столица?\r\nОтветы:\r\n1. [-][ ] Казань\r\n"
                                      "2. [+][*] Москва\r\n\r\nВопрос № 2\r\nОтветы:\r\n"
                                      "1. [+][ ] 60\r\n2. [-][ ] 30\r\n3. [ ][*] не знаю\r\n")),
        Keys::Report);
}

// The journal with Анна's line naming her report "r.fzr".
QString WithReport()
{
    return QString(Results).replace(QStringLiteral("@1110@75@4@"),
                                    QStringLiteral("@1110@75@4@r.fzr"));
}

} // namespace

class TestAnalysis : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The five examinees, and the same five four times over (twenty, enough to judge by): the
    // figures that do not depend on the count stay, the flags come only with twenty.
    void handWorkedJournal_data()
    {
        QTest::addColumn<int>("copies");
        QTest::addColumn<double>("sd");
        QTest::addColumn<double>("sem");
        QTest::addColumn<QList<double>>("upperLower");
        QTest::newRow("five: too few to flag")
            << 1 << 17.68 << 1.14 << QList<double>{100, 100, 100, -100};
        QTest::newRow("twenty: flagged") << 4 << 16.22 << 1.05 << QList<double>{80, 100, 80, -100};
    }
    void handWorkedJournal()
    {
        QFETCH(int, copies);
        QFETCH(double, sd);
        QFETCH(double, sem);
        QFETCH(QList<double>, upperLower);
        QString results = Results;
        const QStringList five = Results.split(QStringLiteral("\r\n")).mid(0, 5);
        for (int c = 2; c <= copies; ++c)
            for (const QString &line : five)
                results +=
                    QString(line).replace(QStringLiteral("@1@"), QStringLiteral("%1@1@").arg(c)) +
                    QStringLiteral("\r\n");
        const Analysis a = Analyze(Cp1251::Encode(results), Subjects);
        QCOMPARE(a.Problems.size(), 3);
        QVERIFY(a.Problems[0].startsWith(QStringLiteral("Journal.fzj line 9:"))); // layout
        QVERIFY(a.Problems[1].startsWith(QStringLiteral("Journal.fzj line 8: 2 answers")));
        QVERIFY(a.Problems[2].contains(QStringLiteral("subject 7")));
        const QJsonObject e = Exam({}, results);
        QCOMPARE(e[QStringLiteral("examinees")].toInt(), 5 * copies);
        QCOMPARE(e[QStringLiteral("alpha")].toDouble(), -1.6);
        QCOMPARE(e[QStringLiteral("sem")].toDouble(), sem);
        const QJsonObject percent = e[QStringLiteral("percent")].toObject();
        QCOMPARE(percent[QStringLiteral("mean")].toDouble(), 50.0);
        QCOMPARE(percent[QStringLiteral("median")].toDouble(), 50.0);
        QCOMPARE(percent[QStringLiteral("sd")].toDouble(), sd);
        QCOMPARE(e[QStringLiteral("marks")].toObject()[QStringLiteral("3")].toInt(), 3 * copies);
        // facility, discrimination, don't know, alpha without it, flags
        const QList<QVariantList> items{
            {80.0, 25.0, 0.0, -5.25, QStringList()},
            {40.0, -16.67, 20.0, -2.5, QStringList{"negative discrimination"}},
            {40.0, -16.67, 0.0, -2.5, QStringList{"negative discrimination"}},
            {40.0, -88.07, 0.0, 0.58, QStringList{"negative discrimination", "weakens the test"}}};
        QVERIFY(Item(e, 1, "answers").isNull()); // no report file read
        for (int n = 1; n <= 4; ++n) {
            const QVariantList &want = items[n - 1];
            QCOMPARE(Item(e, n, "facility").toDouble(), want[0].toDouble());
            QCOMPARE(Item(e, n, "discrimination").toDouble(), want[1].toDouble());
            QCOMPARE(Item(e, n, "upper_lower").toDouble(), upperLower[n - 1]);
            QCOMPARE(Item(e, n, "dont_know").toDouble(), want[2].toDouble());
            QCOMPARE(Item(e, n, "alpha_if_deleted").toDouble(), want[3].toDouble());
            QCOMPARE(Item(e, n, "flags").toStringList(),
                     5 * copies >= MinExaminees ? want[4].toStringList() : QStringList());
        }
        QCOMPARE(StatsTable(a).contains("мало экзаменуемых для выводов: 5"), copies == 1);
    }

    // The answers chosen, from the report files the journal names: the starred answer of each
    // question shown, don't know under "Не знаю".
    void answersFromTheReports()
    {
        const QByteArray report = Report();
        const Analysis a =
            Analyze(Cp1251::Encode(WithReport()), Subjects, {}, [&](const QString &name) {
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
        WriteFile(dir.filePath(QStringLiteral("Journal.fzj")), Cp1251::Encode(WithReport()));
        QDir(dir.path()).mkdir(QStringLiteral("report"));
        WriteFile(dir.filePath(QStringLiteral("report/r.fzr")), Report());
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
        QVERIFY(WriteResultsPdf(pdf, views, TMessages(), dir.path(), {}));
        QVERIFY(ReadFile(pdf).startsWith("%PDF"));
        QVERIFY(!WriteResultsPdf(dir.filePath(QStringLiteral("no/such/r.pdf")), views, TMessages(),
                                 dir.path(), {}));
        QVERIFY(!LoadExamViews(dir.filePath(QStringLiteral("none")), {}, views, problems));

        // The window on the same folder: numbers in the interface's locale, each column said
        // in words, the answers chosen, too few examinees said; a date it cannot read is said
        // and no figures stay; it fits a 1280 x 800 screen.
        TFmResults window{TMessages()};
        window.Open(dir.path(), {});
        QTRY_COMPARE(window.Views().size(), 1);
        const QAbstractItemModel *table = window.findChild<QTableView *>()->model();
        QVERIFY(table->headerData(2, Qt::Horizontal, Qt::ToolTipRole)
                    .toString()
                    .startsWith(QStringLiteral("Различительность: насколько")));
        QCOMPARE(table->index(1, 2).data().toString(), QStringLiteral("-16,67"));
        QCOMPARE(table->index(0, 7).data().toString(), QStringLiteral("Москва: 1"));
        const auto *summary = window.findChild<QLabel *>(QStringLiteral("Summary"));
        QVERIFY(summary->text().contains(QStringLiteral("мало экзаменуемых для выводов: 5")));
        window.findChild<QLineEdit *>(QStringLiteral("From"))->setText(QStringLiteral("31/02/26"));
        QTest::mouseClick(window.findChild<QPushButton *>(QStringLiteral("Show")), Qt::LeftButton);
        QVERIFY(window.Views().isEmpty());
        QVERIFY(summary->text().startsWith(QStringLiteral("Дата «31/02/26» не читается")));
        const QSize fits(1280, 760);
        QVERIFY(window.size().boundedTo(fits) == window.size());
        QVERIFY(window.minimumSizeHint().boundedTo(fits) == window.minimumSizeHint());
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
