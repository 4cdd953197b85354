#include "Shares.h"

#include "core/Files.h"
#include "core/FolderAccess.h"

#include <QByteArray>
#include <QFileInfo>
#include <QHash>
#include <QRecursiveMutex>
#include <QSet>
#include <QUrl>

#include <libsmbclient.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <netdb.h>
#include <sys/stat.h>

// The SMB client library is not thread-safe: every call below runs under one lock, and the
// program makes them on its folder thread (FolderThread.h) only. The sharing modes of the design
// are SMB's own: the library takes the mode of each open from its context at the open.

namespace {

struct UncName
{
    QString Server;
    QString Share;
    QString Rest; // separators "/", no leading one
    QString Key() const { return (Server + u'/' + Share).toLower(); }
};

bool ParseUnc(const QString &name, UncName &unc)
{
    if (!IsUncName(name))
        return false;
    QString rest = name.mid(2);
    rest.replace(u'\\', u'/');
    const QStringList parts = rest.split(u'/', Qt::SkipEmptyParts);
    if (parts.size() < 2)
        return false;
    unc.Server = parts[0];
    unc.Share = parts[1];
    unc.Rest = parts.mid(2).join(u'/');
    return true;
}

struct Account
{
    QByteArray User, Password;
};

class Client
{
public:
    static Client &Instance()
    {
        static Client client;
        return client;
    }

    QRecursiveMutex Lock;
    QHash<QString, Account> Accounts; // server/share -> its account
    QSet<QString> Connected;

    SMBCCTX *Context()
    {
        if (ctx_)
            return ctx_;
        ctx_ = smbc_new_context();
        if (!ctx_)
            return nullptr;
        smbc_setOptionUserData(ctx_, this);
        smbc_setFunctionAuthDataWithContext(ctx_, &Client::Auth);
        smbc_setOptionUseKerberos(ctx_, false);
        smbc_setOptionFallbackAfterKerberos(ctx_, true);
        smbc_setOptionNoAutoAnonymousLogin(ctx_, false);
        // A dead server costs one wait of a few seconds, not the library's 20 s per call.
        smbc_setTimeout(ctx_, 3000);
        // SMB2 from the first word: no round trip for the old protocol's negotiation.
        smbc_setOptionProtocols(ctx_, "SMB2_02", "SMB3");
        // The tests' server listens on a port of its own.
        bool ok = false;
        const int port = qEnvironmentVariableIntValue("TARVIK_SMB_PORT", &ok);
        if (ok && port > 0 && port < 65536)
            smbc_setPort(ctx_, uint16_t(port));
        if (!smbc_init_context(ctx_)) {
            smbc_free_context(ctx_, 1);
            ctx_ = nullptr;
        }
        return ctx_;
    }

    // Ends every connection of the library to every server (their sessions end on the
    // servers), and every file still open through it; the next access connects again.
    void Drop()
    {
        if (!ctx_)
            return;
        smbc_free_context(ctx_, 1);
        ctx_ = nullptr;
        ++generation_;
        OpenFiles = 0;
    }
    // Changes with each Drop: a file opened before it is closed.
    int Generation() const { return generation_; }
    // Files open now through the library.
    int OpenFiles = 0;

    // Runs Call (a first request of an access); when it fails as a connection that died does,
    // and no file is open, the connection is made afresh and Call runs once more: a server
    // that dropped an idle connection costs no failed access.
    template <typename F> auto Afresh(F call)
    {
        errno = 0;
        auto result = call(Context());
        if (!result && OpenFiles == 0 &&
            (errno == ECONNRESET || errno == EPIPE || errno == ENOTCONN || errno == ECONNABORTED ||
             errno == EIO)) {
            Drop();
            errno = 0;
            result = call(Context());
        }
        return result;
    }

