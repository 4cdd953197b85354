#include "Shares.h"

#include "Commands.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QStandardPaths>

#include <unistd.h>

namespace {

struct UncName
{
    QString Server;
    QString Share;
    QString Rest; // separators "/", no leading one
};

bool ParseUnc(const QString &name, UncName &unc)
{
    if (!name.startsWith(QStringLiteral("\\\\")) && !name.startsWith(QStringLiteral("//")))
        return false;
    QString rest = name.mid(2);
    rest.replace(u'\\', u'/');
    const QStringList parts = rest.split(u'/', Qt::SkipEmptyParts);
    if (parts.size() < 2)
        return false;
    unc.Server = parts[0];
    unc.Share = parts[1];
    unc.Rest = parts.mid(2).join(u'/');
    return true;
}

QString MountFolder(const UncName &unc)
{
    QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (runtime.isEmpty())
        runtime = QStringLiteral("/run/user/%1").arg(::getuid());
    // GVfs names its mount folders with the server and share in lower case.
    return runtime + QStringLiteral("/gvfs/smb-share:server=%1,share=%2")
                         .arg(unc.Server.toLower(), unc.Share.toLower());
}

QString SmbUri(const UncName &unc) { return QStringLiteral("smb://%1/%2").arg(unc.Server, unc.Share); }

QSet<QString> g_mountedByUs;

} // namespace

QString LocalSharePath(const QString &name)
{
    UncName unc;
    if (!ParseUnc(name, unc))
        return name;
    const QString folder = MountFolder(unc);
    return unc.Rest.isEmpty() ? folder : folder + u'/' + unc.Rest;
}

int ConnectShare(const QString &remoteName, const QString &userName, const QString &password)
{
    UncName unc;
    if (!ParseUnc(remoteName, unc))
        return QFileInfo(remoteName).isDir() ? ShareConnected : ShareNotFound;
    if (QFileInfo(MountFolder(unc)).isDir())
        return ShareAlreadyConnected;
    CommandRunner &runner = Commands();
    const QString gio = runner.Find(QStringLiteral("gio"));
    if (gio.isEmpty())
        return ShareNotFound;
    // gio asks for the user, the domain and the password, one line each.
    const QByteArray answers = userName.toUtf8() + "\n\n" + password.toUtf8() + "\n";
    const CommandResult r =
        runner.Run(gio, {QStringLiteral("mount"), SmbUri(unc)}, answers, 30000);
    if (r.Started && r.ExitCode == 0) {
        g_mountedByUs.insert(SmbUri(unc).toLower());
        return ShareConnected;
    }
    const QByteArray out = r.Output.toLower();
    if (out.contains("password") || out.contains("permission") || out.contains("logon") ||
        out.contains("denied"))
        return ShareLogonFailure;
    return ShareNotFound;
}

void DisconnectShare(const QString &name, bool force)
{
    Q_UNUSED(force);
    UncName unc;
    if (!ParseUnc(name, unc))
        return;
    const QString uri = SmbUri(unc);
    if (!g_mountedByUs.remove(uri.toLower()))
        return;
    CommandRunner &runner = Commands();
    const QString gio = runner.Find(QStringLiteral("gio"));
    if (!gio.isEmpty())
        runner.Run(gio, {QStringLiteral("mount"), QStringLiteral("-u"), uri}, QByteArray(), 30000);
}
