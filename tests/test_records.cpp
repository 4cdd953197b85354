#include "core/Cp1251.h"
#include "core/Files.h"
#include "core/Scramble.h"
#include "helpers/TestFiles.h"
#include "records/Journals.h"
#include "records/Recording.h"
#include "records/ReportFile.h"
#include "records/widgets/RichReport.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTextDocument>
#include <QTextEdit>
#include <QThread>
#include <QtTest>

#include <csignal>

namespace {

// Two questions: the first answered right in 5 s, the second wrongly in 1 min 10 s; the whole
// examination 1 h 2 min 3 s.
struct Exam
{
    ExamSettings Settings;
    TLineList Lines;
    AnswerLog Log;
    AnswerOrderTable Order{};
    TMessages Messages;
    ReportTitles Titles{QStringLiteral("Школа"), QStringLiteral("История"), QString(), QString(),
                        QString()};

    Exam()
    {
        Settings.AllZ = 1;
        Settings.CEdit = QStringLiteral(" История ");
        Lines.SetText(QStringLiteral(
            "[Setup]\r\n[V0]\r\nVopros=Столица?\r\nAllW=3\r\nCorNo=2\r\nS1=Казань\r\nS2=Москва\r\n"
            "S3=Омск\r\n[V1]\r\nVopros= 2+2&<hr>= ?\r\nCorNo=1\r\nS1=4\r\nS2=5\r\n"));
        for (auto &row : Order)
            for (int k = 0; k < MaxAnswers; ++k)
                row[size_t(k)] = k;
        Log.CorrectNo = {2, 1};
        Log.GivenNo = {2, 2};
        Log.AnswerTimeMs = {5000, 70000};
        Log.ExamTimeMs = (3600 + 2 * 60 + 3) * 1000;
        Log.CorrectCount = 1;
        Log.Percent = 50;
        Log.Mark = 2;
        Log.NotFinished = false;
    }
    ReportInput Input(int tipResult) const
    {
        return {Settings,
                Lines,
                Log,
                Order,
                Messages,
                Titles,
                QDateTime(QDate(2026, 12, 9), QTime(14, 5, 9)),
                tipResult};
    }
    ExamRecord Record(const QString &name = QStringLiteral("Иванов И.")) const
    {
        return {QStringLiteral("10А"),
                name,
                QStringLiteral("C:\\Экзамены\\hist.fzk"),
                Settings,
                Lines,
                Log,
                Order,
                Messages,
                Titles};
    }
};

const QString Header =
    QStringLiteral("Дата и время экзамена - 09.12.2026 - 14:05:09\r\n"
                   "Экзамен\r\nШкола\r\nИстория\r\n\r\n\r\n\r\n"
                   "Всего вопросов в экзамене: - 2\r\nВсего:\r\n   правильных ответов - 1\r\n   не "
                   "правильных ответов - 1\r\n"
                   "   Вы ответили правильно на 50 процентов ответов\r\n\r\n"
                   "Общее время экзамена - 02:03\r\nОбщее время ответов - 01:15\r\n\r\n"
                   "Временное ограничение на ответы - Не разрешен\r\n"
                   "Вывод результатов ответов на экзамен - Все ответы\r\n");

QString Block(int number, const QString &question, const QString &answers, bool right,
              const QString &time)
{
    return QStringLiteral("\r\nВопрос № %1\r\nВопрос: %2\r\nОтветы:%3\r\n\r\n")
               .arg(number)
               .arg(question, answers) +
           (right ? QStringLiteral("Ответ: верен\r\n") : QStringLiteral("Ответ: не верен\r\n")) +
           QStringLiteral("Время на ответ - %1\r\n\r\n").arg(time);
}

QByteArray Decoded(const QString &reportFile)
{
    return UnscrambleBytes(ReadFile(reportFile), Keys::Report);
}

// The lines of a journal, decoded.
QStringList JournalLines(const QString &journal)
{
    return QString::fromUtf8(Cp1251::ToUtf8Text(ReadFile(journal)))
        .split(u'\n', Qt::SkipEmptyParts);
}

} // namespace

