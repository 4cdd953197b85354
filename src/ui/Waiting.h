#pragma once

#include <QString>

// At the end of the program: waits for the work still handed to the folder thread (results
// being written), showing Text, with a button StopText that comes after a few seconds. True when
// the work is done; false when the user chose not to wait (what was not written stays kept on
// the station and goes first at the next start).
bool WaitForFolderWork(const QString &text, const QString &stopText, int stopAfterMs = 3000);
