#include "core/Codecs.h"
#include "core/Cp1251.h"
#include "core/Errors.h"
#include "core/widgets/RichText.h"

#include <QLabel>
#include <QStringDecoder>
#include <QTextBlock>
#include <QTextEdit>
#include <QtTest>

class TestCodecs : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void strToFont_data()
    {
        QTest::addColumn<QString>("descriptor");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("style");
        QTest::addColumn<int>("charset");
        QTest::addColumn<int>("color");
        QTest::addColumn<int>("pitch");
        QTest::addColumn<int>("size");
        QTest::newRow("empty") << ""
                               << "MS Sans Serif" << 0 << 0 << 0 << 0 << 8;
        QTest::newRow("face only") << "Arial"
                                   << "Arial" << 0 << 0 << 0 << 0 << 8;
        QTest::newRow("full") << "MS Sans Serif,0,0,-2147483640,0,10"
                              << "MS Sans Serif" << 0 << 0 << int(0x80000008u) << 0 << 10;
        QTest::newRow("hex and extra fields") << "Times,$3,204,$FF,2,12,junk,more"
                                              << "Times" << 3 << 204 << 255 << 2 << 12;
        QTest::newRow("empty name field") << ",1,,,,"
                                          << "MS Sans Serif" << 1 << 0 << 0 << 0 << 8;
    }
    void strToFont()
    {
        QFETCH(QString, descriptor);
        FontValue f;
        f.Name = QStringLiteral("previous");
        f.Size = 99;
        StrToFont(descriptor, f);
        QTEST(f.Name, "name");
        QTEST(int(f.Style), "style");
        QTEST(int(f.Charset), "charset");
        QTEST(int(f.Color), "color");
        QTEST(int(f.Pitch), "pitch");
        QTEST(int(f.Size), "size");
    }

    void strToFontBadField()
    {
        FontValue f;
        f.Size = 99;
        try {
            StrToFont(QStringLiteral("Arial,b,0,0,0,10"), f);
            QFAIL("no conversion error");
        } catch (const EConvertError &e) {
            QCOMPARE(e.Message(), QStringLiteral("'b' не правильная величина целого числа"));
        }
        // The name was set before the bad field; what follows it was not.
        QCOMPARE(f.Name, QStringLiteral("Arial"));
        QCOMPARE(int(f.Size), 99);
    }

    void readFontSection()
    {
        TLineList l;
        l.SetText(QStringLiteral("[FontCEdit]\nName=Courier\nSize=x\nStyle=5\n[FontEmpty]\n"));
        FontValue f;
        f.Name = QStringLiteral("kept");
        f.Size = 20;
        const FontValue before = f;
        ReadFontSection(l, QStringLiteral("TopStr"), f);
        QVERIFY(f == before);
        ReadFontSection(l, QStringLiteral("CEdit"), f);
        QCOMPARE(f.Name, QStringLiteral("Courier"));
        QCOMPARE(int(f.Size), 8); // a bad number is the default, not an error
        QCOMPARE(int(f.Style), 5);
        ReadFontSection(l, QStringLiteral("Empty"), f);
        QVERIFY(f == FontValue());
    }

    void splitFields_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("separators");
        QTest::addColumn<QStringList>("fields");
        QTest::newRow("empty") << "" << 0 << QStringList{"", "", ""};
        QTest::newRow("one field") << "abc" << 0 << QStringList{"abc", "", ""};
        QTest::newRow("two in a row") << "a@@b" << 2 << QStringList{"a", "", "b"};
        QTest::newRow("ends in separator") << "a@b@" << 2 << QStringList{"a", "b", ""};
        QTest::newRow("more than fit") << "a@b@c@d@e" << 4 << QStringList{"a", "b", "c"};
    }
    void splitFields()
    {
        QFETCH(QString, text);
        QStringList fields;
        QTEST(SplitFields(text, u'@', fields, 2), "separators");
        QTEST(fields, "fields");
    }

    void getField()
    {
        const QString rec = QStringLiteral("0@1@2@3@4@5@6@7@8@9@10");
        QCOMPARE(GetField(rec, u'@', 0), QStringLiteral("0"));
        QCOMPARE(GetField(rec, u'@', 9), QStringLiteral("9"));
        QCOMPARE(GetField(rec, u'@', 10), QString());
        QCOMPARE(GetField(rec, u'@', -1), QString());
    }

    void textHelpers()
    {
        QCOMPARE(ExpandLineBreaks(QStringLiteral("a&<hr>b&<HR>c&<hr>")),
                 QStringLiteral("a\r\nb&<HR>c\r\n"));
        QCOMPARE(RemoveAll(QStringLiteral("Петров А.Б."), QStringLiteral(".")),
                 QStringLiteral("Петров АБ"));
        // Removing one occurrence can join a new one; it goes too.
        QCOMPARE(RemoveAll(QStringLiteral("xaabby"), QStringLiteral("ab")), QStringLiteral("xy"));
        QCOMPARE(IfStr(true, QStringLiteral("x"), QStringLiteral("y")), QStringLiteral("x"));
        QCOMPARE(IfStr(false, QStringLiteral("x"), QStringLiteral("y")), QStringLiteral("y"));
    }

    void cp1251MatchesQtCodec()
    {
        QStringDecoder qt("windows-1251");
        QVERIFY(qt.isValid());
        for (int b = 0; b < 256; ++b) {
            const char c = char(b);
            const QString ours = Cp1251::Decode(QByteArray(&c, 1));
            QCOMPARE(ours, qt(QByteArray(&c, 1)));
            QCOMPARE(Cp1251::Encode(ours), QByteArray(&c, 1));
        }
    }

    void cp1251Unmappable()
    {
        QCOMPARE(Cp1251::Encode(QStringLiteral("7 × 8 ✓")), QByteArray("7 ? 8 ?"));
        QCOMPARE(Cp1251::Encode(QString::fromUtf8("a\xf0\x9f\x98\x80"
                                                  "b")),
                 QByteArray("a?b"));
        QCOMPARE(Cp1251::FromUtf8Text(QByteArray("\xef\xbb\xbf\xd0\xaf\nx\r\ny\rz")),
                 QByteArray("\xdf\r\nx\r\ny\r\nz"));
        QCOMPARE(Cp1251::ToUtf8Text(QByteArray("\xdf\r\nx")), QByteArray("\xd0\xaf\nx"));
    }

    void windowsColor()
    {
        QCOMPARE(WindowsColor(0x000000FF), QColor(255, 0, 0));
        QCOMPARE(WindowsColor(0x00804020), QColor(0x20, 0x40, 0x80));
        QCOMPARE(WindowsColor(int32_t(0x80000008u)),
                 QApplication::palette().color(QPalette::WindowText));
    }

    void appendRichTextKeepsEachPiecesFont()
    {
        QTextEdit edit;
        FontValue bold;
        bold.Name = QStringLiteral("DejaVu Sans");
        bold.Style = 1;
        bold.Size = 14;
        bold.Color = 0x0000FF;
        FontValue plain;
        AppendRichLine(&edit, QStringLiteral("Итог"), bold);
        AppendRichText(&edit, QStringLiteral("простой"), plain);
        QCOMPARE(edit.toPlainText(), QStringLiteral("Итог\nпростой"));
        const QTextBlock first = edit.document()->firstBlock();
        const QTextCharFormat f1 = first.begin().fragment().charFormat();
        QVERIFY(f1.font().bold());
        QCOMPARE(f1.font().pointSize(), 14);
        QCOMPARE(f1.foreground().color(), QColor(255, 0, 0));
        const QTextCharFormat f2 = first.next().begin().fragment().charFormat();
        QVERIFY(!f2.font().bold());
        QCOMPARE(f2.font().pointSize(), 8);
    }

    void clearPicture()
    {
        QLabel label;
        QPixmap pm(4, 4);
        pm.fill(Qt::red);
        label.setPixmap(pm);
        ClearPicture(&label);
        QVERIFY(label.pixmap().isNull());
    }
};

QTEST_MAIN(TestCodecs)
#include "test_codecs.moc"
