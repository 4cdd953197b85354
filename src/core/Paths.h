#pragma once

#include <QString>

// The folder of the program file, with a trailing "/".
QString ExecutableDir();
// The user's data folder of the desktop: $XDG_DATA_HOME, else ~/.local/share (no trailing "/").
QString DataHome();
// The user's data folder of the program ($XDG_DATA_HOME/tarvik/), created when missing.
QString UserDataDir();
// The installed program's shared files (Language.fll): share/tarvik/ beside the bin/ folder of
// the executable, with a trailing "/". It exists only for an installed program.
QString InstalledDataDir();
// The program's folder for the files it writes beside itself (the default journal folder, the
// roster, the password list): the executable's folder, or the user's data folder when the
// executable's folder is not writable or the program is installed (InstalledDataDir exists);
// $TARVIK_PROGRAM_DIR when it is set. With a trailing "/".
QString ProgramDir();
