#include "core/Commands.h"
#include "core/FileTypes.h"
#include "core/Files.h"
#include "core/Shares.h"

#include <QProcess>
#include <QTimer>
#include <QtTest>

#include <gio/gdesktopappinfo.h>
#include <glib.h>

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

// Launches the desktop entry on a file as the desktop does (the entry is let go); what the
// started program noted in Noted.
QString Launched(GDesktopAppInfo *info, const QString &fileName, const QString &noted)
{
    QFile::remove(noted);
    GFile *file = g_file_new_for_path(QFile::encodeName(fileName).constData());
    GList *files = g_list_append(nullptr, file);
    const bool launched = g_app_info_launch(G_APP_INFO(info), files, nullptr, nullptr);
    g_list_free(files);
    g_object_unref(file);
    g_object_unref(info);
    const auto read = [&noted] {
        QFile f(noted);
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    };
    for (int i = 0; launched && i < 200 && read().isEmpty(); ++i)
        QTest::qWait(25);
    return read();
}

class TestFiles : public QObject
{
    Q_OBJECT

    static void WriteText(const QString &name, const QByteArray &text)
    {
        QFile f(name);
        f.open(QIODevice::WriteOnly);
        f.write(text);
    }

    static QByteArray ReadText(const QString &name)
    {
        QFile f(name);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

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
        const int readExclusive = fmOpenRead | fmShareExclusive; // 16
        const int readDenyWrite = fmOpenRead | fmShareDenyWrite; // 32
        const int readDenyNone = fmOpenRead | fmShareDenyNone;   // 64
        QTest::newRow("password read 0 blocks append 33") << 0 << 33 << false;
        QTest::newRow("append 33 blocks password read 0") << 33 << 0 << false;
        QTest::newRow("append 33 blocks append 33") << 33 << 33 << false;
        QTest::newRow("update 18 blocks reader 32") << 18 << readDenyWrite << false;
        QTest::newRow("update 17 blocks update 18") << 17 << 18 << false;
        QTest::newRow("subject journal 34 blocks 34") << 34 << 34 << false;
        QTest::newRow("readers 32 share") << readDenyWrite << readDenyWrite << true;
        QTest::newRow("reader 32 blocks writer 33") << readDenyWrite << 33 << false;
        QTest::newRow("exclusive reader 16 blocks reader 32")
            << readExclusive << readDenyWrite << false;
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
        QCOMPARE(JoinPath(QStringLiteral("/srv/j/"), QStringLiteral("a")),
                 QStringLiteral("/srv/j/a"));
        QCOMPARE(JoinPath(QStringLiteral("C:\\j\\"), QStringLiteral("a")),
                 QStringLiteral("C:\\j\\a"));
        QCOMPARE(JoinPath(QStringLiteral("/srv/j"), QStringLiteral("a")),
                 QStringLiteral("/srv/j/a"));
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

    // The file types of the desktop, each run as the main window is shown.
    void fileTypes_data()
    {
        QTest::addColumn<QString>("marker"); // the store's "Reg" of .uzk and .fzk before; "-": none
        QTest::addColumn<bool>("fixedDisk");
        QTest::addColumn<bool>("managerUsed");
        QTest::addColumn<QStringList>("written");
        QTest::addColumn<int>("recent");
        QTest::newRow("first run, no manager")
            << "-" << true << false << QStringList{"uzk", "fzk"} << 2;
        QTest::newRow("first run, manager")
            << "-" << true << true << QStringList{"fzm", "uzk", "fzk"} << 3;
        QTest::newRow("registered: nothing written") << "1" << true << false << QStringList{} << 2;
        QTest::newRow("marker 0: again") << "0" << true << false << QStringList{"uzk", "fzk"} << 2;
        QTest::newRow("marker not a number: again")
            << "yes" << true << false << QStringList{"uzk", "fzk"} << 2;
        QTest::newRow("not a fixed disk: nothing") << "-" << false << true << QStringList{} << 0;
    }
    void fileTypes()
    {
        QFETCH(QString, marker);
        QFETCH(bool, fixedDisk);
        QFETCH(bool, managerUsed);
        QFETCH(QStringList, written);
        QFETCH(int, recent);
        QTemporaryDir home;
        const QByteArray previous = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", QFile::encodeName(home.path()));
        const auto restore = qScopeGuard([&] { qputenv("XDG_DATA_HOME", previous); });
        QDir().mkpath(home.filePath(QStringLiteral("tarvik")));
        if (marker != u"-") {
            QFile store(home.filePath(QStringLiteral("tarvik/FileTypes.reg")));
            QVERIFY(store.open(QIODevice::WriteOnly));
            store.write(
                QStringLiteral("REGEDIT4\n\n[.uzk]\n\"Reg\"=\"%1\"\n\n[.fzk]\n\"Reg\"=\"%1\"\n")
                    .arg(marker)
                    .toUtf8());
        }
        // A program whose path the desktop entry must quote; it notes the file it was started on.
        const QString exe = home.filePath(QStringLiteral("my exams/tar\"vik$1"));
        QDir().mkpath(home.filePath(QStringLiteral("my exams")));
        WriteText(exe, "#!/bin/sh\nprintf '%s' \"$1\" > \"$(dirname \"$0\")/started\"\n");
        QFile::setPermissions(exe, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        const QString editor = home.filePath(QStringLiteral("my exams/tarvik-editor"));
        WriteText(editor, "#!/bin/sh\nprintf '%s' \"$1\" > \"$(dirname \"$0\")/edited\"\n");
        QFile::setPermissions(editor, QFile::ReadOwner | QFile::ExeOwner);
        const QString manager = home.filePath(QStringLiteral("subjects.fzm")),
                      exam = home.filePath(QStringLiteral("a b.uzk"));
        RegisterFileTypes({exe, fixedDisk, managerUsed ? manager : exam, exam, managerUsed});

        QStringList found;
        for (const QString &ext :
             {QStringLiteral("fzm"), QStringLiteral("uzk"), QStringLiteral("fzk")}) {
            const QString entry =
                home.filePath(QStringLiteral("applications/tarvik-%1.desktop").arg(ext));
            if (!QFile::exists(entry))
                continue;
            found.append(ext);
            // The desktop reads the entry back as this program on that type.
            GDesktopAppInfo *info =
                g_desktop_app_info_new_from_filename(QFile::encodeName(entry).constData());
            QVERIFY(info);
            QVERIFY(g_strv_contains(g_app_info_get_supported_types(G_APP_INFO(info)),
                                    TarvikMimeType(ext).toUtf8().constData()));
            QCOMPARE(Launched(info, exam, home.filePath(QStringLiteral("my exams/started"))), exam);
            QVERIFY(QFile::exists(
                home.filePath(QStringLiteral("mime/packages/tarvik-%1.xml").arg(ext))));
        }
        QCOMPARE(found, written);
        // An exam's type offers the editor beside the program as its second action.
        for (const QString &ext : written) {
            const QString entry =
                home.filePath(QStringLiteral("applications/tarvik-%1-edit.desktop").arg(ext));
            GDesktopAppInfo *info =
                g_desktop_app_info_new_from_filename(QFile::encodeName(entry).constData());
            QCOMPARE(info != nullptr, ext != u"fzm");
            if (!info)
                continue;
            QCOMPARE(Launched(info, exam, home.filePath(QStringLiteral("my exams/edited"))), exam);
        }
        TClassesStore store(home.filePath(QStringLiteral("tarvik/FileTypes.reg")));
        store.Load();
        for (const QString &ext : written) {
            QCOMPARE(store.Value(u'.' + ext, QStringLiteral("Reg")), QStringLiteral("1"));
            QCOMPARE(store.Value(ext + QStringLiteral("\\Shell\\First_Action\\command"), QString()),
                     exe + QStringLiteral(" %1"));
        }

        // The recent documents, read back as the desktop reads them.
        GBookmarkFile *bookmarks = g_bookmark_file_new();
        const QString list = home.filePath(QStringLiteral("recently-used.xbel"));
        QCOMPARE(
            g_bookmark_file_load_from_file(bookmarks, QFile::encodeName(list).constData(), nullptr),
            recent > 0);
        if (recent > 0) {
            QCOMPARE(int(g_bookmark_file_get_size(bookmarks)), managerUsed ? 2 : 1);
            const QByteArray uri = QUrl::fromLocalFile(exam).toString(QUrl::FullyEncoded).toUtf8();
            gchar *mime = g_bookmark_file_get_mime_type(bookmarks, uri.constData(), nullptr);
            const QByteArray type(mime);
            g_free(mime);
            QCOMPARE(type, "application/x-tarvik-uzk");
            QVERIFY(g_bookmark_file_has_application(bookmarks, uri.constData(), "Tarvik", nullptr));
            QCOMPARE(int(g_bookmark_file_get_application_info(bookmarks, uri.constData(), "Tarvik",
                                                              nullptr, nullptr, nullptr, nullptr)
                             ? 1
                             : 0),
                     1);
        }
        g_bookmark_file_free(bookmarks);
    }

    // A store that cannot be written is the key's error, and the type is tried again next run.
    void fileTypeStoreNotWritable()
    {
        QTemporaryDir home;
        const QByteArray previous = qgetenv("XDG_DATA_HOME");
        const QString notAFolder = home.filePath(QStringLiteral("file"));
        QFile(notAFolder).open(QIODevice::WriteOnly);
        qputenv("XDG_DATA_HOME", QFile::encodeName(notAFolder));
        const auto restore = qScopeGuard([&] { qputenv("XDG_DATA_HOME", previous); });
        try {
            RegisterFileType(QStringLiteral("/usr/bin/tarvik"), QStringLiteral("uzk"),
                             QStringLiteral("Open Tarvik"), QStringLiteral("U"));
            QFAIL("no error");
        } catch (const ERegistryError &e) {
            QCOMPARE(e.Message(), QStringLiteral("Отказ создания ключа uzk"));
        }
    }
};

QTEST_GUILESS_MAIN(TestFiles)
#include "test_files.moc"
