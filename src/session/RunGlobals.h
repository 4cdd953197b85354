#pragma once

#include <QString>

// Values of the whole run, set at start-up and read by the examination.
struct RunGlobals
{
    QString ExamFileName;
    QString StartFileName;
    bool ManagerUsed = false;
    bool SameUser = false;
    bool CmdSwitches = false;
    bool NoJournalSwitch = false;
    QString ManagerShareDir;
    bool ManagerShareOpen = true;
};
