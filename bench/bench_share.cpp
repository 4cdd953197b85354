// Appending a result line to a journal on a share of a Samba server on loopback (started here,
// as the tests start theirs): one station alone, and four stations at once (processes), each
// line opened deny-write, appended at the end and closed, as the player writes it.
//   per line, 4 stations at once, against 1 station alone                        (target <= 3)
// Two figures for four stations: the journal's own (the time all of them took over every line
// they wrote: what the share gives the lab), and each station's wait for its line (a station's
// time over its own lines: the journal is held by one writer at a time, so this one grows with
// the number of stations however fast each append is).
// Run from the build folder: bench/bench_share (needs samba, as the tests do).

#include "core/Files.h"
#include "core/FolderAccess.h"
#include "core/Shares.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <cstdio>
#include <vector>

namespace {

const QString Share = QStringLiteral("\\\\127.0.0.1\\journal");
const QString Journal = Share + QStringLiteral("\\Journal.fzj");
constexpr int Lines = 300;

// One station: Lines appends; prints the milliseconds they took.
int Station(const QString &name)
{
    if (ConnectShare(Share, QStringLiteral("tarvikexam"), QStringLiteral("Secret-1")) > 85)
        return 1;
    FolderAccess &folder = Folder(Journal);
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < Lines; ++i) {
        const QByteArray line =
            "09/12/26@" + name.toUtf8() + '-' + QByteArray::number(i) + "@Ivanov@1@101@66@4@\r\n";
        auto held = folder.Open(Journal, fmOpenReadWrite | fmShareDenyWrite);
        if (!held || AppendLineTo(*held, Journal, line) < 0)
            return 1;
    }
    std::printf("%f\n", t.nsecsElapsed() / 1e6);
    return 0;
}

struct Figures
{
    double Journal; // wall time over all lines written
    double Station; // the slowest station's time over its own lines
};

Figures Run(int stations, const QString &program)
{
    QElapsedTimer wall;
    wall.start();
    std::vector<std::unique_ptr<QProcess>> running;
    for (int s = 0; s < stations; ++s) {
        auto p = std::make_unique<QProcess>();
        p->start(program, {QStringLiteral("--station"), QStringLiteral("S%1").arg(s)});
        running.push_back(std::move(p));
    }
    double worst = 0;
    for (auto &p : running) {
        p->waitForFinished(600000);
        worst = qMax(worst, p->readAllStandardOutput().trimmed().toDouble());
    }
    return {wall.nsecsElapsed() / 1e6 / (stations * Lines), worst / Lines};
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 3 && args[1] == QStringLiteral("--station"))
        return Station(args[2]);

    QTemporaryDir root;
    const QString server = QStringLiteral(TARVIK_SMB_SERVER);
    const QString port = QString::number(20000 + QRandomGenerator::global()->bounded(30000));
    qputenv("TARVIK_SMB_PORT", port.toUtf8());
    if (QProcess::execute(server, {QStringLiteral("start"), root.path(), port}) != 0) {
        std::fprintf(stderr, "the Samba server did not start\n");
        return 1;
    }
    QFile journal(root.filePath(QStringLiteral("share/Journal.fzj")));
    journal.open(QIODevice::WriteOnly);
    journal.close();
    journal.setPermissions(QFileDevice::Permissions(0x6666));
    Run(1, args[0]); // warm the server
    const Figures one = Run(1, args[0]);
    const Figures four = Run(4, args[0]);
    QProcess::execute(server, {QStringLiteral("stop"), root.path()});
    std::printf("appending a result line to a journal on a loopback share, %d lines a station\n",
                Lines);
    std::printf("  1 station alone: the journal   %7.3f ms a line (the station itself %.3f)\n",
                one.Journal, one.Station);
    std::printf("  4 stations at once: the journal %6.3f ms a line   ratio %.2f (target <= 3)\n",
                four.Journal, four.Journal / one.Journal);
    std::printf("  4 stations at once: each station %5.3f ms a line   ratio %.2f\n", four.Station,
                four.Station / one.Station);
    return 0;
}
