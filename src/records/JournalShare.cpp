#include "JournalShare.h"

#include "core/Shares.h"
#include "records/JournalFolder.h"

bool JournalShare::Settle(const QString &programDir)
{
    programDir_ = programDir;
    dir_ = programDir;
    if (!settings_.DbNet)
        return true;
    const FolderResult r = SettleJournalDir(NetFolderOf(settings_), programDir_);
    if (r.Outcome == FolderOutcome::Unreachable)
        return false;
    dir_ = r.Dir;
    settings_.DbNet = r.Outcome == FolderOutcome::OnShare;
    return true;
}

QString JournalShare::Current(bool *unreachable)
{
    return GetJournalDir(settings_.DbNet, dir_, NetFolderOf(settings_), programDir_, unreachable);
}

void JournalShare::Disconnect()
{
    DisconnectShare(settings_.PathDbNet, true);
}

JournalShare::Scope::Scope(JournalShare &share, Access access) : share_(share), access_(access)
{
    dir_ = share.Current(&unreachable_);
    if (unreachable_ && access == Access::Results)
        dir_ = share.Dir(); // the share's folder: the result waits there for it
}

JournalShare::Scope::~Scope()
{
    if (keep_ || (unreachable_ && access_ == Access::Prepare))
        return;
    const bool always = access_ == Access::PasswordCheck || access_ == Access::Results;
    if (share_.settings_.DbNet && (always || !share_.settings_.DbNet_1))
        share_.Disconnect();
}