    static QByteArray Url(const UncName &unc)
    {
        QByteArray url = "smb://" + unc.Server.toUtf8() + '/' + QUrl::toPercentEncoding(unc.Share);
        for (const QString &part : unc.Rest.split(u'/', Qt::SkipEmptyParts))
            url += '/' + QUrl::toPercentEncoding(part);
        return url;
    }

private:
    static void Auth(SMBCCTX *c, const char *server, const char *share, char *workgroup,
                     int workgroupLength, char *user, int userLength, char *password,
                     int passwordLength)
    {
        Q_UNUSED(workgroup);
        Q_UNUSED(workgroupLength);
        auto *self = static_cast<Client *>(smbc_getOptionUserData(c));
        const QString key = (QString::fromUtf8(server) + u'/' + QString::fromUtf8(share)).toLower();
        auto it = self->Accounts.constFind(key);
        if (it == self->Accounts.constEnd()) {
            // The server's other shares (and the server itself) go with the account known for it.
            for (auto a = self->Accounts.constBegin(); a != self->Accounts.constEnd(); ++a)
                if (a.key().section(u'/', 0, 0) == QString::fromUtf8(server).toLower())
                    it = a;
        }
        if (it == self->Accounts.constEnd())
            return;
        qstrncpy(user, it->User.constData(), size_t(userLength));
        qstrncpy(password, it->Password.constData(), size_t(passwordLength));
    }

    SMBCCTX *ctx_ = nullptr;
    int generation_ = 0;
};

smbc_share_mode ShareModeOf(uint16_t mode)
{
    switch ((mode >> 4) & 0x0F) {
    case 1:
        return SMBC_SHAREMODE_DENY_ALL;
    case 2:
        return SMBC_SHAREMODE_DENY_WRITE;
    case 3:
        return SMBC_SHAREMODE_DENY_READ;
    default:
        return SMBC_SHAREMODE_DENY_NONE;
    }
}

// One open file of a share, held with its sharing mode until closed.
class ShareFile : public QIODevice
{
public:
    ShareFile(SMBCCTX *ctx, SMBCFILE *file)
        : ctx_(ctx), file_(file), generation_(Client::Instance().Generation())
    {
        ++Client::Instance().OpenFiles;
    }
    ~ShareFile() override { close(); }

    bool isSequential() const override { return false; }
    qint64 size() const override
    {
        QMutexLocker lock(&Client::Instance().Lock);
        struct stat st;
        SMBCFILE *f = const_cast<ShareFile *>(this)->Live();
        return f && smbc_getFunctionFstat(ctx_)(ctx_, f, &st) == 0 ? qint64(st.st_size) : -1;
    }
    bool seek(qint64 pos) override
    {
        QMutexLocker lock(&Client::Instance().Lock);
        if (!Live() || !QIODevice::seek(pos))
            return false;
        return smbc_getFunctionLseek(ctx_)(ctx_, file_, off_t(pos), SEEK_SET) == off_t(pos);
    }
    void close() override
    {
        QMutexLocker lock(&Client::Instance().Lock);
        if (Live())
            smbc_getFunctionClose(ctx_)(ctx_, file_);
        // A file of a connection dropped since is no longer counted.
        if (counted_ && generation_ == Client::Instance().Generation())
            --Client::Instance().OpenFiles;
        counted_ = false;
        file_ = nullptr;
        QIODevice::close();
    }
    bool Truncate(qint64 size)
    {
        QMutexLocker lock(&Client::Instance().Lock);
        return Live() && smbc_getFunctionFtruncate(ctx_)(ctx_, file_, off_t(size)) == 0;
    }

protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        QMutexLocker lock(&Client::Instance().Lock);
        if (!Live())
            return -1;
        qint64 done = 0;
        while (done < maxSize) {
            const ssize_t n =
                smbc_getFunctionRead(ctx_)(ctx_, file_, data + done, size_t(maxSize - done));
            if (n < 0)
                return done > 0 ? done : -1;
            done += n;
            // A short answer is the end of the file: no request more to hear so.
            if (n == 0 || n < maxSize - (done - n))
                break;
        }
        return done;
    }
    qint64 writeData(const char *data, qint64 size) override
    {
        QMutexLocker lock(&Client::Instance().Lock);
        if (!Live())
            return -1;
        // The whole buffer in one call: a line goes to the server in one request.
        const ssize_t n = smbc_getFunctionWrite(ctx_)(ctx_, file_, data, size_t(size));
        return n < 0 ? -1 : qint64(n);
    }

private:
    // The file as long as its connection lasts: a disconnection closed it.
    SMBCFILE *Live()
    {
        if (file_ && generation_ != Client::Instance().Generation())
            file_ = nullptr;
        return file_;
    }

