#include "Commands.h"
#include "Files.h"
#include "Shares.h"

#include <QProcess>
#include <QTimer>
#include <QtTest>

namespace {

// The other station: a process that holds a file open in a mode until told to let go.
class Holder
{
public:
    bool Start(const QString &file, int mode)
    {
        process_.start(QStringLiteral(TARVIK_FILE_HOLDER), {file, QString::number(mode)});
        if (!process_.waitForStarted(5000) || !process_.waitForReadyRead(5000))
            return false;
        return process_.readLine().trimmed() == "held";
    }
    void Release()
    {
        process_.write("\n");
        process_.closeWriteChannel();
        process_.waitForFinished(5000);
    }
    ~Holder()
    {
        if (process_.state() != QProcess::NotRunning)
            Release();
    }

private:
    QProcess process_;
};

QString MakeFile(const QTemporaryDir &dir, const char *name, const QByteArray &content)
{
    const QString path = dir.filePath(QString::fromLatin1(name));
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(content);
    return path;
}

} // namespace

class TestFiles : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { SetOpenRetryPolicy({3, 20}); }
    void cleanup() { SetOpenRetryPolicy(RetryPolicy()); }

    // Another process holds the file; does our open get it? Each mode pair as the stations
    // of a lab would meet it.
    void sharingAcrossProcesses_data()
    {
        QTest::addColumn<int>("held");
        QTest::addColumn<int>("wanted");
        QTest::addColumn<bool>("opens");
        const int readExclusive = fmOpenRead | fmShareExclusive;     // 16
        const int readDenyWrite = fmOpenRead | fmShareDenyWrite;     // 32
        const int readDenyNone = fmOpenRead | fmShareDenyNone;       // 64
        QTest::newRow("password read 0 blocks append 33") << 0 << 33 << false;
        QTest::newRow("append 33 blocks password read 0") << 33 << 0 << false;
        QTest::newRow("append 33 blocks append 33") << 33 << 33 << false;
        QTest::newRow("update 18 blocks reader 32") << 18 << readDenyWrite << false;
        QTest::newRow("update 17 blocks update 18") << 17 << 18 << false;
        QTest::newRow("subject journal 34 blocks 34") << 34 << 34 << false;
        QTest::newRow("readers 32 share") << readDenyWrite << readDenyWrite << true;
        QTest::newRow("reader 32 blocks writer 33") << readDenyWrite << 33 << false;
        QTest::newRow("exclusive reader 16 blocks reader 32") << readExclusive << readDenyWrite << false;
        QTest::newRow("deny-none reader 64 lets writer 33") << readDenyNone << 33 << true;
        QTest::newRow("writer 33 lets deny-none reader 64") << 33 << readDenyNone << true;
    }
    void sharingAcrossProcesses()
    {
        QFETCH(int, held);
        QFETCH(int, wanted);
        QFETCH(bool, opens);
        QTemporaryDir dir;
        const QString path = MakeFile(dir, "Journal.fzj", "x");
        Holder other;
        QVERIFY(other.Start(path, held));
        QCOMPARE(TryOpenFile(path, uint16_t(wanted)) != nullptr, opens);
        other.Release();
        QVERIFY(TryOpenFile(path, uint16_t(wanted)) != nullptr);
    }

    void retryGetsTheFileWhenTheOtherLetsGo()
    {
        SetOpenRetryPolicy({101, 50});
        QTemporaryDir dir;
        const QString path = MakeFile(dir, "tarvik.pwl", "x");
        Holder other;
        QVERIFY(other.Start(path, 17));
        // The release runs from the event loop while OpenFileRetry waits in Delay.
        QTimer::singleShot(300, [&] { other.Release(); });
        QElapsedTimer clock;
        clock.start();
        auto file = OpenFileRetry(path, 18);
        QVERIFY(file);
        QVERIFY(clock.elapsed() >= 250);
    }

    void retryGivesUp()
    {
        QTemporaryDir dir;
        const QString path = MakeFile(dir, "tarvik.pwl", "x");
        Holder other;
        QVERIFY(other.Start(path, 17));
        QVERIFY(!OpenFileRetry(path, 18));
        QVERIFY(!OpenFileRetry(dir.filePath(QStringLiteral("missing")), 0));
    }

    void appendLine()
    {
        QTemporaryDir dir;
        const QString missing = dir.filePath(QStringLiteral("Journal.fzj"));
        QVERIFY(!AppendLine(missing, QStringLiteral("x"), 33));
        QVERIFY(!QFile::exists(missing)); // never created here
        const QString path = MakeFile(dir, "JTema.fzj", "first\r\n");
        QVERIFY(AppendLine(path, QStringLiteral("Иванов@10А"), 33));
        QVERIFY(AppendLine(path, QStringLiteral("Ω"), 33));
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("first\r\n\xc8\xe2\xe0\xed\xee\xe2@10\xc0\r\n?\r\n"));
        // A station holding the journal makes the append fail after the retries.
        Holder other;
        QVERIFY(other.Start(path, 33));
        QVERIFY(!AppendLine(path, QStringLiteral("lost?"), 33));
    }

    void fileSizeOf()
    {
        QTemporaryDir dir;
        QCOMPARE(FileSizeOf(MakeFile(dir, "a", "12345")), int64_t(5));
        QCOMPARE(FileSizeOf(MakeFile(dir, "b", "")), int64_t(0));
        QCOMPARE(FileSizeOf(dir.filePath(QStringLiteral("none"))), int64_t(-1));
        QCOMPARE(FileSizeOf(dir.path()), int64_t(-1));
    }

    void pathsAndDates()
    {
        QCOMPARE(JoinPath(QStringLiteral("/srv/j/"), QStringLiteral("a")), QStringLiteral("/srv/j/a"));
        QCOMPARE(JoinPath(QStringLiteral("C:\\j\\"), QStringLiteral("a")), QStringLiteral("C:\\j\\a"));
        QCOMPARE(JoinPath(QStringLiteral("/srv/j"), QStringLiteral("a")), QStringLiteral("/srv/j/a"));
        QCOMPARE(BareFileName(QStringLiteral("C:\\pics\\a.bmp")), QStringLiteral("a.bmp"));
        QCOMPARE(BareFileName(QStringLiteral("D:b.jpg")), QStringLiteral("b.jpg"));
        QCOMPARE(BareFileName(QStringLiteral("/x/y/c.gif")), QStringLiteral("c.gif"));
        QLocale::setDefault(QLocale(QLocale::German)); // a locale whose date separator is a dot
        QCOMPARE(DateStamp(QDate(2026, 12, 8)), QStringLiteral("08/12/26"));
        QCOMPARE(DateStamp(QDate(2000, 1, 31)), QStringLiteral("31/01/00"));
        QLocale::setDefault(QLocale::c());
    }

    void delayKeepsEventsRunning()
    {
        QElapsedTimer clock;
        clock.start();
        Delay(0);
        Delay(-5);
        QVERIFY(clock.elapsed() < 50);
        bool fired = false;
        QTimer::singleShot(10, [&] { fired = true; });
        Delay(100);
        QVERIFY(fired);
        QVERIFY(clock.elapsed() >= 95);
    }

    void connectPlainFolder()
    {
        QTemporaryDir dir;
        QCOMPARE(ConnectShare(dir.path(), QString(), QString()), int(ShareConnected));
        QCOMPARE(ConnectShare(dir.filePath(QStringLiteral("gone")), QString(), QString()),
                 int(ShareNotFound));
    }
};

QTEST_GUILESS_MAIN(TestFiles)
#include "test_files.moc"
