#include "core/Cp1251.h"
#include "core/Scramble.h"
#include "exam/widgets/MenZK.h"
#include "helpers/ScriptedDialogs.h"
#include "helpers/TestFiles.h"
#include "session/StartUp.h"
#include "ui/Dialogs.h"

#include <QComboBox>
#include <QGroupBox>
#include <QPushButton>
#include <QtTest>

namespace {

struct World
{
    QStringList Files;   // names that exist
    QString ManagerFile; // the first *.fzm of the current folder
    QString Dialog;      // what the open dialog returns
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

// A manager file as the examiner's tool writes it.
QString WriteManagerFile(const QTemporaryDir &dir, const QString &text)
{
    const QString file = dir.filePath(QStringLiteral("subjects.fzm"));
    WriteFile(file, ScrambleBytes(Cp1251::Encode(text), Keys::Manager));
    return file;
}

// A press on row Row of the check list: on its text, or on its box.
void PressRow(TCheckListBox *list, int row, bool onBox)
{
    const QRect r = list->visualItemRect(list->item(row));
    const QPoint at =
        onBox ? QPoint(r.left() + list->style()->pixelMetric(QStyle::PM_IndicatorWidth) / 2 + 3,
                       r.center().y())
              : QPoint(r.right() - 10, r.center().y());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
}

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
        QTest::newRow("unquoted with /d") << QStringList{"C:\\Exams\\Physics", "1.fzk", "/d"}
                                          << QStringList{physics} << run << physics << true;
        QTest::newRow("blanks between parameters become one")
            << QStringList{"C:\\My", "Exams\\a", "b.fzk"} << QStringList{"C:\\My Exams\\a b.fzk"}
            << run << "C:\\My Exams\\a b.fzk" << false;
        QTest::newRow(".FZK searched before .UZK")
            << QStringList{"a.uzk", "b.fzk"} << QStringList{"a.uzk b.fzk"} << run << "a.uzk b.fzk"
            << false;
        QTest::newRow("extension in any case, kept as written")
            << QStringList{"exam.Fzk", "/x"} << QStringList{"exam.Fzk"} << run << "exam.Fzk"
            << false;
        QTest::newRow("/D is no switch") << QStringList{"exam.fzk", "/D"} << QStringList{"exam.fzk"}
                                         << run << "exam.fzk" << false;
        QTest::newRow("single /d is a file name")
            << QStringList{"/d"} << QStringList{} << unreachable << "d" << false;
        QTest::newRow("manager with /d: no extension, silent end")
            << QStringList{"subjects.fzm", "/d"} << QStringList{"subjects.fzm"} << quit << QString()
            << true;
        QTest::newRow(".MZK passes start-up")
            << QStringList{"old.mzk", "/d"} << QStringList{"old.mzk"} << run << "old.mzk" << true;
        QTest::newRow("full path gone, bare name here")
            << QStringList{"/mnt/share/exam.uzk"} << QStringList{"exam.uzk"} << run << "exam.uzk"
            << false;
        QTest::newRow("windows path, bare name here")
            << QStringList{"D:\\tests\\exam.fzk"} << QStringList{"exam.fzk"} << run << "exam.fzk"
            << false;
        QTest::newRow("nowhere") << QStringList{"/mnt/share/exam.uzk"} << QStringList{}
                                 << unreachable << "exam.uzk" << false;
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

    // The examinee's clicks on the subjects: a click on a subject checks it alone; a click on
    // a box toggles the box first, then selects its subject; Space toggles the current one.
    void managerCheckListClicks_data()
    {
        QTest::addColumn<QStringList>(
            "actions"); // "t2" text of row 2, "b1" box of row 1, "s" Space
        QTest::addColumn<QList<bool>>("checked");
        QTest::addColumn<int>("selected");
        QTest::newRow("click checks") << QStringList{"t0"} << QList<bool>{true, false, false} << 0;
        QTest::newRow("click moves the check")
            << QStringList{"t0", "t2"} << QList<bool>{false, false, true} << 2;
        QTest::newRow("box of another")
            << QStringList{"t0", "b1"} << QList<bool>{false, true, false} << 1;
        QTest::newRow("box of an unchecked one")
            << QStringList{"b2"} << QList<bool>{false, false, true} << 2;
        QTest::newRow("box of the selected one unchecks it")
            << QStringList{"t0", "b0"} << QList<bool>{false, false, false} << 0;
        QTest::newRow("then another box")
            << QStringList{"t0", "b0", "b2"} << QList<bool>{false, false, true} << 2;
        QTest::newRow("space") << QStringList{"t1", "s"} << QList<bool>{false, false, false} << 1;
    }
    void managerCheckListClicks()
    {
        QFETCH(QStringList, actions);
        QFETCH(QList<bool>, checked);
        QFETCH(int, selected);
        QTemporaryDir dir;
        QString shareDir;
        bool shareOpen = true;
        TFmMenZK m(WriteManagerFile(dir, QStringLiteral("А@a.fzk\r\nБ@b.fzk\r\nВ@c.fzk")), shareDir,
                   shareOpen);
        m.show();
        QVERIFY(QTest::qWaitForWindowExposed(&m));
        for (const QString &a : actions) {
            if (a == u"s")
                QTest::keyClick(m.CheckListBox1, Qt::Key_Space);
            else
                PressRow(m.CheckListBox1, a.mid(1).toInt(), a.at(0) == u'b');
        }
        QList<bool> now;
        for (int i = 0; i < 3; ++i)
            now.append(m.CheckListBox1->Checked(i));
        QCOMPARE(now, checked);
        QCOMPARE(m.SelectedIndex(), selected);
        QVERIFY(m.ButStart->isEnabled());
    }

