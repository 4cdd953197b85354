#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The one seam through which the program runs outside commands, so tests can fake them.
struct CommandResult
{
    bool Started = false;
    int ExitCode = -1;
    QByteArray Output; // standard output and standard error together
};

class CommandRunner
{
public:
    virtual ~CommandRunner() = default;
    // Full path of an installed program, or empty.
    virtual QString Find(const QString &program) = 0;
    virtual CommandResult Run(const QString &program, const QStringList &arguments,
                              const QByteArray &input, int timeoutMs) = 0;
    // Starts a program that goes on by itself (a window); true when it started.
    virtual bool Start(const QString &program, const QStringList &arguments);
};

// The runner in use: the real one unless a test has put its own.
CommandRunner &Commands();
// Puts Runner in place (not owned); null puts the real one back.
void SetCommandRunner(CommandRunner *runner);
