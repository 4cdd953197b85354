#include "core/Cp1251.h"
#include "core/Errors.h"
#include "core/Files.h"
#include "core/Random.h"
#include "core/Scramble.h"
#include "helpers/TestFiles.h"

#include <QBuffer>
#include <QtTest>

namespace {

// Byte by byte, straight from the table of methods: the reference for long buffers.
QByteArray ReferenceUnscramble(const QByteArray &file, const QByteArray &key)
{
    const int h = uchar(file[0]);
    const int m = ScrambleMethod(uint8_t(h));
    QByteArray k = key;
    if (h % 2 == 0)
        std::reverse(k.begin(), k.end());
    QByteArray out;
    for (int i = 1; i < file.size(); ++i) {
        uint8_t kb = uint8_t(k[(i - 1) % k.size()]);
        if (m % 2 == 0)
            kb = uint8_t(-kb);
        const uint8_t c = uint8_t(file[i]);
        uint8_t p;
        switch (m) {
        case 1:
        case 2:
            p = c ^ kb;
            break;
        case 3:
        case 4:
            p = uint8_t(-c) ^ kb;
            break;
        case 5:
        case 6:
            p = uint8_t(-(c ^ kb));
            break;
        case 7:
        case 8:
            p = uint8_t(c - kb);
            break;
        default:
            p = uint8_t(kb - c);
            break;
        }
        out.append(char(p));
    }
    return out;
}

} // namespace