    SMBCCTX *ctx_;
    SMBCFILE *file_;
    int generation_;
    bool counted_ = true; // counted among the open files
};

class Share : public FolderAccess
{
public:
    std::unique_ptr<QIODevice> Open(const QString &fileName, uint16_t mode) override
    {
        return OpenWith(fileName, mode, 0);
    }

    std::unique_ptr<QIODevice> OpenCreating(const QString &fileName, uint16_t mode) override
    {
        return OpenWith(fileName, mode, O_CREAT);
    }

    std::unique_ptr<QIODevice> OpenWith(const QString &fileName, uint16_t mode, int create)
    {
        UncName unc;
        if (!ParseUnc(fileName, unc))
            return nullptr;
        const int access = mode & 0x03;
        const int flags = (access == 0 ? O_RDONLY : access == 1 ? O_WRONLY : O_RDWR) | create;
        const RetryPolicy policy = OpenRetryPolicy();
        for (int attempt = 1;; ++attempt) {
            int error = 0;
            if (auto file = TryOpen(unc, flags, ShareModeOf(mode), error)) {
                file->open((access == 0   ? QIODevice::ReadOnly
                            : access == 1 ? QIODevice::WriteOnly
                                          : QIODevice::ReadWrite) |
                           QIODevice::Unbuffered);
                return file;
            }
            // Only another station's sharing mode is waited out; anything else is the network.
            if (error != EBUSY || attempt >= policy.Attempts)
                return nullptr;
            Delay(policy.IntervalMs);
        }
    }

    bool Sync(QIODevice &file) override
    {
        // Each write is answered by the server once it has it; the library has no flush.
        return dynamic_cast<ShareFile *>(&file) != nullptr;
    }

    bool Replace(const QString &, QIODevice &held, const QByteArray &content,
                 const QByteArray *known) override
    {
        // Renaming over an open file is refused on a share and a reader could see no file: the
        // content is replaced in place under the caller's deny-all hold. A content that only
        // grows (a record added to the password list) is written as its new end alone, so
        // whatever happens the old part stays.
        auto *file = dynamic_cast<ShareFile *>(&held);
        if (!file)
            return false;
        QByteArray old;
        if (known) {
            old = *known;
        } else {
            if (!file->seek(0))
                return false;
            old = file->readAll();
        }
        if (content.startsWith(old))
            return file->seek(old.size()) &&
                   file->write(content.mid(old.size())) == content.size() - old.size();
        return file->Truncate(0) && file->seek(0) && file->write(content) == content.size();
    }

    Created CreateNew(const QString &fileName, const QByteArray &content) override
    {
        UncName unc;
        if (!ParseUnc(fileName, unc))
            return Created::Failed;
        int error = 0;
        auto file = TryOpen(unc, O_WRONLY | O_CREAT | O_EXCL, SMBC_SHAREMODE_DENY_ALL, error);
        if (!file)
            return error == EEXIST ? Created::Exists : Created::Failed;
        file->open(QIODevice::WriteOnly | QIODevice::Unbuffered);
        // An empty file is made by the open alone.
        return content.isEmpty() || file->write(content) == content.size() ? Created::Created
                                                                           : Created::Failed;
    }

    bool CreateIfMissing(const QString &fileName) override
    {
        // A refusal because the name is taken says the file is there: no second question.
        return CreateNew(fileName, QByteArray()) != Created::Failed;
    }

    bool MakeFolder(const QString &dir) override
    {
        UncName unc;
        if (!ParseUnc(dir, unc))
            return false;
        QMutexLocker lock(&Client::Instance().Lock);
        SMBCCTX *ctx = Client::Instance().Context();
        if (!ctx)
            return false;
        // Level by level: the library makes one folder at a time.
        UncName level = unc;
        level.Rest.clear();
        for (const QString &part : unc.Rest.split(u'/', Qt::SkipEmptyParts)) {
            level.Rest += (level.Rest.isEmpty() ? QString() : QStringLiteral("/")) + part;
            if (smbc_getFunctionMkdir(ctx)(ctx, Client::Url(level).constData(), 0775) != 0 &&
                errno != EEXIST)
                return false;
        }
        return true;
    }

