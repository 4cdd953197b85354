#include "core/Cp1251.h"
#include "core/LineList.h"
#include "core/Scramble.h"
#include "editor/ExamDocument.h"
#include "editor/Import.h"
#include "editor/ListDocument.h"
#include "exam/ListStreams.h"
#include "exam/Manager.h"
#include "exam/Pictures.h"
#include "exam/Questions.h"
#include "exam/Settings.h"

#include <QBuffer>
#include <QImage>
#include <QtEndian>
#include <QtTest>

#include "helpers/TestFiles.h"

namespace {

// A small picture as a bank embeds it: PNG, base64.
QByteArray Png(Qt::GlobalColor color)
{
    QImage image(8, 6, QImage::Format_RGB32);
    image.fill(color);
    QByteArray bytes;
    QBuffer out(&bytes);
    out.open(QIODevice::WriteOnly);
    image.save(&out, "PNG");
    return bytes.toBase64();
}

const QByteArray Gift = "// a comment\n"
                        "::Столица:: Столица России? {~Казань =Москва ~Омск}\n\n"
                        "Земля вращается вокруг Солнца. {T}\n\n"
                        "Сколько будет 2+2? {=4 =четыре}\n\n"
                        "[html]<b>Какой</b> цвет у неба&nbsp;днём? {=голубой#верно ~зелёный}\n\n"
                        "Равно \\= ли это? {=да ~нет}\n\n"
                        "Опишите себя. {}\n\n"
                        "Луна светит сама. {FALSE#Она отражает свет.}\n\n"
                        "Вода мокрая. {T#Верно!#Подумайте ещё.####Общий отзыв}\n\n"
                        "Кто квакает? {=Лягушка =%50%Жаба =%0%*}\n\n"
                        "Чётные числа? {~%50%2 ~%50%4 ~%-100%3}\n\n"
                        "Частично: {~%50%да ~нет ####отзыв}\n";

// The second question has no ANSWER line; the third is whole.
const QByteArray Aiken = "Столица России?\nA. Казань\nB) Москва\nANSWER: B\n\n"
                         "Без ответа?\nA. да\nB. нет\n\n"
                         "Цвет снега?\nA. белый\nB. чёрный\nANSWER: A\n\n"
                         "Последний?\nA. да\nB. нет\nANSWER: C\n\n"
                         "Оборван?\nA. да\n";

QByteArray Moodle()
{
    return "<?xml version=\"1.0\"?><quiz>"
           "<question type=\"category\"><category><text>x</text></category></question>"
           "<question type=\"multichoice\"><questiontext format=\"html\"><text><![CDATA[<p>Флаг "
           "<b>какой</b>?</p>]]></text><file name=\"f.png\" encoding=\"base64\">" +
           Png(Qt::red) +
           "</file></questiontext><answer fraction=\"100\"><text>Красный</text></answer>"
           "<answer fraction=\"0\"><text>Синий &amp; белый</text></answer></question>"
           "<question type=\"truefalse\"><questiontext><text>Лёд тонет?</text></questiontext>"
           "<answer fraction=\"0\"><text>true</text></answer><answer fraction=\"100\">"
           "<text>false</text></answer></question>"
           "<question type=\"multichoice\"><questiontext><text>Синий?</text></questiontext>"
           "<answer fraction=\"0\"><text>a</text><file name=\"r.png\" encoding=\"base64\">" +
           Png(Qt::red) +
           "</file></answer><answer fraction=\"100\"><text>b</text><file name=\"b.png\" "
           "encoding=\"base64\">" +
           Png(Qt::blue) +
           "</file></answer></question>"
           "<question type=\"multichoice\"><questiontext><text>Два</text></questiontext>"
           "<answer fraction=\"50\"><text>a</text></answer><answer fraction=\"50\"><text>b"
           "</text></answer></question>"
           "<question type=\"shortanswer\"><questiontext><text>?</text></questiontext></question>"
           "<question type=\"multichoice\"><questiontext><text>Старый</text></questiontext>"
           "<image>images/old.png</image><image_base64>" +
           Png(Qt::green) +
           "</image_base64><answer fraction=\"100\"><text>a</text></answer>"
           "<answer fraction=\"0\"><text>b</text></answer></question>"
           "<question type=\"multichoice\"><questiontext><text>Нет</text></questiontext>"
           "<answer fraction=\"0\"><text>a</text></answer><answer fraction=\"0\"><text>b"
           "</text></answer></question>"
           "</quiz>";
}

} // namespace

