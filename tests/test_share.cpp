// The journal folder on a real SMB share: a Samba server of the test's own on 127.0.0.1.
#include "core/Cp1251.h"
#include "core/Files.h"
#include "core/FolderAccess.h"
#include "core/FolderThread.h"
#include "core/Scramble.h"
#include "core/Shares.h"
#include "exam/ExamFile.h"
#include "exam/Pictures.h"
#include "helpers/Player.h"
#include "helpers/Relay.h"
#include "helpers/TestFiles.h"
#include "records/Recording.h"
#include "session/MainWindow.h"
#include "session/Registration.h"

#include "core/Scramble.h"
#include "exam/widgets/MenZK.h"
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTcpServer>
#include <QThread>

#include <QLabel>
#include <QPushButton>
#include <QScopeGuard>
#include <QTimer>
#include <QtTest>

#include <csignal>

namespace {

const QString User = QStringLiteral("tarvikexam");
const QString Password = QStringLiteral("Secret-1");
const QString Share = QStringLiteral("\\\\127.0.0.1\\journal");

QString Server()
{
    return QStringLiteral(TARVIK_SMB_SERVER);
}

// The exam's settings for the share.
QByteArray ShareSettings(const QByteArray &path = "\\\\127.0.0.1\\journal")
{
    return "DbNet=1\r\nPathDbNet=" + path + "\r\nLoginDbNet=tarvikexam\r\nPaswDbNet=Secret-1\r\n";
}

QStringList Lines(const QString &file)
{
    return QString::fromUtf8(Cp1251::ToUtf8Text(ReadFile(file))).split(u'\n', Qt::SkipEmptyParts);
}

// Every line of the list is a whole record.
bool WholeRecords(const QStringList &records)
{
    static const QRegularExpression record(
        QStringLiteral("^[^@]+@[^@]+@[^@]*@\\d\\d/\\d\\d/\\d\\d$"));
    for (const QString &r : records)
        if (!record.match(r).hasMatch())
            return false;
    return !records.isEmpty();
}

} // namespace

class TestShare : public QObject
{
    Q_OBJECT

    QTemporaryDir root_;
    int port_ = 0;

    bool Run(const char *what)
    {
        QStringList args{QString::fromLatin1(what), root_.path()};
        if (qstrcmp(what, "start") == 0)
            args.append(QString::number(port_));
        return QProcess::execute(Server(), args) == 0;
    }
    // The server's folder of the share, as the server sees it.
    QString Local(const QString &name = QString()) const
    {
        return root_.filePath(QStringLiteral("share/") + name);
    }
    // A file put on the share by the server's side, writable by the share's user.
    void Put(const QString &name, const QByteArray &bytes) const
    {
        WriteFile(Local(name), bytes);
        QFile::setPermissions(Local(name), QFileDevice::Permissions(0x6666));
    }
    // Empties the share (the folder itself stays: the server holds it open).
    void Clean()
    {
        QDir share(Local());
        for (const QFileInfo &entry :
             share.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden)) {
            if (entry.isDir())
                QDir(entry.filePath()).removeRecursively();
            else
                QFile::remove(entry.filePath());
        }
    }

