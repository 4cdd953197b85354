#include "core/Random.h"
#include "core/Scramble.h"
#include "exam/ListStreams.h"

#include <QBuffer>
#include <QtEndian>
#include <QtTest>
#include <zlib.h>

namespace {

const QByteArray Sig = QByteArray::fromHex("0c000d0e434f4445");

QByteArray Int32(qint32 v)
{
    char b[4];
    qToLittleEndian(v, b);
    return QByteArray(b, 4);
}

QByteArray Entry(const QByteArray &name, const QByteArray &data, qint32 size = INT32_MIN)
{
    char l[2];
    qToLittleEndian(quint16(name.size()), l);
    return QByteArray(l, 2) + name + Int32(size == INT32_MIN ? qint32(data.size()) : size) + data;
}

QByteArray Body(qint32 count, const QByteArray &entries)
{
    return Sig + Int32(count) + entries;
}

QByteArray Zlib(const QByteArray &bytes)
{
    uLongf len = compressBound(uLong(bytes.size()));
    QByteArray out(qsizetype(len), Qt::Uninitialized);
    compress(reinterpret_cast<Bytef *>(out.data()), &len,
             reinterpret_cast<const Bytef *>(bytes.constData()), uLong(bytes.size()));
    out.truncate(qsizetype(len));
    return out;
}

QByteArray Stored(const QByteArray &body)
{
    return '\x20' + body;
}
QByteArray Packed(const QByteArray &body)
{
    return '\x26' + Zlib(body);
}

void Load(TListStreams &s, const QByteArray &container)
{
    QBuffer b;
    b.setData(container);
    b.open(QIODevice::ReadOnly);
    s.LoadFromStream(&b);
}

QByteArray Get(const TListStreams &s, const QString &name)
{
    QBuffer dest;
    dest.open(QIODevice::ReadWrite);
    s.GetStream(name, &dest);
    return dest.data();
}

} // namespace

