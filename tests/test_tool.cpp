#include "core/Cp1251.h"
#include "core/Scramble.h"
#include "exam/ListStreams.h"
#include "helpers/TestFiles.h"

#include <QProcess>
#include <QtTest>

namespace {

struct Run
{
    int Code = -1;
    QByteArray Out;
    QByteArray Err;
};

Run Tool(const QStringList &args, const QByteArray &input = QByteArray())
{
    QProcess p;
    p.start(QStringLiteral(TARVIK_TOOL), args);
    p.waitForStarted();
    p.write(input);
    p.closeWriteChannel();
    p.waitForFinished(30000);
    return {p.exitCode(), p.readAllStandardOutput(), p.readAllStandardError()};
}

const QByteArray Utf8Exam = "[Setup]\nCEdit=Физика\n[V0]\nVopros=Что?\n";

} // namespace

class TestTool : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void scrambleRoundTripsWithTheLibrary_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QByteArray>("keyBytes");
        QTest::newRow("exam") << "exam" << Keys::Settings;
        QTest::newRow("manager") << "manager" << Keys::Manager;
        QTest::newRow("passwords") << "passwords" << Keys::Passwords;
        QTest::newRow("report") << "report" << Keys::Report;
    }
    void scrambleRoundTripsWithTheLibrary()
    {
        QFETCH(QString, key);
        QFETCH(QByteArray, keyBytes);
        QTemporaryDir dir;
        const QString in = dir.filePath(QStringLiteral("in.txt"));
        const QString out = dir.filePath(QStringLiteral("out"));
        WriteFile(in, "Иванов@10А@secret\r\n");
        QCOMPARE(Tool({QStringLiteral("scramble"), QStringLiteral("--key"), key, in, out}).Code, 0);
        QCOMPARE(UnscrambleBytes(ReadFile(out), keyBytes), ReadFile(in));
        // The other way: the library scrambles, the tool reads.
        WriteFile(out, ScrambleBytes(QByteArray("Петров@11Б\r\n"), keyBytes));
        const Run r = Tool(
            {QStringLiteral("unscramble"), QStringLiteral("--key"), key, out, QStringLiteral("-")});
        QCOMPARE(r.Code, 0);
        QCOMPARE(r.Out, QByteArray("Петров@11Б\r\n"));
    }

    void utf8ConversionAndStandardStreams()
    {
        const Run s = Tool({"scramble", "--key", "exam", "--from-utf8", "-", "-"}, Utf8Exam);
        QCOMPARE(s.Code, 0);
        QCOMPARE(Cp1251::Decode(UnscrambleBytes(s.Out, Keys::Settings)),
                 QString::fromUtf8(Utf8Exam).replace(QStringLiteral("\n"), QStringLiteral("\r\n")));
        const Run u = Tool({"unscramble", "--to-utf8", "--key", "exam", "-", "-"}, s.Out);
        QCOMPARE(u.Code, 0);
        QCOMPARE(u.Out, Utf8Exam);
    }

    void plainQuestionFilePassesThrough()
    {
        const QByteArray plain = "[Setup]\r\nAllZ=1\r\n";
        const Run r = Tool({"unscramble", "--key", "exam", "-", "-"}, plain);
        QCOMPARE(r.Code, 0);
        QCOMPARE(r.Out, plain);
        // Only the exam key has a signature.
        const Run m = Tool({"unscramble", "--key", "manager", "-", "-"}, plain);
        QCOMPARE(m.Code, 0);
        QVERIFY(m.Out != plain);
    }

    void packListUnpack()
    {
        QTemporaryDir dir;
        const QString text = dir.filePath(QStringLiteral("exam.txt"));
        WriteFile(text, Utf8Exam);
        const QString pic = dir.filePath(QStringLiteral("Рис1.JPG"));
        WriteFile(pic, QByteArray("\xff\xd8 jpeg", 7));
        const QString bmp = dir.filePath(QStringLiteral("b.bmp"));
        WriteFile(bmp, QByteArray(3000, 'B'));
        for (bool stored : {false, true}) {
            const QString uzk = dir.filePath(QStringLiteral("e.uzk"));
            QStringList args{
                QStringLiteral("pack"), QStringLiteral("--from-utf8"), uzk, text, pic, bmp};
            if (stored)
                args.insert(1, QStringLiteral("--stored"));
            QCOMPARE(Tool(args).Code, 0);

            // The player's reader takes what the tool packed.
            TListStreams s;
            s.LoadFromScrambled(ReadFile(uzk), Keys::Settings);
            QCOMPARE(s.Compressed, !stored);
            QCOMPARE(s.Data(QStringLiteral("рис1.jpg")), QByteArray("\xff\xd8 jpeg", 7));
            QCOMPARE(s.Data(QStringLiteral("unifileexam")), Cp1251::FromUtf8Text(Utf8Exam));

            const Run l = Tool({QStringLiteral("list"), uzk});
            QCOMPARE(l.Code, 0);
            QCOMPARE(QString::fromUtf8(l.Out),
                     QStringLiteral("%1\nb.bmp\t3000\nunifileexam\t%2\nРис1.JPG\t7\n")
                         .arg(stored ? QStringLiteral("stored") : QStringLiteral("compressed"))
                         .arg(Cp1251::FromUtf8Text(Utf8Exam).size()));

            const QString outDir = dir.filePath(QStringLiteral("out"));
            QCOMPARE(
                Tool({QStringLiteral("unpack"), QStringLiteral("--to-utf8"), uzk, outDir}).Code, 0);
            QCOMPARE(ReadFile(outDir + QStringLiteral("/unifileexam.txt")), Utf8Exam);
            QCOMPARE(ReadFile(outDir + QStringLiteral("/Рис1.JPG")),
                     QByteArray("\xff\xd8 jpeg", 7));
            QCOMPARE(ReadFile(outDir + QStringLiteral("/b.bmp")), QByteArray(3000, 'B'));
        }
    }

    // Every entry lands inside the folder under its bare name; a name that names no file (empty,
    // or with a control character) is one line on standard error and exit 1.
    void unpackNames_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("written"); // below the output folder, or the message's name
        QTest::newRow("path climbing out") << "..\\..\\evil.bmp" << 0 << "evil.bmp";
        QTest::newRow("NUL inside") << QString::fromLatin1("a\0b.bmp", 7) << 1 << "a\\x00b.bmp";
        QTest::newRow("tab and escape") << "t\tx\x1b.gif" << 1 << "t\\x09x\\x1b.gif";
        QTest::newRow("empty") << "" << 1 << "";
    }
    void unpackNames()
    {
        QFETCH(QString, entry);
        QFETCH(int, code);
        QFETCH(QString, written);
        QTemporaryDir dir;
        const QByteArray container =
            BuildContainer({{QStringLiteral("unifileexam"), "[Setup]"}, {entry, "E"}}, true);
        const QString uzk = dir.filePath(QStringLiteral("bad.uzk"));
        WriteFile(uzk, ScrambleBytes(container, Keys::Settings));
        const Run r = Tool({QStringLiteral("unpack"), uzk, dir.filePath(QStringLiteral("x/y"))});
        QCOMPARE(r.Code, code);
        if (code == 0) {
            QCOMPARE(ReadFile(dir.filePath(QStringLiteral("x/y/") + written)), QByteArray("E"));
            QCOMPARE(QDir(dir.path()).entryList(QDir::Files),
                     QStringList{QStringLiteral("bad.uzk")});
        } else {
            QCOMPARE(r.Err, QStringLiteral("tarvik-tool: entry \"%1\" has no usable file name\n")
                                .arg(written)
                                .toUtf8());
        }
    }

    void damagedAndUnreadableInput()
    {
        QTemporaryDir dir;
        const QString uzk = dir.filePath(QStringLiteral("bad.uzk"));
        WriteFile(uzk, ScrambleBytes(QByteArray("\x26not zlib at all"), Keys::Settings));
        for (const char *cmd : {"list", "unpack"}) {
            QStringList args{QString::fromLatin1(cmd), uzk};
            if (QByteArray(cmd) == "unpack")
                args << dir.filePath(QStringLiteral("o"));
            const Run r = Tool(args);
            QCOMPARE(r.Code, 1);
            QCOMPARE(r.Err, QByteArray("tarvik-tool: The data are damaged.\n"));
        }
        const Run missing = Tool({"list", dir.filePath(QStringLiteral("none.uzk"))});
        QCOMPARE(missing.Code, 1);
        QCOMPARE(missing.Err.count('\n'), 1);
        QCOMPARE(Tool({"unscramble", "--key", "report", "-", "-"}, "\x28zzz").Code, 1);
        QCOMPARE(Tool({"unscramble", "--key", "report", "-", "-"}, "A").Code, 1);
        QCOMPARE(Tool({"scramble", "--key", "report", "-", "-"}, "").Code, 1);
    }

    // Files larger than the tool's pieces: the round trip through standard input and output.
    void largeFilesStream()
    {
        QTemporaryDir dir;
        QByteArray utf8;
        for (int i = 0; utf8.size() < 3 * 1024 * 1024 + 17; ++i)
            utf8 += QStringLiteral("Вопрос №%1\nответ — ё\r\n").arg(i).toUtf8();
        const QString scrambled = dir.filePath(QStringLiteral("big.fzk"));
        QCOMPARE(Tool({"scramble", "--key", "exam", "--from-utf8", "-", scrambled}, utf8).Code, 0);
        const QByteArray cp1251 = Cp1251::FromUtf8Text(utf8);
        QCOMPARE(UnscrambleBytes(ReadFile(scrambled), Keys::Settings), cp1251);
        const Run back = Tool({"unscramble", "--key", "exam", "--to-utf8", scrambled, "-"});
        QCOMPARE(back.Code, 0);
        QCOMPARE(back.Out, Cp1251::ToUtf8Text(cp1251));
    }

    void usageErrors()
    {
        for (const QStringList &args : QList<QStringList>{{},
                                                          {"frobnicate"},
                                                          {"scramble", "a", "b"},
                                                          {"scramble", "--key", "nope", "a", "b"},
                                                          {"scramble", "--key"},
                                                          {"unscramble", "--key", "exam", "a"},
                                                          {"pack", "out.uzk"},
                                                          {"list"},
                                                          {"list", "--bogus", "a"}}) {
            const Run r = Tool(args);
            QCOMPARE(r.Code, 2);
            QVERIFY(r.Err.contains("usage:"));
        }
    }

    void demoExamIsBuiltInThreeForms()
    {
        const QString demo = QStringLiteral(TARVIK_DEMO_DIR);
        const QByteArray plain = ReadFile(demo + QStringLiteral("/demo.fzk"));
        QVERIFY(plain.startsWith("[Setup]\r\n"));
        QCOMPARE(UnscrambleBytes(ReadFile(demo + QStringLiteral("/demo-scrambled.fzk")),
                                 Keys::Settings, Keys::QuestionSignature),
                 plain);
        TListStreams s;
        s.LoadFromScrambled(ReadFile(demo + QStringLiteral("/demo.uzk")), Keys::Settings);
        QCOMPARE(s.Data(QStringLiteral("unifileexam")), plain);
        for (const char *pic : {"title.jpg", "circle.gif", "square.bmp"}) {
            QVERIFY(s.Contains(QString::fromLatin1(pic)));
            QCOMPARE(s.Data(QString::fromLatin1(pic)),
                     ReadFile(demo + u'/' + QString::fromLatin1(pic)));
        }
    }

    // The journals joined for a spreadsheet: CSV with a byte-order mark and quoting, a table
    // for reading, lines of other layouts named and left out.
    void journalExport()
    {
        QTemporaryDir dir;
        WriteFile(dir.filePath("JTema.fzj"),
                  Cp1251::Encode(QStringLiteral("1@hist.fzk@История, 5 класс@2\r\nмусор\r\n")));
        WriteFile(dir.filePath("Journal.fzj"),
                  Cp1251::Encode(QStringLiteral(
                      "09/12/26@10А@Иванов \"Ваня\"@1@12@50@3@1_091226 Иванов 1.fzr\r\n"
                      "\r\nсломанная строка\r\n09/12/26@10Б@Петров@7@0@0@0@\r\n")));
        const Run csv = Tool({"journal", "--csv", dir.path()});
        QCOMPARE(csv.Code, 0);
        QVERIFY(csv.Out.startsWith("\xEF\xBB\xBF")); // spreadsheet programs read it as UTF-8 then
        QCOMPARE(QString::fromUtf8(csv.Out.mid(3)),
                 QStringLiteral("Дата,Группа,\"Фамилия, имя\",Тема,Файл "
                                "экзамена,Экзамен,Вопросов,Ответы,Процент,Оценка,Файл отчёта\r\n"
                                "09/12/26,10А,\"Иванов \"\"Ваня\"\"\",1,hist.fzk,\"История, 5 "
                                "класс\",2,12,50,3,1_091226 Иванов 1.fzr\r\n"
                                "09/12/26,10Б,Петров,7,,,,0,0,0,\r\n"));
        QCOMPARE(QString::fromUtf8(csv.Err),
                 QStringLiteral(
                     "tarvik-tool: JTema.fzj line 2: not a subject line: мусор\n"
                     "tarvik-tool: Journal.fzj line 3: not a result line: сломанная строка\n"));
        const Run table = Tool({"journal", dir.path()});
        QCOMPARE(table.Code, 0);
        const QStringList rows = QString::fromUtf8(table.Out).split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(rows.size(), 3);
        QCOMPARE(rows[1].indexOf(QStringLiteral("hist.fzk")),
                 rows[0].indexOf(QStringLiteral("Файл экзамена")));
        QCOMPARE(Tool({"journal", dir.filePath("none")}).Code, 1);
        QCOMPARE(Tool({"journal"}).Code, 2);
    }
};

QTEST_GUILESS_MAIN(TestTool)
#include "test_tool.moc"
