#include "JournalShare.h"

#include "core/Shares.h"

bool JournalShare::Settle(const QString &programDir)
{
    programDir_ = programDir;
    dir_ = programDir;
    if (!dbNet_)
        return true;
    const FolderResult r = SettleJournalDir(net_, programDir_);
    if (r.Outcome == FolderOutcome::Unreachable)
        return false;
    dir_ = r.Dir;
    dbNet_ = r.Outcome == FolderOutcome::OnShare;
    return true;
}

QString JournalShare::Current(bool *unreachable)
{
    return GetJournalDir(dbNet_, dir_, net_, programDir_, unreachable);
}

void JournalShare::LetGo(Access access)
{
    const bool always = access == Access::PasswordCheck || access == Access::Results;
    if (dbNet_ && (always || !net_.DbNet_1))
        DisconnectShare(net_.PathDbNet, true);
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
    share_.LetGo(access_);
}
