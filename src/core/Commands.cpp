#include "Commands.h"

#include <QProcess>
#include <QStandardPaths>

namespace {

class ProcessRunner : public CommandRunner
{
public:
    QString Find(const QString &program) override
    {
        return QStandardPaths::findExecutable(program);
    }

    CommandResult Run(const QString &program, const QStringList &arguments, const QByteArray &input,
                      int timeoutMs) override
    {
        CommandResult result;
        QProcess process;
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(program, arguments);
        if (!process.waitForStarted(timeoutMs))
            return result;
        result.Started = true;
        process.write(input);
        process.closeWriteChannel();
        if (!process.waitForFinished(timeoutMs)) {
            process.kill();
            process.waitForFinished(1000);
            result.Output = process.readAll();
            return result;
        }
        result.Output = process.readAll();
        result.ExitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        return result;
    }
};

ProcessRunner g_processRunner;
CommandRunner *g_runner = &g_processRunner;

} // namespace

bool CommandRunner::Start(const QString &program, const QStringList &arguments)
{
    return QProcess::startDetached(program, arguments);
}

CommandRunner &Commands()
{
    return *g_runner;
}

void SetCommandRunner(CommandRunner *runner)
{
    g_runner = runner ? runner : &g_processRunner;
}