class TestRecords : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The report of each kind, against texts written out by hand.
    void reportText_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("secondGiven");
        QTest::addColumn<QString>("questions");
        const QString q2 = QStringLiteral("2+2\r\n= ?");
        QTest::newRow("0: all answers")
            << 0 << 2
            << Block(1, "Столица?", "\r\n1. [-][ ] Казань\r\n2. [+][*] Москва\r\n3. [-][ ] Омск",
                     true, "00:05") +
                   Block(2, q2, "\r\n1. [+][ ] 4\r\n2. [-][*] 5", false, "01:10");
        QTest::newRow("0: don't know")
            << 0 << 99
            << Block(1, "Столица?", "\r\n1. [-][ ] Казань\r\n2. [+][*] Москва\r\n3. [-][ ] Омск",
                     true, "00:05") +
                   Block(2, q2, "\r\n1. [+][ ] 4\r\n2. [-][ ] 5\r\n3. [ ][*] не знаю", false,
                         "01:10");
        QTest::newRow("1: correct and chosen")
            << 1 << 2
            << Block(1, "Столица?", "\r\nПравильный: \r\nМосква\r\nВыбранный :Москва", true,
                     "00:05") +
                   Block(2, q2, "\r\nПравильный: \r\n4", false, "01:10");
        QTest::newRow("2: chosen when correct")
            << 2 << 2 << Block(1, "Столица?", "Выбранный :\r\nМосква", true, "00:05");
        QTest::newRow("2: no correct answer, no block")
            << 2 << 99 << QString() + Block(1, "Столица?", "Выбранный :\r\nМосква", true, "00:05");
        QTest::newRow("3: chosen when wrong")
            << 3 << 2 << Block(2, q2, "Выбранный :\r\n5", false, "01:10");
        QTest::newRow("3: don't know")
            << 3 << 99 << Block(2, q2, "\r\n3. [ ][*] не знаю", false, "01:10");
    }
    void reportText()
    {
        QFETCH(int, kind);
        QFETCH(int, secondGiven);
        QFETCH(QString, questions);
        Exam e;
        e.Log.GivenNo[1] = uint8_t(secondGiven);
        QCOMPARE(PlainReport(e.Input(kind)), Header + questions);
    }

    void reportHeaderRows()
    {
        Exam e;
        e.Titles.LabName = QStringLiteral("Петрова");
        e.Settings.BolNotKnow = true;
        e.Settings.YTime = true;
        e.Log.GivenNo[1] = DontKnowAnswer;
        e.Log.DontKnowCount = 1;
        const QString text = PlainReport(e.Input(0));
        // The author row with one of its parts empty; the don't-know count; the time limit.
        QVERIFY(text.contains(QStringLiteral("\r\n\r\nАвтор:    Петрова\r\n\r\n")));
        QVERIFY(text.contains(QStringLiteral(
            "не правильных ответов - 0\r\n   Ответов \"Не знаю\" - 1\r\nВы ответили")));
        QVERIFY(text.contains(QStringLiteral("Временное ограничение на ответы - Разрешен\r\n")));
        // An interrupted examination: only the time of each question.
        e.Log.NotFinished = true;
        QCOMPARE(PlainReport(e.Input(0)), QStringLiteral("00:05\r\n01:10\r\n"));
    }

    // The RTF of a small report, as checked in a word processor: the Windows-1251 text, the font
    // and colour tables, the runs.
    void rtf()
    {
        QTextEdit box;
        QFont courier(QStringLiteral("Courier New"));
        courier.setPointSize(8);
        QFont bold = courier;
        bold.setBold(true);
        ReportStyles styles;
        for (ReportStyle &s : styles)
            s = {courier, QColor(0, 0, 0)};
        styles[size_t(ReportFont::F1Red)] = {bold, QColor(255, 0, 0)};
        Exam e;
        e.Settings.AllZ = 0;
        e.Lines.SetText(
            QStringLiteral("[V0]\r\nVopros={a}\\b ü\r\nCorNo=1\r\nAllW=1\r\nS1=Да\r\n"));
        e.Log.GivenNo = {1};
        e.Log.CorrectNo = {1};
        e.Titles = {};
        e.Log.NotFinished = false;
        BuildReportInto(&box, e.Input(2), styles);
        const QByteArray rtf = ToRtf(*box.document());
        QVERIFY(rtf.startsWith(
            "{\\rtf1\\ansi\\ansicpg1251\\deff0\n{\\fonttbl{\\f0\\fnil\\fcharset204 Courier New;}}\n"
            "{\\colortbl;\\red0\\green0\\blue0;\\red255\\green0\\blue0;}\n\\pard\\plain "));
        QVERIFY(rtf.contains(
            "{\\f0\\fs16\\cf1 \\'c2\\'ee\\'ef\\'f0\\'ee\\'f1: \\{a\\}\\\\b \\u252?}\\par\n"));
        QVERIFY(rtf.contains("{\\f0\\fs16\\cf1 \\'ce\\'f2\\'e2\\'e5\\'f2: }{\\f0\\fs16\\b\\cf2 "
                             "\\'e2\\'e5\\'f0\\'e5\\'ed}\\par\n"));
        QVERIFY(rtf.endsWith("\n}\n"));
    }

    void journalLines_data()
    {
        QTest::addColumn<bool>("finished");
        QTest::addColumn<QByteArray>("given");
        QTest::addColumn<QString>("report");
        QTest::addColumn<QString>("line");
        QTest::newRow("finished") << true << QByteArray("\x02\x63\x01", 3)
                                  << "D:\\j\\report\\3_091226 Иванов И 1.fzr"
                                  << "09/12/26@10А@Иванов И.@3@120@66@4@3_091226 Иванов И 1.fzr";
        QTest::newRow("no report file") << true << QByteArray("\x02\x02\x02", 3) << ""
                                        << "09/12/26@10А@Иванов И.@3@111@66@4@";
        // Interrupted: zeros, and the questions never answered are not right.
        QTest::newRow("interrupted") << false << QByteArray("\x02\x00\x00", 3) << ""
                                     << "09/12/26@10А@Иванов И.@3@100@0@0@";
    }
    void journalLines()
    {
        QFETCH(bool, finished);
        QFETCH(QByteArray, given);
        QFETCH(QString, report);
        QFETCH(QString, line);
        AnswerLog log;
        log.CorrectNo = {2, 2, 2};
        for (int n = 0; n < 3; ++n)
            log.GivenNo[size_t(n)] = uint8_t(given[n]);
        log.Percent = 66;
        log.Mark = 4;
        log.NotFinished = !finished;
        QCOMPARE(ResultLine(QDate(2026, 12, 9), QStringLiteral("10А"), QStringLiteral("Иванов И."),
                            3, log, 2, report),
                 line);
        QCOMPARE(SubjectLine(7, QStringLiteral("C:\\Экзамены\\hist.fzk"),
                             QStringLiteral("  История  "), 25),
                 QStringLiteral("7@hist.fzk@История@25"));
    }

    void subjectNumbers_data()
    {
        QTest::addColumn<QString>("journal");
        QTest::addColumn<int>("number");
        QTest::addColumn<bool>("found");
        QTest::newRow("empty") << "" << 1 << false;
        QTest::newRow("blank lines not counted") << "1@a.fzk@A@5\r\n\r\n   \r\n2@b.fzk@B@5\r\n"
                                                 << 3 << false;
        QTest::newRow("by file name, any case") << "1@a.fzk@A@5\r\n2@HIST.FZK@Другая@5\r\n"
                                                << 2 << true;
        QTest::newRow("same title, other file") << "1@a.fzk@A@5\r\n4@old.fzk@ИСТОРИЯ@5\r\n"
                                                << 4 << true;
        QTest::newRow("the first match decides") << "5@hist.fzk@X@1\r\n6@hist.fzk@X@1\r\n"
                                                 << 5 << true;
        QTest::newRow("a number that is none")
            << "1@a.fzk@A@5\r\n№2@hist.fzk@B@5\r\n\r\n3@c.fzk@C@5\r\n"
            << 4 << true;
        QTest::newRow("number 0") << "0@hist.fzk@A@5\r\n" << 1 << true;
        QTest::newRow("CR and LF alone break lines")
            << "1@a.fzk@A@5\r2@b.fzk@B@5\n\n\r3@c.fzk@C@5" << 4 << false;
        QTest::newRow("a NUL ends the text")
            << "1@a.fzk@A@5\r\n" + QString(QChar(0)) + "2@hist.fzk@B@5\r\n"
            << 2 << false;
    }
    void subjectNumbers()
    {
        QFETCH(QString, journal);
        QFETCH(int, number);
        QFETCH(bool, found);
        const SubjectLookup r =
            FindSubjectNumber(Cp1251::Encode(journal), QStringLiteral("D:\\x\\hist.fzk"),
                              QStringLiteral(" История "));
        QCOMPARE(r.Number, number);
        QCOMPARE(r.Found, found);
    }

    // What an examination leaves in the folder, byte for byte.
    void journalsInTheFolder()
    {
        QTemporaryDir dir;
        PendingResults pending(dir.filePath(QStringLiteral("station/Journal.pending")));
        QDir().mkpath(dir.filePath(QStringLiteral("station")));
        Exam e;
        const QDateTime now(QDate(2026, 12, 9), QTime(14, 5, 9));
        // No subject journal: number 1 and no line; no result journal: no line, but the report.
        JournalState state;
        WriteJournals(dir.path(), e.Record(), state, pending, now);
        QCOMPARE(state.SubjectNumber, 1);
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("JTema.fzj"))));
        QCOMPARE(QFileInfo(state.ReportFileName).fileName(),
                 QStringLiteral("1_091226 Иванов И 1.fzr"));

        WriteFile(dir.filePath(QStringLiteral("JTema.fzj")),
                  Cp1251::Encode(QStringLiteral("1@a.fzk@A@3\r\n\r\n2@b.fzk@B@3")));
        WriteFile(dir.filePath(QStringLiteral("Journal.fzj")), "");
        state = JournalState();
        WriteJournals(dir.path(), e.Record(), state, pending, now);
        WriteJournals(dir.path(), e.Record(), state, pending, now); // the same examinee again
        QVERIFY(!state.SubjectPending);
        QCOMPARE(QString::fromUtf8(
                     Cp1251::ToUtf8Text(ReadFile(dir.filePath(QStringLiteral("JTema.fzj"))))),
                 QStringLiteral("1@a.fzk@A@3\n\n2@b.fzk@B@3\n3@hist.fzk@История@2\n"));
        QCOMPARE(ReadFile(dir.filePath(QStringLiteral("Journal.fzj"))),
                 Cp1251::Encode(QStringLiteral(
                     "09/12/26@10А@Иванов И.@3@10@50@2@3_091226 Иванов И 1.fzr\r\n"
                     "09/12/26@10А@Иванов И.@3@10@50@2@3_091226 Иванов И 2.fzr\r\n")));
        // The report file: the report of all answers, plain, scrambled with the report key.
        e.Settings.TipResult = 3;
        QCOMPARE(Decoded(state.ReportFileName), Cp1251::Encode(PlainReport(e.Input(0))));

        // Without report files: no folder, an empty last field.
        QTemporaryDir other;
        WriteFile(other.filePath(QStringLiteral("Journal.fzj")), "");
        e.Settings.YesReport = false;
        state = JournalState();
        WriteJournals(other.path(), e.Record(), state, pending, now);
        QVERIFY(!QFile::exists(other.filePath(QStringLiteral("report"))));
        QVERIFY(ReadFile(other.filePath(QStringLiteral("Journal.fzj"))).endsWith("@50@2@\r\n"));
    }

    // Report names: a name too long for the file system is shortened, never the rest; a "/"
    // never leaves the folder; a name made of full stops leaves two blanks.
    void reportNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("file");
        QTest::newRow("full stops") << " А.Б. Иванов. "
                                    << "12_091226 АБ Иванов 1.fzr";
        QTest::newRow("only full stops") << "..."
                                         << "12_091226  1.fzr";
        QTest::newRow("slashes") << "../../etc/x\\y"
                                 << "12_091226 __etc_x_y 1.fzr";
        QTest::newRow("too long") << QString(200, QChar(0x0416))
                                  << "12_091226 " + QString(119, QChar(0x0416)) + " 1.fzr";
    }
    void reportNames()
    {
        QFETCH(QString, name);
        QFETCH(QString, file);
        QTemporaryDir dir;
        QString written;
        QVERIFY(SaveReportFile(dir.path(), 12, QDate(2026, 12, 9), name, QStringLiteral("отчёт"),
                               written));
        QCOMPARE(written, JoinPath(dir.filePath(QStringLiteral("report")), file));
        QVERIFY(QFileInfo(written).fileName().toUtf8().size() <= 255);
        QCOMPARE(Decoded(written), Cp1251::Encode(QStringLiteral("отчёт")));
    }

    // A step of a kept result that failed stays to do, and is done once when retried: the
    // subject journal held elsewhere, a report written before its station could note it, a
    // noted name that another examinee's report took meanwhile.
    void keptResultIsRetriedWhole_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("report"); // the report file the line names
        QTest::newRow("subject journal held") << "held"
                                              << "1_091226 Иванов И 1.fzr";
        QTest::newRow("report written, not noted") << "written"
                                                   << "1_091226 Иванов И 1.fzr";
        QTest::newRow("noted name taken by another") << "taken"
                                                     << "1_091226 Иванов И 2.fzr";
    }
    void keptResultIsRetriedWhole()
    {
        QFETCH(QString, fault);
        QFETCH(QString, report);
        QTemporaryDir dir;
        const QString journal = dir.filePath(QStringLiteral("Journal.fzj"));
        const QString subjects = dir.filePath(QStringLiteral("JTema.fzj"));
        WriteFile(journal, "");
        WriteFile(subjects, "");
        PendingResults pending(dir.filePath(QStringLiteral("Journal.pending")));
        const Exam e;
        const QDateTime now(QDate(2026, 12, 9), QTime(14, 5, 9));
        JournalState state;
        KeptResult kept = KeptResultOf(dir.path(), e.Record(), now);
        const QString first = dir.filePath(QStringLiteral("report/1_091226 Иванов И 1.fzr"));
        QProcess holder;
        if (fault == QStringLiteral("held")) {
            holder.start(QStringLiteral(TARVIK_FILE_HOLDER), {subjects, QStringLiteral("16")});
            QVERIFY(holder.waitForReadyRead(5000));
            SetOpenRetryPolicy({3, 10});
            const JournalWrite w = WriteJournals(dir.path(), e.Record(), state, pending, now);
            QVERIFY(w.ResultKept);
            QVERIFY(!QDir(dir.filePath(QStringLiteral("report"))).exists());
            holder.write("\n");
            holder.waitForFinished();
            SetOpenRetryPolicy(RetryPolicy());
        } else {
            // Noted with its subject and its report's name; the report is there already.
            kept.Subject = 1;
            kept.ReportFile = first;
            QDir().mkpath(dir.filePath(QStringLiteral("report")));
            const QString there =
                fault == QStringLiteral("written") ? kept.Report : QStringLiteral("другой");
            WriteFile(first, ScrambleBytes(Cp1251::Encode(there), Keys::Report));
            WriteFile(subjects, Cp1251::Encode(
                                    SubjectLine(1, kept.ExamFileName, kept.Title, kept.Questions)) +
                                    "\r\n");
            QVERIFY(!pending.Keep(kept).isEmpty());
        }
        QCOMPARE(ReadFile(journal), QByteArray());
        CompleteKeptResults(pending, state);
        pending.WriteAll();
        QVERIFY(pending.Entries().isEmpty());
        const QStringList lines = JournalLines(journal);
        QCOMPARE(lines.size(), 1);
        QCOMPARE(lines[0].trimmed().section(u'@', 7), report);
        QCOMPARE(Decoded(dir.filePath(QStringLiteral("report/") + report)),
                 Cp1251::Encode(kept.Report));
        QCOMPARE(QDir(dir.filePath(QStringLiteral("report"))).entryList(QDir::Files).size(),
                 fault == QStringLiteral("taken") ? 2 : 1);
        QCOMPARE(ReadFile(subjects).count("\r\n"), 1);
    }

    // A journal held elsewhere through all the retries: the line waits on the station, with a
    // word to the examiner, and goes in first at the next write; never twice.
    void lockedJournalKeepsTheLine()
    {
        QTemporaryDir dir;
        const QString journal = dir.filePath(QStringLiteral("Journal.fzj"));
        WriteFile(journal, "");
        PendingResults pending(dir.filePath(QStringLiteral("Journal.pending")));
        Exam e;
        e.Settings.YesReport = false;
        const QDateTime now(QDate(2026, 12, 9), QTime(14, 5, 9));
        JournalState state;
        QProcess holder;
        holder.start(QStringLiteral(TARVIK_FILE_HOLDER), {journal, QStringLiteral("16")});
        QVERIFY(holder.waitForReadyRead(5000));
        SetOpenRetryPolicy({3, 10});
        JournalWrite w =
            WriteJournals(dir.path(), e.Record(QStringLiteral("Первый")), state, pending, now);
        QVERIFY(!w.ResultWritten);
        QVERIFY(w.ResultKept);
        QCOMPARE(pending.Entries().size(), 1);
        holder.write("\n");
        holder.waitForFinished();
        SetOpenRetryPolicy(RetryPolicy());
        // A station that stopped after noting where a kept line went, and after writing it.
        const QByteArray written = Cp1251::Encode(QStringLiteral("уже@записана\r\n"));
        WriteFile(journal, written);
        QJsonArray list =
            QJsonDocument::fromJson(ReadFile(pending.Entries().isEmpty()
                                                 ? QString()
                                                 : dir.filePath(QStringLiteral("Journal.pending"))))
                .array();
        list.prepend(QJsonObject{
            {"journal", journal}, {"line", QString::fromLatin1(written.toBase64())}, {"at", 0}});
        WriteFile(dir.filePath(QStringLiteral("Journal.pending")), QJsonDocument(list).toJson());
        QCOMPARE(pending.Entries().size(), 2);
        w = WriteJournals(dir.path(), e.Record(QStringLiteral("Второй")), state, pending, now);
        QVERIFY(w.ResultWritten);
        QVERIFY(pending.Entries().isEmpty());
        const QStringList lines = JournalLines(journal);
        QCOMPARE(lines.size(), 3);
        QCOMPARE(lines[0], QStringLiteral("уже@записана"));
        QVERIFY(lines[1].contains(QStringLiteral("@Первый@")));
        QVERIFY(lines[2].contains(QStringLiteral("@Второй@")));
    }

    // Eight stations finish 250 examinations each at once in one folder, on four exams of which
    // three are new to the subject journal (two stations race on each); every examinee has the
    // same name, so the stations contend for the report names too.
    void stationsWriteAtOnce()
    {
        QTemporaryDir dir;
        WriteFile(dir.filePath(QStringLiteral("Journal.fzj")), "");
        WriteFile(dir.filePath(QStringLiteral("JTema.fzj")), "1@E0@E0@3\r\n");
        const int stations = 8, each = 250;
        std::vector<std::unique_ptr<QProcess>> running;
        for (int s = 0; s < stations; ++s) {
            auto p = std::make_unique<QProcess>();
            p->start(QStringLiteral(TARVIK_JOURNAL_STATION),
                     {dir.path(), QStringLiteral("S%1").arg(s), QStringLiteral("E%1").arg(s % 4),
                      QString::number(each)});
            running.push_back(std::move(p));
        }
        for (auto &p : running) {
            QVERIFY(p->waitForFinished(300000));
            QCOMPARE(p->exitCode(), 0);
        }
        const QMap<QString, QString> subjects = CheckFolder(dir.path());
        QCOMPARE(subjects.size(), 4);
        QStringList groups;
        const QStringList lines = Utf8Lines(dir.filePath(QStringLiteral("Journal.fzj")));
        QCOMPARE(lines.size(), stations * each);
        for (const QString &line : lines) {
            const QStringList f = line.split(u'@');
            groups.append(f[1]);
            // The line's subject is its station's exam.
            QCOMPARE(subjects.value(f[3]), QStringLiteral("E%1").arg(f[1].mid(1, 1).toInt() % 4));
        }
        groups.removeDuplicates();
        QCOMPARE(groups.size(), stations * each);
        QCOMPARE(QDir(dir.filePath(QStringLiteral("report"))).entryList(QDir::Files).size(),
                 stations * each);
    }

    // A station killed at random moments while it writes: every line is whole, and every line
    // names a report file that is there.
    void killedStationLeavesWholeLines()
    {
        QTemporaryDir dir;
        WriteFile(dir.filePath(QStringLiteral("Journal.fzj")), "");
        WriteFile(dir.filePath(QStringLiteral("JTema.fzj")), "");
        QStringList acknowledged;
        for (int round = 0; round < 8; ++round) {
            QProcess station;
            station.start(QStringLiteral(TARVIK_JOURNAL_STATION),
                          {dir.path(), QStringLiteral("K%1").arg(round),
                           QStringLiteral("E%1").arg(round % 2), QStringLiteral("1000000")});
            QVERIFY(station.waitForStarted());
            // Killed while it writes: once it has written, at a random moment after (a loaded
            // machine may take long to start it).
            QVERIFY(station.waitForReadyRead(30000));
            QThread::msleep(QRandomGenerator::global()->bounded(200));
            ::kill(pid_t(station.processId()), SIGKILL);
            station.waitForFinished();
            // Every examination the station said it had written is in the journal.
            for (const QByteArray &ok : station.readAllStandardOutput().split('\n'))
                if (ok.startsWith("ok "))
                    acknowledged.append(QStringLiteral("@K%1-%2@")
                                            .arg(round)
                                            .arg(QString::fromLatin1(ok.split(' ')[1])));
        }
        CheckFolder(dir.path());
        const QString journal = Utf8Lines(dir.filePath(QStringLiteral("Journal.fzj"))).join(u'\n');
        QVERIFY(!acknowledged.isEmpty());
        for (const QString &group : acknowledged)
            QVERIFY2(journal.contains(group), qPrintable(group));
    }

