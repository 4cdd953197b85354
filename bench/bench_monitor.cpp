// Monitoring figures, as ratios to a reference measured in the same run:
//   the answer step of the player with three enabled servers, one of them accepting and never
//   reading, against the same step with no server                               (target <= 1.2)
//   tarvik-monitor's server with 200 stations sending at full speed (another process): messages
//   handled a second, and the time from a station's send to the table's update, 99th percentile
//                                                                                 (target < 50 ms)

#include "BestTime.h"
#include "core/Cp1251.h"
#include "records/ServerLink.h"
#include "records/widgets/Monitor.h"
#include "session/MainWindow.h"
#include "tests/helpers/PlayerDriver.h"

#include <QApplication>
#include <QComboBox>
#include <QDateTime>
#include <QElapsedTimer>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int Stations = 200;
constexpr int Answers = 500;

// The other process: 200 stations, each INFO!! and then answers as fast as the socket takes
// them, the send time in microseconds (modulo 10^9) as the answer's index.
int Stations200(quint16 port)
{
    std::vector<std::unique_ptr<QTcpSocket>> sockets;
    for (int s = 0; s < Stations; ++s) {
        sockets.push_back(std::make_unique<QTcpSocket>());
        sockets.back()->connectToHost(QHostAddress::LocalHost, port);
    }
    for (auto &s : sockets)
        if (!s->waitForConnected(10000))
            return 1;
    for (int s = 0; s < Stations; ++s)
        sockets[size_t(s)]->write(InfoMessage(0, QStringLiteral("S%1").arg(s), QStringLiteral("G"),
                                              QStringLiteral("E"), Answers));
    for (int a = 0; a < Answers; ++a) {
        for (auto &s : sockets)
            s->write(AnswerMessage(
                0, a, int32_t(QDateTime::currentMSecsSinceEpoch() % 1000000) * 1000, '1'));
        for (auto &s : sockets)
            s->flush();
        QCoreApplication::processEvents();
    }
    for (auto &s : sockets) {
        s->write(ResultMessage(0, QStringLiteral("@5@")) + DisconMessage(0));
        s->waitForBytesWritten(10000);
    }
    return 0;
}

double AnswerSteps(bool servers, QTemporaryDir &dir, quint16 port)
{
    QByteArray setup = "[Setup]\r\nAllZ=1023\r\nSpisok=0\r\nYesReport=0\r\n";
    if (servers)
        setup += "InfIP1=1\r\nIP1=127.0.0.1\r\nInfIP2=1\r\nIP2=127.0.0.2\r\nInfIP3=1\r\nIP3=127.0."
                 "0.3\r\n";
    for (int n = 0; n < 1024; ++n)
        setup += "[V" + QByteArray::number(n) +
                 "]\r\nAllW=4\r\nB3=1\r\nB4=1\r\nS1=a\r\nS2=b\r\nS3=c\r\nS4=d\r\n";
    const QString exam =
        dir.filePath(servers ? QStringLiteral("with.fzk") : QStringLiteral("without.fzk"));
    QFile f(exam);
    f.open(QIODevice::WriteOnly);
    f.write(setup);
    f.close();
    Q_UNUSED(port);
    RunGlobals globals;
    TFmZK w(globals);
    w.SetExamFileName(exam);
    w.show();
    PlayerDriver{w}.ToFirstQuestion(QStringLiteral("10А"), QStringLiteral("Иванов"));
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < 1000; ++i) {
        w.AnswerChosen(1 + i % 4);
        w.ButNextClick();
        QCoreApplication::processEvents();
    }
    return t.nsecsElapsed() / 1e6 / 1000;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 3 && args[1] == QStringLiteral("--stations"))
        return Stations200(quint16(args[2].toInt()));
    if (args.size() == 3 && args[1] == QStringLiteral("--listeners")) {
        const quint16 port = quint16(args[2].toInt());
        QTcpServer reading1, reading2, silent;
        reading1.listen(QHostAddress(QStringLiteral("127.0.0.1")), port);
        reading2.listen(QHostAddress(QStringLiteral("127.0.0.2")), port);
        silent.listen(QHostAddress(QStringLiteral("127.0.0.3")), port); // accepts, never reads
        for (QTcpServer *s : {&reading1, &reading2})
            QObject::connect(s, &QTcpServer::newConnection, s, [s] {
                QTcpSocket *c = s->nextPendingConnection();
                QObject::connect(c, &QTcpSocket::readyRead, c, [c] { c->readAll(); });
            });
        std::printf("listening\n");
        std::fflush(stdout);
        return app.exec();
    }

    // The answer step.
    QTemporaryDir dir;
    qputenv("TARVIK_PROGRAM_DIR", QFile::encodeName(dir.path()));
    const quint16 port = quint16(30000 + QDateTime::currentMSecsSinceEpoch() % 20000);
    qputenv("TARVIK_MONITOR_PORT", QByteArray::number(port));
    // The servers run in another process, as they do in a lab.
    QProcess listeners;
    listeners.start(args[0], {QStringLiteral("--listeners"), QString::number(port)});
    listeners.waitForReadyRead(10000);
    const double without = AnswerSteps(false, dir, port);
    const double with = AnswerSteps(true, dir, port);
    listeners.kill();
    listeners.waitForFinished();

    // The monitor under 200 stations.
    MonitorModel model;
    MonitorServer server;
    model.Follow(server);
    server.Listen(QHostAddress::LocalHost, 0);
    std::vector<double> latencies;
    latencies.reserve(Stations * Answers);
    QObject::connect(
        &server, &MonitorServer::messageReceived, &server,
        [&](int32_t, const MonitorMessage &m, const QDateTime &) {
            if (m.Tag != "ANSWER")
                return;
            const qint64 sentUs = m.Fields[2].toLongLong();
            const qint64 nowUs = (QDateTime::currentMSecsSinceEpoch() % 1000000) * 1000;
            latencies.push_back(double((nowUs - sentUs + 1000000000LL) % 1000000000LL) / 1000.0);
        });
    QProcess stations;
    QElapsedTimer t;
    t.start();
    stations.start(args[0], {QStringLiteral("--stations"), QString::number(server.Port())});
    const qint64 expected = qint64(Stations) * (Answers + 3);
    while (server.MessagesHandled() < expected && t.elapsed() < 120000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    const double seconds = t.nsecsElapsed() / 1e9;
    stations.waitForFinished(10000);
    std::sort(latencies.begin(), latencies.end());
    const double p99 =
        latencies.empty() ? -1 : latencies[size_t(double(latencies.size() - 1) * 0.99)];
    const double p50 = latencies.empty() ? -1 : latencies[latencies.size() / 2];

    std::printf("answer step, 1000 steps of a 1024-question exam\n");
    std::printf("  no server                              %7.3f ms a step\n", without);
    std::printf(
        "  three servers, one never reading       %7.3f ms a step   ratio %.2f (target <= 1.2)\n",
        with, with / without);
    std::printf("monitor, %d stations at full speed, %lld messages (%lld handled)\n", Stations,
                expected, server.MessagesHandled());
    std::printf("  %.0f messages a second; send to table update: median %.1f ms, 99th percentile "
                "%.1f ms (target < 50 ms)\n",
                double(server.MessagesHandled()) / seconds, p50, p99);
    return 0;
}
