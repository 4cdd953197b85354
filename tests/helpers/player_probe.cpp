// The player as a station starts it, timed: opens the exam through the program's own start-up
// path, then presses "Далее>>" a given number of times, and says when each page was painted
// and how much memory the process took at most. For the hostile-input check (tests/hostile.sh).
//   player_probe EXAM STEPS [/d]
// Prints "shown MS", then "page INDEX MS" after each press, then "peak KB"; exit 0.

#include "core/Codecs.h"
#include "helpers/PlayerDriver.h"
#include "session/MainWindow.h"
#include "session/StartUp.h"
#include "ui/Dialogs.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QStackedWidget>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <sys/resource.h>

namespace {

// Every box is written out and answered No: nobody sits at this station.
class PrintedDialogs : public DialogSeam
{
public:
    bool Message(QWidget *, MessageKind, const QString &caption, const QString &text) override
    {
        std::printf("box %s: %s\n", caption.toUtf8().constData(),
                    ShownText(text, 200).toUtf8().constData());
        return false;
    }
    QString OpenFileName(QWidget *, const QString &) override { return QString(); }
    QString SaveFileName(QWidget *, const QString &, const QString &) override { return QString(); }
    std::optional<QString> Password(QWidget *, const QString &, const QString &) override
    {
        return std::nullopt;
    }
    int Exec(QDialog *) override { return 0; }
};

long PeakKb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: player_probe EXAM STEPS [/d]\n");
        return 2;
    }
    QElapsedTimer clock;
    clock.start();
    QApplication app(argc, argv);
    PrintedDialogs dialogs;
    SetDialogs(&dialogs);
    RunGlobals globals;
    globals.ExamFileName = QString::fromLocal8Bit(argv[1]);
    globals.StartFileName = globals.ExamFileName;
    globals.CmdSwitches = globals.NoJournalSwitch = argc > 3;
    const int steps = std::atoi(argv[2]);
    std::unique_ptr<TFmZK> window = ShowExamWindow(globals);
    QTimer::singleShot(0, [&] {
        // Painted now, with every layout the page needs.
        window->repaint();
        std::printf("shown %.0f\n", clock.nsecsElapsed() / 1e6);
        for (int i = 0; i < steps; ++i) {
            QElapsedTimer step;
            step.start();
            window->ButNextClick();
            QCoreApplication::processEvents();
            window->repaint();
            std::printf("page %d %.0f\n", window->CurrentPage(), step.nsecsElapsed() / 1e6);
        }
        std::printf("peak %ld\n", PeakKb());
        std::fflush(stdout);
        // Ends without the closing question or any record of an interrupted examination.
        std::_Exit(0);
    });
    return app.exec();
}
