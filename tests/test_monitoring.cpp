// The station's link to its monitoring servers, against listeners of the test on loopback.
#include "core/Cp1251.h"
#include "helpers/Player.h"
#include "helpers/TestFiles.h"
#include "records/ServerLink.h"
#include "records/widgets/Monitor.h"
#include "session/MainWindow.h"

#include <QComboBox>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>

namespace {

// A monitoring server of the test: keeps what each station sends; may answer NUMBER at once or
// after the first message.
struct Listener
{
    QTcpServer Server;
    QByteArray Received;
    QByteArray Number; // "NUMBER7", or nothing
    bool AnswerFirst = true;
    bool Closed = false;

    Listener(const char *address, quint16 port)
    {
        Server.listen(QHostAddress(QString::fromLatin1(address)), port);
        QObject::connect(&Server, &QTcpServer::newConnection, &Server, [this] {
            QTcpSocket *s = Server.nextPendingConnection();
            if (AnswerFirst && !Number.isEmpty())
                s->write(Number);
            QObject::connect(s, &QTcpSocket::readyRead, s, [this, s] {
                if (!AnswerFirst && !Number.isEmpty() && Received.isEmpty())
                    s->write(Number);
                Received += s->readAll();
            });
            QObject::connect(s, &QTcpSocket::disconnected, s, [this] { Closed = true; });
        });
    }
};

quint16 TestPort()
{
    static const quint16 port = quint16(30000 + QRandomGenerator::global()->bounded(20000));
    return port;
}

} // namespace

