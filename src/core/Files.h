#pragma once

#include <QByteArray>
#include <QDate>
#include <QFile>
#include <QString>
#include <cstdint>
#include <memory>

// Open modes of OpenFileRetry: the low two bits give the access, bits 4 to 7 what other openers
// may do meanwhile. Stations sharing a folder exclude each other through these modes only.
enum OpenModeBits : uint16_t {
    fmOpenRead = 0x00,
    fmOpenWrite = 0x01,
    fmOpenReadWrite = 0x02,
    fmShareExclusive = 0x10, // others may do nothing
    fmShareDenyWrite = 0x20, // others may read
    fmShareDenyRead = 0x30,  // others may write
    fmShareDenyNone = 0x40,  // others may read and write
};

// How the sharing modes are carried out between processes and stations: the existing file is
// opened with open(2), then an advisory flock(2) is taken without blocking. An opener with write
// access, or one that lets others do nothing, takes an exclusive lock; a read-only opener that
// lets others read takes a shared lock; a read-only opener that lets others write takes none.
// A lock that cannot be had counts as a failed open. flock is carried over NFS and SMB mounts.
std::unique_ptr<QFile> TryOpenFile(const QString &fileName, uint16_t mode);

struct RetryPolicy
{
    int Attempts = 101;
    int IntervalMs = 200;
};
// The policy OpenFileRetry uses; tests shorten it.
RetryPolicy OpenRetryPolicy();
void SetOpenRetryPolicy(const RetryPolicy &policy);

// Waits Ms milliseconds while the application keeps processing its events (timers, sockets and
// input run meanwhile). Blocks in the event loop rather than spinning.
void Delay(int32_t ms);

// Opens the existing file with Mode, retrying while it cannot be had (by default 101 attempts,
// 200 ms apart: about 20 seconds). Never creates the file. Null when every attempt failed.
std::unique_ptr<QFile> OpenFileRetry(const QString &fileName, uint16_t mode);

// OpenFileRetry for a file that is replaced whole by renaming a new copy over it: an open that
// got hold of a copy already replaced is given up and the current file is opened again, so a
// station never works on an outdated copy.
std::unique_ptr<QFile> OpenCurrentFileRetry(const QString &fileName, uint16_t mode);

// Replaces the content of FileName, which the caller holds open (Held), crash-safely: the new
// content is written to a file beside it, flushed to disk and renamed over it. Held keeps the
// other stations out until the caller closes it. False when any step failed (the old file then
// stays as it was).
bool ReplaceFileContent(const QString &fileName, const QFile &held, const QByteArray &content);

// Creates an empty file when none is there; true when the file exists afterwards.
bool CreateIfMissing(const QString &fileName);

// Appends Line and CR LF (Windows-1251) to the existing file in one write, flushed to disk.
// False when the file could not be opened after the retries or the write failed.
bool AppendLine(const QString &fileName, const QString &line, uint16_t mode);

// Size in bytes; -1 when the file does not exist or cannot be opened.
int64_t FileSizeOf(const QString &fileName);

// All of a stream from its start, whatever its position was.
QByteArray ReadAllFromStart(QIODevice *source);

// Reads a whole file, others allowed to read meanwhile but not to write (one attempt).
bool ReadWholeFile(const QString &fileName, QByteArray &bytes);

// Dir and Name joined by exactly one separator ("/"; a Dir ending in "\" or "/" gets none).
QString JoinPath(const QString &dir, const QString &name);
// The part after the last "\", "/" or ":".
QString BareFileName(const QString &name);

// dd/mm/yy with literal slashes, whatever the locale.
QString DateStamp(const QDate &date);
