#pragma once

class QWidget;

// Asks the window manager to keep the window out of the task list (or to put it back). Only on
// X11; elsewhere it does nothing. Safe to call before the window is shown: it is applied when
// the window appears.
void SetSkipTaskbar(QWidget *window, bool skip);
// Re-applies the wish after the window was mapped.
void ApplySkipTaskbar(QWidget *window);
