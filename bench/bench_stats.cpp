// tarvik-tool stats --json of a journal of 100,000 result lines of one exam of 100 questions,
// against tarvik-tool journal --csv of the same folder, best of three runs each:
//   time ratio (stats / journal)                                   (target <= 2)
// Run from the build folder: bench/bench_stats.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <cstdio>

namespace {

double BestOf3(const QStringList &args)
{
    double best = 1e9;
    for (int run = 0; run < 3; ++run) {
        QProcess tool;
        tool.setStandardOutputFile(QProcess::nullDevice());
        tool.setStandardErrorFile(QProcess::nullDevice());
        QElapsedTimer t;
        t.start();
        tool.start(QStringLiteral(TARVIK_TOOL), args);
        tool.waitForFinished(-1);
        best = qMin(best, t.nsecsElapsed() / 1e6);
    }
    return best;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    constexpr int Lines = 100000, Questions = 100;
    QFile subjects(dir.filePath(QStringLiteral("JTema.fzj")));
    subjects.open(QIODevice::WriteOnly);
    subjects.write("1@exam.fzk@Exam@100\r\n");
    subjects.close();
    // Examinees of different ability and questions of different difficulty.
    QRandomGenerator random(7);
    QByteArray journal;
    journal.reserve(Lines * 140);
    for (int j = 0; j < Lines; ++j) {
        const double ability = random.generateDouble();
        QByteArray answers(Questions, '0');
        int right = 0;
        for (int i = 0; i < Questions; ++i) {
            const double draw = random.generateDouble();
            if (draw < ability * (0.5 + i / 200.0)) {
                answers[i] = '1';
                ++right;
            } else if (draw > 0.97) {
                answers[i] = '2';
            }
        }
        journal += "09/12/26@G" + QByteArray::number(j % 40) + "@Name " + QByteArray::number(j) +
                   "@1@" + answers + '@' + QByteArray::number(right) + '@' +
                   QByteArray::number(right > 80   ? 5
                                      : right > 60 ? 4
                                      : right > 40 ? 3
                                                   : 2) +
                   "@\r\n";
    }
    QFile results(dir.filePath(QStringLiteral("Journal.fzj")));
    results.open(QIODevice::WriteOnly);
    results.write(journal);
    results.close();
    const double reference =
        BestOf3({QStringLiteral("journal"), QStringLiteral("--csv"), dir.path()});
    const double stats = BestOf3({QStringLiteral("stats"), QStringLiteral("--json"), dir.path()});
    std::printf("100,000 result lines of 100 questions\n");
    std::printf("  journal --csv %.0f ms, stats --json %.0f ms: ratio %.2f (target <= 2)\n",
                reference, stats, stats / reference);
    return 0;
}
