#include "core/Cp1251.h"
#include "core/Files.h"
#include "core/Scramble.h"
#include "helpers/Player.h"
#include "helpers/ScriptedDialogs.h"
#include "helpers/TestFiles.h"
#include "session/ExamRun.h"
#include "session/MainWindow.h"
#include "session/Registration.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QtTest>

#include <csignal>

namespace {

QByteArray PasswordFile(const QStringList &records)
{
    return ScrambleBytes(
        Cp1251::Encode(records.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")),
        Keys::Passwords);
}

// Every line a whole record: name@password@group@dd/mm/yy.
bool WellFormed(const QStringList &lines)
{
    static const QRegularExpression record(
        QStringLiteral("^[^@]+@[^@]+@[^@]*@\\d\\d/\\d\\d/\\d\\d$"));
    for (const QString &l : lines)
        if (!record.match(l).hasMatch())
            return false;
    return true;
}

TLineList Lines(const QString &text)
{
    TLineList l;
    l.SetText(text);
    return l;
}

// A journal folder of its own with an exam in it, its journal and roster in Windows-1251.
struct Folder
{
    QTemporaryDir Dir;
    QString Exam, PasswordList;

    Folder(const QByteArray &setup, const QByteArray &journal, const QByteArray &roster)
    {
        qputenv("TARVIK_PROGRAM_DIR", QFile::encodeName(Dir.path()));
        if (!journal.isEmpty())
            WriteFile(Dir.filePath(QStringLiteral("Journal.fzj")),
                      Cp1251::Encode(QString::fromUtf8(journal)));
        if (!roster.isEmpty())
            WriteFile(Dir.filePath(QStringLiteral("JSpisok.fzj")),
                      Cp1251::Encode(QString::fromUtf8(roster)));
        Exam = Dir.filePath(QStringLiteral("exam.fzk"));
        WriteFile(Exam, "[Setup]\r\nAllZ=0\r\n" + setup + "[V0]\r\n");
        PasswordList = Dir.filePath(QStringLiteral("tarvik.pwl"));
    }
};

// The run asks and tells through the program's dialogs, as the window does.
struct DialogView : RunView
{
    bool Message(MessageKind kind, const QString &caption, const QString &text) override
    {
        return Dialogs().Message(nullptr, kind, caption, text);
    }
    std::optional<QString> ConfirmPassword(const QString &caption, const QString &prompt) override
    {
        return Dialogs().Password(nullptr, caption, prompt);
    }
};

// The registration step of a run, without a window.
struct Registration : Folder
{
    RunGlobals Globals;
    ScriptedDialogs Dialogs;
    DialogView View;
    ExamRun Run{Globals, View};

    explicit Registration(const QByteArray &setup) : Folder(setup, {}, {})
    {
        Run.SetExamFileName(Exam);
        Run.Open();
        Run.Reset();
        Settle(Run);
        Run.Next();
        Run.Next();
    }
    void Enter(const QString &group, const QString &name, const QString &password)
    {
        Run.SetExaminee(group, name, password);
    }
    bool Next()
    {
        Step(Run);
        return Run.CurrentPage() != PageRegistration;
    }
};

// The registration page of the window, for its lists.
struct RegistrationPage : Folder, Player
{
    explicit RegistrationPage(const QByteArray &setup, const QByteArray &journal = QByteArray(),
                              const QByteArray &roster = QByteArray())
        : Folder(setup, journal, roster), Player(Exam)
    {
        W->ButNextClick();
        W->ButNextClick();
    }
    QStringList Items(QComboBox *box) const
    {
        QStringList items;
        for (int i = 0; i < box->count(); ++i)
            items.append(box->itemText(i));
        return items;
    }
};

const QByteArray Passwords = "YesPassword=1\r\nSpisok=0\r\n";

} // namespace

class TestRegistration : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void classification_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("password");
        QTest::addColumn<int>("outcome");
        const int match = int(PasswordOutcome::Match), wrong = int(PasswordOutcome::Wrong),
                  taken = int(PasswordOutcome::Taken), fresh = int(PasswordOutcome::New);
        QTest::newRow("name in other letters, same password") << "иванов и."
                                                              << "Secret" << match;
        QTest::newRow("password in other letters") << "Иванов И."
                                                   << "secret" << wrong;
        QTest::newRow("first line of the name decides") << "Петров"
                                                        << "second" << wrong;
        QTest::newRow("only the first line's password counts") << "Петров"
                                                               << "first" << match;
        QTest::newRow("new name, used password") << "Сидоров"
                                                 << "Secret" << taken;
        QTest::newRow("new name, new password") << "Сидоров"
                                                << "fresh" << fresh;
        QTest::newRow("an @ in a name: the name part matches") << "Ким"
                                                               << "Н@x" << wrong;
        QTest::newRow("an @ in a name: the shifted password") << "Ким"
                                                              << "Н" << match;
        QTest::newRow("taken only when no line has the name") << "Ким"
                                                              << "Secret" << wrong;
        QTest::newRow("an @ typed in a name never matches a name") << "Ким@Н"
                                                                   << "Н" << taken;
        QTest::newRow("an @ typed in a password never matches one") << "Сидоров"
                                                                    << "Н@x" << fresh;
    }
    void classification()
    {
        QFETCH(QString, name);
        QFETCH(QString, password);
        const QStringList list{"Иванов И.@Secret@10А@01/09/26", "Петров@first@10А@01/09/26",
                               "Петров@second@11Б@02/09/26", "Ким@Н@x@9@03/09/26"};
        QTEST(int(ClassifyPassword(PasswordList::FromLines(list), name, password)), "outcome");
        QCOMPARE(ClassifyPassword(PasswordList(), name, password), PasswordOutcome::New);
    }

    void examineeLists()
    {
        const TLineList journal = Lines(
            "08/12/26@10А@Иванов@1@11@100@5@\n08/12/26@110@Петров@1@1@50@3@\n"
            "08/12/26@10а@иванов@1@0@0@2@\n09/12/26@9Б@Сидоров@1@1@90@5@\n09/12/26@@Пустой@1\n");
        QCOMPARE(ExamineeGroups(journal, false), (QStringList{"10А", "110", "9Б"}));
        QCOMPARE(ExamineeNames(journal, false, QStringLiteral("1")),
                 (QStringList{"Иванов", "Петров"}));
        QCOMPARE(ExamineeNames(journal, false, QStringLiteral("10а")), (QStringList{"Иванов"}));
        const TLineList roster = Lines("11Б@Ким@extra\n10А@Лебедев\n11б@Орлов\n");
        QCOMPARE(ExamineeGroups(roster, true), (QStringList{"11Б", "10А"}));
        QCOMPARE(ExamineeNames(roster, true, QStringLiteral("11Б")), (QStringList{"Ким", "Орлов"}));
        // After what the list holds already; letters beyond the 16-bit range fold as well.
        QCOMPARE(ExamineeGroups(roster, true, {QStringLiteral("11б"), QStringLiteral("Новый")}),
                 (QStringList{"11б", "Новый", "10А"}));
        QCOMPARE(ExamineeGroups(Lines(QStringLiteral("\U00010400@a\n\U00010428@b\n")), true),
                 QStringList{QStringLiteral("\U00010400")});
    }

    void appendKeepsWhatOthersWrote()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("tarvik.pwl"));
        QCOMPARE(AppendPasswordRecord(path, {}, QStringLiteral("a@1@g@09/12/26")),
                 RegisterResult::Written);
        const QStringList stale = ReadPasswordList(path).Lines();
        // Another station registers meanwhile.
        QCOMPARE(AppendPasswordRecord(path, stale, QStringLiteral("b@2@g@09/12/26")),
                 RegisterResult::Written);
        QCOMPARE(AppendPasswordRecord(path, stale, QStringLiteral("c@3@g@09/12/26")),
                 RegisterResult::Written);
        QCOMPARE(ReadPasswordList(path).Lines(),
                 (QStringList{"a@1@g@09/12/26", "b@2@g@09/12/26", "c@3@g@09/12/26"}));
        // The format: the records with CR LF, scrambled whole with the password-list key.
        QCOMPARE(UnscrambleBytes(ReadFile(path), Keys::Passwords),
                 QByteArray("a@1@g@09/12/26\r\nb@2@g@09/12/26\r\nc@3@g@09/12/26\r\n"));
        // A half-written copy left by a station that died is not the list.
        WriteFile(path + QStringLiteral(".new"), "garbage");
        QCOMPARE(ReadPasswordList(path).Lines().size(), 3);
        QCOMPARE(AppendPasswordRecord(path, {}, QStringLiteral("d@4@g@09/12/26")),
                 RegisterResult::Written);
        QCOMPARE(ReadPasswordList(path).Lines().size(), 4);
        QVERIFY(!QFile::exists(path + QStringLiteral(".new")));
    }

    void stationsRegisterAtOnce()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("tarvik.pwl"));
        const int stations = 4, each = 25;
        std::vector<std::unique_ptr<QProcess>> running;
        for (int s = 0; s < stations; ++s) {
            auto p = std::make_unique<QProcess>();
            p->start(QStringLiteral(TARVIK_PWL_STATION),
                     {path, QStringLiteral("S%1-").arg(s), QString::number(each)});
            running.push_back(std::move(p));
        }
        for (auto &p : running) {
            QVERIFY(p->waitForFinished(120000));
            QCOMPARE(p->exitCode(), 0);
        }
        const QStringList list = ReadPasswordList(path).Lines();
        QCOMPARE(list.size(), stations * each);
        QVERIFY(WellFormed(list));
        for (int s = 0; s < stations; ++s)
            for (int i = 0; i < each; ++i)
                QCOMPARE(list.count(QStringLiteral("S%1-%2@pw-S%1-%2@G@09/12/26").arg(s).arg(i)),
                         1);
    }

    void killedStationLeavesAWholeList()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("tarvik.pwl"));
        // A long list, so a registration takes long enough to be cut in the middle.
        QStringList many;
        for (int i = 0; i < 20000; ++i)
            many.append(QStringLiteral("Old%1@pw%1@G@01/09/26").arg(i));
        WriteFile(path, PasswordFile(many));
        QRandomGenerator random(42);
        int acknowledged = 0;
        for (int round = 0; round < 8; ++round) {
            QProcess p;
            p.start(QStringLiteral(TARVIK_PWL_STATION),
                    {path, QStringLiteral("R%1-").arg(round), QStringLiteral("1000")});
            QVERIFY(p.waitForStarted());
            QTest::qWait(int(random.bounded(20, 120)));
            ::kill(pid_t(p.processId()), SIGKILL);
            p.waitForFinished();
            const QStringList acks =
                QString::fromLatin1(p.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
            acknowledged += int(acks.size());
            const QStringList list = ReadPasswordList(path).Lines();
            QVERIFY2(WellFormed(list), qPrintable(QStringLiteral("round %1").arg(round)));
            QCOMPARE(list.mid(0, 20000), many);
            // Every registration the station reported is there; at most one more (written, not yet
            // reported).
            for (int i = 0; i < acks.size(); ++i)
                QVERIFY(
                    list.contains(QStringLiteral("R%1-%2@pw-R%1-%2@G@09/12/26").arg(round).arg(i)));
            QVERIFY(list.size() - 20000 >= acknowledged &&
                    list.size() - 20000 <= acknowledged + round + 1);
            acknowledged = int(list.size()) - 20000;
        }
    }

    void theFourChecksInOrder()
    {
        Registration p(Passwords + "DublPwrd=0\r\n");
        QCOMPARE(p.Run.CurrentPage(), PageRegistration);
        QVERIFY(!p.Next());
        QCOMPARE(p.Dialogs.Messages.last().Text, QStringLiteral("Не введены данные по группе."));
        p.Enter(QStringLiteral("10А"), QString(), QString());
        QVERIFY(!p.Next());
        QCOMPARE(p.Dialogs.Messages.last().Text,
                 QStringLiteral("Не введены данные по экзаменуемом."));
        p.Enter(QStringLiteral("10А"), QStringLiteral("Иванов"), QString());
        QVERIFY(!p.Next());
        QCOMPARE(p.Dialogs.Messages.last().Text, QStringLiteral("Не введен пароль!"));
        QCOMPARE(p.Dialogs.Messages.last().Caption, QStringLiteral("Ошибка"));
        QVERIFY(!QFile::exists(p.PasswordList)); // no check before the three fields are filled
        p.Enter(QStringLiteral("10А"), QStringLiteral("Иванов"), QStringLiteral("pw"));
        // New, no confirmation asked: registered at once.
        QVERIFY(p.Next());
        QCOMPARE(p.Dialogs.Messages.size(), 3);
        QVERIFY(p.Dialogs.PasswordPrompts.isEmpty());
        const QStringList list = ReadPasswordList(p.PasswordList).Lines();
        QCOMPARE(list.size(), 1);
        QVERIFY(list[0].startsWith(QStringLiteral("Иванов@pw@10А@")));
        // The journal folder was prepared.
        QVERIFY(QFile::exists(p.Dir.filePath(QStringLiteral("Journal.fzj"))));
        QVERIFY(QFile::exists(p.Dir.filePath(QStringLiteral("JTema.fzj"))));
        QVERIFY(QFile::exists(p.Dir.filePath(QStringLiteral("JSpisok.fzj"))));
    }

    void confirmation()
    {
        {
            Registration p(Passwords);
            p.Enter(QStringLiteral("10А"), QStringLiteral("Новиков"), QStringLiteral("pw1"));
            p.Dialogs.TypeNextPassword(std::nullopt); // Cancel
            QVERIFY(!p.Next());
            QCOMPARE(p.Dialogs.PasswordPrompts.last(),
                     QStringLiteral("Подтверждение пароля|Введите свой пароль"));
            QCOMPARE(p.Run.Password(), QStringLiteral("pw1"));
            QVERIFY(ReadPasswordList(p.PasswordList).Lines().isEmpty());
            p.Dialogs.TypeNextPassword(
                QStringLiteral("PW1")); // differs: refused as a wrong password
            QVERIFY(!p.Next());
            QCOMPARE(p.Dialogs.Messages.last().Kind, MessageKind::Warning);
            QCOMPARE(p.Dialogs.Messages.last().Text,
                     QStringLiteral("Введен неверный пароль. Повторите ввод."));
            QVERIFY(p.Run.Password().isEmpty());
            QVERIFY(ReadPasswordList(p.PasswordList).Lines().isEmpty());
            p.Enter(p.Run.Group(), p.Run.Name(), QStringLiteral("pw1"));
            p.Dialogs.TypeNextPassword(QStringLiteral("pw1"));
            QVERIFY(p.Next());
            QCOMPARE(ReadPasswordList(p.PasswordList).Lines().size(), 1);
            QVERIFY(p.Dialogs.AllAnswered()); // every answer set up was asked for
        }
    }

    void knownNames()
    {
        Registration p(Passwords);
        WriteFile(p.PasswordList, PasswordFile({"Иванов@secret@10А@01/09/26"}));
        p.Enter(QStringLiteral("10А"), QStringLiteral("иванов"), QStringLiteral("other"));
        QVERIFY(!p.Next()); // wrong
        QCOMPARE(p.Dialogs.Messages.last().Text,
                 QStringLiteral("Введен неверный пароль. Повторите ввод."));
        QVERIFY(p.Run.Password().isEmpty());
        p.Enter(QStringLiteral("10А"), QStringLiteral("Петров"), QStringLiteral("secret"));
        p.Dialogs.AnswerNext(true); // taken; Yes: type another
        QVERIFY(!p.Next());
        QCOMPARE(p.Dialogs.Messages.last().Kind, MessageKind::Question);
        QCOMPARE(p.Dialogs.Messages.last().Text,
                 QStringLiteral("Введенный пароль уже зарегистрирован в системе. Повторите ввод."));
        QVERIFY(p.Run.Password().isEmpty());
        p.Enter(p.Run.Group(), p.Run.Name(), QStringLiteral("secret"));
        p.Dialogs.AnswerNext(false); // No: a second name with the same password
        QVERIFY(p.Next());
        QCOMPARE(ReadPasswordList(p.PasswordList).Lines().size(), 2);
        QVERIFY(p.Dialogs.PasswordPrompts.isEmpty());
        QVERIFY(p.Dialogs.AllAnswered());
    }

    void matchGoesOn()
    {
        Registration p(Passwords);
        WriteFile(p.PasswordList, PasswordFile({"Иванов@secret@10А@01/09/26"}));
        p.Enter(QStringLiteral("11Б"), QStringLiteral("ИВАНОВ"), QStringLiteral("secret"));
        QVERIFY(p.Next());
        QVERIFY(p.Dialogs.Messages.isEmpty());
        QCOMPARE(ReadPasswordList(p.PasswordList).Lines().size(), 1);
    }

    void unavailableListStopsTheRegistration()
    {
        // The list is held elsewhere for the whole wait: no registration, nothing written, and
        // no examinee taken for a new one.
        Registration p(Passwords + "DublPwrd=0\r\n");
        const QByteArray list = PasswordFile({"Иванов@secret@10А@01/09/26"});
        WriteFile(p.PasswordList, list);
        QProcess holder;
        holder.start(QStringLiteral(TARVIK_FILE_HOLDER), {p.PasswordList, QStringLiteral("16")});
        QVERIFY(holder.waitForReadyRead(5000));
        SetOpenRetryPolicy({3, 10});
        p.Enter(QStringLiteral("10А"), QStringLiteral("Иванов"), QStringLiteral("secret"));
        QVERIFY(!p.Next());
        QCOMPARE(p.Dialogs.Messages.last().Kind, MessageKind::Error);
        QCOMPARE(p.Dialogs.Messages.last().Caption, QStringLiteral("Ошибка"));
        QCOMPARE(p.Dialogs.Messages.last().Text,
                 QStringLiteral("Список паролей недоступен. Повторите ввод."));
        holder.write("\n");
        holder.waitForFinished();
        SetOpenRetryPolicy(RetryPolicy());
        QCOMPARE(ReadFile(p.PasswordList), list);
        QVERIFY(p.Next()); // the same entry, now matched
        QCOMPARE(ReadFile(p.PasswordList), list);
    }

    // Whatever the list holds stays byte for byte: the new list is the old content, then the
    // record.
    void registrationKeepsEveryByte_data()
    {
        QTest::addColumn<QByteArray>("file");
        const QByteArray record = Cp1251::Encode(QStringLiteral("Иванов@secret@10А@01/09/26"));
        QTest::newRow("NUL inside")
            << ScrambleBytes(record + "\r\n" + QByteArray("x\0y@z\r\n", 8), Keys::Passwords);
        QTest::newRow("not text") << ScrambleBytes(QByteArray("\x98\x98\xff\x00\x01\r\n\x98", 8),
                                                   Keys::Passwords);
        QTest::newRow("another key") << ScrambleBytes(record + "\r\n", Keys::Report);
        QTest::newRow("no line end") << ScrambleBytes(record, Keys::Passwords);
        QTest::newRow("unreadable method") << QByteArray("\x21garbage", 8);
        QTest::newRow("one byte") << QByteArray("\x50", 1);
    }
    void registrationKeepsEveryByte()
    {
        QFETCH(QByteArray, file);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("tarvik.pwl"));
        WriteFile(path, file);
        QCOMPARE(AppendPasswordRecord(path, {}, QStringLiteral("Новый@pw@11Б@09/12/26")),
                 RegisterResult::Written);
        const QByteArray after = ReadFile(path);
        QByteArray before = UnscrambleBytes(file, Keys::Passwords);
        if (ScrambleMethod(uchar(file[0])) == 0)
            before = file.mid(1); // nothing could be read under that method byte: kept as content
        else
            QVERIFY(after.startsWith(file)); // the old bytes of the file are the same bytes
        if (!before.isEmpty() && !before.endsWith('\n') && !before.endsWith('\r'))
            before += "\r\n";
        QCOMPARE(UnscrambleBytes(after, Keys::Passwords),
                 before + Cp1251::Encode(QStringLiteral("Новый@pw@11Б@09/12/26\r\n")));
    }

    // Records have no quoting: an "@" in the examinee's data is refused on the page.
    void atSignRefused_data()
    {
        QTest::addColumn<QString>("group");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("password");
        QTest::newRow("group") << "10@А"
                               << "Иванов"
                               << "pw";
        QTest::newRow("name") << "10А"
                              << "Иванов@mail"
                              << "pw";
        QTest::newRow("password") << "10А"
                                  << "Иванов"
                                  << "p@w";
    }
    void atSignRefused()
    {
        QFETCH(QString, group);
        QFETCH(QString, name);
        QFETCH(QString, password);
        Registration p(Passwords + "DublPwrd=0\r\n");
        p.Enter(group, name, password);
        QVERIFY(!p.Next());
        QCOMPARE(p.Dialogs.Messages.size(), 1);
        QCOMPARE(p.Dialogs.Messages.last().Caption, QStringLiteral("Ошибка"));
        QCOMPARE(p.Dialogs.Messages.last().Text,
                 QStringLiteral("Символ @ не допускается в данных об экзаменуемом."));
        QCOMPARE(p.Run.Group(), group); // kept to be corrected
        QCOMPARE(p.Run.Name(), name);
        QCOMPARE(p.Run.Password(), password);
        QVERIFY(!QFile::exists(p.PasswordList));
    }

    void listsFromTheJournal()
    {
        RegistrationPage p("Spisok=0\r\n",
                           "08/12/26@10А@Иванов@1@1@100@5@\r\n08/12/26@110@Петров@1@1@50@3@\r\n"
                           "08/12/26@10а@ИВАНОВ@1@0@0@2@\r\n");
        QCOMPARE(p.Items(Ctl<QComboBox>(*p.W, "ComboBox1")), (QStringList{"10А", "110"}));
        // A box that may be typed into is not dropped down: the typed keys go into the box.
        QVERIFY(!Ctl<QComboBox>(*p.W, "ComboBox1")->view()->isVisible());
        Ctl<QComboBox>(*p.W, "ComboBox1")->setCurrentIndex(0);
        p.W->ComboBox1Click();
        QCOMPARE(p.Items(Ctl<QComboBox>(*p.W, "ComboBox2")), (QStringList{"Иванов"}));
        Ctl<QComboBox>(*p.W, "ComboBox1")->setEditText(QStringLiteral("1"));
        Ctl<QComboBox>(*p.W, "ComboBox1")->setCurrentIndex(-1);
        p.W->ComboBox1Click();
        QCOMPARE(p.Items(Ctl<QComboBox>(*p.W, "ComboBox2")), (QStringList{"Иванов", "Петров"}));
        // Enter adds a typed group and moves to the name.
        Ctl<QComboBox>(*p.W, "ComboBox2")->hidePopup(); // dropped down after the choice
        p.W->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(p.W.get()));
        Ctl<QComboBox>(*p.W, "ComboBox1")->setFocus();
        Ctl<QComboBox>(*p.W, "ComboBox1")->setEditText(QStringLiteral("9В"));
        QTest::keyClick(Ctl<QComboBox>(*p.W, "ComboBox1")->lineEdit(), Qt::Key_Return);
        QCOMPARE(p.Items(Ctl<QComboBox>(*p.W, "ComboBox1")), (QStringList{"10А", "110", "9В"}));
        QVERIFY(Ctl<QComboBox>(*p.W, "ComboBox2")->hasFocus());
        Ctl<QComboBox>(*p.W, "ComboBox2")->setEditText(QStringLiteral("Орлов"));
        // One Enter on the typed name moves on.
        QTest::keyClick(Ctl<QComboBox>(*p.W, "ComboBox2")->lineEdit(), Qt::Key_Return);
        QCOMPARE(p.W->Run().Name(), QStringLiteral("Орлов"));
        QVERIFY(p.W->CurrentPage() != int(PageRegistration));
    }

    void listsFromTheRoster()
    {
        RegistrationPage p("Spisok=1\r\n", QByteArray(), "11Б@Ким\r\n10А@Лебедев\r\n11б@Орлов\r\n");
        QVERIFY(!Ctl<QComboBox>(*p.W, "ComboBox1")->isEditable());
        QCOMPARE(p.Items(Ctl<QComboBox>(*p.W, "ComboBox1")), (QStringList{"11Б", "10А"}));
        Ctl<QComboBox>(*p.W, "ComboBox1")->setCurrentIndex(0);
        p.W->ComboBox1Click();
        QCOMPARE(p.Items(Ctl<QComboBox>(*p.W, "ComboBox2")), (QStringList{"Ким", "Орлов"}));
    }

    void lockedJournalDoesNotHang()
    {
        QTemporaryDir dir;
        WriteFile(dir.filePath(QStringLiteral("Journal.fzj")),
                  Cp1251::Encode(QStringLiteral("08/12/26@10А@Иванов@1@1@100@5@\r\n")));
        QProcess holder;
        holder.start(QStringLiteral(TARVIK_FILE_HOLDER),
                     {dir.filePath(QStringLiteral("Journal.fzj")), QStringLiteral("16")});
        QVERIFY(holder.waitForReadyRead(5000));
        SetOpenRetryPolicy({3, 10});
        qputenv("TARVIK_PROGRAM_DIR", QFile::encodeName(dir.path()));
        RunGlobals g;
        ScriptedDialogs d;
        TFmZK w(g);
        WriteFile(dir.filePath(QStringLiteral("e.fzk")), "[Setup]\r\nSpisok=0\r\n");
        w.SetExamFileName(dir.filePath(QStringLiteral("e.fzk")));
        w.show();
        QCOMPARE(w.CurrentPage(), int(PageTitle));
        QCOMPARE(Ctl<QComboBox>(w, "ComboBox1")->count(), 0);
        SetOpenRetryPolicy(RetryPolicy());
        d.AnswerNext(true);
        w.close();
        holder.write("\n");
        holder.waitForFinished();
    }
};

QTEST_MAIN(TestRegistration)
#include "test_registration.moc"
