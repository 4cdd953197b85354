#include "JournalFolder.h"

#include "core/Files.h"
#include "core/FolderAccess.h"
#include "core/Shares.h"

#include <QFileInfo>

NetFolder NetFolderOf(const ExamSettings &s)
{
    return {s.PathDbNet, s.LoginDbNet, s.PaswDbNet, s.DbNetLocal, s.DbNet_1};
}

FolderResult SettleJournalDir(const NetFolder &net, const QString &programDir)
{
    const QString share = net.PathDbNet;
    KnowAccount(net.PathDbNet, net.LoginDbNet, net.PaswDbNet);
    const auto journalThere = [&] {
        const QString journal = JoinPath(share, QStringLiteral("Journal.fzj"));
        return Folder(journal).Exists(journal);
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

void PrepareJournalFiles(const QString &journalDir, const QString &programDir)
{
    for (const QString &file : {JoinPath(journalDir, QStringLiteral("JTema.fzj")),
                                JoinPath(journalDir, QStringLiteral("Journal.fzj")),
                                JoinPath(programDir, QStringLiteral("JSpisok.fzj"))})
        Folder(file).CreateIfMissing(file);
}

TLineList ReadExamineeLines(const QString &journalDir, bool roster)
{
    TLineList lines;
    if (const auto bytes = ReadWhole(JoinPath(journalDir, roster ? QStringLiteral("JSpisok.fzj")
                                                                 : QStringLiteral("Journal.fzj"))))
        lines.SetText(*bytes);
    return lines;
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