private:
    static QStringList Utf8Lines(const QString &file)
    {
        const QByteArray bytes = ReadFile(file);
        if (!bytes.isEmpty())
            [&] { QVERIFY2(bytes.endsWith("\r\n"), "the last line is whole"); }();
        return QString::fromUtf8(Cp1251::ToUtf8Text(bytes)).split(u'\n', Qt::SkipEmptyParts);
    }

    // Checks what stations left in a folder; the subject journal's numbers and exams.
    static QMap<QString, QString> CheckFolder(const QString &folder)
    {
        QMap<QString, QString> subjects;
        for (const QString &line : Utf8Lines(JoinPath(folder, QStringLiteral("JTema.fzj")))) {
            const QStringList f = line.split(u'@');
            [&] { QCOMPARE(f.size(), 4); }();
            [&] { QVERIFY2(!subjects.values().contains(f[1]), "one subject line per exam"); }();
            [&] { QVERIFY2(!subjects.contains(f[0]), "one number per subject"); }();
            subjects.insert(f[0], f[1]);
        }
        static const QRegularExpression whole(
            QStringLiteral("^\\d\\d/\\d\\d/\\d\\d@[SK]\\d-\\d+@Иванов И\\.@\\d+@101@66@4@"
                           "(\\d+_\\d{6} Иванов И \\d+\\.fzr)$"));
        QStringList reports;
        for (const QString &line : Utf8Lines(JoinPath(folder, QStringLiteral("Journal.fzj")))) {
            const QRegularExpressionMatch m = whole.match(line);
            [&] { QVERIFY2(m.hasMatch(), qPrintable(line)); }();
            reports.append(m.captured(1));
            const QByteArray report =
                Decoded(JoinPath(folder, QStringLiteral("report/") + m.captured(1)));
            [&] {
                QVERIFY2(report.startsWith(Cp1251::Encode(QStringLiteral("Дата и время экзамена"))),
                         qPrintable(line));
            }();
        }
        const qsizetype all = reports.size();
        reports.removeDuplicates();
        [&] { QCOMPARE(reports.size(), all); }(); // no two lines name one report file
        return subjects;
    }
};

QTEST_MAIN(TestRecords)
#include "test_records.moc"