private Q_SLOTS:
    void initTestCase()
    {
        port_ = 20000 + int(QRandomGenerator::global()->bounded(30000));
        qputenv("TARVIK_SMB_PORT", QByteArray::number(port_));
        qputenv("TARVIK_SHARE_USER", User.toUtf8());
        qputenv("TARVIK_SHARE_PASSWORD", Password.toUtf8());
        QVERIFY2(Run("start"), "the Samba server of the tests did not start");
    }
    void cleanupTestCase() { Run("stop"); }
    void init() { SetOpenRetryPolicy(RetryPolicy()); }

    // The design's codes of a connection, against the real server.
    void connectionCodes()
    {
        QCOMPARE(ConnectShare(Share, User, QStringLiteral("wrong")), int(ShareLogonFailure));
        QCOMPARE(ConnectShare(QStringLiteral("\\\\127.0.0.1\\nosuch"), User, Password),
                 int(ShareNameNotFound));
        QCOMPARE(ConnectShare(Share + QStringLiteral("\\folder"), User, Password),
                 int(ShareConnected));
        QCOMPARE(ConnectShare(Share, User, Password), int(ShareAlreadyConnected));
        DisconnectShare(Share, true);
        QCOMPARE(ConnectShare(Share, User, Password), int(ShareConnected));
        // Nobody listens there: refused at once.
        QCOMPARE(ConnectShare(QStringLiteral("\\\\127.0.0.2\\journal"), User, Password),
                 int(ShareNotFound));
        QCOMPARE(ConnectShare(QStringLiteral("\\\\no-such-host.invalid\\journal"), User, Password),
                 int(ShareNotFound));
        // A listener that takes the connection and never answers: the path is not found after
        // the client's timeout, not after the library's default of 20 s a call.
        QTcpServer silent;
        QVERIFY(silent.listen(QHostAddress(QStringLiteral("127.0.0.3")), quint16(port_)));
        QCOMPARE(ConnectShare(QStringLiteral("\\\\127.0.0.3\\journal"), User, Password),
                 int(ShareNotFound));
    }

    // The files of the journal folder through the share: sharing modes across processes,
    // exclusive creation, folders level by level.
    void filesOnTheShare()
    {
        Clean();
        QCOMPARE(ConnectShare(Share, User, Password) == ShareConnected ||
                     ConnectShare(Share, User, Password) == ShareAlreadyConnected,
                 true);
        const QString journal = Share + QStringLiteral("\\Journal.fzj");
        FolderAccess &folder = Folder(journal);
        QVERIFY(folder.CreateIfMissing(journal));
        QVERIFY(folder.Exists(journal));
        QVERIFY(!folder.Exists(Share + QStringLiteral("\\none.fzj")));
        QCOMPARE(folder.CreateNew(journal, "x"), FolderAccess::Created::Exists);
        QVERIFY(folder.MakeFolder(Share + QStringLiteral("\\report\\a\\b")));
        QVERIFY(QFileInfo(Local(QStringLiteral("report/a/b"))).isDir());
        // Held deny-write by this station: another station's writer is refused until it is let go.
        auto held = folder.Open(journal, fmOpenReadWrite | fmShareDenyWrite);
        QVERIFY(held);
        QVERIFY(AppendLineTo(*held, journal, "1@a\r\n") >= 0);
        QProcess other;
        other.start(QStringLiteral(TARVIK_JOURNAL_STATION),
                    {Share, QStringLiteral("S9"), QStringLiteral("E9"), QStringLiteral("1")});
        QVERIFY(other.waitForStarted());
        QThread::msleep(300);
        QCOMPARE(other.state(), QProcess::Running); // waiting for the journal
        held.reset();
        QVERIFY(other.waitForFinished(20000));
        QCOMPARE(other.exitCode(), 0);
        QCOMPARE(Lines(Local(QStringLiteral("Journal.fzj"))).size(), 2);
        // A reader of the password list (deny-all) keeps the others out.
        const QString list = Share + QStringLiteral("\\tarvik.pwl");
        QVERIFY(folder.CreateIfMissing(list));
        auto reader = folder.Open(list, fmOpenRead | fmShareExclusive);
        QVERIFY(reader);
        SetOpenRetryPolicy({2, 10});
        QVERIFY(!folder.Open(list, fmOpenRead | fmShareDenyWrite));
        reader.reset();
        QVERIFY(folder.Open(list, fmOpenRead | fmShareDenyWrite));
    }

    // Four stations finish 250 examinations each into the share at once, then four stations
    // register 25 examinees each into one password list on it.
    void stationsOnTheShare()
    {
        Clean();
        Put(QStringLiteral("Journal.fzj"), "");
        Put(QStringLiteral("JTema.fzj"), "");
        std::vector<std::unique_ptr<QProcess>> running;
        for (int s = 0; s < 4; ++s) {
            auto p = std::make_unique<QProcess>();
            p->start(QStringLiteral(TARVIK_JOURNAL_STATION),
                     {Share, QStringLiteral("S%1").arg(s), QStringLiteral("E%1").arg(s % 2),
                      QStringLiteral("250")});
            running.push_back(std::move(p));
        }
        for (auto &p : running) {
            QVERIFY(p->waitForFinished(600000));
            QCOMPARE(p->exitCode(), 0);
        }
        const QStringList subjects = Lines(Local(QStringLiteral("JTema.fzj")));
        QCOMPARE(subjects.size(), 2); // one line per exam
        const QStringList results = Lines(Local(QStringLiteral("Journal.fzj")));
        QCOMPARE(results.size(), 1000);
        static const QRegularExpression whole(QStringLiteral(
            "^\\d\\d/\\d\\d/\\d\\d@(S\\d-\\d+)@Иванов И\\.@[12]@101@66@4@(.+\\.fzr)$"));
        QSet<QString> groups, reports;
        for (const QString &line : results) {
            const QRegularExpressionMatch m = whole.match(line);
            QVERIFY2(m.hasMatch(), qPrintable(line));
            groups.insert(m.captured(1));
            reports.insert(m.captured(2));
            QVERIFY(UnscrambleBytes(ReadFile(Local(QStringLiteral("report/") + m.captured(2))),
                                    Keys::Report)
                        .startsWith(Cp1251::Encode(QStringLiteral("Дата и время экзамена"))));
        }
        QCOMPARE(groups.size(), 1000);
        QCOMPARE(reports.size(), 1000);

        running.clear();
        const QString list = Share + QStringLiteral("\\tarvik.pwl");
        for (int s = 0; s < 4; ++s) {
            auto p = std::make_unique<QProcess>();
            p->start(QStringLiteral(TARVIK_PWL_STATION),
                     {list, QStringLiteral("S%1-").arg(s), QStringLiteral("25")});
            running.push_back(std::move(p));
        }
        for (auto &p : running) {
            QVERIFY(p->waitForFinished(120000));
            QCOMPARE(p->exitCode(), 0);
        }
        const QStringList records =
            PasswordList{
                UnscrambleBytes(ReadFile(Local(QStringLiteral("tarvik.pwl"))), Keys::Passwords)}
                .Lines();
        QCOMPARE(records.size(), 100);
        for (int s = 0; s < 4; ++s)
            for (int i = 0; i < 25; ++i)
                QCOMPARE(records.count(QStringLiteral("S%1-%2@pw-S%1-%2@G@09/12/26").arg(s).arg(i)),
                         1);
    }

    // A station killed while it registers: every record acknowledged before is there, and the
    // list decodes to whole records.
    void killedWhileRegistering()
    {
        Clean();
        const QString list = Share + QStringLiteral("\\tarvik.pwl");
        QStringList acknowledged;
        for (int round = 0; round < 6; ++round) {
            QProcess station;
            station.start(QStringLiteral(TARVIK_PWL_STATION),
                          {list, QStringLiteral("K%1-").arg(round), QStringLiteral("100000")});
            QVERIFY(station.waitForStarted());
            // Killed once it has registered, at a random moment after (a loaded machine may
            // take long to start it).
            QVERIFY(station.waitForReadyRead(30000));
            QThread::msleep(QRandomGenerator::global()->bounded(250));
            ::kill(pid_t(station.processId()), SIGKILL);
            station.waitForFinished();
            for (const QByteArray &ok : station.readAllStandardOutput().split('\n'))
                if (ok.startsWith("ok "))
                    acknowledged.append(
                        QStringLiteral("K%1-%2").arg(round).arg(QString::fromLatin1(ok.mid(3))));
        }
        const QStringList records =
            PasswordList{
                UnscrambleBytes(ReadFile(Local(QStringLiteral("tarvik.pwl"))), Keys::Passwords)}
                .Lines();
        static const QRegularExpression record(QStringLiteral("^(K\\d-\\d+)@pw-\\1@G@09/12/26$"));
        for (const QString &r : records)
            QVERIFY2(record.match(r).hasMatch(), qPrintable(r));
        QVERIFY(!acknowledged.isEmpty());
        for (const QString &name : acknowledged)
            QVERIFY2(records.contains(name + QStringLiteral("@pw-") + name +
                                      QStringLiteral("@G@09/12/26")),
                     qPrintable(name));
    }

    // The server stops during an examination: the result waits on the station and reaches the
    // share, once, when the server is back.
    void serverStopsDuringTheExam()
    {
        Clean();
        Put(QStringLiteral("Journal.fzj"), "");
        QTemporaryDir station;
        PendingResults pending(station.filePath(QStringLiteral("Journal.pending")));
        ExamSettings settings;
        settings.AllZ = 0;
        settings.YesReport = false;
        TLineList lines;
        AnswerLog log;
        log.NotFinished = false;
        AnswerOrderTable order{};
        TMessages messages;
        const ExamRecord record{QStringLiteral("10А"),
                                QStringLiteral("Иванов"),
                                QStringLiteral("e.fzk"),
                                settings,
                                lines,
                                log,
                                order,
                                messages,
                                {}};
        JournalState state;
        ConnectShare(Share, User, Password);
        QVERIFY(Run("stop"));
        const JournalWrite w = WriteJournals(Share, record, state, pending,
                                             QDateTime(QDate(2026, 12, 9), QTime(10, 0)));
        QVERIFY(!w.ResultWritten);
        QVERIFY(w.ResultKept);
        QVERIFY(Run("start"));
        DisconnectShare(Share, true);
        ConnectShare(Share, User, Password);
        for (int i = 0; i < 2; ++i) {
            CompleteKeptResults(pending, state);
            pending.WriteAll();
        }
        QCOMPARE(Lines(Local(QStringLiteral("Journal.fzj"))),
                 QStringList{QStringLiteral("09/12/26@10А@Иванов@1@0@0@0@")});
        QVERIFY(pending.Entries().isEmpty());
    }

    // An exam named by a UNC name is read through the share, and so is a manager file whose
    // subject is there: chosen, it is reachable already, and its share is to be let go later.
    void examOnTheShare()
    {
        Clean();
        Put(QStringLiteral("e.fzk"),
            Cp1251::Encode(QStringLiteral("[Setup]\r\nCEdit=На сервере\r\n")));
        const QString exam = Share + QStringLiteral("\\e.fzk");
        Put(QStringLiteral("subjects.fzm"),
            ScrambleBytes(
                Cp1251::Encode(
                    QStringLiteral("На сервере@ %1 @%2@%3\r\n").arg(exam, User, Password)),
                Keys::Manager));
        ConnectShare(Share, User, Password);
        QString shareDir;
        bool shareOpen = false;
        TFmMenZK manager(Share + QStringLiteral("\\subjects.fzm"), shareDir, shareOpen);
        manager.CheckListBox1->setCurrentRow(0);
        manager.ButStart->click();
        QVERIFY(!manager.isEnabled()); // while the share is reached
        QTRY_COMPARE(manager.result(), int(QDialog::Accepted));
        QCOMPARE(manager.ChosenFile, exam);
        QCOMPARE(shareDir, Share);
        QVERIFY(shareOpen);
        const LoadedExam loaded = LoadExamFile(manager.ChosenFile, 0);
        QCOMPARE(loaded.FileKind, int(KindQuestion));
        QVERIFY(loaded.Lines.Lines().contains(QStringLiteral("CEdit=На сервере")));
        // The window reads it on the folder thread, busy and drawing meanwhile.
        Player p(exam, true, false);
        QTRY_COMPARE(p.W->windowTitle(), QStringLiteral("На сервере"));
        QVERIFY(!Ctl<QLabel>(*p.W, "BusyText")->isVisible());
        QVERIFY(p.Dialogs.Messages.isEmpty());
    }

    // The window with the journal folder on the share: connected before every access and let
    // go after (DbNet_1=0), and the fall back to the program's folder when the share is not there.
    void windowOnTheShare_data()
    {
        QTest::addColumn<QByteArray>("setup");
        QTest::addColumn<bool>("onShare");
        QTest::newRow("connected at every access") << ShareSettings() + "DbNet_1=0\r\n" << true;
        QTest::newRow("connected once") << ShareSettings() << true;
        QTest::newRow("no such share: the program's folder")
            << ShareSettings("\\\\127.0.0.1\\nosuch") << false;
    }
    void windowOnTheShare()
    {
        QFETCH(QByteArray, setup);
        QFETCH(bool, onShare);
        Clean();
        QTemporaryDir program;
        qputenv("TARVIK_PROGRAM_DIR", QFile::encodeName(program.path()));
        const QString exam = program.filePath(QStringLiteral("e.fzk"));
        WriteFile(exam, "[Setup]\r\nAllZ=0\r\nSpisok=0\r\nYesPassword=1\r\nDublPwrd=0\r\n" + setup +
                            "[V0]\r\n");
        {
            Player p(exam);
            TFmZK &w = *p.W;
            QCOMPARE(w.Run().Settings().DbNet, onShare);
            p.Driver().ToFirstQuestion(QStringLiteral("10А"), QStringLiteral("Иванов"),
                                       QStringLiteral("pw"));
            QCOMPARE(w.CurrentPage(), int(PageTextAnswers));
            w.AnswerChosen(1);
            w.ButNextClick();
            QCOMPARE(w.CurrentPage(), int(PageResult));
            QVERIFY(p.Dialogs.Messages.isEmpty());
        }
        QVERIFY(Folders().WaitIdle(30000)); // the records are written behind the result page
        qputenv("TARVIK_PROGRAM_DIR", QByteArray());
        const QString where = onShare ? Local() : program.path() + u'/';
        QCOMPARE(Lines(where + QStringLiteral("Journal.fzj")).size(), 1);
        QCOMPARE(Lines(where + QStringLiteral("JTema.fzj")),
                 QStringList{QStringLiteral("1@e.fzk@@1")});
        QCOMPARE(PasswordList{UnscrambleBytes(ReadFile(where + QStringLiteral("tarvik.pwl")),
                                              Keys::Passwords)}
                     .Lines()
                     .size(),
                 1);
        QCOMPARE(QDir(where + QStringLiteral("report")).entryList(QDir::Files).size(), 1);
    }

    // A bad network on exam day, made by a relay between the station and the server: the
    // window goes on, and every result line ends up once in the journal (or, while the share
    // is away, kept on the station), the password list whole.
    // "Далее>>" pressed on the title page while the share does not answer: the window waits
    // with its own loop, the page and its buttons disabled; a close asked meanwhile waits for
    // the step; the share's error box then comes after the wait and the program ends.
    void titleStepWaitsForAShareThatDoesNotAnswer()
    {
        Clean();
        Relay relay(QStringLiteral(TARVIK_TCP_RELAY), port_);
        QVERIFY(relay.Port);
        DisconnectShare(Share, true);
        qputenv("TARVIK_SMB_PORT", QByteArray::number(relay.Port));
        QTemporaryDir program;
        qputenv("TARVIK_PROGRAM_DIR", QFile::encodeName(program.path()));
        const auto restore = qScopeGuard([this] {
            DisconnectShare(Share, true);
            qputenv("TARVIK_SMB_PORT", QByteArray::number(port_));
            qputenv("TARVIK_PROGRAM_DIR", QByteArray());
        });
        const QString exam = program.filePath(QStringLiteral("e.fzk"));
        WriteFile(exam, "[Setup]\r\nAllZ=0\r\nDbNetLocal=0\r\n" + ShareSettings() + "[V0]\r\n");
        relay.Say("stall");
        Player p(exam, false, false);
        TFmZK &w = *p.W;
        w.ButNextClick();
        QVERIFY(w.Run().StepWaits());
        QVERIFY(Ctl<QLabel>(w, "BusyText")->isVisible());
        QVERIFY(!Ctl<QWidget>(w, "Notebook1")->isEnabled());
        QVERIFY(!Ctl<QPushButton>(w, "ButNext")->isEnabled());
        QVERIFY(!w.close());
        QVERIFY(w.isVisible());
        QVERIFY(p.Settled());
        QTRY_VERIFY(!w.isVisible());
        QCOMPARE(p.Dialogs.Messages.size(), 1);
        QCOMPARE(p.Dialogs.Messages[0].Text,
                 QStringLiteral(
                     "Сетевой ресурс недоступен. Нет доступа к сети. Программа будет закрыта."));
        QVERIFY(p.Dialogs.Unexpected.isEmpty());
        relay.Say("pass");
    }

    void badNetwork_data()
    {
        QTest::addColumn<QByteArray>("setup");
        QTest::addColumn<QString>("fault");
        QTest::addColumn<bool>("onShare"); // where the result line ends up
        QTest::newRow("server stops answering at the last answer")
            << QByteArray() << "last" << true;
        QTest::newRow("server stops answering during the registration")
            << QByteArray() << "registration" << true;
        QTest::newRow("connection cut during the registration") << QByteArray() << "cut" << true;
        QTest::newRow("server silent at start-up: the program's folder")
            << QByteArray() << "start-up" << false;
        QTest::newRow("300 ms each way") << QByteArray() << "slow" << true;
        QTest::newRow("share turns read-only") << QByteArray() << "read-only" << true;
        QTest::newRow("share's disk full") << QByteArray() << "disk full" << true;
    }
    void badNetwork()
    {
        QFETCH(QByteArray, setup);
        QFETCH(QString, fault);
        QFETCH(bool, onShare);
        Clean();
        QString mounted;
        if (fault == QStringLiteral("disk full")) {
            // A small file system behind the share, filled up but for a few bytes.
            mounted = Local(QStringLiteral("full"));
            QDir().mkpath(mounted);
            if (QProcess::execute(QStringLiteral("mount"),
                                  {QStringLiteral("-t"), QStringLiteral("tmpfs"),
                                   QStringLiteral("-o"), QStringLiteral("size=64k"),
                                   QStringLiteral("tmpfs"), mounted}) != 0)
                QSKIP("a tmpfs cannot be mounted here (not root)");
            QFile::setPermissions(mounted, QFileDevice::Permissions(0x7777));
        }
        const auto unmount = qScopeGuard([&] {
            if (!mounted.isEmpty())
                QProcess::execute(QStringLiteral("umount"), {QStringLiteral("-l"), mounted});
        });
        const QString folder = mounted.isEmpty() ? Share : Share + QStringLiteral("\\full");
        const QString local = mounted.isEmpty() ? Local() : mounted + u'/';
        Relay relay(QStringLiteral(TARVIK_TCP_RELAY), port_);
        QVERIFY(relay.Port);
        DisconnectShare(Share, true); // the next connection goes through the relay
        qputenv("TARVIK_SMB_PORT", QByteArray::number(relay.Port));
        const auto restore = qScopeGuard([this] {
            DisconnectShare(Share, true);
            qputenv("TARVIK_SMB_PORT", QByteArray::number(port_));
        });
        QTemporaryDir program;
        qputenv("TARVIK_PROGRAM_DIR", QFile::encodeName(program.path()));
        const QString exam = program.filePath(QStringLiteral("e.fzk"));
        WriteFile(exam, "[Setup]\r\nAllZ=0\r\nSpisok=0\r\nYesPassword=1\r\nDublPwrd=0\r\n" +
                            ShareSettings(folder.toUtf8()) + setup + "[V0]\r\n");
        if (fault == QStringLiteral("slow"))
            relay.Say("delay 300");
        if (fault == QStringLiteral("start-up"))
            relay.Say("stall");
        QString where;
        {
            Player p(exam, false, false);
            TFmZK &w = *p.W;
            // The title page is there at once; the folder is settled behind it.
            QCOMPARE(w.CurrentPage(), int(PageTitle));
            QVERIFY(p.Settled());
            if (fault == QStringLiteral("start-up"))
                relay.Say("pass");
            QCOMPARE(w.Run().Settings().DbNet, onShare);
            where = onShare ? local : program.path() + u'/';
            w.ButNextClick();
            w.ButNextClick();
            p.Driver().Type(QStringLiteral("10А"), QStringLiteral("Иванов"), QStringLiteral("pw"));
            if (fault == QStringLiteral("registration"))
                relay.Say("stall");
            if (fault == QStringLiteral("cut")) { // cut while the check waits on the server
                relay.Say("stall");
                QTimer::singleShot(300, &w, [&] {
                    relay.Say("drop");
                    relay.Say("pass");
                });
            }
            // While the list is checked the window waits, drawing, and takes no second step.
            bool waited = false;
            QTimer::singleShot(200, &w, [&] {
                waited = Ctl<QLabel>(w, "BusyText")->isVisible() &&
                         !Ctl<QPushButton>(w, "ButNext")->isEnabled();
                QTest::keyClick(&w, Qt::Key_Return);
            });
            for (int attempt = 0; attempt < 3 && w.CurrentPage() == PageRegistration; ++attempt) {
                PlayerDriver::Next(w);
                relay.Say("pass");
                p.Driver().Type(QStringLiteral("10А"), QStringLiteral("Иванов"),
                                QStringLiteral("pw"));
            }
            QCOMPARE(w.CurrentPage(), int(PageTextAnswers));
            if (fault == QStringLiteral("registration") || fault == QStringLiteral("slow"))
                QVERIFY(waited);
            if (fault == QStringLiteral("disk full")) // the registration is in; now no room
                QProcess::execute(QStringLiteral("sh"),
                                  {QStringLiteral("-c"),
                                   QStringLiteral("dd if=/dev/zero of='%1/fill' bs=1k count=1000 "
                                                  "2>/dev/null")
                                       .arg(mounted)});
            w.AnswerChosen(1);
            if (fault == QStringLiteral("last"))
                relay.Say("stall");
            if (fault == QStringLiteral("read-only"))
                QProcess::execute(QStringLiteral("chmod"),
                                  {QStringLiteral("-R"), QStringLiteral("a-w"), local});
            w.ButNextClick();
            QCOMPARE(w.CurrentPage(), int(PageResult)); // at once, whatever the share does
            Folders().AwaitVoid([] {});                 // what was handed over is done, and said
            if (fault == QStringLiteral("last") || fault == QStringLiteral("read-only") ||
                fault == QStringLiteral("disk full")) {
                QCOMPARE(w.Run().ResultsKept(), 1);
                QVERIFY(Ctl<QLabel>(w, "WaitingMark")->isVisible());
                relay.Say("pass");
                QProcess::execute(QStringLiteral("chmod"),
                                  {QStringLiteral("-R"), QStringLiteral("a+w"), local});
                QFile::remove(mounted + QStringLiteral("/fill"));
                w.Run().RetryTimer->OnTimer();
                Folders().AwaitVoid([] {}); // what was handed over is done, and said
            }
            QCOMPARE(w.Run().ResultsKept(), 0);
            QVERIFY(!Ctl<QLabel>(w, "WaitingMark")->isVisible());
        }
        Folders().AwaitVoid([] {}); // what was handed over is done, and said
        qputenv("TARVIK_PROGRAM_DIR", QByteArray());
        const QStringList journal = Lines(where + QStringLiteral("Journal.fzj"));
        QCOMPARE(journal.size(), 1);
        // The line names its report file, which is the one in the folder, and the subject
        // journal holds the exam once: nothing was dropped on the way, nothing left twice.
        const QString report = journal[0].trimmed().section(u'@', 7);
        QVERIFY2(!report.isEmpty(), qPrintable(journal[0]));
        QCOMPARE(QDir(where + QStringLiteral("report")).entryList(QDir::Files),
                 QStringList{report});
        QCOMPARE(Lines(where + QStringLiteral("JTema.fzj")).size(), 1);
        QVERIFY(!QFile::exists(program.filePath(QStringLiteral("Journal.pending"))));
        QVERIFY(WholeRecords(PasswordList{
            UnscrambleBytes(ReadFile(where + QStringLiteral("tarvik.pwl")), Keys::Passwords)}
                                 .Lines()));
    }
};
QTEST_MAIN(TestShare)
#include "test_share.moc"
