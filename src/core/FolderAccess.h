#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

// Every access to the journal folder (journals, roster, password list, report files and their
// folder) goes through this one seam, which takes names as the settings give them: the folder
// joined with the file's name. The implementation is chosen by the form of the name: a local
// (or system-mounted) folder here; a share reached by its own client where the name says so.
class FolderAccess
{
public:
    enum class Created { Created, Exists, Failed };

    virtual ~FolderAccess() = default;

    // Opens the existing file with an access and sharing mode (OpenModeBits), retrying while it
    // cannot be had, as OpenFileRetry does; a file that was replaced whole meanwhile is opened
    // again. Others are held to the sharing mode until the device is destroyed. Null when
    // every attempt failed or the file does not exist.
    virtual std::unique_ptr<QIODevice> Open(const QString &fileName, uint16_t mode) = 0;
    // Open, creating an empty file first when none is there; in one request where the folder
    // allows it (a share).
    virtual std::unique_ptr<QIODevice> OpenCreating(const QString &fileName, uint16_t mode)
    {
        CreateIfMissing(fileName);
        return Open(fileName, mode);
    }
    // What was written through a device of Open is on the disk when this returns true.
    virtual bool Sync(QIODevice &file) = 0;
    // Replaces the whole content of a file the caller holds (from Open), crash-safely: a reader
    // sees the old content or the new one, never a part. Old, when given, is the content the
    // caller has just read through Held (a share need not read it again).
    virtual bool Replace(const QString &fileName, QIODevice &held, const QByteArray &content,
                         const QByteArray *old = nullptr) = 0;
    // Creates FileName with Content, on the disk, only when no file of that name exists: it
    // never replaces a file, and the file appears whole or not at all.
    virtual Created CreateNew(const QString &fileName, const QByteArray &content) = 0;
    // Creates an empty file when none is there; true when the file exists afterwards.
    virtual bool CreateIfMissing(const QString &fileName) = 0;
    // Creates the folder with every missing parent; true when it exists afterwards.
    virtual bool MakeFolder(const QString &dir) = 0;
    virtual bool Exists(const QString &fileName) = 0;
    // The longest file name (without its folder) the folder takes, in bytes of UTF-8.
    virtual int MaxNameBytes() const { return 255; }
};

// The access for a name of the journal folder (a folder or a file in it).
FolderAccess &Folder(const QString &name);

// The whole content of an existing file, others allowed to read meanwhile (retried while
// another holds it); nothing when it is missing or could not be had.
std::optional<QByteArray> ReadWhole(const QString &fileName);
// The rest of a file from where the device stands, read until a piece comes back short (the
// end of the file), without asking the file's size first: one request for a small file on a
// share.
QByteArray ReadToEnd(QIODevice &file);
// Appends Line (which ends in its own CR LF) at the end of a file the caller holds from Open,
// after a CR LF when the file's last line has none, so that it never runs on from a line of
// another writer. On the disk when it returns. BeforeWrite, when given, learns where the line
// will begin before anything is written, and may stop it by returning false. Where the line
// begins, or -1 when it was not written.
qint64 AppendLineTo(QIODevice &held, const QString &fileName, const QByteArray &line,
                    const std::function<bool(qint64)> &beforeWrite = {});
