#pragma once

#include "core/FolderThread.h"
#include "session/ExamRun.h"

// Waits until the run's journal folder is settled and no step waits on the folder thread: the
// answers of the work handed over are delivered.
inline void Settle(const ExamRun &run)
{
    while (!run.FolderReady() || run.StepWaits())
        Folders().AwaitVoid([] {});
}

// "Далее>>" on a run, and what the step waits for.
inline void Step(ExamRun &run)
{
    run.Next();
    Settle(run);
}
