#include "core/LineList.h"

#include <QtTest>

class TestLineList : public QObject
{
    Q_OBJECT

private:
    static TLineList Lines(const QString &text)
    {
        TLineList l;
        l.SetText(text);
        return l;
    }

private Q_SLOTS:
    void setTextBreaks_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("CR LF one break, LF CR an empty line")
            << QStringLiteral("a\r\nb\n\rc") << QStringList{"a", "b", "", "c"};
        QTest::newRow("break at the end adds nothing")
            << QStringLiteral("a\r\n") << QStringList{"a"};
        QTest::newRow("two breaks at the end") << QStringLiteral("a\n\n") << QStringList{"a", ""};
        QTest::newRow("NUL ends the text")
            << QString(QStringLiteral("a\nb") + QChar(0) + QStringLiteral("c\nd"))
            << QStringList{"a", "b"};
        QTest::newRow("lone CR") << QStringLiteral("a\rb") << QStringList{"a", "b"};
        QTest::newRow("empty") << QString() << QStringList{};
        QTest::newRow("only a break") << QStringLiteral("\r\n") << QStringList{""};
    }
    void setTextBreaks()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, lines);
        QCOMPARE(Lines(text).Lines(), lines);
    }

    void setTextDecodesWindows1251()
    {
        TLineList l;
        l.SetText(QByteArray("[\xc2\xee\xef\xf0\xee\xf1]\r\nx=\xa8\xb8"));
        QCOMPARE(l.Lines(), (QStringList{QStringLiteral("[Вопрос]"), QStringLiteral("x=Ёё")}));
    }

    void sectionExtent()
    {
        const TLineList src = Lines(QStringLiteral("[A]\nx=1\n[B]\ny=2\n[C]"));
        TLineList dest;
        QVERIFY(GetSection(src, dest, QStringLiteral("A")));
        // The line that ends a section is part of it.
        QCOMPARE(dest.Lines(), (QStringList{"x=1", "[B]"}));
        QCOMPARE(ReadStr(dest, QStringLiteral("y"), QStringLiteral("def")), QStringLiteral("def"));
        // A header that is the last line: found, and empty.
        QVERIFY(GetSection(src, dest, QStringLiteral("C")));
        QCOMPARE(dest.Count(), 0);
        // Dest is cleared also when the section is missing.
        GetSection(src, dest, QStringLiteral("A"));
        QVERIFY(!GetSection(src, dest, QStringLiteral("Z")));
        QCOMPARE(dest.Count(), 0);
        // The last section runs to the end of the text.
        QVERIFY(GetSection(src, dest, QStringLiteral("B")));
        QCOMPARE(dest.Lines(), (QStringList{"y=2", "[C]"}));
    }

    void sectionHeaderMatching()
    {
        const TLineList src = Lines(QStringLiteral(
            " [Setup]\n[Setup] \nq=0\n[setup]\nk=first\n[SETUP]\nk=second\n[Вопрос]\nv=1"));
        TLineList dest;
        QVERIFY(GetSection(src, dest, QStringLiteral("Setup")));
        // Spaced headers do not match; case does not matter; the first of two wins.
        QCOMPARE(ReadStr(dest, QStringLiteral("k"), QString()), QStringLiteral("first"));
        QVERIFY(GetSection(src, dest, QStringLiteral("вопрос")));
        QCOMPARE(ReadStr(dest, QStringLiteral("v"), QString()), QStringLiteral("1"));
    }

    void readStrRules()
    {
        const TLineList l = Lines(QStringLiteral("Empty=\nSpaced =x\nTwo=a=b\nplain\n"
                                                 "CEdit= keep spaces \nTwo=later\nКлюч=знач"));
        const QString d = QStringLiteral("def");
        QCOMPARE(ReadStr(l, QStringLiteral("Empty"), d), d);
        QCOMPARE(ReadStr(l, QStringLiteral("Missing"), d), d);
        QCOMPARE(ReadStr(l, QStringLiteral("Spaced"), d), d);
        QCOMPARE(ReadStr(l, QStringLiteral("Spaced "), d), QStringLiteral("x"));
        QCOMPARE(ReadStr(l, QStringLiteral("two"), d), QStringLiteral("a=b"));
        QCOMPARE(ReadStr(l, QStringLiteral("Two=a"), d), d);
        QCOMPARE(ReadStr(l, QStringLiteral("plain"), d), d);
        QCOMPARE(ReadStr(l, QStringLiteral("CEdit"), d), QStringLiteral(" keep spaces "));
        QCOMPARE(ReadStr(l, QStringLiteral("КЛЮЧ"), d), QStringLiteral("знач"));
    }

    void readInt_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<int>("expected");
        const int d = -7;
        QTest::newRow("decimal") << "42" << 42;
        QTest::newRow("leading spaces") << "   42" << 42;
        QTest::newRow("trailing space") << "42 " << d;
        QTest::newRow("plus") << "+5" << 5;
        QTest::newRow("minus") << "-2147483648" << int(INT32_MIN);
        QTest::newRow("max") << "2147483647" << INT32_MAX;
        QTest::newRow("above max") << "2147483648" << d;
        QTest::newRow("below min") << "-2147483649" << d;
        QTest::newRow("dollar hex") << "$1F" << 31;
        QTest::newRow("x hex") << "x1f" << 31;
        QTest::newRow("X hex") << "X10" << 16;
        QTest::newRow("0x hex") << "0x7FFFFFFF" << INT32_MAX;
        QTest::newRow("0X hex") << "0X10" << 16;
        QTest::newRow("negative hex") << "-$10" << -16;
        QTest::newRow("hex above range") << "$80000000" << d;
        QTest::newRow("prefix only") << "$" << d;
        QTest::newRow("sign only") << "-" << d;
        QTest::newRow("word") << "abc" << d;
        QTest::newRow("hex digit in decimal") << "1F" << d;
        QTest::newRow("comma") << "1,5" << d;
        QTest::newRow("system colour") << "-2147483640" << int(0x80000008u);
        QTest::newRow("many zeros") << "0000000000000000000042" << 42;
    }
    void readInt()
    {
        QFETCH(QString, value);
        QFETCH(int, expected);
        const TLineList l = Lines(QStringLiteral("K=") + value);
        QCOMPARE(ReadInt(l, QStringLiteral("K"), -7), expected);
    }

    void readBool_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<bool>("whenDefaultFalse");
        QTest::addColumn<bool>("whenDefaultTrue");
        QTest::newRow("1") << "1" << true << true;
        QTest::newRow("2") << "2" << true << true;
        QTest::newRow("-1") << "-1" << true << true;
        QTest::newRow("0") << "0" << false << false;
        QTest::newRow("256: low byte zero") << "256" << false << false;
        QTest::newRow("257") << "257" << true << true;
        QTest::newRow("word") << "yes" << false << true;
        QTest::newRow("empty") << "" << false << true;
    }
    void readBool()
    {
        QFETCH(QString, value);
        QFETCH(bool, whenDefaultFalse);
        QFETCH(bool, whenDefaultTrue);
        const TLineList l = Lines(QStringLiteral("B=") + value);
        QCOMPARE(ReadBool(l, QStringLiteral("B"), false), whenDefaultFalse);
        QCOMPARE(ReadBool(l, QStringLiteral("B"), true), whenDefaultTrue);
    }

    void loadFromFile()
    {
        QTemporaryDir dir;
        const QString name = dir.filePath(QStringLiteral("lang.fll"));
        QFile f(name);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("[0]\r\nU_ERROR=\xce\xf8\xe8\xe1\xea\xe0\r\n");
        f.close();
        TLineList l;
        QVERIFY(l.LoadFromFile(name));
        TLineList s;
        QVERIFY(GetSection(l, s, QStringLiteral("0")));
        QCOMPARE(ReadStr(s, QStringLiteral("U_ERROR"), QString()), QStringLiteral("Ошибка"));
        QVERIFY(!l.LoadFromFile(dir.filePath(QStringLiteral("missing"))));
    }
};

QTEST_GUILESS_MAIN(TestLineList)
#include "test_linelist.moc"
