#pragma once

#include "core/LineList.h"
#include "exam/Settings.h"

#include <QString>

// The network journal folder of an exam's settings.
struct NetFolder
{
    QString PathDbNet;
    QString LoginDbNet;
    QString PaswDbNet;
    bool DbNetLocal = true;
    bool DbNet_1 = true;
};

// The network folder an exam's settings give.
NetFolder NetFolderOf(const ExamSettings &settings);

enum class FolderOutcome {
    OnShare,    // the share's folder is the journal folder
    FellBack,   // unreachable: the program's folder instead, and DbNet is cleared
    Unreachable // unreachable and no fallback: the program ends with the network error
};

struct FolderResult
{
    QString Dir; // a local path (a UNC share maps to its mount folder)
    FolderOutcome Outcome = FolderOutcome::OnShare;
};

// Settles the folder of a DbNet exam: the share's folder when its result journal is already
// there, or when the share can be connected (connected or already connected), or when the
// journal has appeared; otherwise the program's folder when DbNetLocal allows it.
FolderResult SettleJournalDir(const NetFolder &net, const QString &programDir);

// The folder for one access: the program's folder without DbNet; the folder settled at
// start-up with DbNet_1; otherwise settled again now (DbNet follows the outcome).
QString GetJournalDir(bool &dbNet, const QString &journalDir, const NetFolder &net,
                      const QString &programDir, bool *unreachable = nullptr);

// Creates, each only when missing, as an empty file: "JTema.fzj" and "Journal.fzj" in the journal
// folder, "JSpisok.fzj" in the program's folder.
void PrepareJournalFiles(const QString &journalDir, const QString &programDir);

// The lines the registration lists are built from: the result journal "Journal.fzj" (held from
// writers while it is read; after the retries, no lines: a journal locked for good must not hang
// the station), or the roster "JSpisok.fzj".
TLineList ReadExamineeLines(const QString &journalDir, bool roster);
