#include "StartUp.h"

#include "core/Errors.h"
#include "core/Files.h"
#include "core/FolderAccess.h"
#include "core/FolderThread.h"
#include "core/Random.h"
#include "core/Shares.h"
#include "exam/widgets/MenZK.h"
#include "session/MainWindow.h"
#include "ui/Dialogs.h"
#include "ui/Waiting.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QScreen>
#include <QThread>

#include <future>

const QString ExamFileFilter = QStringLiteral(
    "All file of questions Tarvik|*.fzk;*.fzm;*.uzk|Uniform file tarvik|*.uzk|File of questions "
    "Tarvik|*.fzk|File manager of questions Tarvik|*.fzm");
const QString UnreachableExamMessage =
    QStringLiteral("Нет доступа к файлу экзамена или не доступен сетевой ресурс.");
const QString UnreadableManagerMessage = QStringLiteral("Нет доступа к файлу менеджера тем:\n%1");

namespace {

// The extension from the last point, when no folder separator follows it.
QString ExtensionOf(const QString &name)
{
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot < 0)
        return QString();
    const QString ext = name.mid(dot);
    if (ext.contains(u'\\') || ext.contains(u':') || ext.contains(u'/'))
        return QString();
    return ext;
}

} // namespace

StartupAction DecideStartup(const QStringList &parameters, const StartupEnvironment &env,
                            RunGlobals &g)
{
    g.ManagerShareOpen = true;
    g.ManagerShareDir.clear();
    g.ManagerUsed = false;
    g.SameUser = false;

    if (parameters.isEmpty()) {
        g.ExamFileName = env.FirstManagerFile();
        if (g.ExamFileName.isEmpty()) {
            g.ExamFileName = env.AskExamFile();
            if (g.ExamFileName.isEmpty())
                return StartupAction::Quit;
        }
    } else if (parameters.size() == 1) {
        g.ExamFileName = parameters.first();
    } else {
        const QString joined = parameters.join(u' ');
        if (joined.contains(QStringLiteral("/d"))) {
            g.CmdSwitches = true;
            g.NoJournalSwitch = true;
        }
        const QString upper = joined.toUpper();
        g.ExamFileName.clear();
        for (const QString &ext :
             {QStringLiteral(".FZK"), QStringLiteral(".UZK"), QStringLiteral(".MZK")}) {
            const qsizetype at = upper.indexOf(ext);
            if (at >= 0) {
                g.ExamFileName = joined.left(at + ext.size());
                break;
            }
        }
        if (g.ExamFileName.isEmpty())
            return StartupAction::Quit;
    }

    g.StartFileName = g.ExamFileName;
    if (ExtensionOf(g.ExamFileName) == QStringLiteral(".fzm")) {
        QString chosen;
        if (!env.RunManager(g.ExamFileName, chosen))
            return StartupAction::Quit;
        g.ExamFileName = chosen;
        g.ManagerUsed = true;
    }
    const QString reachable = ReachableExamFile(g.ExamFileName, env.FileExists);
    g.ExamFileName = reachable.isEmpty() ? BareFileName(g.ExamFileName) : reachable;
    return reachable.isEmpty() ? StartupAction::Unreachable : StartupAction::Run;
}

QString ReachableExamFile(const QString &name, const std::function<bool(const QString &)> &exists)
{
    if (exists(name))
        return name;
    const QString bare = BareFileName(name);
    return exists(bare) ? bare : QString();
}

bool ExamFileExists(const QString &name)
{
    return IsUncName(name) ? Folders().Await<bool>([&] { return Folder(name).Exists(name); })
                           : QFileInfo(name).isFile();
}

bool RunSubjectManager(QWidget *parent, RunGlobals &g, QString &chosenFile)
{
    std::unique_ptr<TFmMenZK> manager;
    try {
        manager = std::make_unique<TFmMenZK>(g.StartFileName, g.ManagerShareDir, g.ManagerShareOpen,
                                             parent);
    } catch (const TarvikError &) {
        Dialogs().Message(parent, MessageKind::Error, QStringLiteral("Ошибка"),
                          UnreadableManagerMessage.arg(g.StartFileName));
        return false;
    }
    if (Dialogs().Exec(manager.get()) != QDialog::Accepted || !manager->Chosen)
        return false;
    chosenFile = manager->ChosenFile;
    return true;
}

std::unique_ptr<TFmZK> ShowExamWindow(RunGlobals &globals)
{
    auto window = std::make_unique<TFmZK>(globals);
    window->SetExamFileName(globals.ExamFileName);
    // The exam is read on another thread while the window is built; one on a share is read by
    // the window on the folder thread, the only one that talks to shares.
    const QString exam = globals.ExamFileName;
    if (!IsUncName(exam))
        window->SetPrefetchedExam(
            std::async(std::launch::async, [exam, main = QThread::currentThread()] {
                return LoadExamFile(exam, 0, main);
            }));
    // Fill the screen also where no window manager maximises.
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        window->setGeometry(screen->availableGeometry());
    window->showMaximized();
    // Where no window manager gives the window the keyboard, it takes it itself.
    window->activateWindow();
    return window;
}

int RunTarvik(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tarvik"));
    QApplication::setApplicationDisplayName(QStringLiteral("Tarvik"));
    Randomize();

    RunGlobals globals;
    StartupEnvironment env;
    env.FirstManagerFile = [] {
        const QStringList found = QDir::current().entryList(
            {QStringLiteral("*.fzm")}, QDir::Files | QDir::Hidden | QDir::System, QDir::Unsorted);
        return found.isEmpty() ? QString() : found.first();
    };
    env.AskExamFile = [] { return Dialogs().OpenFileName(nullptr, ExamFileFilter); };
    env.RunManager = [&globals](const QString &, QString &exam) {
        return RunSubjectManager(nullptr, globals, exam);
    };
    env.FileExists = ExamFileExists;

    switch (DecideStartup(app.arguments().mid(1), env, globals)) {
    case StartupAction::Quit:
        return 0;
    case StartupAction::Unreachable:
        Dialogs().Message(nullptr, MessageKind::Error, QStringLiteral("Ошибка"),
                          UnreachableExamMessage);
        return 1;
    case StartupAction::Run:
        break;
    }
    std::unique_ptr<TFmZK> window = ShowExamWindow(globals);
    // Reading the exam may have ended the program already (a damaged exam).
    const int rc = window->isVisible() ? app.exec() : 1;
    // Results still being written are waited for; the examiner may stop waiting, and they stay
    // kept on this station.
    const TMessages &messages = window->Run().Messages();
    if (!WaitForFolderWork(messages[Msg::U_BUSYRECORDS], messages[Msg::U_STOPWAITING]))
        std::_Exit(rc);
    Folders().Stop();
    return rc;
}