class TestMonitoring : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { qputenv("TARVIK_MONITOR_PORT", QByteArray::number(TestPort())); }

    // A whole examination on the wire, byte for byte, with one, two and three servers, the
    // number arriving while the station waits after connecting, or only after its INFO!!.
    void wholeExamination_data()
    {
        QTest::addColumn<int>("servers");
        QTest::addColumn<bool>("numberFirst");
        QTest::addColumn<bool>("interrupt");
        QTest::newRow("one server, number at once") << 1 << true << false;
        QTest::newRow("two servers, number after INFO!!") << 2 << false << false;
        QTest::newRow("three servers") << 3 << true << false;
        QTest::newRow("interrupted") << 1 << true << true;
    }
    void wholeExamination()
    {
        QFETCH(int, servers);
        QFETCH(bool, numberFirst);
        QFETCH(bool, interrupt);
        QTemporaryDir dir;
        qputenv("TARVIK_PROGRAM_DIR", QFile::encodeName(dir.path()));
        const char *addresses[] = {"127.0.0.1", "127.0.0.2", "127.0.0.3"};
        std::vector<std::unique_ptr<Listener>> listeners;
        QByteArray setup;
        for (int k = 0; k < servers; ++k) {
            listeners.push_back(std::make_unique<Listener>(addresses[k], TestPort()));
            listeners.back()->Number = "NUMBER" + QByteArray::number(7 + k);
            listeners.back()->AnswerFirst = numberFirst;
            setup += "InfIP" + QByteArray::number(k + 1) + "=1\r\nIP" + QByteArray::number(k + 1) +
                     "=" + addresses[k] + "\r\n";
        }
        const QString exam = dir.filePath(QStringLiteral("e.fzk"));
        WriteFile(exam,
                  Cp1251::Encode(QStringLiteral(
                      "[Setup]\r\nAllZ=1\r\nSpisok=0\r\nCEdit= История \r\nYesReport=0\r\n")) +
                      setup + "[V0]\r\nCorNo=1\r\n[V1]\r\nCorNo=1\r\n");
        Player p(exam);
        const auto &w = p.W;
        p.Driver().ToFirstQuestion(QStringLiteral("10А"), QStringLiteral("Иванов"));
        QCOMPARE(w->CurrentPage(), int(PageTextAnswers));
        QTRY_VERIFY(Ctl<ShapeIndicator>(*w, "Shape1")->isVisible()); // lime: connected
        // The examinee reads the question meanwhile: a number sent after INFO!! arrives.
        QTRY_COMPARE(w->Run().Link().ClientNumber(servers - 1), 6 + servers);
        w->AnswerChosen(1);
        w->ButNextClick();
        if (interrupt) {
            p.Dialogs.AnswerNext(true);
            w->close();
        } else {
            w->AnswerChosen(2);
            w->ButNextClick();
        }
        for (int k = 0; k < servers; ++k) {
            Listener &l = *listeners[size_t(k)];
            QTRY_VERIFY(l.Closed);
            const QByteArray n = QByteArray::number(7 + k);
            const QByteArray first = numberFirst ? n : "0";
            const int q0 = w->Run().QuestionOrder()[0], q1 = w->Run().QuestionOrder()[1];
            QByteArray expected = "INFO!!" + first + "@" +
                                  Cp1251::Encode(QStringLiteral("Иванов@10А@История@2@")) +
                                  "ANSWER" + n + "@" + QByteArray::number(q0) + "@0@1@";
            expected += interrupt ? "RESULT" + n + "@Not Fin@DISCON" + n + "@"
                                  : "ANSWER" + n + "@" + QByteArray::number(q1) + "@1@0@RESULT" +
                                        n + "@3@DISCON" + n + "@";
            QCOMPARE(l.Received, expected);
            QCOMPARE(w->Run().Link().ClientNumber(k), 7 + k);
        }
        if (!interrupt) {
            p.Dialogs.AnswerNext(true);
            w->close();
        }
        qputenv("TARVIK_PROGRAM_DIR", QByteArray());
    }

    // Messages asked for while INFO!! waits for its connection go out after it, in order; the
    // caller is not held meanwhile. A reset drops what waits: a new examinee's server never
    // gets the last one's messages.
    void messagesWaitTheirTurn_data()
    {
        QTest::addColumn<bool>("reset");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("answer and result during the wait")
            << false << QByteArray("INFO!!7@a@b@c@1@ANSWER7@0@0@1@RESULT7@5@DISCON7@");
        QTest::newRow("reset during the wait") << true << QByteArray();
    }
    void messagesWaitTheirTurn()
    {
        QFETCH(bool, reset);
        QFETCH(QByteArray, expected);
        Listener l("127.0.0.1", TestPort());
        l.Number = "NUMBER7";
        ExamSettings s;
        s.InfIP1 = true;
        s.IP1 = QStringLiteral("127.0.0.1");
        ServerLink link;
        link.Configure(s);
        link.SendInfo(QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"), 1);
        link.SendAnswer(0, 0, '1');
        link.SendResult(QStringLiteral("@5@"));
        if (reset)
            link.Reset();
        QTRY_VERIFY(l.Closed);
        QCOMPARE(l.Received, expected);
    }

    // Servers that cannot be had: the slot is given up quietly, its lamp red, the examination
    // goes on; a server that never reads is given up when its queue is full; the reset closes
    // every socket without a message.
    void serversThatFail()
    {
        ExamSettings s;
        s.InfIP1 = s.InfIP2 = s.InfIP3 = true;
        s.IP1 = QStringLiteral("127.0.0.5");  // nobody listens: refused
        s.IP2 = QString();                    // empty
        s.IP3 = QStringLiteral("server.lab"); // a name: no lookup
        ServerLink link;
        QList<std::pair<int, ServerLink::Lamp>> lamps;
        connect(&link, &ServerLink::lampChanged, this, [&](int k, ServerLink::Lamp l) {
            lamps.append({k, l});
        });
        link.Configure(s);
        link.SendInfo(QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"), 1);
        QTRY_VERIFY(!link.Enabled(0));
        QVERIFY(!link.Enabled(1));
        QVERIFY(!link.Enabled(2));
        QVERIFY(lamps.contains({0, ServerLink::Lamp::Lost}));
        QVERIFY(lamps.contains({1, ServerLink::Lamp::Lost}));
        link.SendAnswer(0, 0, '1'); // nothing to send to, nothing happens
        link.SendResult(QStringLiteral("@5@"));

        // A server that accepts and never reads.
        QTcpServer silent;
        QVERIFY(silent.listen(QHostAddress(QStringLiteral("127.0.0.6")), TestPort()));
        s.InfIP2 = s.InfIP3 = false;
        s.IP1 = QStringLiteral("127.0.0.6");
        link.Configure(s);
        link.SendInfo(QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"), 1);
        QVERIFY(link.Enabled(0));
        for (int i = 0; i < 100000 && link.Enabled(0); ++i)
            link.SendAnswer(i, i, '1');
        QVERIFY(!link.Enabled(0)); // the queue would have grown without end
        lamps.clear();
        link.Reset();
        QCOMPARE(lamps.size(), 3);
        QVERIFY(lamps.contains({0, ServerLink::Lamp::Hidden}));
    }

    // A connection neither made nor refused (the server's queue is full, its SYNs dropped) is
    // given up after a few seconds: the lamp turns red instead of staying dark.
    void connectionNeverMade()
    {
        QTcpServer full;
        full.setListenBacklogSize(0);
        QVERIFY(full.listen(QHostAddress(QStringLiteral("127.0.0.8")), TestPort()));
        full.pauseAccepting();
        std::vector<std::unique_ptr<QTcpSocket>> fillers;
        for (int i = 0; i < 8; ++i) {
            fillers.push_back(std::make_unique<QTcpSocket>());
            fillers.back()->connectToHost(QHostAddress(QStringLiteral("127.0.0.8")), TestPort());
        }
        QTest::qWait(200);
        ExamSettings s;
        s.InfIP1 = true;
        s.IP1 = QStringLiteral("127.0.0.8");
        ServerLink link;
        QList<ServerLink::Lamp> lamps;
        connect(&link, &ServerLink::lampChanged, this,
                [&](int, ServerLink::Lamp l) { lamps.append(l); });
        link.Configure(s);
        link.SendInfo(QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"), 1);
        QTRY_VERIFY_WITH_TIMEOUT(!link.Enabled(0), 3 * ServerLink::ConnectTimeoutMs);
        QCOMPARE(lamps.last(), ServerLink::Lamp::Lost);
    }

    // NUMBER as TCP delivers it: split, doubled, malformed, drowned in garbage.
    void numberMessages_data()
    {
        QTest::addColumn<QByteArrayList>("reads");
        QTest::addColumn<int>("number");
        QTest::newRow("whole") << QByteArrayList{"NUMBER12"} << 12;
        QTest::newRow("split in the digits") << QByteArrayList{"NUMBER1", "2"} << 12;
        QTest::newRow("split in the tag") << QByteArrayList{"NUM", "BER34"} << 34;
        QTest::newRow("two in one read, the last wins") << QByteArrayList{"NUMBER3NUMBER4"} << 4;
        QTest::newRow("malformed: ignored") << QByteArrayList{"NUMBER5", "xNUMBERyz"} << 5;
        QTest::newRow("too large: ignored") << QByteArrayList{"NUMBER6", "NUMBER99999999999"} << 6;
        QTest::newRow("megabytes of garbage")
            << QByteArrayList{"NUMBER8", QByteArray(4 << 20, 'z'), QByteArray(1 << 20, '7')} << 8;
    }
    void numberMessages()
    {
        QFETCH(QByteArrayList, reads);
        QFETCH(int, number);
        QByteArray received;
        int32_t n = 0;
        for (const QByteArray &r : reads) {
            received += r;
            TakeNumber(received, n);
            QVERIFY(received.size() <= 16); // the buffer stays small whatever comes
        }
        QCOMPARE(n, number);
    }

    // What stations send, as TCP delivers it and as a bad peer sends it: the messages that
    // are whole come out, nothing else, and the buffer stays bounded.
    void parser_data()
    {
        QTest::addColumn<QByteArrayList>("reads");
        QTest::addColumn<QStringList>("messages");
        const QByteArray info = Cp1251::Encode(QStringLiteral("INFO!!3@Иванов@10А@История@2@"));
        QTest::newRow("in pieces")
            << QByteArrayList{info.left(9), info.mid(9, 5), info.mid(14) + "ANSW", "ER3@0@0@1@"}
            << QStringList{"INFO!!|3|Иванов|10А|История|2", "ANSWER|3|0|0|1"};
        QTest::newRow("garbage and an unknown tag")
            << QByteArrayList{"\x01\xffHELLO!1@2@" + info + "xyzDISCON3@"}
            << QStringList{"INFO!!|3|Иванов|10А|История|2", "DISCON|3"};
        QTest::newRow("a field that is no number")
            << QByteArrayList{"ANSWERx@y@z@1@"} << QStringList{"ANSWER|x|y|z|1"};
        QTest::newRow("cut short by the next message")
            << QByteArrayList{"INFO!!3@Пет", "RESULT3@5@"} << QStringList{"RESULT|3|5"};
        QTest::newRow("10 MB without an @")
            << QByteArrayList{"INFO!!" + QByteArray(10 << 20, 'z'), "DISCON1@"}
            << QStringList{"DISCON|1"};
    }
    void parser()
    {
        QFETCH(QByteArrayList, reads);
        QFETCH(QStringList, messages);
        MonitorParser parser;
        QStringList got;
        for (const QByteArray &r : reads)
            for (const MonitorMessage &m : parser.Feed(r))
                got.append(QString::fromLatin1(m.Tag) + u'|' + m.Fields.join(u'|'));
        QCOMPARE(got, messages);
    }

    // The player and the monitor together on loopback: tarvik-monitor without a window writes its
    // journal, a monitor in this process fills its table.
    void playerAndMonitor()
    {
        QTemporaryDir dir;
        const QString log = dir.filePath(QStringLiteral("monitor.log"));
        QProcess monitor;
        monitor.start(QStringLiteral(TARVIK_MONITOR),
                      {"--headless", "--address", "127.0.0.1", "--port",
                       QString::number(TestPort()), "--log", log});
        QVERIFY(monitor.waitForReadyRead(10000));
        MonitorModel model;
        MonitorServer server;
        model.Follow(server);
        QVERIFY(server.Listen(QHostAddress(QStringLiteral("127.0.0.2")), TestPort()));
        qputenv("TARVIK_PROGRAM_DIR", QFile::encodeName(dir.path()));
        const QString exam = dir.filePath(QStringLiteral("e.fzk"));
        WriteFile(exam, Cp1251::Encode(QStringLiteral(
                            "[Setup]\r\nAllZ=1\r\nSpisok=0\r\nCEdit=История\r\nBolNotKnow=1\r\n"
                            "InfIP1=1\r\nIP1=127.0.0.1\r\nInfIP2=1\r\nIP2=127.0.0.2\r\n[V0]"
                            "\r\nCorNo=1\r\n[V1]\r\n")));
        {
            Player p(exam);
            TFmZK &w = *p.W;
            p.Driver().ToFirstQuestion(QStringLiteral("10А"), QStringLiteral("Иванов"));
            QTRY_COMPARE(model.rowCount(), 1);
            QTRY_COMPARE(model.RowAt(0).State, MonitorModel::RowState::InProgress);
            w.AnswerChosen(w.Run().CurrentQuestion().CorNo); // right
            w.ButNextClick();
            QTRY_COMPARE(model.RowAt(0).Answered, 1); // the row fills as the examinee answers
            w.RadioButNotKwonClick();
            w.ButNextClick();
            QCOMPARE(w.CurrentPage(), int(PageResult));
        }
        qputenv("TARVIK_PROGRAM_DIR", QByteArray());
        QTRY_VERIFY(!model.RowAt(0).Open);
        const MonitorModel::Row &row = model.RowAt(0);
        QCOMPARE(row.Name, QStringLiteral("Иванов"));
        QCOMPARE(row.Group, QStringLiteral("10А"));
        QCOMPARE(row.Exam, QStringLiteral("История"));
        QCOMPARE(row.Answered, 2);
        QCOMPARE(row.Total, 2);
        QCOMPARE(row.Correct, 1);
        QCOMPARE(row.DontKnow, 1);
        QCOMPARE(row.Mark, QStringLiteral("3"));
        QCOMPARE(row.State, MonitorModel::RowState::Finished);
        QVERIFY(model.Csv().startsWith("\xEF\xBB\xBF"));
        QTRY_COMPARE(QString::fromUtf8(ReadFile(log)).count(u'\n'), 5);
        const QStringList lines = QString::fromUtf8(ReadFile(log)).split(u'\n', Qt::SkipEmptyParts);
        QVERIFY(lines[0].contains(QStringLiteral("\t127.0.0.1\t")));
        QVERIFY(lines[0].endsWith(QStringLiteral("\tINFO!!1@Иванов@10А@История@2@")));
        QVERIFY(lines[1].contains(QStringLiteral("\tANSWER1@")));
        QVERIFY(lines[2].endsWith(QStringLiteral("@1@2@")));
        QVERIFY(lines[3].endsWith(QStringLiteral("\tRESULT1@3@")));
        QVERIFY(lines[4].endsWith(QStringLiteral("\tDISCON1@")));
        monitor.kill();
        monitor.waitForFinished();
    }

    // The monitor under load: 200 stations at once, each INFO!!, 100 answers and RESULT in
    // pieces of random size; every message accounted for, none mixed between stations.
    void monitorUnderLoad()
    {
        MonitorModel model;
        MonitorServer server;
        model.Follow(server);
        QVERIFY(server.Listen(QHostAddress(QStringLiteral("127.0.0.7")), 0));
        const int stations = 200, answers = 100;
        std::vector<std::unique_ptr<QTcpSocket>> sockets;
        std::vector<QByteArray> streams;
        std::vector<int> correct;
        for (int s = 0; s < stations; ++s) {
            QByteArray stream = "INFO!!0@Station" + QByteArray::number(s) + "@G" +
                                QByteArray::number(s) + "@Exam@100@";
            int right = 0;
            for (int a = 0; a < answers; ++a) {
                const char code = "012"[(s + a) % 3];
                right += code == '1';
                stream += AnswerMessage(0, a, a, code);
            }
            stream += "RESULT0@" + QByteArray::number(2 + s % 4) + "@DISCON0@";
            streams.push_back(stream);
            correct.push_back(right);
            sockets.push_back(std::make_unique<QTcpSocket>());
            sockets.back()->connectToHost(QHostAddress(QStringLiteral("127.0.0.7")), server.Port());
        }
        for (auto &socket : sockets)
            QTRY_COMPARE_WITH_TIMEOUT(socket->state(), QAbstractSocket::ConnectedState, 10000);
        // Sent in pieces of random size, the stations taking turns.
        std::vector<qsizetype> sent(stations, 0);
        for (bool more = true; more;) {
            more = false;
            for (int s = 0; s < stations; ++s) {
                if (sent[s] >= streams[s].size())
                    continue;
                const qsizetype piece = 1 + QRandomGenerator::global()->bounded(300);
                sockets[s]->write(streams[s].mid(sent[s], piece));
                sent[s] += piece;
                more = true;
            }
            QCoreApplication::processEvents();
        }
        QTRY_COMPARE_WITH_TIMEOUT(server.MessagesHandled(), qint64(stations * (answers + 3)),
                                  30000);
        QCOMPARE(model.rowCount(), stations);
        for (int r = 0; r < stations; ++r) {
            const MonitorModel::Row &row = model.RowAt(r);
            const int s = row.Name.mid(7).toInt();
            QCOMPARE(row.Name, QStringLiteral("Station%1").arg(s));
            QCOMPARE(row.Group, QStringLiteral("G%1").arg(s));
            QCOMPARE(row.Answered, answers);
            QCOMPARE(row.Correct, correct[size_t(s)]);
            QCOMPARE(row.Mark, QString::number(2 + s % 4));
        }
    }
};

QTEST_MAIN(TestMonitoring)
#include "test_monitoring.moc"
