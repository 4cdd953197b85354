// The player on a bad network: a relay of the tests between the player and a Samba server on
// loopback (both started here, as the tests start theirs).
//   the user-interface thread's longest stall (how late a 10 ms timer on it fires) during a
//   registration at 300 ms each way, the last answer with the server stopped, and start-up with
//   a server that never answers                                            (target < 100 ms each)
//   the last answer to the result page with the server stopped, against no share at all
//                                                                              (target <= 1.5)
//   the SMB round trips and the logons of one whole examination, counted at the relay, and at
//   300 ms each way the time of start-up (the folder settled) and of the registration
//                                                                        (target < 3 s each)
// Run from the build folder: bench/bench_network (needs samba, as the tests do).

#include "core/FolderThread.h"
#include "core/Shares.h"
#include "tests/helpers/Player.h"
#include "tests/helpers/Relay.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>

namespace {

// How late a 10 ms timer of the user-interface thread fires, at worst, while it runs.
class StallMeter
{
public:
    StallMeter()
    {
        timer_.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            worst_ = qMax(worst_, since_.nsecsElapsed() / 1e6 - 10);
            since_.restart();
        });
    }
    void Start()
    {
        worst_ = 0;
        since_.start();
        timer_.start(10);
    }
    double Stop()
    {
        timer_.stop();
        return qMax(worst_, since_.nsecsElapsed() / 1e6 - 10);
    }

private:
    QTimer timer_;
    QElapsedTimer since_;
    double worst_ = 0;
};

QByteArray ExamText(bool onShare, const QByteArray &extra = {})
{
    QByteArray text = "[Setup]\r\nAllZ=0\r\nSpisok=0\r\nYesPassword=1\r\nDublPwrd=0\r\n" + extra;
    if (onShare)
        text += "DbNet=1\r\nPathDbNet=\\\\127.0.0.1\\journal\r\nLoginDbNet=tarvikexam\r\n"
                "PaswDbNet=Secret-1\r\n";
    return text + "[V0]\r\n";
}

// One examination in a folder of its own; Between runs at the step named.
struct Examination
{
    QTemporaryDir Program;
    QString Exam;
    explicit Examination(const QByteArray &text)
    {
        qputenv("TARVIK_PROGRAM_DIR", QFile::encodeName(Program.path()));
        Exam = Program.filePath(QStringLiteral("e.fzk"));
        QFile f(Exam);
        f.open(QIODevice::WriteOnly);
        f.write(text);
    }
};

void Wait(int ms)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir server;
    const int port = 20000 + int(QRandomGenerator::global()->bounded(30000));
    const QString smb = QStringLiteral(TARVIK_SMB_SERVER);
    if (QProcess::execute(smb, {QStringLiteral("start"), server.path(), QString::number(port)}) !=
        0) {
        std::fprintf(stderr, "the Samba server did not start\n");
        return 1;
    }
    const auto stop = [&] { QProcess::execute(smb, {QStringLiteral("stop"), server.path()}); };
    Relay relay(QStringLiteral(TARVIK_TCP_RELAY), port);
    qputenv("TARVIK_SMB_PORT", QByteArray::number(relay.Port));
    StallMeter meter;

    // Round trips and logons of one whole examination, connected once and at every access.
    std::printf("one examination (start-up, lists, password check and registration, records)\n");
    for (const QByteArray &once : {QByteArray("1"), QByteArray("0")}) {
        Examination e(ExamText(true, "DbNet_1=" + once + "\r\n"));
        DisconnectShare(QStringLiteral("\\\\127.0.0.1\\journal"), true);
        relay.Say("reset");
        {
            Player p(e.Exam);
            p.Driver().ToFirstQuestion(QStringLiteral("10А"), QStringLiteral("Иванов"),
                                       QStringLiteral("pw"));
            p.W->AnswerChosen(1);
            p.W->ButNextClick();
            Folders().AwaitVoid([] {});
        }
        std::printf("  DbNet_1=%s: %ld SMB round trips, %ld logons\n", once.constData(),
                    relay.Count("trips"), relay.Count("conns"));
    }

    // At 300 ms each way.
    relay.Say("delay 300");
    double startup = 0, registration = 0, registrationStall = 0;
    {
        Examination e(ExamText(true));
        DisconnectShare(QStringLiteral("\\\\127.0.0.1\\journal"), true);
        QElapsedTimer t;
        t.start();
        Player p(e.Exam, false, false);
        p.Settled();
        startup = t.elapsed();
        p.W->ButNextClick();
        p.W->ButNextClick();
        p.Driver().Type(QStringLiteral("10А"), QStringLiteral("Иванов"), QStringLiteral("pw"));
        meter.Start();
        t.restart();
        p.W->ButNextClick();
        registration = t.elapsed();
        registrationStall = meter.Stop();
        Folders().AwaitVoid([] {});
    }
    relay.Say("delay 0");

    // The last answer with the server stopped, and with no share at all.
    double lastNoShare = 0, lastStopped = 0, lastStall = 0;
    for (bool onShare : {false, true}) {
        Examination e(ExamText(onShare));
        DisconnectShare(QStringLiteral("\\\\127.0.0.1\\journal"), true);
        Player p(e.Exam);
        p.Driver().ToFirstQuestion(QStringLiteral("10А"), QStringLiteral("Иванов"),
                                   QStringLiteral("pw"));
        p.W->AnswerChosen(1);
        if (onShare)
            relay.Say("stall");
        meter.Start();
        QElapsedTimer t;
        t.start();
        p.W->ButNextClick();
        (onShare ? lastStopped : lastNoShare) = t.nsecsElapsed() / 1e6;
        Wait(onShare ? 8000 : 200); // the records are written behind, or wait
        if (onShare)
            lastStall = meter.Stop();
        else
            meter.Stop();
        relay.Say("pass");
        Folders().AwaitVoid([] {});
    }

    // Start-up with a server that never answers.
    double startStall = 0;
    {
        Examination e(ExamText(true));
        DisconnectShare(QStringLiteral("\\\\127.0.0.1\\journal"), true);
        relay.Say("stall");
        meter.Start();
        Player p(e.Exam, false, false);
        p.Settled();
        startStall = meter.Stop();
        relay.Say("pass");
        Folders().AwaitVoid([] {});
    }
    stop();

    std::printf("at 300 ms each way\n");
    std::printf("  start-up, the folder settled           %7.0f ms   ratio %.2f to 3 s\n", startup,
                startup / 3000);
    std::printf("  registration (password check, record)  %7.0f ms   ratio %.2f to 3 s\n",
                registration, registration / 3000);
    std::printf("the user-interface thread's longest stall (target < 100 ms)\n");
    std::printf("  registration at 300 ms each way        %7.1f ms   ratio %.2f to 100 ms\n",
                registrationStall, registrationStall / 100);
    std::printf("  last answer, server stopped            %7.1f ms   ratio %.2f to 100 ms\n",
                lastStall, lastStall / 100);
    std::printf("  start-up, server never answers         %7.1f ms   ratio %.2f to 100 ms\n",
                startStall, startStall / 100);
    std::printf("last answer to the result page\n");
    std::printf("  no share %.1f ms, server stopped %.1f ms: ratio %.2f (target <= 1.5)\n",
                lastNoShare, lastStopped, lastStopped / qMax(lastNoShare, 0.001));
    return 0;
}