class TestImport : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Each format into an exam the player reads: the questions of one right answer (true/false
    // as two), HTML as plain text, pictures as the player shows them; the rest left out with
    // their numbers.
    void banks_data()
    {
        QTest::addColumn<QByteArray>("bank");
        QTest::addColumn<int>("format"); // the guessed one
        QTest::addColumn<QStringList>("left");
        // Per question as the player reads it: form, text, answers, right answer, picture 1.
        QTest::addColumn<QStringList>("read");
        QTest::newRow("GIFT")
            << Gift << int(BankFormat::Gift)
            << QStringList{"вопрос 3: короткий ответ, а не выбор из ответов",
                           "вопрос 6: ответ не выбирается, а вводится (число или эссе)",
                           "вопрос 9: короткий ответ, а не выбор из ответов",
                           "вопрос 10: несколько верных ответов, а экзамен берёт один"}
            << QStringList{"1|Столица России?|3|Москва|",
                           "1|Земля вращается вокруг Солнца.|2|Верно|",
                           "1|Какой цвет у неба днём?|2|голубой|",
                           "1|Равно = ли это?|2|да|",
                           "1|Луна светит сама.|2|Неверно|",
                           "1|Вода мокрая.|2|Верно|",
                           "1|Частично:|2|да|"};
        QTest::newRow("Aiken") << Aiken << int(BankFormat::Aiken)
                               << QStringList{"вопрос 2: нет строки ANSWER",
                                              "вопрос 4: среди его ответов нет ответа C",
                                              "вопрос 5: нет строки ANSWER"}
                               << QStringList{"1|Столица России?|2|Москва|",
                                              "1|Цвет снега?|2|белый|"};
        QTest::newRow("Moodle XML")
            << Moodle() << int(BankFormat::Moodle)
            << QStringList{"вопрос 4: несколько верных ответов, а экзамен берёт один",
                           "вопрос 5: вопрос вида shortanswer",
                           "вопрос 7: ни один ответ не отмечен верным"}
            << QStringList{"3|Флаг какой?|2|Красный|q1-f.bmp", "1|Лёд тонет?|2|Неверно|",
                           "2|Синий?|2|b|q2-r.bmp", "3|Старый|2|a|q4-old.bmp"};
        // Cut off inside its third question: the two read whole before the fault stay.
        const QByteArray moodle = Moodle();
        QTest::newRow("Moodle XML, cut short")
            << moodle.left(moodle.indexOf("Синий?")) << int(BankFormat::Moodle)
            << QStringList{"ошибка XML в строке 1: Premature end of document."}
            << QStringList{"3|Флаг какой?|2|Красный|q1-f.bmp", "1|Лёд тонет?|2|Неверно|"};
    }
    void banks()
    {
        QFETCH(QByteArray, bank);
        QFETCH(int, format);
        QFETCH(QStringList, left);
        QFETCH(QStringList, read);
        QCOMPARE(int(GuessBankFormat(bank)), format);
        const BankImport imported = ReadBank(bank, BankFormat(format));
        QStringList problems;
        QList<int> numbers; // of every question, imported or left out
        for (const BankProblem &p : imported.Problems) {
            problems.append(BankProblemText(p, TMessages()));
            numbers.append(p.Why == Msg::E_BANKXML ? 0 : p.Number);
        }
        QCOMPARE(problems, left);
        for (const BankQuestion &q : imported.Questions)
            numbers.append(q.Number);
        numbers.removeAll(0);
        std::sort(numbers.begin(), numbers.end());
        for (int n = 0; n < numbers.size(); ++n)
            QCOMPARE(numbers[n], n + 1);
        TLineList exam;
        exam.SetText(ExamTextOf(imported.Questions, QStringLiteral("Банк")));
        const SetupReading setup = ReadSetup(exam, ExamSettings());
        QVERIFY(setup.Found && !setup.Error);
        QCOMPARE(setup.Settings.AllZ, int(read.size()) - 1);
        QCOMPARE(setup.Settings.CEdit, QStringLiteral("Банк"));
        TLineList buffer;
        for (int n = 0; n < read.size(); ++n) {
            const QStringList want = read[n].split(u'|');
            const TQuestion q = ReadQuestion(exam, n, buffer);
            QCOMPARE(q.Form, want[0].toInt());
            QCOMPARE(q.Vopros, want[1]);
            QCOMPARE(int(q.AllW), want[2].toInt());
            QCOMPARE(q.S[size_t(q.CorNo - 1)], want[3]);
            QCOMPARE(q.P[0], want[4]);
        }
        // Pictures the player does not read come as BMP.
        for (const BankQuestion &q : imported.Questions)
            for (const BankPicture &p : q.AnswerPictures)
                QVERIFY(p.Bytes.startsWith("BM"));
    }

    // The demo's three forms come back as they were saved without edits; edits keep every key
    // and section the editor does not know where it stands; a uniform file packs the pictures
    // the exam names.
    void roundTrips_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("form");
        QTest::newRow("plain") << "demo.fzk" << int(ExamDocument::Form::Plain);
        QTest::newRow("scrambled") << "demo-scrambled.fzk" << int(ExamDocument::Form::Scrambled);
        QTest::newRow("uniform") << "demo.uzk" << int(ExamDocument::Form::Uniform);
    }
    void roundTrips()
    {
        QFETCH(QString, file);
        QFETCH(int, form);
        const ExamDocument doc = ExamDocument::Load(DemoFile(file.toLatin1().constData()));
        QCOMPARE(int(doc.Kind()), form);
        const QByteArray saved = doc.Bytes(doc.Kind());
        const QByteArray original = ReadFile(DemoFile(file.toLatin1().constData()));
        if (doc.Kind() == ExamDocument::Form::Plain) {
            QCOMPARE(saved, original);
        } else if (doc.Kind() == ExamDocument::Form::Scrambled) {
            QCOMPARE(UnscrambleBytes(saved, Keys::Settings),
                     UnscrambleBytes(original, Keys::Settings));
        } else {
            TListStreams was, is;
            was.LoadFromScrambled(original, Keys::Settings);
            is.LoadFromScrambled(saved, Keys::Settings);
            QCOMPARE(is.Names(), was.Names());
            for (const QString &name : was.Names())
                QCOMPARE(is.Data(name), was.Data(name));
        }
        // As a uniform file: the exam's pictures packed in, from beside it or from within.
        TListStreams packed;
        packed.LoadFromScrambled(doc.Bytes(ExamDocument::Form::Uniform), Keys::Settings);
        for (const QString &picture : doc.NamedPictures())
            QVERIFY2(!packed.Data(picture).isEmpty(), qPrintable(picture));
    }

    void editsKeepWhatTheEditorDoesNotKnow()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("e.fzk"));
        WriteFile(file, "[Setup]\r\nFoo=1\r\nAllZ=0\r\n\r\n[Mine]\r\nX=y\r\n[V0]\r\nVopros=q\r\n");
        ExamDocument doc = ExamDocument::Load(file);
        QVERIFY(!doc.Modified());
        doc.SetValue(QStringLiteral("Setup"), QStringLiteral("AllZ"), QStringLiteral("1"));
        doc.SetValue(QStringLiteral("Setup"), QStringLiteral("CEdit"), QStringLiteral("Тема"));
        doc.SetValue(QStringLiteral("V0"), QStringLiteral("S1"), QStringLiteral("a"));
        doc.SetValue(QStringLiteral("V1"), QStringLiteral("Vopros"), QStringLiteral("b"));
        QVERIFY(doc.Modified());
        QCOMPARE(doc.Bytes(ExamDocument::Form::Plain),
                 Cp1251::Encode(QStringLiteral("[Setup]\r\nFoo=1\r\nAllZ=1\r\nCEdit=Тема\r\n\r\n"
                                               "[Mine]\r\nX=y\r\n[V0]\r\nVopros=q\r\nS1=a\r\n"
                                               "[V1]\r\nVopros=b\r\n")));
        QCOMPARE(doc.Value(QStringLiteral("V1"), QStringLiteral("Vopros")), QStringLiteral("b"));
    }

    // Pictures of a bank imported into an exam never take the names of the exam's own.
    void importedPicturesKeepTheExams()
    {
        QList<BankQuestion> bank(2);
        bank[0].Picture = BankPicture{QStringLiteral("q1-f.bmp"), "a"};
        bank[1].AnswerPictures = {{QStringLiteral("q1-f.bmp"), "b"},
                                  {QStringLiteral("r.gif"), "c"}};
        GiveFreeNames(bank, {QStringLiteral("Q1-F.bmp"), QStringLiteral("q1-f-2.bmp")});
        QCOMPARE(bank[0].Picture->Name, QStringLiteral("q1-f-3.bmp"));
        QCOMPARE(bank[1].AnswerPictures[0].Name, QStringLiteral("q1-f-4.bmp"));
        QCOMPARE(bank[1].AnswerPictures[1].Name, QStringLiteral("r.gif"));
    }

    // The problems listed before saving: pictures judged by the player's own decoders and named
    // with the answer they belong to, a mark or a time limit the examinee would never see; a
    // picture that is fine is packed into a uniform file under the name the exam writes.
    void problems_data()
    {
        QTest::addColumn<QString>("setup");    // [Setup] beside AllZ
        QTest::addColumn<QString>("question"); // [V0], %1 the picture's name
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("problem");
        QImage image(40, 30, QImage::Format_RGB32);
        image.fill(Qt::blue);
        QByteArray bmp;
        QBuffer out(&bmp);
        out.open(QIODevice::WriteOnly);
        image.save(&out, "BMP");
        // A header that says 6000 x 5000 pixels: more than the player shows.
        QByteArray huge = bmp.left(54);
        qToLittleEndian<qint32>(6000, huge.data() + 18);
        qToLittleEndian<qint32>(5000, huge.data() + 22);
        const QString noMarks = QStringLiteral("TipOc=1");
        const QString list = QStringLiteral("Form=3\r\nVopros=q\r\nAllW=2\r\nCorNo=1\r\nS1=a\r\n"
                                            "S2=b\r\nP1=%1");
        const QString pictures = QStringLiteral("Form=2\r\nVopros=q\r\nAllW=2\r\nCorNo=1\r\n"
                                                "P1=%1\r\nP2=%1");
        QTest::newRow("fine, named with a folder")
            << noMarks << list << "C:\\exam\\pic.bmp" << bmp << "";
        QTest::newRow("missing") << noMarks << list << "pic.bmp" << QByteArray()
                                 << "вопрос 1: нет рисунка pic.bmp";
        QTest::newRow("four characters are no name")
            << noMarks << list << "p.bm" << bmp << "вопрос 1: нет рисунка p.bm";
        QTest::newRow("not a picture") << noMarks << list << "pic.jpg" << QByteArray("text")
                                       << "вопрос 1: рисунок pic.jpg не может быть показан";
        QTest::newRow("too large")
            << noMarks << list << "pic.bmp" << huge << "вопрос 1: рисунок pic.bmp слишком велик";
        QTest::newRow("list question without its picture")
            << noMarks << list << "" << QByteArray()
            << "вопрос 1: у вопроса со списком ответов нет рисунка";
        QTest::newRow("answer pictures missing")
            << noMarks << pictures << "pic.bmp" << QByteArray()
            << "вопрос 1, ответ 1: нет рисунка pic.bmp/вопрос 1, ответ 2: нет рисунка pic.bmp";
        QTest::newRow("title picture missing")
            << noMarks + QStringLiteral("\r\nPathGraph=none.jpg") << list << "pic.bmp" << bmp
            << "рисунок титульной страницы none.jpg не найден или не может быть показан";
        QTest::newRow("marks without texts")
            << "Oc=Оценка:\r\nO5=отлично\r\nO4= \r\nO3=удовл." << list << "pic.bmp" << bmp
            << "текст оценки 4 пуст: экзаменуемый не увидит этой оценки (страница «Оценки»)/"
               "текст оценки 2 пуст: экзаменуемый не увидит этой оценки (страница «Оценки»)";
        QTest::newRow("time limit, answer time off")
            << noMarks << list + QStringLiteral("\r\nAT=20") << "pic.bmp" << bmp
            << "вопрос 1: время на ответ не действует, пока в экзамене не включено «Ограничивать "
               "время ответа» (страница «Время ответа»)";
        QTest::newRow("time limit, answer time on")
            << noMarks + QStringLiteral("\r\nYTime=1") << list + QStringLiteral("\r\nAT=20")
            << "pic.bmp" << bmp << "";
    }

    void problems()
    {
        QFETCH(QString, setup);
        QFETCH(QString, question);
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, problem);
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("p.fzk"));
        WriteFile(file, Cp1251::Encode(QStringLiteral("[Setup]\r\nAllZ=0\r\n%1\r\n[V0]\r\n%2\r\n")
                                           .arg(setup, question.arg(name))));
        if (!bytes.isEmpty())
            WriteFile(dir.filePath(name.section(u'\\', -1)), bytes);
        const ExamDocument doc = ExamDocument::Load(file);
        QStringList problems;
        for (const ExamProblem &p : ExamProblems(doc, TMessages()))
            problems.append(p.Text);
        QCOMPARE(problems.join(u'/'), problem);
        if (!problem.isEmpty())
            return;
        TListStreams packed;
        packed.LoadFromScrambled(doc.Bytes(ExamDocument::Form::Uniform), Keys::Settings);
        QImage shown;
        QVERIFY(LoadPicture(shown, name, KindUniform, &packed, file));
        QCOMPARE(shown.size(), QSize(40, 30));
    }

    // The manager file and the roster: the same bytes without edits, an edited record read back
    // as the player reads the file.
    void listFiles()
    {
        ListDocument manager(ListDocument::Kind::Manager);
        QVERIFY(manager.Load(DemoFile("subjects.fzm")));
        QCOMPARE(manager.Bytes(), ReadFile(DemoFile("subjects.fzm")));
        QList<QStringList> rows = manager.Rows();
        QCOMPARE(rows.size(), 3);
        rows[1] = {QStringLiteral("История"), QStringLiteral("h.uzk"), QStringLiteral("u"),
                   QStringLiteral("p"), QStringLiteral("Гуманитарные")};
        manager.SetRows(rows);
        const ManagerFile read =
            ReadManagerText(Cp1251::Decode(UnscrambleBytes(manager.Bytes(), Keys::Manager)));
        QCOMPARE(read.Lines[1].Subject, QStringLiteral("История"));
        QCOMPARE(read.Lines[1].Category, QStringLiteral("Гуманитарные"));
        QCOMPARE(read.Lines[2].ExamFile, QStringLiteral("demo.uzk"));

        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("JSpisok.fzj"));
        WriteFile(file, Cp1251::Encode(QStringLiteral("10А@Иванов\r\n")));
        ListDocument roster(ListDocument::Kind::Roster);
        QVERIFY(roster.Load(file));
        QList<QStringList> listed = roster.Rows();
        listed.append({QStringLiteral("11Б"), QStringLiteral("Ким")});
        roster.SetRows(listed);
        QCOMPARE(roster.Bytes(), Cp1251::Encode(QStringLiteral("10А@Иванов\r\n11Б@Ким\r\n")));
        QVERIFY(!ListDocument(ListDocument::Kind::Roster).Load(dir.filePath(QStringLiteral("no"))));
    }
};

QTEST_GUILESS_MAIN(TestImport)
#include "test_import.moc"