class TestScramble : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Content 00 7F 80 FF 41 with the key "Ab1": the fifth byte wraps to the key's first byte.
    // Worked out by hand from the table of methods, for both parities of the method byte.
    void fixedVectors_data()
    {
        QTest::addColumn<int>("h");
        QTest::addColumn<QByteArray>("scrambled");
        QTest::newRow("M1 H47") << 47 << QByteArray::fromHex("2f411db1be23");
        QTest::newRow("M1 H48") << 48 << QByteArray::fromHex("30311dc1ce23");
        QTest::newRow("M2 H62") << 62 << QByteArray::fromHex("3ecfe13f30df");
        QTest::newRow("M2 H63") << 63 << QByteArray::fromHex("3fbfe14f40df");
        QTest::newRow("M3 H77") << 77 << QByteArray::fromHex("4dbfe34f42dd");
        QTest::newRow("M3 H78") << 78 << QByteArray::fromHex("4ecfe33f32dd");
        QTest::newRow("M4 H92") << 92 << QByteArray::fromHex("5c311fc1d021");
        QTest::newRow("M4 H93") << 93 << QByteArray::fromHex("5d411fb1c021");
        QTest::newRow("M5 H107") << 107 << QByteArray::fromHex("6b41e3b140dd");
        QTest::newRow("M5 H108") << 108 << QByteArray::fromHex("6c31e3c130dd");
        QTest::newRow("M6 H122") << 122 << QByteArray::fromHex("7acf1f3fce21");
        QTest::newRow("M6 H123") << 123 << QByteArray::fromHex("7bbf1f4fbe21");
        QTest::newRow("M7 H137") << 137 << QByteArray::fromHex("8941e1b140a3");
        QTest::newRow("M7 H138") << 138 << QByteArray::fromHex("8a31e1c130a3");
        QTest::newRow("M8 H152") << 152 << QByteArray::fromHex("98cf1d3fcedf");
        QTest::newRow("M8 H153") << 153 << QByteArray::fromHex("99bf1d4fbedf");
        QTest::newRow("M9 H167") << 167 << QByteArray::fromHex("a741e3b14221");
        QTest::newRow("M9 H168") << 168 << QByteArray::fromHex("a831e3c13221");
        QTest::newRow("M10 H182") << 182 << QByteArray::fromHex("b6cf1f3fd05d");
        QTest::newRow("M10 H183") << 183 << QByteArray::fromHex("b7bf1f4fc05d");
    }
    void fixedVectors()
    {
        QFETCH(int, h);
        QFETCH(QByteArray, scrambled);
        const QByteArray key("Ab1");
        const QByteArray content = QByteArray::fromHex("007f80ff41");
        QCOMPARE(ScrambleBytes(content, key, uint8_t(h)).toHex(), scrambled.toHex());
        QCOMPARE(UnscrambleBytes(scrambled, key).toHex(), content.toHex());
    }

    void oneByteEveryMethodAndParity()
    {
        for (int m = 1; m <= 10; ++m)
            for (int r = 0; r <= 1; ++r)
                for (int b : {0x00, 0x01, 0x7F, 0x80, 0xC0, 0xFF}) {
                    const uint8_t h = uint8_t(32 + 15 * m + r);
                    const QByteArray content(1, char(b));
                    const QByteArray s = ScrambleBytes(content, Keys::Passwords, h);
                    QCOMPARE(s.size(), 2);
                    QCOMPARE(UnscrambleBytes(s, Keys::Passwords), content);
                }
    }

    void methodByte_data()
    {
        QTest::addColumn<int>("h");
        QTest::addColumn<int>("method");
        QTest::newRow("5 reads as 10") << 5 << 10;
        QTest::newRow("17 reads as 10") << 17 << 10;
        QTest::newRow("18 no content") << 18 << 0;
        QTest::newRow("40 no content") << 40 << 0;
        QTest::newRow("46 no content") << 46 << 0;
        QTest::newRow("47 first") << 47 << 1;
        QTest::newRow("61") << 61 << 1;
        QTest::newRow("196 last written") << 196 << 10;
        QTest::newRow("197 above 10") << 197 << 10;
        QTest::newRow("255") << 255 << 10;
    }
    void methodByte()
    {
        QFETCH(int, h);
        QFETCH(int, method);
        QCOMPARE(ScrambleMethod(uint8_t(h)), method);
    }

    void noReadableContent()
    {
        QCOMPARE(UnscrambleBytes(QByteArray("\x28"
                                            "abcdef"),
                                 Keys::Settings),
                 QByteArray());
        QCOMPARE(UnscrambleBytes(QByteArray("\x2f"), Keys::Settings), QByteArray());
        QCOMPARE(UnscrambleBytes(QByteArray(), Keys::Settings), QByteArray());
        // Method byte 5 is read with method 10 (and, being odd, the key in its order).
        const QByteArray s = ScrambleBytes(QByteArray("hello"), Keys::Settings, 5);
        QCOMPARE(UnscrambleBytes(s, Keys::Settings), QByteArray("hello"));
        QCOMPARE(s.mid(1), ScrambleBytes(QByteArray("hello"), Keys::Settings, 183).mid(1));
    }

    void signatureRule()
    {
        const QByteArray plain("[Setup]\r\nAllZ=3\r\n");
        QCOMPARE(UnscrambleBytes(plain, Keys::Settings, Keys::QuestionSignature), plain);
        // Other letter case is not the signature: it is unscrambled.
        const QByteArray lower("[setup]\r\nAllZ=3\r\n");
        QCOMPARE(UnscrambleBytes(lower, Keys::Settings, Keys::QuestionSignature),
                 UnscrambleBytes(lower, Keys::Settings));
        QVERIFY(UnscrambleBytes(lower, Keys::Settings) != lower);
        // No key: nothing, even for a plain file.
        QCOMPARE(UnscrambleBytes(plain, QByteArray(), Keys::QuestionSignature), QByteArray());
    }

    void longBuffersMatchTheReference()
    {
        RandomSeed(7);
        QByteArray content(100003, Qt::Uninitialized);
        for (char &c : content)
            c = char(Random(256));
        for (const QByteArray &key :
             {Keys::Settings, Keys::Manager, Keys::Passwords, Keys::Report}) {
            for (int h = 47; h <= 196; h += 7) {
                const QByteArray s = ScrambleBytes(content, key, uint8_t(h));
                QCOMPARE(ReferenceUnscramble(s, key), content);
                QCOMPARE(UnscrambleBytes(s, key), content);
            }
        }
    }

    void writerDrawsValidMethodBytes()
    {
        Randomize();
        QSet<int> seen;
        for (int i = 0; i < 3000; ++i) {
            const QByteArray s = ScrambleBytes(QByteArray("x"), Keys::Report);
            const int h = uchar(s[0]);
            QVERIFY(h >= 47 && h <= 196);
            seen.insert(h);
        }
        QCOMPARE(seen.size(), 150);
    }

    void streamsAndFiles()
    {
        QTemporaryDir dir;
        const QString text = QStringLiteral("[Setup]\r\nCEdit=Физика\r\n");
        QBuffer source;
        source.setData(Cp1251::Encode(text));
        source.open(QIODevice::ReadOnly);
        source.seek(5); // every operation reads from the start
        const QString path = dir.filePath(QStringLiteral("exam.fzk"));
        ScrambleStream(&source, path, Keys::Settings);
        QCOMPARE(ReadFile(path).size(), Cp1251::Encode(text).size() + 1);
        QCOMPARE(LoadTextFile(path, Keys::Settings, Keys::QuestionSignature), text);
        QCOMPARE(LoadTextFileShared(path, Keys::Settings, QByteArray()), text);

        // Scrambled twice: other files (almost always), one content.
        QBuffer again;
        again.open(QIODevice::ReadWrite);
        ScrambleToStream(&source, &again, Keys::Settings);
        again.seek(0);
        QCOMPARE(UnscrambleText(&again, Keys::Settings, QByteArray()), text);
        QBuffer plain;
        plain.open(QIODevice::ReadWrite);
        UnscrambleStream(&again, &plain, Keys::Settings);
        QCOMPARE(plain.data(), Cp1251::Encode(text));

        // An empty source writes no file and leaves a destination as it was.
        QBuffer empty;
        empty.open(QIODevice::ReadOnly);
        const QString none = dir.filePath(QStringLiteral("none.fzk"));
        ScrambleStream(&empty, none, Keys::Settings);
        QVERIFY(!QFile::exists(none));
        ScrambleToStream(&empty, &again, Keys::Settings);
        QCOMPARE(again.data().size(), Cp1251::Encode(text).size() + 1);
    }

    void shortAndMissingFiles()
    {
        SetOpenRetryPolicy({2, 10});
        QTemporaryDir dir;
        for (const QByteArray &bytes : {QByteArray(), QByteArray("\x50")}) {
            const QString path = dir.filePath(QStringLiteral("short.pwl"));
            QFile f(path);
            f.open(QIODevice::WriteOnly);
            f.write(bytes);
            f.close();
            QCOMPARE(LoadTextFile(path, Keys::Passwords, QByteArray()), QString());
            QCOMPARE(LoadTextFileShared(path, Keys::Passwords, QByteArray()), QString());
        }
        const QString missing = dir.filePath(QStringLiteral("missing.fzk"));
        QCOMPARE(LoadTextFileShared(missing, Keys::Passwords, QByteArray()), QString());
        QVERIFY_THROWS_EXCEPTION(EFOpenError, LoadTextFile(missing, Keys::Settings, QByteArray()));
        QBuffer src;
        src.setData("abc");
        src.open(QIODevice::ReadOnly);
        QVERIFY_THROWS_EXCEPTION(
            EFCreateError,
            ScrambleStream(&src, dir.filePath(QStringLiteral("no/such/dir/x")), Keys::Report));
        SetOpenRetryPolicy(RetryPolicy());
    }

    // Piece by piece, in pieces of any size, the same bytes as the whole: the scrambled form
    // for every method, and the text conversions with characters and CR LF cut between pieces.
    void piecesEqualTheWhole()
    {
        QByteArray content;
        for (int i = 0; i < 30000; ++i)
            content += char(Random(256));
        const QByteArray utf8 =
            QByteArray("\xEF\xBB\xBF") +
            QStringLiteral("Вопрос\r\nответ\rещё\nё€\r\n").repeated(500).toUtf8() + "\r";
        for (int m = 1; m <= 10; ++m) {
            const uint8_t methodByte = uint8_t(32 + 15 * m + m % 15);
            QByteArray scrambled(1, char(methodByte));
            Cp1251::Utf8TextEncoder encoder;
            Cp1251::Utf8TextDecoder decoder;
            QByteArray encoded, decoded;
            const QByteArray cp1251 = Cp1251::FromUtf8Text(utf8);
            for (qsizetype at = 0, n = 1; at < content.size(); at += n, n = 1 + Random(5000)) {
                QByteArray piece = content.mid(at, n);
                ScramblePiece(piece.constData(), piece.data(), piece.size(), Keys::Report,
                              methodByte, true, at);
                scrambled += piece;
                encoded += encoder.Feed(utf8.mid(at, n));
                decoded += decoder.Feed(cp1251.mid(at, n));
            }
            decoded += decoder.Finish();
            QCOMPARE(scrambled, ScrambleBytes(content, Keys::Report, methodByte));
            QCOMPARE(encoded, cp1251);
            QCOMPARE(decoded, Cp1251::ToUtf8Text(cp1251));
        }
    }
};

QTEST_GUILESS_MAIN(TestScramble)
#include "test_scramble.moc"
