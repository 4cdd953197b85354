#pragma once

#include "session/RunGlobals.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

// What start-up may ask of the world; tests give their own.
struct StartupEnvironment
{
    // The first "*.fzm" the current folder lists (bare name), or empty.
    std::function<QString()> FirstManagerFile;
    // The open dialog: the chosen file's full name, empty when cancelled.
    std::function<QString()> AskExamFile;
    // The subject manager on a manager file: true with the chosen exam when a subject was started.
    std::function<bool(const QString &managerFile, QString &examFile)> RunManager;
    std::function<bool(const QString &)> FileExists;
};

enum class StartupAction {
    Run,        // create the main window on ExamFileName
    Quit,       // end at once, without a message
    Unreachable // "Нет доступа к файлу экзамена или не доступен сетевой ресурс."
};

// The filter of the open dialog.
extern const QString ExamFileFilter;
extern const QString UnreachableExamMessage;
extern const QString UnreadableManagerMessage;

// The exam file to open: the name as given when it exists, else its bare name when that exists
// in the current folder, else empty (the exam cannot be reached).
QString ReachableExamFile(const QString &name, const std::function<bool(const QString &)> &exists);
// Whether an exam file exists, locally or on a share.
bool ExamFileExists(const QString &name);

// Decides the exam file from the parameters (as the shell split them, quotes removed).
StartupAction DecideStartup(const QStringList &parameters, const StartupEnvironment &env,
                            RunGlobals &globals);

class QWidget;
// The subject manager on Globals.StartFileName, shown modally: true with the chosen exam file
// when a subject was started. A manager file that cannot be read is said in an error box, and
// counts as a manager closed without a choice.
bool RunSubjectManager(QWidget *parent, RunGlobals &globals, QString &chosenFile);

class TFmZK;
// Creates the main window on the exam and shows it maximised.
std::unique_ptr<TFmZK> ShowExamWindow(RunGlobals &globals);

// The whole program: start-up, then the main window's message loop.
int RunTarvik(int argc, char **argv);
