#pragma once

#include "PlayerDriver.h"
#include "ScriptedDialogs.h"

#include <QTest>
#include <memory>

// A player window on an exam file, shown at a size every page fits; its boxes are scripted, and
// closing it at the end is confirmed.
struct Player
{
    RunGlobals Globals;
    ScriptedDialogs Dialogs;
    std::unique_ptr<TFmZK> W;

    // NoJournals: started with the switch "/d". Settled: wait until the journal folder is
    // settled behind the title page.
    explicit Player(const QString &exam, bool noJournals = false, bool settled = true)
    {
        Globals.ExamFileName = exam;
        Globals.CmdSwitches = Globals.NoJournalSwitch = noJournals;
        W = std::make_unique<TFmZK>(Globals);
        W->SetExamFileName(exam);
        W->resize(1024, 740);
        W->show();
        if (settled)
            Settled();
    }
    // The journal folder is settled behind the title page (or the window closed for it).
    bool Settled()
    {
        return QTest::qWaitFor([this] { return W->Run().FolderReady() || !W->isVisible(); }, 60000);
    }
    ~Player()
    {
        Dialogs.AnswerNext(true);
        W->close();
    }
    // The window takes the keyboard, as on a station.
    bool Activate()
    {
        W->activateWindow();
        return QTest::qWaitForWindowActive(W.get());
    }
    PlayerDriver Driver() const { return {*W}; }
};
