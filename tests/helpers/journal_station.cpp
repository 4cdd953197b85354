// A station that finishes COUNT examinations one after another in the journal folder FOLDER, as
// the player does at the end of each: EXAM is the exam file's name (its title is the same), the
// group is STATION-i and every examinee has the same name, so the report names are contended.
// Prints "ok N REPORTFILE" after each examination is written: the other station of the tests.
// A UNC folder is connected with $TARVIK_SHARE_USER and $TARVIK_SHARE_PASSWORD.
#include "core/Cp1251.h"
#include "core/Files.h"
#include "core/Shares.h"
#include "records/Recording.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <cstdio>
#include <cstdlib>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 5) {
        std::fprintf(stderr, "usage: journal_station FOLDER STATION EXAM COUNT\n");
        return 2;
    }
    SetOpenRetryPolicy({2000, 5}); // stations wait for each other, as long as it takes
    const QString folder = QString::fromLocal8Bit(argv[1]);
    const QString station = QString::fromLocal8Bit(argv[2]);
    const QString exam = QString::fromLocal8Bit(argv[3]);
    const int count = std::atoi(argv[4]);
    // A folder on a share is reached with the account the tests give.
    if (IsUncName(folder))
        ConnectShare(folder, qEnvironmentVariable("TARVIK_SHARE_USER"),
                     qEnvironmentVariable("TARVIK_SHARE_PASSWORD"));

    ExamSettings settings;
    settings.AllZ = 2;
    settings.CEdit = exam;
    TLineList lines;
    lines.SetText(
        QStringLiteral("[V0]\r\nS1=a\r\nS2=b\r\n[V1]\r\nS1=a\r\nS2=b\r\n[V2]\r\nS1=a\r\nS2=b\r\n"));
    AnswerLog log;
    log.CorrectNo = {1, 1, 1};
    log.GivenNo = {1, 2, 1};
    log.Percent = 66;
    log.Mark = 4;
    log.NotFinished = false;
    AnswerOrderTable order{};
    TMessages messages;
    // Results are kept on the station, whatever the folder: a file of its own here.
    const QString kept = QDir::temp().filePath(QStringLiteral("tarvik-pending-%1-%2")
                                                   .arg(station)
                                                   .arg(QCoreApplication::applicationPid()));
    QFile::remove(kept);
    PendingResults pending(kept);
    JournalState state;
    for (int i = 0; i < count; ++i) {
        const ExamRecord record{station + u'-' + QString::number(i),
                                QStringLiteral("Иванов И."),
                                exam,
                                settings,
                                lines,
                                log,
                                order,
                                messages,
                                {}};
        const JournalWrite w =
            WriteJournals(folder, record, state, pending, QDateTime::currentDateTime());
        if (!w.ResultWritten) {
            std::printf("failed %d\n", i);
            return 1;
        }
        std::printf("ok %d %s\n", i, BareFileName(state.ReportFileName).toUtf8().constData());
        std::fflush(stdout);
    }
    QFile::remove(kept);
    QFile::remove(kept + QStringLiteral(".lock"));
    return 0;
}
