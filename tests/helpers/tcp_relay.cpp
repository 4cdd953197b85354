// A TCP relay between a station and a server, for making network faults on loopback without
// root: tcp_relay TARGET_PORT [TARGET_HOST]. It listens on a free port of 127.0.0.1 and prints
// "listening PORT". Commands on standard input, one a line, each answered "ok":
//   delay MS    every piece of data waits MS milliseconds in each direction
//   stall       nothing passes any more (the server seems to stop answering)
//   pass        data passes again, what was held first
//   drop        every connection is cut now
//   dropin MS   every connection is cut MS milliseconds from now
//   trips       prints "trips N": the exchanges so far (a piece from the station after one from
//               the server, or the first), which is the count of round trips
//   conns       prints "conns N": the connections taken so far (each a logon)
//   reset       counts from 0 again
#include <QCoreApplication>
#include <QHostAddress>
#include <QPointer>
#include <QSocketNotifier>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <cstdio>
#include <list>
#include <memory>
#include <unistd.h>

namespace {

struct Relay;

struct Pair
{
    QTcpSocket *Station;
    QTcpSocket *Server;
    QList<QPair<QTcpSocket *, QByteArray>> Held; // while stalled: the socket to write to, data
    bool LastFromServer = true;
};

struct Relay
{
    QTcpServer Listener;
    quint16 TargetPort = 0;
    QHostAddress TargetHost{QHostAddress::LocalHost};
    int DelayMs = 0;
    bool Stalled = false;
    long Trips = 0;
    long Connections = 0;
    std::list<std::shared_ptr<Pair>> Pairs;

    void Forward(const std::shared_ptr<Pair> &pair, QTcpSocket *to, const QByteArray &data)
    {
        if (Stalled) {
            pair->Held.append({to, data});
            return;
        }
        const QPointer<QTcpSocket> target = to;
        if (DelayMs <= 0) {
            to->write(data);
            return;
        }
        QTimer::singleShot(DelayMs, Qt::PreciseTimer, to, [target, data] {
            if (target)
                target->write(data);
        });
    }

    void Accept()
    {
        while (QTcpSocket *station = Listener.nextPendingConnection()) {
            ++Connections;
            auto pair = std::make_shared<Pair>();
            pair->Station = station;
            pair->Server = new QTcpSocket(station);
            pair->Server->connectToHost(TargetHost, TargetPort);
            Pairs.push_back(pair);
            QObject::connect(station, &QTcpSocket::readyRead, station, [this, pair] {
                const QByteArray data = pair->Station->readAll();
                if (pair->LastFromServer)
                    ++Trips;
                pair->LastFromServer = false;
                Forward(pair, pair->Server, data);
            });
            QObject::connect(pair->Server, &QTcpSocket::readyRead, station, [this, pair] {
                pair->LastFromServer = true;
                Forward(pair, pair->Station, pair->Server->readAll());
            });
            const auto close = [this, pair] { Cut(pair); };
            QObject::connect(station, &QTcpSocket::disconnected, station, close);
            QObject::connect(pair->Server, &QTcpSocket::disconnected, station, close);
        }
    }

    void Cut(const std::shared_ptr<Pair> &pair)
    {
        Pairs.remove(pair);
        pair->Server->abort();
        pair->Station->abort();
        pair->Station->deleteLater();
    }

    void Pass()
    {
        Stalled = false;
        for (const auto &pair : Pairs) {
            for (const auto &held : pair->Held)
                held.first->write(held.second);
            pair->Held.clear();
        }
    }

    void DropAll()
    {
        const auto all = Pairs;
        for (const auto &pair : all)
            Cut(pair);
    }

    QByteArray Command(const QByteArray &line)
    {
        const QList<QByteArray> words = line.trimmed().split(' ');
        const QByteArray what = words.value(0);
        const int ms = words.value(1).toInt();
        if (what == "delay")
            DelayMs = ms;
        else if (what == "stall")
            Stalled = true;
        else if (what == "pass")
            Pass();
        else if (what == "drop")
            DropAll();
        else if (what == "dropin")
            QTimer::singleShot(ms, &Listener, [this] { DropAll(); });
        else if (what == "trips")
            return "trips " + QByteArray::number(qlonglong(Trips));
        else if (what == "conns")
            return "conns " + QByteArray::number(qlonglong(Connections));
        else if (what == "reset")
            Trips = Connections = 0;
        else
            return "unknown";
        return "ok";
    }
};

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: tcp_relay TARGET_PORT [TARGET_HOST]\n");
        return 2;
    }
    Relay relay;
    relay.TargetPort = quint16(QByteArray(argv[1]).toUInt());
    if (argc > 2)
        relay.TargetHost = QHostAddress(QString::fromLatin1(argv[2]));
    QObject::connect(&relay.Listener, &QTcpServer::newConnection, [&] { relay.Accept(); });
    if (!relay.Listener.listen(QHostAddress::LocalHost, 0)) {
        std::fprintf(stderr, "tcp_relay: cannot listen\n");
        return 1;
    }
    std::printf("listening %d\n", int(relay.Listener.serverPort()));
    std::fflush(stdout);
    QByteArray pending;
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
        char buffer[256];
        const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (n <= 0) {
            app.quit(); // the test is gone
            return;
        }
        pending.append(buffer, int(n));
        for (qsizetype end; (end = pending.indexOf('\n')) >= 0;) {
            const QByteArray answer = relay.Command(pending.left(end));
            pending.remove(0, end + 1);
            std::printf("%s\n", answer.constData());
            std::fflush(stdout);
        }
    });
    return app.exec();
}
