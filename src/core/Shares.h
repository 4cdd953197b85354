#pragma once

#include <QString>

// Result codes of share connection, as the callers know them.
enum ShareResult : int {
    ShareConnected = 0,
    ShareAlreadyConnected = 85,
    ShareNotFound = 53,
    ShareLogonFailure = 1326,
};

// Connects a journal or manager share. A plain folder (one the system has mounted, NFS or CIFS)
// counts as connected when it exists. A UNC name \\server\share\rest is the user's GVfs mount
// of smb://server/share; when it is not mounted yet, "gio mount" is asked for it, the user name
// and password given on its standard input. Callers take 0 and 85 as success.
int ConnectShare(const QString &remoteName, const QString &userName, const QString &password);
// Unmounts a share that ConnectShare mounted; anything else is left alone.
void DisconnectShare(const QString &name, bool force);

// Where a name written for Windows lies here: a UNC name maps into the GVfs mount folder
// ($XDG_RUNTIME_DIR/gvfs/smb-share:server=...,share=.../rest, separators made "/"); any other
// name is returned unchanged.
QString LocalSharePath(const QString &name);
