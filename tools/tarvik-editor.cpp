// The examiner's editor: tarvik-editor [--language N] [FILE], FILE an exam (.fzk, .uzk) or a
// question bank (GIFT, Aiken, Moodle XML) made into a new exam.

#include "core/FolderThread.h"
#include "core/Paths.h"
#include "editor/widgets/EditorWindow.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tarvik-editor"));
    QCommandLineParser options;
    options.addHelpOption();
    options.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("An exam or a bank."));
    options.addOption({QStringLiteral("language"),
                       QStringLiteral("The section of Language.fll (0 Russian, 1 English)."),
                       QStringLiteral("N"), QStringLiteral("0")});
    options.process(app);
    TFmEditor editor(ProgramMessages(options.value(QStringLiteral("language")).toInt()));
    editor.show();
    if (!options.positionalArguments().isEmpty())
        editor.OpenFile(options.positionalArguments().first());
    // A share that stalls does not keep the program once its window is closed.
    return Folders().EndProgram(app.exec());
}
