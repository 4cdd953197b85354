#include "Files.h"

#include "core/Cp1251.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QThread>
#include <QTimer>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

RetryPolicy g_retryPolicy;

int LockFor(uint16_t mode)
{
    const int access = mode & 0x03;
    const int share = (mode >> 4) & 0x0F;
    if (access != 0 || share <= 1)
        return LOCK_EX;
    if (share == 2)
        return LOCK_SH;
    return 0;
}

bool WriteAll(int fd, const char *data, qsizetype size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size_t(size));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += n;
        size -= n;
    }
    return true;
}

} // namespace

std::unique_ptr<QFile> TryOpenFile(const QString &fileName, uint16_t mode)
{
    const int access = mode & 0x03;
    int lock = LockFor(mode);
    const QByteArray path = QFile::encodeName(fileName);
    if (path.isEmpty())
        return nullptr;
    int fd = -1;
    if (access == 0 && lock == LOCK_EX) {
        // A reader that lets nobody else in: an exclusive lock needs a descriptor with write
        // access on NFS. Where the file cannot be written, a shared lock still keeps every
        // writer out.
        fd = ::open(path.constData(), O_RDWR | O_CLOEXEC);
        if (fd < 0 && (errno == EACCES || errno == EROFS || errno == EPERM))
            lock = LOCK_SH;
    }
    if (fd < 0)
        fd = ::open(path.constData(), (access == 0   ? O_RDONLY
                                       : access == 1 ? O_WRONLY
                                                     : O_RDWR) |
                                          O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    struct stat st;
    if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        ::close(fd);
        return nullptr;
    }
    if (lock != 0 && ::flock(fd, lock | LOCK_NB) != 0) {
        ::close(fd);
        return nullptr;
    }
    auto file = std::make_unique<QFile>(fileName);
    const QIODevice::OpenMode qtMode = access == 0   ? QIODevice::ReadOnly
                                       : access == 1 ? QIODevice::WriteOnly
                                                     : QIODevice::ReadWrite;
    if (!file->open(fd, qtMode | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return nullptr;
    }
    return file;
}

RetryPolicy OpenRetryPolicy()
{
    return g_retryPolicy;
}
void SetOpenRetryPolicy(const RetryPolicy &policy)
{
    g_retryPolicy = policy;
}

void Delay(int32_t ms)
{
    if (ms <= 0)
        return;
    if (!QCoreApplication::instance() ||
        QThread::currentThread() != QCoreApplication::instance()->thread()) {
        QThread::msleep(static_cast<unsigned long>(ms));
        return;
    }
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    timer.start(ms);
    loop.exec();
}

std::unique_ptr<QFile> OpenFileRetry(const QString &fileName, uint16_t mode)
{
    const RetryPolicy policy = g_retryPolicy;
    for (int attempt = 1;; ++attempt) {
        if (auto file = TryOpenFile(fileName, mode))
            return file;
        if (attempt >= policy.Attempts)
            return nullptr;
        Delay(policy.IntervalMs);
    }
}

namespace {

bool SameFile(const QFile &file, const QString &fileName)
{
    struct stat held, current;
    if (::fstat(file.handle(), &held) != 0)
        return false;
    if (::stat(QFile::encodeName(fileName).constData(), &current) != 0)
        return false;
    return held.st_dev == current.st_dev && held.st_ino == current.st_ino;
}

} // namespace

std::unique_ptr<QFile> OpenCurrentFileRetry(const QString &fileName, uint16_t mode)
{
    const RetryPolicy policy = g_retryPolicy;
    for (int attempt = 1;; ++attempt) {
        auto file = TryOpenFile(fileName, mode);
        if (file && SameFile(*file, fileName))
            return file;
        file.reset();
        if (attempt >= policy.Attempts)
            return nullptr;
        Delay(policy.IntervalMs);
    }
}

bool ReplaceFileContent(const QString &fileName, const QFile &held, const QByteArray &content)
{
    const QByteArray path = QFile::encodeName(fileName);
    const QByteArray temp = path + ".new";
    struct stat st;
    const mode_t perms = ::fstat(held.handle(), &st) == 0 ? (st.st_mode & 07777) : 0644;
    const int fd = ::open(temp.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, perms);
    if (fd < 0)
        return false;
    bool ok = WriteAll(fd, content.constData(), content.size()) && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    if (ok)
        ok = ::rename(temp.constData(), path.constData()) == 0;
    if (!ok) {
        ::unlink(temp.constData());
        return false;
    }
    // The rename itself must reach the disk too.
    const QByteArray dir = QFile::encodeName(QFileInfo(fileName).absolutePath());
    const int dirFd = ::open(dir.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return true;
}

bool CreateIfMissing(const QString &fileName)
{
    const QByteArray path = QFile::encodeName(fileName);
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) {
        ::close(fd);
        return true;
    }
    return errno == EEXIST && QFileInfo(fileName).isFile();
}

bool AppendLine(const QString &fileName, const QString &line, uint16_t mode)
{
    auto file = OpenFileRetry(fileName, mode);
    if (!file)
        return false;
    const QByteArray bytes = Cp1251::Encode(line) + "\r\n";
    const int fd = file->handle();
    if (::lseek(fd, 0, SEEK_END) < 0)
        return false;
    // A journal line is an examinee's result: it must be on disk before we say it is written.
    return WriteAll(fd, bytes.constData(), bytes.size()) && ::fdatasync(fd) == 0;
}

int64_t FileSizeOf(const QString &fileName)
{
    const QByteArray path = QFile::encodeName(fileName);
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return -1;
    struct stat st;
    const int64_t size = (::fstat(fd, &st) == 0 && !S_ISDIR(st.st_mode)) ? int64_t(st.st_size) : -1;
    ::close(fd);
    return size;
}

QByteArray ReadAllFromStart(QIODevice *source)
{
    if (!source)
        return QByteArray();
    if (!source->isSequential())
        source->seek(0);
    return source->readAll();
}

bool ReadWholeFile(const QString &fileName, QByteArray &bytes)
{
    auto file = TryOpenFile(fileName, fmOpenRead | fmShareDenyWrite);
    if (!file)
        return false;
    bytes = file->readAll();
    return file->error() == QFileDevice::NoError;
}

QString JoinPath(const QString &dir, const QString &name)
{
    if (dir.isEmpty())
        return name;
    if (dir.endsWith(u'/') || dir.endsWith(u'\\'))
        return dir + name;
    return dir + u'/' + name;
}

QString BareFileName(const QString &name)
{
    qsizetype at = -1;
    for (qsizetype i = 0; i < name.size(); ++i) {
        const QChar c = name.at(i);
        if (c == u'\\' || c == u'/' || c == u':')
            at = i;
    }
    return name.mid(at + 1);
}

QString DateStamp(const QDate &date)
{
    return QString::asprintf("%02d/%02d/%02d", date.day(), date.month(), date.year() % 100);
}
