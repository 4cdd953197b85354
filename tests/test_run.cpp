#include "core/Codecs.h"
#include "core/Cp1251.h"
#include "core/Files.h"
#include "core/FolderThread.h"
#include "helpers/FakeClock.h"
#include "helpers/Steps.h"
#include "helpers/TestFiles.h"
#include "records/Report.h"
#include "session/ExamRun.h"

#include <QDir>
#include <QProcess>
#include <QtTest>

namespace {

// A run without a window: boxes are answered Yes and remembered.
struct Listener : RunView
{
    QStringList Boxes;
    int Pages = 0;
    bool Message(MessageKind, const QString &, const QString &text) override
    {
        Boxes.append(text);
        return true;
    }
    std::optional<QString> ConfirmPassword(const QString &, const QString &) override
    {
        return std::nullopt;
    }
    void PageChanged() override { ++Pages; }
};

// Three questions of one form: the first answered right, the second timed out, the third "don't
// know".
QByteArray ThreeQuestions(int form, const QByteArray &setup)
{
    QByteArray text = "[Setup]\r\nAllZ=2\r\nYTime=1\r\nBolNotKnow=1\r\n" + setup;
    for (int n = 0; n < 3; ++n)
        text += "[V" + QByteArray::number(n) + "]\r\nForm=" + QByteArray::number(form) +
                "\r\nAllW=3\r\nCorNo=2\r\nAT=10\r\nVopros=q" + QByteArray::number(n) +
                "\r\nS1=a\r\nS2=b\r\nS3=c\r\n";
    return text;
}

// A run of an exam of its own, in a folder of its own, with the clock in the test's hand.
struct Station
{
    QTemporaryDir Dir;
    FakeClock Time;
    RunGlobals Globals;
    Listener View;
    ExamRun Run{Globals, View};

    // NoJournals: started with the switch "/d".
    explicit Station(const QByteArray &exam, bool noJournals = false)
    {
        Globals.CmdSwitches = Globals.NoJournalSwitch = noJournals;
        const QString file = Dir.filePath(QStringLiteral("exam.fzk"));
        WriteFile(file, exam);
        Run.SetExamFileName(file);
        QCOMPARE(Run.Open(), ExamRun::Opening::Read);
        Run.Reset();
        Settle(Run);
    }
    void ToFirstQuestion()
    {
        Run.SetExaminee(QStringLiteral("10А"), QStringLiteral("Иванов И."), {});
        for (int step = 0; step < 3 && Run.CurrentPage() >= PageTitle; ++step)
            Run.Next();
    }
};

} // namespace

