#include "Paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <unistd.h>

namespace {
QString WithSlash(QString dir)
{
    if (!dir.endsWith(u'/'))
        dir += u'/';
    return dir;
}
} // namespace

QString ExecutableDir()
{
    QString dir = QCoreApplication::applicationDirPath();
    if (dir.isEmpty())
        dir = QDir::currentPath();
    return WithSlash(dir);
}

QString DataHome()
{
    QString base = qEnvironmentVariable("XDG_DATA_HOME");
    if (base.isEmpty())
        base = QDir::homePath() + QStringLiteral("/.local/share");
    return QDir::cleanPath(base);
}

QString UserDataDir()
{
    const QString dir = DataHome() + QStringLiteral("/tarvik");
    QDir().mkpath(dir);
    return WithSlash(dir);
}

QString InstalledDataDir()
{
    return QDir::cleanPath(ExecutableDir() + QStringLiteral("../share/tarvik")) + u'/';
}

QString ProgramDir()
{
    // A station may keep its files elsewhere (and tests keep theirs apart).
    const QString configured = qEnvironmentVariable("TARVIK_PROGRAM_DIR");
    if (!configured.isEmpty())
        return WithSlash(configured);
    const QString exe = ExecutableDir();
    // An installed program (bin/ beside share/tarvik/) keeps its files in the user's folder even
    // where it could write to bin/ (as root).
    if (!QFileInfo(InstalledDataDir()).isDir() &&
        ::access(QFile::encodeName(exe).constData(), W_OK) == 0)
        return exe;
    return UserDataDir();
}
