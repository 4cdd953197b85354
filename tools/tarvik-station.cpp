// A station without a display, for load and fault runs of many stations on one journal folder:
// tarvik-station [--examinees N] [--group G] [--names PREFIX] [--seed S] [--think MIN-MAX]
//                [--password P] [--ledger FILE] [--drain SECONDS] EXAMFILE
// Examinee k registers as "PREFIX k" in group G and answers at random after the think time; the
// ledger gets a line "group@name@answers@percent@mark@exam file" for each one who finishes, just
// before the result is kept. SIGTERM ends it as closing the player's window does.
// Exit status: 0 nothing kept, 3 results still kept after the drain, 1 an error (said on
// standard error), 2 usage.

#include "core/FolderThread.h"
#include "session/Station.h"

#include <QCoreApplication>
#include <QHostInfo>
#include <QSocketNotifier>
#include <QTimer>

#include <csignal>
#include <cstdio>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int signalPipe[2] = {-1, -1};

void OnTerm(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(signalPipe[1], &byte, 1);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    StationOptions options;
    options.NamePrefix = QStringLiteral("%1-%2")
                             .arg(QHostInfo::localHostName())
                             .arg(QCoreApplication::applicationPid());
    QString error;
    if (!ParseStationArguments(app.arguments().mid(1), options, error)) {
        std::fprintf(stderr, "tarvik-station: %s\n", error.toUtf8().constData());
        return 2;
    }
    // SIGTERM is taken in the event loop, never inside a step.
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) != 0)
        return 1;
    std::signal(SIGTERM, OnTerm);
    RunGlobals globals;
    globals.ExamFileName = options.ExamFile;
    Station station(globals, options);
    QSocketNotifier term(signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&term, &QSocketNotifier::activated, &station, [&station] {
        char byte;
        [[maybe_unused]] const ssize_t n = ::read(signalPipe[0], &byte, 1);
        station.Stop();
    });
    QObject::connect(&station, &Station::finished, &app,
                     [](int exit) { QCoreApplication::exit(exit); });
    QTimer::singleShot(0, &station, [&station] { station.Start(); });
    return Folders().EndProgram(app.exec());
}