class TestRun : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // A whole examination of each question form through the run alone: a right answer, a time-out
    // (recorded wrong), a don't-know answer; the result and the records from the exam's data.
    void wholeExamWithoutAWindow_data()
    {
        QTest::addColumn<int>("form");
        QTest::addColumn<Page>("page");
        QTest::newRow("text answers") << 1 << PageTextAnswers;
        QTest::newRow("picture answers") << 2 << PagePictureAnswers;
        QTest::newRow("list answers") << 3 << PageListAnswers;
    }
    void wholeExamWithoutAWindow()
    {
        QFETCH(int, form);
        QFETCH(Page, page);
        FakeClock time;
        RunGlobals globals;
        Listener view;
        QTemporaryDir dir;
        // Titles longer than a label shows reach the records whole.
        const QString top = QString(2500, u'Т');
        const QString title = QString(3000, u'Э') + QString::number(form);
        const QString file = dir.filePath(QStringLiteral("run%1.fzk").arg(form));
        WriteFile(file, ThreeQuestions(form, "TopEdit=" + Cp1251::Encode(top) +
                                                 "\r\nCEdit=" + Cp1251::Encode(title) + "\r\n"));
        ExamRun run(globals, view);
        run.SetExamFileName(file);
        QCOMPARE(run.Open(), ExamRun::Opening::Read);
        run.Reset();
        Settle(run);
        QCOMPARE(run.CurrentPage(), PageTitle);
        run.Next();
        run.Next();
        QCOMPARE(run.CurrentPage(), PageRegistration);
        run.Next(); // no group
        QCOMPARE(view.Boxes.value(0), QStringLiteral("Не введены данные по группе."));
        run.SetExaminee(QStringLiteral("10А"), QStringLiteral("Сидоров"), {});
        run.Next();
        QCOMPARE(run.CurrentPage(), page);
        QVERIFY(!run.CanGoOn());
        run.Choose(4); // not shown: refused
        QVERIFY(!run.CanGoOn());
        run.Choose(run.CurrentCorNo());
        time.Advance(1500);
        run.Next();
        QCOMPARE(run.CurrentIndex(), 1);
        time.Advance(10000); // the answer time runs out
        QCOMPARE(run.CurrentIndex(), 2);
        run.DontKnow();
        run.Next();
        QCOMPARE(run.CurrentPage(), PageResult);
        QVERIFY(Folders().WaitIdle(20000)); // the records are written behind the result page

        const AnswerLog &log = run.Log();
        QCOMPARE(log.CorrectCount, 1);
        QCOMPARE(log.DontKnowCount, 1);
        QCOMPARE(log.Percent, 33);
        QVERIFY(!log.NotFinished);
        QCOMPARE(int(log.GivenNo[size_t(run.QuestionOrder()[2])]), int(DontKnowAnswer));
        QVERIFY(log.GivenNo[size_t(run.QuestionOrder()[1])] !=
                log.CorrectNo[size_t(run.QuestionOrder()[1])]);
        const QByteArray subjects =
            ReadFile(JoinPath(run.JournalDir(), QStringLiteral("JTema.fzj")));
        QVERIFY(Cp1251::Decode(subjects).contains(title));
        const QString report = PlainReport(ReportOf(run.Record(), time.Now(), 0));
        QVERIFY(report.contains(top));
        QVERIFY(report.contains(title));
    }

    // The answer time runs out: the chosen answer is given, or a wrong position when none is,
    // and the next question comes; a limit under 3 seconds is none.
    void answerTimeRunsOut_data()
    {
        QTest::addColumn<QByteArray>("at");
        QTest::addColumn<int>("correct");
        QTest::addColumn<int>("chooseAt"); // ms; -1 nothing
        QTest::addColumn<int>("choice");
        QTest::addColumn<bool>("movesOn");
        QTest::addColumn<int>("given");
        QTest::newRow("nothing chosen: a wrong position")
            << QByteArray("30") << 2 << -1 << 0 << true << 1;
        QTest::newRow("nothing chosen, the first is right: the second")
            << QByteArray("30") << 1 << -1 << 0 << true << 2;
        QTest::newRow("a chosen answer is kept")
            << QByteArray("30") << 2 << 10000 << 2 << true << 2;
        QTest::newRow("2 seconds is no limit") << QByteArray("2") << 2 << -1 << 0 << false << 0;
        QTest::newRow("0 is no limit") << QByteArray("0") << 2 << -1 << 0 << false << 0;
    }
    void answerTimeRunsOut()
    {
        QFETCH(QByteArray, at);
        QFETCH(int, correct);
        QFETCH(int, chooseAt);
        QFETCH(int, choice);
        QFETCH(bool, movesOn);
        Station s(
            "[Setup]\r\nAllZ=1\r\nSaveJuornal=0\r\nYTime=1\r\n[V0]\r\nAllW=3\r\nB3=1\r\nCorNo=" +
            QByteArray::number(correct) + "\r\nAT=" + at +
            "\r\nS1=a\r\nS2=b\r\nS3=c\r\n[V1]\r\nS1=x\r\nS2=y\r\n");
        s.ToFirstQuestion();
        if (chooseAt >= 0) {
            s.Time.Advance(chooseAt);
            s.Run.Choose(choice);
        }
        s.Time.Advance(29999 - qMax(chooseAt, 0));
        QCOMPARE(s.Run.CurrentIndex(), 0);
        s.Time.Advance(1);
        QCOMPARE(s.Run.CurrentIndex(), movesOn ? 1 : 0);
        QTEST(int(s.Run.Log().GivenNo[0]), "given");
        if (movesOn)
            QCOMPARE(s.Run.Log().AnswerTimeMs[0], qint64(30000));
        s.Time.Advance(120000);
        QCOMPARE(s.Run.CurrentIndex(), movesOn ? 1 : 0);
    }

    // What a run leaves in the journal folder at the end, when it is interrupted, and nothing at
    // all without journals.
    void recordsOfARun_data()
    {
        QTest::addColumn<QByteArray>("setup");
        QTest::addColumn<bool>("switchD");
        QTest::addColumn<bool>("interrupt");
        QTest::addColumn<QString>("line"); // the result line's fields after the name, or none
        QTest::newRow("finished") << QByteArray() << false << false
                                  << "@1@10@50@3@1_091226 Иванов И 1.fzr";
        QTest::newRow("marks not shown: still recorded")
            << QByteArray("TipOc=1\r\n") << false << false << "@1@10@50@3@1_091226 Иванов И 1.fzr";
        QTest::newRow("interrupted on the second question")
            << QByteArray("YesReport=0\r\n") << false << true << "@1@10@0@0@";
        QTest::newRow("no journals")
            << QByteArray("SaveJuornal=0\r\n") << false << false << QString();
        QTest::newRow("switch /d") << QByteArray() << true << false << QString();
    }
    void recordsOfARun()
    {
        QFETCH(QByteArray, setup);
        QFETCH(bool, switchD);
        QFETCH(bool, interrupt);
        QFETCH(QString, line);
        QTemporaryDir program;
        const QString folder = program.path();
        qputenv("TARVIK_PROGRAM_DIR", QFile::encodeName(folder));
        {
            Station s("[Setup]\r\nAllZ=1\r\nCEdit=T\r\nSpisok=0\r\n" + setup +
                          "[V0]\r\nCorNo=1\r\n[V1]\r\nCorNo=1\r\n",
                      switchD);
            s.ToFirstQuestion();
            s.Run.Choose(1);
            s.Run.Next();
            if (interrupt) {
                QVERIFY(s.Run.UnderWay());
                s.Run.Interrupt();
            } else {
                s.Run.Choose(2);
                s.Run.Next();
                QCOMPARE(s.Run.CurrentPage(), PageResult);
            }
        }
        QVERIFY(Folders().WaitIdle(20000)); // the records are written behind the result page
        qputenv("TARVIK_PROGRAM_DIR", QByteArray());
        if (line.isEmpty()) {
            QVERIFY(QDir(folder).isEmpty()); // no file touched
            return;
        }
        QCOMPARE(ReadFile(QDir(folder).filePath("Journal.fzj")),
                 Cp1251::Encode("09/12/26@10А@Иванов И." + line + "\r\n"));
        QCOMPARE(ReadFile(QDir(folder).filePath("JTema.fzj")), QByteArray("1@exam.fzk@T@2\r\n"));
        QCOMPARE(QFile::exists(QDir(folder).filePath("report")), !line.endsWith(u'@'));
    }

    // The headless station takes its examinees through the demo as the player would: each one
    // who finishes has a ledger line and the same journal line; SIGTERM during an examination
    // records it as not finished (a journal line, no ledger line) and ends the station cleanly.
    void stationTakesItsExaminees_data()
    {
        QTest::addColumn<bool>("terminated");
        QTest::newRow("three examinees") << false;
        QTest::newRow("terminated in the second") << true;
    }
    void stationTakesItsExaminees()
    {
        QFETCH(bool, terminated);
        QTemporaryDir dir;
        for (const QString &name : QDir(QStringLiteral(TARVIK_DEMO_DIR)).entryList(QDir::Files))
            QFile::copy(QDir(QStringLiteral(TARVIK_DEMO_DIR)).filePath(name), dir.filePath(name));
        QProcess station;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("TARVIK_PROGRAM_DIR"), dir.path());
        station.setProcessEnvironment(env);
        station.setWorkingDirectory(dir.path());
        const QString ledger = dir.filePath(QStringLiteral("ledger.txt"));
        station.start(QStringLiteral(TARVIK_STATION),
                      {"--examinees", "3", "--seed", "4", "--names", "Ст", "--think",
                       terminated ? "500-500" : "0-0", "--ledger", ledger, "demo.fzk"});
        if (terminated) {
            QTRY_VERIFY_WITH_TIMEOUT(QFile(ledger).size() > 0, 20000); // the first finished
            QTest::qWait(600); // the second is most likely at a question by now
            station.terminate();
        }
        QVERIFY(station.waitForFinished(60000));
        QCOMPARE(station.exitStatus(), QProcess::NormalExit);
        QCOMPARE(station.exitCode(), 0);
        const QStringList ledgerLines =
            QString::fromUtf8(ReadFile(ledger)).split(u'\n', Qt::SkipEmptyParts);
        const QStringList journal =
            Cp1251::Decode(ReadFile(dir.filePath(QStringLiteral("Journal.fzj"))))
                .split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
        QCOMPARE(ledgerLines.size(), terminated ? 1 : 3);
        // A second line only when a question was on screen: the examination broken off.
        QCOMPARE(journal.size() - ledgerLines.size(), journal.size() > 1 && terminated ? 1 : 0);
        for (qsizetype i = 0; i < ledgerLines.size(); ++i) {
            // group@name@answers@percent@mark@exam against date@group@name@subject@answers@...
            const QStringList l = ledgerLines[i].split(u'@'), j = journal[i].split(u'@');
            QCOMPARE(l[1], QStringLiteral("Ст %1").arg(i + 1));
            QCOMPARE((QStringList{j[1], j[2], j[4], j[5], j[6]}), l.mid(0, 5));
            QCOMPARE(l[5], QStringLiteral("demo.fzk"));
        }
        if (journal.size() > ledgerLines.size())
            QCOMPARE(journal.last().section(u'@', 5, 6), QStringLiteral("0@0")); // not finished
    }
};

QTEST_GUILESS_MAIN(TestRun)
#include "test_run.moc"
