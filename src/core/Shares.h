#pragma once

#include <QString>

class FolderAccess;

// Result codes of share connection, as the callers know them.
enum ShareResult : int {
    ShareConnected = 0,
    ShareAlreadyConnected = 85,
    ShareNotFound = 53,     // network path not found: refused, timed out, no such host
    ShareNameNotFound = 67, // no such share on the server
    ShareLogonFailure = 1326,
};

// A UNC name \\server\share\rest (or //server/share/rest): a folder on a share that this program
// reaches itself, with the exam's account, through the SMB client; no mount and no root.
bool IsUncName(const QString &name);

// Connects a journal or manager share. A plain folder (one the system has mounted, NFS or CIFS)
// counts as connected when it exists. A UNC name opens its server and share with the account;
// the account is then used for every later access to that share. Callers take 0 and 85 as
// success.
int ConnectShare(const QString &remoteName, const QString &userName, const QString &password);
// The account of a share, for accesses that connect by themselves before ConnectShare is
// called (a first look for a file of the share logs on with it, not anonymously).
void KnowAccount(const QString &remoteName, const QString &userName, const QString &password);
// Drops what ConnectShare opened for the share (the server's connection too); the account stays
// known, so a later access connects again. A plain folder is left alone.
void DisconnectShare(const QString &name, bool force);

// The access of the files of a share, for FolderAccess's choice by name.
FolderAccess &ShareFolder();
