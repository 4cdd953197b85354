#include "JournalFolder.h"

#include "Files.h"
#include "Shares.h"

#include <QFileInfo>

FolderResult SettleJournalDir(const NetFolder &net, const QString &programDir)
{
    const QString share = LocalSharePath(net.PathDbNet);
    const auto journalThere = [&] {
        return QFileInfo(JoinPath(share, QStringLiteral("Journal.fzj"))).isFile();
    };
    if (journalThere())
        return {share, FolderOutcome::OnShare};
    const int rc = ConnectShare(net.PathDbNet, net.LoginDbNet, net.PaswDbNet);
    if (rc == ShareConnected || rc == ShareAlreadyConnected || journalThere())
        return {share, FolderOutcome::OnShare};
    if (!net.DbNetLocal)
        return {QString(), FolderOutcome::Unreachable};
    return {programDir, FolderOutcome::FellBack};
}

QString GetJournalDir(bool &dbNet, const QString &journalDir, const NetFolder &net,
                      const QString &programDir, bool *unreachable)
{
    if (unreachable)
        *unreachable = false;
    if (!dbNet)
        return programDir;
    if (net.DbNet_1)
        return journalDir;
    const FolderResult r = SettleJournalDir(net, programDir);
    if (r.Outcome == FolderOutcome::Unreachable) {
        if (unreachable)
            *unreachable = true;
        return QString();
    }
    dbNet = r.Outcome == FolderOutcome::OnShare;
    return r.Dir;
}
