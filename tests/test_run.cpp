#include "core/Codecs.h"
#include "core/Cp1251.h"
#include "core/Files.h"
#include "helpers/FakeClock.h"
#include "helpers/TestFiles.h"
#include "records/Report.h"
#include "session/ExamRun.h"

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
};

QTEST_GUILESS_MAIN(TestRun)
#include "test_run.moc"