class TestContainer : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void storedAndCompressed()
    {
        const QByteArray body =
            Body(2, Entry("unifileexam", "[Setup]\r\n") + Entry("a.jpg", "JPG"));
        TListStreams s;
        QVERIFY(s.Compressed);
        Load(s, Stored(body));
        QVERIFY(!s.Compressed);
        QCOMPARE(Get(s, QStringLiteral("unifileexam")), QByteArray("[Setup]\r\n"));
        Load(s, Packed(body));
        QVERIFY(s.Compressed);
        QCOMPARE(Get(s, QStringLiteral("A.JPG")), QByteArray("JPG"));
        QCOMPARE(s.Names(), (QStringList{"a.jpg", "unifileexam"}));
    }

    void emptyListAndEmptyEntry()
    {
        TListStreams s;
        Load(s, Stored(Body(0, QByteArray())));
        QCOMPARE(s.Count(), 0);
        QCOMPARE(Get(s, QStringLiteral("unifileexam")), QByteArray());
        Load(s, Stored(Body(-5, QByteArray())));
        QCOMPARE(s.Count(), 0);
        Load(s, Packed(Body(1, Entry("empty.bmp", QByteArray()))));
        QVERIFY(s.Contains(QStringLiteral("empty.bmp")));
        QCOMPARE(Get(s, QStringLiteral("empty.bmp")), QByteArray());
    }

    void duplicateNamesKeepFirstSpellingAndLastData()
    {
        TListStreams s;
        Load(s,
             Stored(Body(3, Entry("Pic.BMP", "old") + Entry("x", "1") + Entry("pic.bmp", "new"))));
        QCOMPARE(s.Count(), 2);
        QCOMPARE(s.Names(), (QStringList{"Pic.BMP", "x"}));
        QCOMPARE(Get(s, QStringLiteral("pic.bmp")), QByteArray("new"));
        QCOMPARE(Get(s, QStringLiteral("PIC.bmp")), QByteArray("new"));
    }

    void cyrillicNames()
    {
        TListStreams s;
        Load(s, Stored(Body(1, Entry("\xd0\xe8\xf1.jpg", "d")))); // "Рис.jpg"
        QCOMPARE(Get(s, QStringLiteral("рис.JPG")), QByteArray("d"));
    }

    void getStreamAppendsThenRewinds()
    {
        TListStreams s;
        Load(s, Stored(Body(1, Entry("a", "XYZ"))));
        QBuffer dest;
        dest.open(QIODevice::ReadWrite);
        dest.write("12");
        s.GetStream(QStringLiteral("a"), &dest);
        QCOMPARE(dest.data(), QByteArray("12XYZ"));
        QCOMPARE(dest.pos(), 0);
        dest.seek(1);
        s.GetStream(QStringLiteral("missing"), &dest);
        QCOMPARE(dest.data(), QByteArray("12XYZ"));
        QCOMPARE(dest.pos(), 0);
        dest.seek(2);
        s.GetStream(QString(), &dest); // does nothing at all, not even rewind
        QCOMPARE(dest.pos(), 2);
    }

    // Damage found before the list is cleared leaves it as it was.
    void damageBeforeTheListIsCleared_data()
    {
        QTest::addColumn<QByteArray>("container");
        QTest::newRow("empty file") << QByteArray();
        QTest::newRow("mark only") << QByteArray("\x20");
        QTest::newRow("wrong signature")
            << Stored(QByteArray::fromHex("0c000d0e434f4446") + Int32(0));
        QTest::newRow("short signature") << Stored(QByteArray::fromHex("0c000d0e43"));
        QTest::newRow("inflated without signature") << Packed(QByteArray("no signature here"));
        QTest::newRow("bad zlib") << QByteArray("\x26garbage that is not zlib");
        QTest::newRow("cut zlib") << Packed(Body(1, Entry("a", QByteArray(5000, 'q')))).left(20);
        QTest::newRow("compressed mark only") << QByteArray("\x26");
    }
    void damageBeforeTheListIsCleared()
    {
        QFETCH(QByteArray, container);
        TListStreams s;
        Load(s, Stored(Body(1, Entry("keep", "k"))));
        int corruptCalls = 0;
        s.OnCorrupt = [&](QObject *sender) {
            QCOMPARE(sender, &s);
            ++corruptCalls;
        };
        try {
            Load(s, container);
            QFAIL("no ECorruptFile");
        } catch (const ECorruptFile &e) {
            QCOMPARE(e.Message(), QStringLiteral("The data are damaged."));
        }
        QCOMPARE(corruptCalls, 1);
        QCOMPARE(s.Names(), QStringList{"keep"});
        QVERIFY(!s.Compressed); // set only after a whole load
    }

    // A body cut short, or lying about sizes: the entries before the damage stay.
    void damagedEntries_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QStringList>("kept");
        const QByteArray good = Entry("good", "G");
        QTest::newRow("no count") << Sig << QStringList{};
        QTest::newRow("count above what the body holds")
            << Body(1000000000, good) << QStringList{"good"};
        QTest::newRow("negative size")
            << Body(2, good + Entry("neg", "abc", -3)) << QStringList{"good"};
        QTest::newRow("name cut") << Body(2, good + QByteArray("\x10\x00"
                                                               "abc"))
                                  << QStringList{"good"};
        QTest::newRow("length cut") << Body(2, good + QByteArray("\x10")) << QStringList{"good"};
        QTest::newRow("size cut") << Body(2, good + QByteArray("\x01\x00"
                                                               "n"
                                                               "\x05\x00"))
                                  << QStringList{"good"};
        QTest::newRow("data cut") << Body(2, good + Entry("big", "abc", 100))
                                  << QStringList{"good"};
        QTest::newRow("huge size") << Body(1, Entry("h", "abc", INT32_MAX)) << QStringList{};
    }
    void damagedEntries()
    {
        QFETCH(QByteArray, body);
        QFETCH(QStringList, kept);
        for (bool packed : {false, true}) {
            TListStreams s;
            Load(s, Stored(Body(1, Entry("old", "o"))));
            QVERIFY_THROWS_EXCEPTION(ECorruptFile, Load(s, packed ? Packed(body) : Stored(body)));
            QCOMPARE(s.Names(), kept);
        }
    }

    void readEntriesAndSignatureOnStreams()
    {
        TListStreams s;
        QBuffer body;
        body.setData(Body(1, Entry("a", "1")));
        body.open(QIODevice::ReadOnly);
        QVERIFY(s.CheckSignature(&body));
        s.ReadEntries(&body);
        QCOMPARE(Get(s, QStringLiteral("a")), QByteArray("1"));
        QBuffer bad;
        bad.setData("12345678");
        bad.open(QIODevice::ReadOnly);
        QVERIFY_THROWS_EXCEPTION(ECorruptFile, s.CheckSignature(&bad));
    }

    // The whole uniform file, unscrambled piece by piece while it inflates, must read exactly as
    // the unscrambled container does, for every key phase at the piece boundaries.
    void scrambledUniformFile()
    {
        RandomSeed(11);
        QByteArray noise(700000, Qt::Uninitialized);
        for (char &c : noise)
            c = char(Random(256));
        const QList<ContainerEntry> entries = {
            {QStringLiteral("unifileexam"), QByteArray("[Setup]\r\nAllZ=0\r\n")},
            {QStringLiteral("noise.jpg"), noise},
            {QStringLiteral("zeros.bmp"), QByteArray(2000000, '\0')}};
        for (bool compressed : {true, false}) {
            const QByteArray container = BuildContainer(entries, compressed);
            for (int h : {47, 48, 100, 196}) {
                const QByteArray file = ScrambleBytes(container, Keys::Settings, uint8_t(h));
                TListStreams s;
                s.LoadFromScrambled(file, Keys::Settings);
                QCOMPARE(s.Compressed, compressed);
                QCOMPARE(s.Data(QStringLiteral("noise.jpg")), noise);
                QCOMPARE(s.Data(QStringLiteral("zeros.bmp")), QByteArray(2000000, '\0'));
                QCOMPARE(s.Data(QStringLiteral("unifileexam")),
                         QByteArray("[Setup]\r\nAllZ=0\r\n"));
            }
        }
        TListStreams s;
        QVERIFY_THROWS_EXCEPTION(ECorruptFile,
                                 s.LoadFromScrambled(QByteArray("\x28xyz"), Keys::Settings));
        const QByteArray cut =
            ScrambleBytes(BuildContainer(entries, true), Keys::Settings).left(5000);
        QVERIFY_THROWS_EXCEPTION(ECorruptFile, s.LoadFromScrambled(cut, Keys::Settings));
        // A wrong key is not detected as such, but the container it yields is damaged.
        const QByteArray other = ScrambleBytes(BuildContainer(entries, true), Keys::Report);
        QVERIFY_THROWS_EXCEPTION(ECorruptFile, s.LoadFromScrambled(other, Keys::Settings));
    }

    void writerLayout()
    {
        const QByteArray c = BuildContainer({{QStringLiteral("Я"), QByteArray("ab")}}, false);
        QCOMPARE(c.toHex(), (QByteArray("\x20") + Sig + Int32(1) + QByteArray("\x01\x00\xdf", 3) +
                             Int32(2) + "ab")
                                .toHex());
        const QByteArray z = BuildContainer({{QStringLiteral("Я"), QByteArray("ab")}}, true);
        QCOMPARE(uchar(z[0]), uchar(0x26));
        QCOMPARE(uchar(z[1]), uchar(0x78)); // a zlib header
    }
};

QTEST_GUILESS_MAIN(TestContainer)
#include "test_container.moc"
