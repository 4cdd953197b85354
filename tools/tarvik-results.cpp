// The examiner's results window: tarvik-results [filters] [DIR [EXAMFILE]]; with --pdf OUT.pdf
// the printable report of the same figures is written without a window.
//   filters: --group G, --from DD/MM/YY, --to DD/MM/YY, --all-attempts
// Exit status: 0 success, 1 no result journal or the PDF not written, 2 usage.

#include "analysis/widgets/ResultsWindow.h"
#include "core/FolderThread.h"
#include "core/Paths.h"
#include "core/Shares.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>

#include <cstdio>

namespace {

std::optional<QDate> DateOf(const char *option, const QString &text, bool &bad)
{
    if (text.isEmpty())
        return std::nullopt;
    const std::optional<QDate> d = JournalDate(text);
    if (!d)
        std::fprintf(stderr, "tarvik-results: --%s %s is not a date of the calendar as DD/MM/YY\n",
                     option, text.toUtf8().constData());
    bad = bad || !d;
    return d;
}

} // namespace

int main(int argc, char **argv)
{
    // A report without a window needs no display.
    for (int i = 1; i < argc; ++i)
        if (qstrcmp(argv[i], "--pdf") == 0 && qEnvironmentVariableIsEmpty("DISPLAY") &&
            qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tarvik-results"));
    QCommandLineParser options;
    options.addHelpOption();
    options.addPositionalArgument(QStringLiteral("DIR"), QStringLiteral("The journal folder."));
    options.addPositionalArgument(QStringLiteral("EXAMFILE"), QStringLiteral("Only this exam."));
    options.addOption({QStringLiteral("pdf"), QStringLiteral("Write the report, no window."),
                       QStringLiteral("OUT.pdf")});
    options.addOption(
        {QStringLiteral("group"), QStringLiteral("Only this group."), QStringLiteral("G")});
    options.addOption(
        {QStringLiteral("from"), QStringLiteral("From this date."), QStringLiteral("DD/MM/YY")});
    options.addOption(
        {QStringLiteral("to"), QStringLiteral("To this date."), QStringLiteral("DD/MM/YY")});
    options.addOption({QStringLiteral("all-attempts"), QStringLiteral("Every attempt.")});
    options.addOption(
        {QStringLiteral("user"), QStringLiteral("The share's user."), QStringLiteral("U")});
    options.addOption(
        {QStringLiteral("password"), QStringLiteral("The share's password."), QStringLiteral("P")});
    options.addOption({QStringLiteral("language"),
                       QStringLiteral("The section of Language.fll (0 Russian, 1 English)."),
                       QStringLiteral("N"), QStringLiteral("0")});
    options.process(app);
    AnalysisFilter filter;
    bool bad = false;
    filter.Group = options.value(QStringLiteral("group"));
    filter.From = DateOf("from", options.value(QStringLiteral("from")), bad);
    filter.To = DateOf("to", options.value(QStringLiteral("to")), bad);
    filter.AllAttempts = options.isSet(QStringLiteral("all-attempts"));
    bool number = false;
    const int language = options.value(QStringLiteral("language")).toInt(&number);
    bad = bad || !number || language < 0;
    const QStringList names = options.positionalArguments();
    if (bad || names.size() > 2 || (options.isSet(QStringLiteral("pdf")) && names.isEmpty())) {
        std::fprintf(stderr, "tarvik-results: bad arguments; see --help\n");
        return 2;
    }
    filter.ExamFile = names.value(1);
    if (options.isSet(QStringLiteral("user")) && !names.isEmpty())
        KnowAccount(names[0], options.value(QStringLiteral("user")),
                    options.value(QStringLiteral("password")));
    const TMessages messages = ProgramMessages(language);
    if (options.isSet(QStringLiteral("pdf"))) {
        QList<ExamView> views;
        QStringList problems;
        if (!LoadExamViews(names[0], filter, views, problems)) {
            std::fprintf(stderr, "tarvik-results: no result journal in %s\n",
                         names[0].toLocal8Bit().constData());
            return 1;
        }
        for (const QString &p : problems)
            std::fprintf(stderr, "tarvik-results: %s\n", p.toUtf8().constData());
        if (!WriteResultsPdf(options.value(QStringLiteral("pdf")), views, messages, names[0],
                             filter)) {
            std::fprintf(stderr, "tarvik-results: cannot write %s\n",
                         options.value(QStringLiteral("pdf")).toLocal8Bit().constData());
            return 1;
        }
        return 0;
    }
    TFmResults window(messages);
    window.show();
    if (!names.isEmpty())
        window.Open(names[0], filter);
    // A share that stalls does not keep the program once its window is closed.
    return Folders().EndProgram(app.exec());
}
