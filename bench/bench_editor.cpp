// The editor's problem list, which runs after every edit, on an exam of 300 questions of four
// picture answers each (1,200 JPEG files beside it, and the same packed in a uniform file),
// against its first check, which decodes every picture once:
//   next check / first check   (what each edit costs, best of three; a keystroke must not wait
//                               on the pictures again)
// Run from the build folder: bench/bench_editor.

#include "BestTime.h"

#include "core/Cp1251.h"
#include "editor/ExamDocument.h"

#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QTemporaryDir>

#include <cstdio>
#include <optional>

namespace {

void Report(const char *what, const QString &file)
{
    std::optional<ExamDocument> doc;
    const double read = BestMs(3, [&] { doc = ExamDocument::Load(file); });
    double first = 0;
    {
        QElapsedTimer t;
        t.start();
        ExamProblems(*doc, TMessages());
        first = t.nsecsElapsed() / 1e6;
    }
    const double next = BestMs(3, [&] { ExamProblems(*doc, TMessages()); });
    std::printf("%s: read %.1f ms, first check %.1f ms, next check %.1f ms = %.3f x first\n", what,
                read, first, next, next / first);
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    QTemporaryDir dir;
    QString text = QStringLiteral("[Setup]\r\nAllZ=299\r\n");
    for (int n = 0; n < 300; ++n) {
        text +=
            QStringLiteral("[V%1]\r\nForm=2\r\nVopros=Вопрос %1\r\nAllW=4\r\nCorNo=1\r\n").arg(n);
        for (int k = 1; k <= 4; ++k) {
            const QString name = QStringLiteral("p%1_%2.jpg").arg(n).arg(k);
            text += QStringLiteral("S%1=Ответ %1\r\nP%1=%2\r\n").arg(k).arg(name);
            QImage image(320, 240, QImage::Format_RGB32);
            image.fill(QColor::fromHsv((n * 4 + k) % 360, 200, 200));
            image.save(dir.filePath(name), "JPG");
        }
    }
    const QString plain = dir.filePath(QStringLiteral("big.fzk"));
    QFile out(plain);
    if (!out.open(QIODevice::WriteOnly) || out.write(Cp1251::Encode(text)) < 0)
        return 1;
    out.close();
    Report("question file, pictures beside", plain);
    const QString uniform = dir.filePath(QStringLiteral("big.uzk"));
    QFile packed(uniform);
    if (!packed.open(QIODevice::WriteOnly) ||
        packed.write(ExamDocument::Load(plain).Bytes(ExamDocument::Form::Uniform)) < 0)
        return 1;
    packed.close();
    Report("uniform file, pictures packed", uniform);
    return 0;
}
