// Records figures on an exam of 1024 questions with five answers each, as ratios to a reference
// measured in the same run:
//   BuildReport into the report box, against inserting the same styled pieces with one cursor
//   in one edit block into a fresh document                                    (target <= 1.5)
//   SaveReportFile of the same exam (build, scramble, write), against BuildReport on screen
//                                                                               (target <= 1.0)
//   FindSubjectNumber of the last of 10 000 subject lines (open held, read, search), against
//   reading the file once                                                       (target <= 5)

#include "BestTime.h"
#include "core/Cp1251.h"
#include "core/Files.h"
#include "core/FolderAccess.h"
#include "records/Journals.h"
#include "records/Recording.h"
#include "records/ReportFile.h"
#include "records/widgets/RichReport.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

#include <cstdio>
#include <vector>

namespace {

// The pieces a build hands out, split at their line breaks as the box takes them.
class Recorder : public ReportSink
{
public:
    struct Piece
    {
        QString Text;
        size_t Format;
        bool Break;
    };
    void Append(const QString &text, ReportFont font) override
    {
        ForEachReportLine(
            text,
            [&](QStringView part) {
                Pieces.push_back({part.toString(), size_t(font), false});
            },
            [&] {
                Pieces.push_back({QString(), size_t(font), true});
            });
    }
    std::vector<Piece> Pieces;
};

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;

    ExamSettings settings;
    settings.AllZ = 1023;
    QString text = QStringLiteral("[Setup]\r\n");
    for (int n = 0; n < 1024; ++n) {
        text += QStringLiteral("[V%1]\r\nVopros=Вопрос номер %1 о столицах и реках, с "
                               "пояснением&<hr>во второй строке\r\n"
                               "AllW=5\r\nCorNo=%2\r\n")
                    .arg(n)
                    .arg(n % 5 + 1);
        for (int k = 1; k <= 5; ++k)
            text += QStringLiteral("S%1=Ответ %1 на вопрос %2: Москва, Санкт-Петербург\r\n")
                        .arg(k)
                        .arg(n);
    }
    TLineList lines;
    lines.SetText(text);
    AnswerLog log;
    for (int n = 0; n < 1024; ++n) {
        log.CorrectNo[size_t(n)] = uint8_t(n % 5 + 1);
        log.GivenNo[size_t(n)] = uint8_t(n % 3 + 1);
        log.AnswerTimeMs[size_t(n)] = 1000 * (n % 90);
    }
    log.NotFinished = false;
    AnswerOrderTable order{};
    for (auto &row : order)
        for (int k = 0; k < MaxAnswers; ++k)
            row[size_t(k)] = k;
    TMessages messages;
    const ExamRecord record{
        QStringLiteral("10А"),
        QStringLiteral("Иванов И."),
        QStringLiteral("big.fzk"),
        settings,
        lines,
        log,
        order,
        messages,
        {QStringLiteral("Школа"), QStringLiteral("История"), QString(), QString(), QString()}};
    const QDateTime now = QDateTime::currentDateTime();
    const ReportInput input = ReportOf(record, now, 0);

    QTextEdit box; // hidden, as the report box is when the report is built
    box.resize(800, 600);
    ReportStyles styles;
    for (size_t i = 0; i < styles.size(); ++i)
        styles[i] = {QFont(QStringLiteral("DejaVu Sans Mono"), 8 + int(i % 3)),
                     QColor(int(i * 20), 0, 0)};
    const double onScreen = BestMs(5, [&] { BuildReportInto(&box, input, styles); });

    Recorder recorder;
    BuildReport(input, recorder);
    std::array<QTextCharFormat, size_t(ReportFont::Count)> formats;
    for (size_t i = 0; i < formats.size(); ++i) {
        formats[i].setFont(styles[i].Font);
        formats[i].setForeground(styles[i].Color);
    }
    const double reference = BestMs(5, [&] {
        QTextDocument doc;
        QTextCursor cursor(&doc);
        cursor.beginEditBlock();
        for (const Recorder::Piece &p : recorder.Pieces) {
            if (p.Break)
                cursor.insertBlock(QTextBlockFormat(), formats[p.Format]);
            else
                cursor.insertText(p.Text, formats[p.Format]);
        }
        cursor.endEditBlock();
    });

    int k = 0;
    const double reportFile = BestMs(5, [&] {
        QString file;
        SaveReportFile(dir.path(), 1, now.date(), QStringLiteral("Иванов %1").arg(++k),
                       PlainReport(input), file);
    });

    // The subject journal: 10 000 lines, the exam's the last.
    QByteArray tema;
    for (int i = 1; i < 10000; ++i)
        tema += Cp1251::Encode(SubjectLine(i, QStringLiteral("Тема%1.fzk").arg(i),
                                           QStringLiteral("Экзамен по теме %1").arg(i), 25)) +
                "\r\n";
    tema += Cp1251::Encode(
                SubjectLine(10000, QStringLiteral("big.fzk"), QStringLiteral("История"), 25)) +
            "\r\n";
    const QString temaFile = dir.filePath(QStringLiteral("JTema.fzj"));
    {
        QFile f(temaFile);
        f.open(QIODevice::WriteOnly);
        f.write(tema);
    }
    const double readOnce = BestMs(50, [&] {
        QFile f(temaFile);
        f.open(QIODevice::ReadOnly);
        volatile qsizetype n = f.readAll().size();
        (void)n;
    });
    int32_t found = 0;
    const double lookup = BestMs(50, [&] {
        auto held = Folder(temaFile).Open(temaFile, fmOpenReadWrite | fmShareDenyWrite);
        found +=
            FindSubjectNumber(held->readAll(), QStringLiteral("big.fzk"), QStringLiteral("История"))
                .Number;
    });

    std::printf("report of 1024 questions x 5 answers (%zu pieces)\n", recorder.Pieces.size());
    std::printf("  BuildReport into the report box       %8.2f ms\n", onScreen);
    std::printf("  reference: one cursor, one edit block %8.2f ms   ratio %.2f (target <= 1.5)\n",
                reference, onScreen / reference);
    std::printf("  SaveReportFile (build, scramble, write) %6.2f ms   ratio to the box %.2f "
                "(target <= 1.0)\n",
                reportFile, reportFile / onScreen);
    std::printf("subject journal of 10 000 lines (%lld bytes), the exam's last\n",
                qlonglong(tema.size()));
    std::printf("  reading the file once                 %8.3f ms\n", readOnce);
    std::printf(
        "  FindSubjectNumber (open held, read, search) %6.3f ms   ratio %.2f (target <= 5)  [%d]\n",
        lookup, lookup / readOnce, found / 50);
    return 0;
}
