#include "FolderAccess.h"

#include "core/Files.h"
#include "core/Shares.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A folder the system reaches by its path: the sharing modes are advisory locks (Files.h).
class LocalFolder : public FolderAccess
{
public:
    std::unique_ptr<QIODevice> Open(const QString &fileName, uint16_t mode) override
    {
        return OpenCurrentFileRetry(fileName, mode);
    }

    bool Sync(QIODevice &file) override
    {
        auto *f = qobject_cast<QFile *>(&file);
        return f && f->handle() >= 0 && ::fdatasync(f->handle()) == 0;
    }

    bool Replace(const QString &fileName, QIODevice &held, const QByteArray &content,
                 const QByteArray *) override
    {
        auto *f = qobject_cast<QFile *>(&held);
        return f && ReplaceFileContent(fileName, *f, content);
    }

    Created CreateNew(const QString &fileName, const QByteArray &content) override
    {
        // Written whole beside it first, then linked under its name: link(2) never replaces a
        // file, so two stations cannot both take one name, and a reader never sees a part.
        const QByteArray path = QFile::encodeName(fileName);
        QByteArray temp = QFile::encodeName(QFileInfo(fileName).absolutePath()) + "/.new-XXXXXX";
        const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
        if (fd < 0)
            return Created::Failed;
        bool ok = true;
        for (qsizetype done = 0; ok && done < content.size();) {
            const ssize_t n =
                ::write(fd, content.constData() + done, size_t(content.size() - done));
            if (n < 0 && errno == EINTR)
                continue;
            ok = n > 0;
            done += n > 0 ? n : 0;
        }
        ok = ok && ::fchmod(fd, 0644) == 0 && ::fsync(fd) == 0;
        ok = ::close(fd) == 0 && ok;
        Created result = Created::Failed;
        if (ok) {
            if (::link(temp.constData(), path.constData()) == 0)
                result = Created::Created;
            else if (errno == EEXIST)
                result = Created::Exists;
        }
        ::unlink(temp.constData());
        if (result == Created::Created)
            SyncFolderOf(fileName);
        return result;
    }

    bool CreateIfMissing(const QString &fileName) override { return ::CreateIfMissing(fileName); }
    bool MakeFolder(const QString &dir) override { return QDir().mkpath(dir); }
    bool Exists(const QString &fileName) override { return QFileInfo::exists(fileName); }

private:
    static void SyncFolderOf(const QString &fileName)
    {
        const QByteArray dir = QFile::encodeName(QFileInfo(fileName).absolutePath());
        const int fd = ::open(dir.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd >= 0) {
            ::fsync(fd);
            ::close(fd);
        }
    }
};

} // namespace

FolderAccess &Folder(const QString &name)
{
    static LocalFolder local;
    return IsUncName(name) ? ShareFolder() : local;
}

std::optional<QByteArray> ReadWhole(const QString &fileName)
{
    FolderAccess &folder = Folder(fileName);
    // A missing file has nothing to wait for. On a share an open says so itself, in the same
    // round trip.
    if (!IsUncName(fileName) && !folder.Exists(fileName))
        return std::nullopt;
    auto file = folder.Open(fileName, fmOpenRead | fmShareDenyWrite);
    if (!file)
        return std::nullopt;
    return ReadToEnd(*file);
}

QByteArray ReadToEnd(QIODevice &file)
{
    constexpr qint64 Piece = 1 << 16;
    QByteArray bytes;
    for (;;) {
        const QByteArray piece = file.read(Piece);
        bytes += piece;
        if (piece.size() < Piece)
            return bytes;
    }
}

qint64 AppendLineTo(QIODevice &held, const QString &fileName, const QByteArray &line,
                    const std::function<bool(qint64)> &beforeWrite)
{
    const qint64 end = held.size();
    QByteArray bytes;
    if (end > 0) {
        char last = 0;
        if (!held.seek(end - 1) || held.read(&last, 1) != 1)
            return -1;
        if (last != '\n' && last != '\r')
            bytes = "\r\n";
    }
    const qint64 at = end + bytes.size();
    if (beforeWrite && !beforeWrite(at))
        return -1;
    bytes += line;
    if (!held.seek(end) || held.write(bytes) != bytes.size() || !Folder(fileName).Sync(held))
        return -1;
    return at;
}
