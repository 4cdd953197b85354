// Player figures, each a ratio against a reference measured in the same run:
//   process start to the title page shown, for a 1024-question exam (plain .fzk, and .uzk with
//   1024 small JPEG pictures) / the same for a minimal Qt program showing an empty maximised
//   window                                                                      (target <= 2)
//   LoadQuestion + ShowQuestion of question 1023 / one GetSection of it  (target under 5 ms)
// The children run on the platform in QT_QPA_PLATFORM (offscreen when it is not set).

#include "core/Scramble.h"
#include "exam/ListStreams.h"
#include "session/MainWindow.h"
#include "tests/helpers/PlayerDriver.h"

#include <QApplication>
#include <QBuffer>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>

namespace {

QByteArray ExamText(bool withPictures)
{
    QByteArray t = "[Setup]\r\nAllZ=1023\r\nCEdit=Bench\r\nTopEdit=Top\r\nPathGraph=pic0.jpg\r\n";
    for (int n = 0; n < 1024; ++n) {
        const int form = n % 4;
        t += "[V" + QByteArray::number(n) + "]\r\nForm=" + QByteArray::number(form) +
             "\r\nVopros=Question number " + QByteArray::number(n) +
             " with some text to read&<hr>and a second line\r\nAllW=4\r\nCorNo=2\r\nAR=1\r\n"
             "B1=1\r\nB2=1\r\nB3=1\r\nB4=1\r\nS1=first answer\r\nS2=second answer\r\n"
             "S3=third answer\r\nS4=fourth answer\r\n";
        if (withPictures)
            for (int k = 1; k <= 4; ++k)
                t += "P" + QByteArray::number(k) + "=pic" + QByteArray::number((n * 4 + k) % 1024) +
                     ".jpg\r\n";
    }
    return t;
}

QByteArray SmallJpeg(int seed)
{
    QImage image(96, 72, QImage::Format_RGB32);
    image.fill(QColor::fromHsv(seed * 7 % 360, 160, 220));
    QPainter p(&image);
    p.drawText(image.rect(), Qt::AlignCenter, QString::number(seed));
    p.end();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG", 80);
    return bytes;
}

void WriteFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(bytes);
}

// Child: prints "shown" once the window has painted, then ends.
class PaintProbe : public QObject
{
public:
    explicit PaintProbe(QWidget *watched) { watched->installEventFilter(this); }
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && !done_) {
            done_ = true;
            QTimer::singleShot(0, [] {
                std::printf("shown\n");
                std::fflush(stdout);
                // Not quit(): that asks the windows to close, and the player asks first.
                QCoreApplication::exit(0);
            });
        }
        return false;
    }

private:
    bool done_ = false;
};

int Child(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QString mode = QString::fromLocal8Bit(argv[2]);
    if (mode == QStringLiteral("empty")) {
        QWidget w;
        PaintProbe probe(&w);
        w.showMaximized();
        return app.exec();
    }
    RunGlobals globals;
    globals.ExamFileName = QString::fromLocal8Bit(argv[3]);
    std::unique_ptr<TFmZK> w = ShowExamWindow(globals);
    PaintProbe probe(Ctl<QWidget>(*w, "Page4"));
    return app.exec();
}

double StartMs(const QStringList &args)
{
    double best = 1e30;
    for (int i = 0; i < 5; ++i) {
        QProcess p;
        QElapsedTimer t;
        t.start();
        p.start(QCoreApplication::applicationFilePath(), args);
        if (!p.waitForReadyRead(60000) || !p.readAll().contains("shown")) {
            std::fprintf(stderr, "child failed: %s\n", p.readAllStandardError().constData());
            return -1;
        }
        best = std::min(best, t.nsecsElapsed() / 1e6);
        p.waitForFinished(10000);
    }
    return best;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc > 2 && QByteArray(argv[1]) == "--child")
        return Child(argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    dir.setAutoRemove(!qEnvironmentVariableIsSet("BENCH_KEEP"));
    const QString plain = dir.filePath(QStringLiteral("bench.fzk"));
    WriteFile(plain, ExamText(false));
    QList<ContainerEntry> entries{{QStringLiteral("unifileexam"), ExamText(true)}};
    for (int i = 0; i < 1024; ++i)
        entries.append({QStringLiteral("pic%1.jpg").arg(i), SmallJpeg(i)});
    const QString uniform = dir.filePath(QStringLiteral("bench.uzk"));
    WriteFile(uniform, ScrambleBytes(BuildContainer(entries, true), Keys::Settings));

    std::printf("platform %s\n", qgetenv("QT_QPA_PLATFORM").constData());
    const double empty = StartMs({QStringLiteral("--child"), QStringLiteral("empty")});
    const double fzk = StartMs({QStringLiteral("--child"), QStringLiteral("player"), plain});
    const double uzk = StartMs({QStringLiteral("--child"), QStringLiteral("player"), uniform});
    std::printf("start to title page, 1024-question .fzk: %.1f ms, empty window %.1f ms: ratio "
                "%.2f (target <= 2)\n",
                fzk, empty, fzk / empty);
    std::printf("start to title page, 1024-question .uzk with 1024 JPEGs (%.1f MB): %.1f ms: ratio "
                "%.2f (target <= 2)\n",
                QFileInfo(uniform).size() / 1048576.0, uzk, uzk / empty);

    for (const QString &file : {plain, uniform}) {
        RunGlobals globals;
        TFmZK w(globals);
        w.SetExamFileName(file);
        w.resize(1024, 740);
        QElapsedTimer shown;
        shown.start();
        w.show();
        std::printf(
            "%s: reading the exam and showing the title page in a running program: %.1f ms\n",
            file.endsWith(QStringLiteral(".uzk")) ? "uzk" : "fzk", shown.nsecsElapsed() / 1e6);
        const int rounds = 200;
        QElapsedTimer t;
        t.start();
        for (int i = 0; i < rounds; ++i)
            w.Run().LoadQuestion(1023 - (i % 4)); // the four kinds of the last questions
        const double load = t.nsecsElapsed() / 1e6 / rounds;
        TLineList buffer;
        t.restart();
        for (int i = 0; i < rounds; ++i)
            GetSection(w.Run().ExamLines(), buffer, QStringLiteral("V%1").arg(1023 - (i % 4)));
        const double section = t.nsecsElapsed() / 1e6 / rounds;
        std::printf(
            "%s: LoadQuestion + ShowQuestion of the last questions %.3f ms, GetSection %.3f ms: "
            "ratio %.1f (target under 5 ms)\n",
            file.endsWith(QStringLiteral(".uzk")) ? "uzk" : "fzk", load, section, load / section);
        w.hide();
    }
    return 0;
}
