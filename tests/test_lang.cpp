#include "core/DateFormat.h"
#include "lang/Messages.h"

#include <QVariant>
#include <QtTest>

namespace {
TLineList Text(const QString &text)
{
    TLineList l;
    l.SetText(text);
    return l;
}
} // namespace

class TestLang : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void missingSectionGivesDefaults()
    {
        const TMessages m =
            ReadLanguageSection(Text("[0]\nU_ERROR=Err\nU_CHARSET=204\n[1]\nU_ERROR=E1"), 2, 0);
        QCOMPARE(m.Charset, 0);
        QCOMPARE(m[Msg::U_ERROR], QStringLiteral("Ошибка"));
        QCOMPARE(m[Msg::U_BUTNEXT], QStringLiteral("Далее>>"));
        QCOMPARE(m[Msg::U_LMASKRESULT], QStringLiteral("Вопрос %d из %d"));
        QCOMPARE(m[Msg::M_RAPORTOCN], QStringLiteral("Ответов \"Не знаю\""));
        QCOMPARE(m[Msg::U_TANSV1], QStringLiteral("Осталось %d сек."));
    }

    void sectionValues()
    {
        const TMessages m = ReadLanguageSection(
            Text("[1]\nU_CHARSET=x\nu_error=Error\nU_LABFIOMEZK=Name\nU_BUTNEXT=Next&<hr>>>\n"
                 "M_SETEX1RES1=All\nM_SETEX1RES3=Wrong only\nU_WARNING=\n"),
            1, 2);
        QCOMPARE(m.Charset, 0);
        QCOMPARE(m[Msg::U_ERROR], QStringLiteral("Error")); // keys in any case
        // One key, read twice: the label and the no-name message get the same text.
        QCOMPARE(m[Msg::U_LABFIOMEZK], QStringLiteral("Name"));
        QCOMPARE(m[Msg::U_LABFIOMEZK_NONE], QStringLiteral("Name"));
        QCOMPARE(m[Msg::U_BUTNEXT], QStringLiteral("Next&<hr>>>"));  // not expanded
        QCOMPARE(m[Msg::M_SETEX1RES], QStringLiteral("Wrong only")); // kind 2 reads key ...3
        QCOMPARE(m[Msg::U_WARNING], QStringLiteral("Внимание"));
        const TMessages d = ReadLanguageSection(Text(""), 0, 0);
        QCOMPARE(d[Msg::U_LABFIOMEZK], QStringLiteral("Фамилия, Инициалы"));
        QCOMPARE(d[Msg::U_LABFIOMEZK_NONE], QStringLiteral("Не введены данные по экзаменуемом."));
    }

    void shippedLanguageFileIsComplete()
    {
        TLineList file;
        QVERIFY(file.LoadFromFile(QStringLiteral(TARVIK_LANGUAGE_FILE)));
        for (int section : {0, 1}) {
            TLineList s;
            QVERIFY(GetSection(file, s, QString::number(section)));
            for (int i = 0; i < int(Msg::Count); ++i) {
                // The Russian section leaves out the key that is read twice, so that the name
                // label and the no-name message keep their own texts.
                if (section == 0 &&
                    (Msg(i) == Msg::U_LABFIOMEZK || Msg(i) == Msg::U_LABFIOMEZK_NONE))
                    continue;
                const QString key = MessageKey(Msg(i), 0);
                const QString value = ReadStr(s, key, QString());
                QVERIFY2(!value.isEmpty(), qPrintable(key));
                // Placeholders survive the translation.
                QCOMPARE(value.count(QStringLiteral("%d")),
                         MessageDefault(Msg(i)).count(QStringLiteral("%d")));
            }
        }
        const TMessages ru = ReadLanguageSection(file, 0, 0);
        for (int i = 0; i < int(Msg::Count); ++i)
            QCOMPARE(ru.Texts[size_t(i)], MessageDefault(Msg(i)));
        QCOMPARE(ReadLanguageSection(file, 1, 0)[Msg::U_BUTNEXT], QStringLiteral("Next>>"));
    }

    void languageFileLookup()
    {
        QStringList asked;
        const auto exists = [&](const QString &p) {
            asked.append(p);
            return p == QStringLiteral("Language.fll");
        };
        QCOMPARE(FindLanguageFile(QStringLiteral("/opt/t/Language.fll"),
                                  QStringLiteral("/usr/bin/"), exists),
                 QStringLiteral("Language.fll"));
        QCOMPARE(asked,
                 (QStringList{"/opt/t/Language.fll", "/usr/bin/Language.fll", "Language.fll"}));
        QCOMPARE(FindLanguageFile(QStringLiteral("/x/Language.fll"), QStringLiteral("/y/"),
                                  [](const QString &) { return false; }),
                 QString());
    }

    void formatting()
    {
        QCOMPARE(FormatMessage(QStringLiteral("Вопрос %d из %d"), {3, 10}),
                 QStringLiteral("Вопрос 3 из 10"));
        QCOMPARE(FormatMessage(QStringLiteral("%s: 100%%"), {QStringLiteral("x")}),
                 QStringLiteral("x: 100%"));
        const QDateTime when(QDate(2026, 12, 9), QTime(7, 5, 3));
        const QLocale ru(QLocale::Russian);
        QCOMPARE(FormatDateTimePattern(QStringLiteral("Сегодня - dddd, d mmmm yyyy"), when, ru),
                 QStringLiteral("Сегодня - среда, 9 декабря 2026"));
        QCOMPARE(FormatDateTimePattern(QStringLiteral("dd/mm/yy hh:nn:ss"), when, ru),
                 QStringLiteral("09/12/26 07:05:03"));
        // Quoted text stands as it is, even letters that are pattern letters elsewhere.
        QCOMPARE(FormatDateTimePattern(QStringLiteral("'Today - 'dddd"), when,
                                       QLocale(QLocale::English)),
                 QStringLiteral("Today - Wednesday"));
        QCOMPARE(FormatDuration(3725), QStringLiteral("02:05"));
        QCOMPARE(FormatDuration(59), QStringLiteral("00:59"));
    }
};

QTEST_GUILESS_MAIN(TestLang)
#include "test_lang.moc"
