#include "StartUp.h"

#include <QtTest>

namespace {

struct World
{
    QStringList Files;            // names that exist
    QString ManagerFile;          // the first *.fzm of the current folder
    QString Dialog;               // what the open dialog returns
    bool ManagerStarts = false;
    QString ManagerChoice;
    int DialogShown = 0;
    int ManagerRun = 0;

    StartupEnvironment Env()
    {
        StartupEnvironment env;
        env.FirstManagerFile = [this] { return ManagerFile; };
        env.AskExamFile = [this] {
            ++DialogShown;
            return Dialog;
        };
        env.RunManager = [this](const QString &, QString &exam) {
            ++ManagerRun;
            exam = ManagerChoice;
            return ManagerStarts;
        };
        env.FileExists = [this](const QString &name) { return Files.contains(name); };
        return env;
    }
};

} // namespace

class TestStartup : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void commandLine_data()
    {
        QTest::addColumn<QStringList>("params");
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<int>("action");
        QTest::addColumn<QString>("exam");
        QTest::addColumn<bool>("noJournal");
        const int run = int(StartupAction::Run), quit = int(StartupAction::Quit),
                  unreachable = int(StartupAction::Unreachable);
        const QString physics = QStringLiteral("C:\\Exams\\Physics 1.fzk");
        QTest::newRow("one quoted parameter taken whole")
            << QStringList{physics} << QStringList{physics} << run << physics << false;
        QTest::newRow("unquoted with /d")
            << QStringList{"C:\\Exams\\Physics", "1.fzk", "/d"} << QStringList{physics} << run
            << physics << true;
        QTest::newRow("blanks between parameters become one")
            << QStringList{"C:\\My", "Exams\\a", "b.fzk"} << QStringList{"C:\\My Exams\\a b.fzk"}
            << run << "C:\\My Exams\\a b.fzk" << false;
        QTest::newRow(".FZK searched before .UZK")
            << QStringList{"a.uzk", "b.fzk"} << QStringList{"a.uzk b.fzk"} << run << "a.uzk b.fzk" << false;
        QTest::newRow("extension in any case, kept as written")
            << QStringList{"exam.Fzk", "/x"} << QStringList{"exam.Fzk"} << run << "exam.Fzk" << false;
        QTest::newRow("/D is no switch") << QStringList{"exam.fzk", "/D"} << QStringList{"exam.fzk"}
                                         << run << "exam.fzk" << false;
        QTest::newRow("single /d is a file name") << QStringList{"/d"} << QStringList{} << unreachable
                                                  << "d" << false;
        QTest::newRow("manager with /d: no extension, silent end")
            << QStringList{"subjects.fzm", "/d"} << QStringList{"subjects.fzm"} << quit << QString()
            << true;
        QTest::newRow(".MZK passes start-up") << QStringList{"old.mzk", "/d"} << QStringList{"old.mzk"}
                                              << run << "old.mzk" << true;
        QTest::newRow("full path gone, bare name here")
            << QStringList{"/mnt/share/exam.uzk"} << QStringList{"exam.uzk"} << run << "exam.uzk" << false;
        QTest::newRow("windows path, bare name here")
            << QStringList{"D:\\tests\\exam.fzk"} << QStringList{"exam.fzk"} << run << "exam.fzk" << false;
        QTest::newRow("nowhere") << QStringList{"/mnt/share/exam.uzk"} << QStringList{} << unreachable
                                 << "exam.uzk" << false;
        QTest::newRow("upper-case manager extension is no manager")
            << QStringList{"LIST.FZM"} << QStringList{"LIST.FZM"} << run << "LIST.FZM" << false;
    }
    void commandLine()
    {
        QFETCH(QStringList, params);
        QFETCH(QStringList, files);
        QFETCH(int, action);
        QFETCH(QString, exam);
        QFETCH(bool, noJournal);
        World w;
        w.Files = files;
        RunGlobals g;
        QCOMPARE(int(DecideStartup(params, w.Env(), g)), action);
        if (action != int(StartupAction::Quit))
            QCOMPARE(g.ExamFileName, exam);
        QCOMPARE(g.NoJournalSwitch, noJournal);
        QCOMPARE(g.CmdSwitches, noJournal);
        QCOMPARE(w.DialogShown, 0);
    }

    void noParameter()
    {
        {
            World w; // a manager file in the folder: used without a dialog, then the manager runs
            w.ManagerFile = QStringLiteral("b.fzm");
            w.ManagerStarts = true;
            w.ManagerChoice = QStringLiteral("/exams/phys.fzk");
            w.Files = {QStringLiteral("/exams/phys.fzk")};
            RunGlobals g;
            QCOMPARE(DecideStartup({}, w.Env(), g), StartupAction::Run);
            QCOMPARE(w.DialogShown, 0);
            QCOMPARE(g.StartFileName, QStringLiteral("b.fzm"));
            QCOMPARE(g.ExamFileName, QStringLiteral("/exams/phys.fzk"));
            QVERIFY(g.ManagerUsed);
        }
        {
            World w; // the manager closed without a subject: silent end
            w.ManagerFile = QStringLiteral("b.fzm");
            RunGlobals g;
            QCOMPARE(DecideStartup({}, w.Env(), g), StartupAction::Quit);
            QCOMPARE(w.ManagerRun, 1);
            QVERIFY(!g.ManagerUsed);
        }
        {
            World w; // no manager file: the dialog; cancelled: silent end
            RunGlobals g;
            QCOMPARE(DecideStartup({}, w.Env(), g), StartupAction::Quit);
            QCOMPARE(w.DialogShown, 1);
            w.Dialog = QStringLiteral("/home/x/exam.uzk");
            w.Files = {w.Dialog};
            QCOMPARE(DecideStartup({}, w.Env(), g), StartupAction::Run);
            QCOMPARE(g.ExamFileName, w.Dialog);
        }
    }
};

QTEST_GUILESS_MAIN(TestStartup)
#include "test_startup.moc"
