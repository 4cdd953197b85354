#pragma once

#include <QMap>
#include <QString>

#include "core/Errors.h"

// The program's file types on the desktop. A small per-user store keeps the keys of a type as a
// Windows station would hold them under its classes root (".uzk" with the marker "Reg", "uzk"
// with its description, icon and command), so a later run knows the type is registered; writing
// a type also installs what this desktop reads: a shared-mime-info package for the extension
// and a desktop entry that opens such a file with this program.
//
// Where things go, below the user's data folder ($XDG_DATA_HOME, else ~/.local/share):
//   tarvik/FileTypes.reg            the store (the keys, as text in the .reg layout)
//   mime/packages/tarvik-E.xml      the type "application/x-tarvik-E", glob "*.E"
//   applications/tarvik-E.desktop   "Open Tarvik" on that type, not shown in menus
//   applications/tarvik-E-edit.desktop  for an exam's type, when the examiner's editor is
//                                   beside the program: its second action, "Edit"
// then update-mime-database and update-desktop-database run on those folders when installed.

// A key that could not be written: "Отказ создания ключа %s".
class ERegistryError : public TarvikError
{
public:
    using TarvikError::TarvikError;
    static ERegistryError ForKey(const QString &key);
};

// The keys of the classes root: key name -> (value name -> data); "" is the unnamed value.
class TClassesStore
{
public:
    explicit TClassesStore(const QString &fileName);
    // What the file holds; a missing or unreadable file holds nothing.
    void Load();
    // Written whole, atomically. False when it could not be.
    bool Save() const;
    QString Value(const QString &key, const QString &name) const;
    void SetValue(const QString &key, const QString &name, const QString &data);

private:
    QString fileName_;
    QMap<QString, QMap<QString, QString>> keys_;
};

// The type name of an extension (without its dot): "application/x-tarvik-uzk".
QString TarvikMimeType(const QString &ext);
// A desktop entry's Exec line that runs Program on one file: the program's path quoted as the
// desktop entry rules ask, then %f.
QString DesktopExecLine(const QString &program);

// Writes the type's keys, its mime package and desktop entry unless the store's marker says the
// type is registered. True when it wrote. Raises ERegistryError with the key that failed; the
// marker is written last, so a type that failed is tried again next run.
bool RegisterFileType(const QString &exeName, const QString &ext, const QString &action,
                      const QString &description);

// Notes the file among the desktop's recent documents (recently-used.xbel). A name on a share
// (\\server\share\...) is noted as its smb:// address. Quiet on failure, as the shell is.
void AddToRecentDocs(const QString &fileName);

// True when the folder is on a local, non-removable disk: not NFS, SMB/CIFS, FUSE, ISO 9660 or
// UDF, and not on a block device the kernel calls removable.
bool IsFixedDisk(const QString &folder);

// The registration of each showing of the main window: nothing unless the program's folder is
// on a fixed disk; the manager's type only when the exam came through the manager.
struct FileTypeRun
{
    QString ExeName;
    bool FixedDisk = false; // IsFixedDisk of the program's folder
    QString StartFileName;
    QString ExamFileName;
    bool ManagerUsed = false;
};
void RegisterFileTypes(const FileTypeRun &run);