    bool Exists(const QString &fileName) override
    {
        UncName unc;
        if (!ParseUnc(fileName, unc))
            return false;
        QMutexLocker lock(&Client::Instance().Lock);
        return Client::Instance().Afresh([&](SMBCCTX *ctx) {
            struct stat st;
            return ctx && smbc_getFunctionStat(ctx)(ctx, Client::Url(unc).constData(), &st) == 0;
        });
    }

private:
    static std::unique_ptr<ShareFile> TryOpen(const UncName &unc, int flags,
                                              smbc_share_mode shareMode, int &error)
    {
        Client &client = Client::Instance();
        QMutexLocker lock(&client.Lock);
        SMBCCTX *opened = nullptr;
        SMBCFILE *f = client.Afresh([&](SMBCCTX *ctx) -> SMBCFILE * {
            if (!ctx) {
                errno = EIO;
                return nullptr;
            }
            opened = ctx;
            smbc_setOptionOpenShareMode(ctx, shareMode);
            return smbc_getFunctionOpen(ctx)(ctx, Client::Url(unc).constData(), flags, 0664);
        });
        error = errno;
        if (!f)
            return nullptr;
        return std::make_unique<ShareFile>(opened, f);
    }
};

} // namespace

bool IsUncName(const QString &name)
{
    return name.startsWith(QStringLiteral("\\\\")) || name.startsWith(QStringLiteral("//"));
}

FolderAccess &ShareFolder()
{
    static Share share;
    return share;
}

void KnowAccount(const QString &remoteName, const QString &userName, const QString &password)
{
    UncName unc;
    if (!ParseUnc(remoteName, unc))
        return;
    Client &client = Client::Instance();
    QMutexLocker lock(&client.Lock);
    client.Accounts.insert(unc.Key(), {userName.toUtf8(), password.toUtf8()});
}

int ConnectShare(const QString &remoteName, const QString &userName, const QString &password)
{
    UncName unc;
    if (!ParseUnc(remoteName, unc))
        return QFileInfo(remoteName).isDir() ? ShareConnected : ShareNotFound;
    Client &client = Client::Instance();
    QMutexLocker lock(&client.Lock);
    if (client.Connected.contains(unc.Key()))
        return ShareAlreadyConnected;
    // No such host is a path not found, before the library tries anything.
    addrinfo *found = nullptr;
    if (::getaddrinfo(unc.Server.toUtf8().constData(), nullptr, nullptr, &found) != 0)
        return ShareNotFound;
    ::freeaddrinfo(found);
    client.Accounts.insert(unc.Key(), {userName.toUtf8(), password.toUtf8()});
    SMBCCTX *ctx = client.Context();
    if (!ctx)
        return ShareNotFound;
    UncName share = unc;
    share.Rest.clear();
    errno = 0;
    SMBCFILE *dir = smbc_getFunctionOpendir(ctx)(ctx, (Client::Url(share) + '/').constData());
    const int error = errno;
    if (dir) {
        smbc_getFunctionClosedir(ctx)(ctx, dir);
        client.Connected.insert(unc.Key());
        return ShareConnected;
    }
    // A failed logon must not stay in the server's cache for the next account.
    smbc_getFunctionPurgeCachedServers(ctx)(ctx);
    switch (error) {
    case EACCES:
    case EPERM:
        return ShareLogonFailure;
    case ENOENT:
    case ENODEV:
    case ENOTDIR:
        return ShareNameNotFound;
    default:
        return ShareNotFound;
    }
}

void DisconnectShare(const QString &name, bool force)
{
    Q_UNUSED(force);
    UncName unc;
    if (!ParseUnc(name, unc))
        return;
    Client &client = Client::Instance();
    QMutexLocker lock(&client.Lock);
    // Forced, as the design disconnects: the session ends on the server, open files with it (a
    // purge of the library's cache would keep a server whose files are open), also where an
    // access connected by itself with the account known.
    client.Connected.remove(unc.Key());
    client.Drop();
}