    // The window on a file with categories: the first category's subjects, another category
    // clears the choice, Start hands over the trimmed file and its folder.
    void managerWindow()
    {
        QTemporaryDir dir;
        QString shareDir = QStringLiteral("/old/share");
        bool shareOpen = false;
        TFmMenZK m(WriteManagerFile(dir, QStringLiteral("Физика@ C:\\Экзамены\\ф.uzk @@@7 класс\r\n"
                                                        "Химия@/srv/x.fzk@@@7 КЛАСС\r\n"
                                                        "Алгебра@/srv/a.fzk@@@8 класс\r\n"
                                                        "Без класса@/srv/n.fzk\r\n")),
                   shareDir, shareOpen);
        QVERIFY(m.GroupBox2->isVisibleTo(&m));
        QCOMPARE(m.ComboBox1->count(), 2);
        QCOMPARE(m.ComboBox1->currentText(), QStringLiteral("7 класс"));
        QCOMPARE(m.CheckListBox1->count(), 1);
        QVERIFY(!m.ButStart->isEnabled());
        m.show();
        QVERIFY(QTest::qWaitForWindowExposed(&m));
        PressRow(m.CheckListBox1, 0, false);
        QVERIFY(m.ButStart->isEnabled());
        m.ComboBox1->setCurrentIndex(1);
        Q_EMIT m.ComboBox1->activated(1);
        QCOMPARE(m.CheckListBox1->item(0)->text(), QStringLiteral("Алгебра"));
        QVERIFY(!m.ButStart->isEnabled());
        QCOMPARE(m.SelectedIndex(), -1);
        m.ButStart->click(); // nothing chosen: nothing happens
        QVERIFY(!m.Chosen);
        m.ComboBox1->setCurrentIndex(0);
        Q_EMIT m.ComboBox1->activated(0);
        const QPoint first = m.CheckListBox1->visualItemRect(m.CheckListBox1->item(0)).center();
        QTest::mouseClick(m.CheckListBox1->viewport(), Qt::LeftButton, {}, first);
        QTest::mouseDClick(m.CheckListBox1->viewport(), Qt::LeftButton, {}, first);
        QVERIFY(m.Chosen);
        QCOMPARE(m.ChosenFile, QStringLiteral("C:\\Экзамены\\ф.uzk"));
        QCOMPARE(shareDir, QStringLiteral("C:\\Экзамены"));
        QTRY_COMPARE(m.result(), int(QDialog::Accepted));
        QVERIFY(!shareOpen); // a local subject leaves it as it was
    }

    // Start-up on a manager file, through the real manager window.
    void startupWithManager_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("act"); // row to start, "cancel", or "" (no window)
        QTest::addColumn<int>("action");
        QTest::addColumn<QString>("exam");
        QTest::addColumn<bool>("errorBox");
        const int run = int(StartupAction::Run), quit = int(StartupAction::Quit),
                  unreachable = int(StartupAction::Unreachable);
        const QString lines =
            QStringLiteral("Физика@ C:\\Экзамены\\exam.fzk\r\n\r\nХимия@%1/exam.fzk\r\n");
        QTest::newRow("subject started") << lines << "2" << run << "%1/exam.fzk" << false;
        QTest::newRow("Windows path, bare name here") << lines << "0" << run << "exam.fzk" << false;
        QTest::newRow("blank line: no exam") << lines << "1" << unreachable << "" << false;
        QTest::newRow("cancelled") << lines << "cancel" << quit << "" << false;
        QTest::newRow("unreadable manager file") << QString() << "" << quit << "" << true;
    }
    void startupWithManager()
    {
        QFETCH(QString, text);
        QFETCH(QString, act);
        QFETCH(int, action);
        QFETCH(QString, exam);
        QFETCH(bool, errorBox);
        QTemporaryDir dir;
        WriteFile(dir.filePath(QStringLiteral("exam.fzk")), "[Setup]\r\n");
        const QString manager = text.isEmpty() ? dir.filePath(QStringLiteral("gone.fzm"))
                                               : WriteManagerFile(dir, text.arg(dir.path()));
        const QString previous = QDir::currentPath();
        QDir::setCurrent(dir.path());
        ScriptedDialogs dialogs;
        if (!act.isEmpty())
            dialogs.ActInNextDialog([act](QDialog *d) {
                auto *m = static_cast<TFmMenZK *>(d);
                if (act == u"cancel")
                    return m->ButCancel->click();
                m->CheckListBox1->setCurrentRow(act.toInt());
                m->ButStart->click();
            });
        RunGlobals g;
        StartupEnvironment env;
        env.RunManager = [&g](const QString &, QString &chosen) {
            return RunSubjectManager(nullptr, g, chosen);
        };
        env.FileExists = ExamFileExists;
        const StartupAction result = DecideStartup({manager}, env, g);
        QDir::setCurrent(previous);
        QCOMPARE(int(result), action);
        if (action == int(StartupAction::Run))
            QCOMPARE(g.ExamFileName, exam.contains(u'%') ? exam.arg(dir.path()) : exam);
        QCOMPARE(g.ManagerUsed, action != int(StartupAction::Quit));
        QVERIFY(dialogs.AllAnswered());
        QCOMPARE(dialogs.Messages.size(), errorBox ? 1 : 0);
        if (errorBox)
            QCOMPARE(dialogs.Messages[0].Text, UnreadableManagerMessage.arg(manager));
    }
};

QTEST_MAIN(TestStartup)
#include "test_startup.moc"
