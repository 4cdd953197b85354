#include "core/Paths.h"
#include "core/Scramble.h"
#include "helpers/Player.h"
#include "helpers/TestFiles.h"
#include "session/MainWindow.h"

#include <QAccessible>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSplitter>
#include <QStackedWidget>
#include <QTextEdit>
#include <QtTest>

namespace {

QString Plain(const QTextEdit *memo)
{
    return memo->toPlainText();
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void titlePageInEveryForm_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("kind");
        QTest::newRow("plain") << DemoFile("demo.fzk") << 2;
        QTest::newRow("scrambled") << DemoFile("demo-scrambled.fzk") << 2;
        QTest::newRow("uniform") << DemoFile("demo.uzk") << 1;
    }
    void titlePageInEveryForm()
    {
        QFETCH(QString, file);
        QFETCH(int, kind);
        Player p(file);
        TFmZK &w = *p.W;
        QVERIFY(p.Dialogs.Messages.isEmpty());
        QCOMPARE(w.Run().FileKind(), kind);
        QCOMPARE(w.CurrentPage(), int(PageTitle));
        QCOMPARE(w.windowTitle(), QStringLiteral("Демонстрационный экзамен"));
        QCOMPARE(Ctl<QLabel>(w, "LabTema")->text(), QStringLiteral("Демонстрационный экзамен"));
        QCOMPARE(Ctl<QLabel>(w, "LabTop")->text(), QStringLiteral("Учебный центр «Тарвик»"));
        QCOMPARE(Ctl<QLabel>(w, "LabJob")->text(), QStringLiteral("Составитель: А. П. Иванова"));
        QVERIFY(Ctl<QLabel>(w, "LabTema")->font().bold());
        QCOMPARE(Ctl<QLabel>(w, "LabTema")->font().pointSize(), 22);
        QVERIFY(!Ctl<PictureBox>(w, "Image1")->pixmap().isNull());
        QCOMPARE(Ctl<PictureBox>(w, "Image1")->pixmap().size(), QSize(320, 200));
        QCOMPARE(Ctl<QPushButton>(w, "ButNext")->text(), QStringLiteral("Далее>>"));
        QVERIFY(Ctl<QPushButton>(w, "ButNext")->isEnabled());
        QVERIFY(!Ctl<QPushButton>(w, "ButNew")->isVisible());
        QVERIFY(Ctl<QPushButton>(w, "ButYesResult")->isVisibleTo(&w) == false); // not on this page
        QCOMPARE(int(w.Run().QuestionOrder().size()), 12);
        QVERIFY(Ctl<QTextEdit>(w, "Memo15")
                    ->toPlainText()
                    .startsWith(QStringLiteral("Каждый вопрос имеет один правильный ответ.\n")));
        QCOMPARE(Ctl<QGroupBox>(w, "GroupBox1")->height(), 155);
        QVERIFY(Ctl<QComboBox>(w, "ComboBox1")->isEditable()); // the demo lets names be typed
        // Every control tells a screen reader what it is: its name, or at least its role.
        for (QWidget *child : w.findChildren<QWidget *>())
            if (!child->objectName().isEmpty() &&
                !child->objectName().startsWith(QStringLiteral("qt_"))) {
                QAccessibleInterface *a = QAccessible::queryAccessibleInterface(child);
                QVERIFY2(!a->text(QAccessible::Name).isEmpty() ||
                             !a->text(QAccessible::Description).isEmpty(),
                         qPrintable(child->objectName()));
            }
    }

    void pagesUpToTheFirstQuestion()
    {
        Player p(DemoFile("demo.fzk"));
        TFmZK &w = *p.W;
        w.ButNextClick();
        QCOMPARE(w.CurrentPage(), int(PageInstructions));
        w.ButNextClick();
        QCOMPARE(w.CurrentPage(), int(PageRegistration));
        QVERIFY(Ctl<QLabel>(w, "Label1")->text().startsWith(QStringLiteral("Сегодня - ")));
        Ctl<QComboBox>(w, "ComboBox1")->setEditText(QStringLiteral("10А"));
        Ctl<QComboBox>(w, "ComboBox2")->setEditText(QStringLiteral("Иванов И."));
        w.ButNextClick();
        QCOMPARE(w.CurrentPage(), int(PageTextAnswers));
        QCOMPARE(w.Run().CurrentIndex(), 0);
        QCOMPARE(Ctl<QLabel>(w, "Panel4Caption")->text(), QStringLiteral("  Вопрос 1 из 12"));
        QCOMPARE(Plain(Ctl<QTextEdit>(w, "Memo1")),
                 QStringLiteral("  Столица Российской Федерации:"));
        QVERIFY(!Ctl<QPushButton>(w, "ButNext")->isEnabled());
    }

    void eachKindOfQuestion()
    {
        for (const QString &file : {DemoFile("demo.fzk"), DemoFile("demo.uzk")}) {
            Player p(file);
            TFmZK &w = *p.W;
            QVERIFY(p.Driver().ToFirstQuestion());

            // A text question with four answers: four rows sharing the area, all unchecked.
            w.Run().LoadQuestion(0);
            QCOMPARE(w.CurrentPage(), int(PageTextAnswers));
            const QStringList texts{"Санкт-Петербург", "Новосибирск", "Москва", "Казань"};
            const QList<QFrame *> rows{
                w.findChild<QFrame *>("Panel15"), w.findChild<QFrame *>("Panel13"),
                w.findChild<QFrame *>("Panel11"), w.findChild<QFrame *>("Panel9")};
            for (int k = 0; k < 4; ++k) {
                QVERIFY(rows[k]->isVisibleTo(&w));
                QCOMPARE(rows[k]->height(), Ctl<QWidget>(w, "Panel6")->height() / 4);
                QCOMPARE(Plain(w.findChild<QTextEdit *>(QStringLiteral("Memo%1").arg(5 + k))),
                         texts[k]);
                QVERIFY(
                    !w.findChild<QRadioButton *>(QStringLiteral("RBut%1").arg(k + 1))->isChecked());
            }
            QVERIFY(!w.findChild<QFrame *>("Panel7")->isVisibleTo(&w));
            QVERIFY(!Ctl<QPushButton>(w, "ButNext")->isEnabled());
            // Rows follow the area when the examinee moves the splitter.
            Ctl<QSplitter>(w, "Splitter1")->setSizes({300, 200});
            QApplication::processEvents();
            QCOMPARE(rows[0]->height(), Ctl<QWidget>(w, "Panel6")->height() / 4);
            QCOMPARE(rows[3]->y(), 3 * (Ctl<QWidget>(w, "Panel6")->height() / 4));

            // A picture question: four pictures with their texts.
            w.Run().LoadQuestion(2);
            QCOMPARE(w.CurrentPage(), int(PagePictureAnswers));
            QCOMPARE(Plain(Ctl<QTextEdit>(w, "Memo3")),
                     QStringLiteral("  На каком рисунке изображён треугольник?"));
            for (const char *image : {"Image6", "Image5", "Image4", "Image3"}) {
                auto *box = w.findChild<QLabel *>(QString::fromLatin1(image));
                QVERIFY2(box->isVisibleTo(&w), image);
                QCOMPARE(box->pixmap().size(), QSize(160, 160));
            }
            QCOMPARE(Plain(w.findChild<QTextEdit *>("Memo10")), QStringLiteral("Рисунок Б"));
            QCOMPARE(w.findChild<QTextEdit *>("Memo12")->width(),
                     w.findChild<QFrame *>("Panel22")->width() - w.PictureColumnWidth());
            QCOMPARE(Ctl<QLabel>(w, "Panel17Caption")->text(), QStringLiteral("  Вопрос 1 из 12"));
            QVERIFY(!Ctl<QPushButton>(w, "ButNext")->isEnabled());

            // A list question beside its picture.
            w.Run().LoadQuestion(3);
            QCOMPARE(w.CurrentPage(), int(PageListAnswers));
            QVERIFY(Plain(Ctl<QTextEdit>(w, "Memo13"))
                        .startsWith(QStringLiteral("  Стороны прямоугольника")));
            QCOMPARE(Ctl<PictureBox>(w, "Image7")->pixmap().size(), QSize(300, 200));
            QStringList items;
            for (QRadioButton *b :
                 w.findChildren<QRadioButton *>(QRegularExpression("^RadioGroup2Item")))
                if (b->isVisibleTo(&w)) {
                    items.append(b->text());
                    QVERIFY(!b->isChecked());
                }
            QCOMPARE(items, (QStringList{"5", "7", "12", "25"}));
            QVERIFY(!Ctl<QPushButton>(w, "ButNext")->isEnabled());

            // Line breaks in a question text.
            w.Run().LoadQuestion(8);
            QVERIFY(Plain(Ctl<QTextEdit>(w, "Memo1"))
                        .contains(QStringLiteral("утверждения:\n1) вода")));
        }
    }

    void missingPictureHidesTheImageOnly()
    {
        QTemporaryDir dir;
        const QString exam = dir.filePath(QStringLiteral("p.fzk"));
        WriteFile(exam, "[Setup]\r\nAllZ=0\r\n[V0]\r\nForm=2\r\nAllW=2\r\nS1=one\r\nS2=two\r\nP1="
                        "gone.bmp\r\nP2=x.bmp\r\n");
        QFile::copy(DemoFile("square.bmp"), dir.filePath(QStringLiteral("x.bmp")));
        Player p(exam);
        QVERIFY(p.Driver().ToFirstQuestion());
        QVERIFY(!p.W->findChild<QLabel *>("Image6")->isVisibleTo(p.W.get()));
        QVERIFY(p.W->findChild<QLabel *>("Image5")->isVisibleTo(p.W.get()));
        QVERIFY(p.W->findChild<QRadioButton *>("RadioButton4")->isVisibleTo(p.W.get()));
        QCOMPARE(Plain(p.W->findChild<QTextEdit *>("Memo12")), QStringLiteral("one"));
    }

    void badExamFiles_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("extension");
        QTest::addColumn<QString>("message");
        const QString setup = QStringLiteral("I can not read section of initialization.");
        QTest::newRow("no setup") << QByteArray("[V0]\r\nVopros=x\r\n") << "fzk" << setup;
        QTest::newRow("other key")
            << ScrambleBytes("[Setup]\r\nAllZ=0\r\n", Keys::Report) << "fzk" << setup;
        QTest::newRow("unknown extension") << QByteArray("[Setup]\r\n") << "mzk" << setup;
        QTest::newRow("empty question file") << QByteArray() << "fzk" << setup;
        QTest::newRow("damaged uniform file")
            << ScrambleBytes("\x26 not a zlib stream", Keys::Settings) << "uzk"
            << QStringLiteral("The data are damaged.");
        QTest::newRow("cut uniform file") << ReadFile(DemoFile("demo.uzk")).left(3000) << "uzk"
                                          << QStringLiteral("The data are damaged.");
    }
    void badExamFiles()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, extension);
        QFETCH(QString, message);
        QTemporaryDir dir;
        const QString exam = dir.filePath(QStringLiteral("bad.") + extension);
        WriteFile(exam, content);
        Player p(exam);
        QCOMPARE(p.Dialogs.Messages.size(), 1);
        QCOMPARE(p.Dialogs.Messages[0].Kind, MessageKind::Error);
        QCOMPARE(p.Dialogs.Messages[0].Text, message);
        QCOMPARE(p.W->CurrentPage(), int(PageEmpty));
        QVERIFY(!Ctl<QPushButton>(*p.W, "ButNext")->isEnabled());
    }

    void closingAsks()
    {
        Player p(DemoFile("demo.fzk"));
        p.Dialogs.AnswerNext(false);
        QVERIFY(!p.W->close());
        QVERIFY(p.W->isVisible());
        QCOMPARE(p.Dialogs.Messages.last().Text, QStringLiteral("Закончить работу с программой?"));
        QCOMPARE(p.Dialogs.Messages.last().Caption, QStringLiteral("Внимание"));
        QCOMPARE(p.Dialogs.Messages.last().Kind,
                 MessageKind::QuestionDefaultNo); // Enter keeps the exam
        p.Dialogs.AnswerNext(true);
        QVERIFY(p.W->close());
    }

    // The boxes the program shows: plain text, the kind's buttons and default, the standard
    // buttons and what a screen reader says of the controls in the language of the interface.
    void messageBoxes_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QByteArray>("language"); // a language section given by the exam, or none
        QTest::addColumn<QStringList>("buttons");
        QTest::addColumn<QString>("defaultButton");
        QTest::addColumn<QStringList>("spoken"); // what a screen reader says of ButNext, RBut2
        const QStringList russian{"Следующий шаг", "Ответ 2"};
        const int question = int(MessageKind::Question),
                  closing = int(MessageKind::QuestionDefaultNo);
        QTest::newRow("question, built-in Russian")
            << question << QByteArray() << QStringList{"&Да", "&Нет"} << "&Да" << russian;
        QTest::newRow("closing, built-in Russian")
            << closing << QByteArray() << QStringList{"&Да", "&Нет"} << "&Нет" << russian;
        QTest::newRow("error, section 0")
            << int(MessageKind::Error) << QByteArray("[0]\r\nU_ERROR=Ошибка\r\n")
            << QStringList{"OK"} << "OK" << russian;
        QTest::newRow("question, English section")
            << question
            << QByteArray("[1]\r\nU_LOCALE=en\r\nA_NEXTSTEP=Next step\r\nA_ANSWER=Answer %d\r\n")
            << QStringList{"&Yes", "&No"} << "&Yes" << QStringList{"Next step", "Answer 2"};
    }
    void messageBoxes()
    {
        QFETCH(int, kind);
        QFETCH(QByteArray, language);
        QFETCH(QStringList, buttons);
        QFETCH(QString, defaultButton);
        QFETCH(QStringList, spoken);
        QTemporaryDir dir;
        const QString exam = dir.filePath(QStringLiteral("l.fzk"));
        const QByteArray number = language.startsWith("[1]") ? "1" : "0";
        WriteFile(exam, "[Setup]\r\nAllZ=0\r\nSaveJuornal=0\r\nUniLang=1\r\nLanguage=" + number +
                            "\r\n" + language);
        Player p(exam);
        const auto box = NewMessageBox(p.W.get(), MessageKind(kind), QStringLiteral("Внимание"),
                                       QStringLiteral("тег <b>жирный</b>&<hr>"));
        QCOMPARE(box->textFormat(), Qt::PlainText);
        QStringList texts;
        for (QAbstractButton *b : box->buttons())
            texts.append(b->text());
        texts.sort();
        buttons.sort();
        QCOMPARE(texts, buttons);
        QCOMPARE(box->defaultButton()->text(), defaultButton);
        QCOMPARE((QStringList{Ctl<QPushButton>(*p.W, "ButNext")->accessibleDescription(),
                              Ctl<QRadioButton>(*p.W, "RBut2")->accessibleName()}),
                 spoken);
    }

    // The exam is opened once for each showing of the window, whatever the window manager does
    // to show it full screen.
    void openedOncePerShow_data()
    {
        QTest::addColumn<QByteArray>("setup");
        QTest::newRow("plain") << QByteArray();
        QTest::newRow("full screen") << QByteArray("VisiTackBar=1\r\n");
        QTest::newRow("no task button") << QByteArray("TaskBar=1\r\nVisiTackBar=1\r\n");
    }
    void openedOncePerShow()
    {
        QFETCH(QByteArray, setup);
        QTemporaryDir dir;
        const QString exam = dir.filePath(QStringLiteral("s.fzk"));
        WriteFile(exam, "[Setup]\r\nAllZ=0\r\nSaveJuornal=0\r\n" + setup);
        RunGlobals g;
        ScriptedDialogs d;
        TFmZK w(g);
        w.SetExamFileName(exam);
        QSignalSpy opened(&w, &TFmZK::examOpened);
        w.show();
        QApplication::processEvents();
        QCOMPARE(opened.size(), 1);
        w.hide();
        w.show();
        QApplication::processEvents();
        QCOMPARE(opened.size(), 2);
        d.AnswerNext(true);
        w.close();
        QCOMPARE(opened.size(), 2); // undoing the full screen opens nothing
    }

    // The window as the exam sets it: a fixed border without a minimise button, its caption the
    // title (empty with an empty title), the result in the font of FontRes with its colour, and
    // every text shown as written, never as markup.
    void windowAsTheExamSetsIt()
    {
        QTemporaryDir dir;
        const QString exam = dir.filePath(QStringLiteral("w.fzk"));
        WriteFile(exam, "[Setup]\r\nAllZ=0\r\nSaveJuornal=0\r\nFontRes=Arial,1,204,255,0,12\r\n"
                        "ButEdit=\xf2\xe5\xe3 <b> \xe8 <i>\r\n");
        Player p(exam);
        TFmZK &w = *p.W;
        QVERIFY(!(w.windowFlags() & Qt::WindowMinimizeButtonHint));
        QVERIFY(w.windowFlags() & Qt::WindowMaximizeButtonHint);
        QVERIFY(w.windowFlags() & Qt::WindowSystemMenuHint);
        QCOMPARE(w.minimumSize(), w.maximumSize());
        QCOMPARE(w.windowTitle(), QString());
        QCOMPARE(Ctl<QLabel>(w, "LabBut")->text(), QStringLiteral("тег <b> и <i>"));
        for (QLabel *label : w.findChildren<QLabel *>())
            QVERIFY2(label->textFormat() == Qt::PlainText, qPrintable(label->objectName()));
        QCOMPARE(Ctl<QTextEdit>(w, "Memo14")->palette().color(QPalette::Text), QColor(255, 0, 0));
        QVERIFY(Ctl<QTextEdit>(w, "Memo14")->styleSheet().isEmpty());
        QCOMPARE(Ctl<QTextEdit>(w, "Memo14")->font().pointSize(), 12);
    }

    // Texts too long to lay out are shown cut, with a mark; the exam's values stay whole for
    // the records.
    void oversizedTextsAreCut()
    {
        QTemporaryDir dir;
        const QString exam = dir.filePath(QStringLiteral("long.fzk"));
        WriteFile(exam, "[Setup]\r\nAllZ=0\r\nSaveJuornal=0\r\nCEdit=" + QByteArray(300000, 'T') +
                            "\r\nTopEdit=" + QByteArray(3000, 'L') +
                            "\r\n[V0]\r\nForm=3\r\nB1=1\r\nS1=" + QByteArray(5000, 'S') +
                            "\r\nVopros=" + QByteArray(200000, 'Q') + "\r\n");
        Player p(exam);
        TFmZK &w = *p.W;
        const QString mark = QStringLiteral(" [\u2026]");
        for (const auto &[shown, limit] : {std::pair{w.windowTitle(), 255},
                                           {Ctl<QLabel>(w, "LabTema")->text(), 2000},
                                           {Ctl<QLabel>(w, "LabTop")->text(), 2000}}) {
            QCOMPARE(shown.size(), limit);
            QVERIFY(shown.endsWith(mark));
        }
        QCOMPARE(w.Run().Settings().CEdit.size(), 300000);
        QVERIFY(p.Driver().ToFirstQuestion());
        QCOMPARE(Plain(Ctl<QTextEdit>(w, "Memo13")).size(), 100000);
        QVERIFY(Plain(Ctl<QTextEdit>(w, "Memo13")).endsWith(mark));
        QCOMPARE(Ctl<QRadioButton>(w, "RadioGroup2Item1")->text().size(), 2000);
        QCOMPARE(w.Run().CurrentQuestion().Vopros.size(), 200000);
    }

    void passwordBoxAndSwitch()
    {
        QTemporaryDir dir;
        const QString exam = dir.filePath(QStringLiteral("pw.fzk"));
        WriteFile(exam, "[Setup]\r\nAllZ=0\r\nYesPassword=1\r\nYesResult=1\r\n");
        Player p(exam);
        QCOMPARE(Ctl<QGroupBox>(*p.W, "GroupBox1")->height(), 225);
        QVERIFY(Ctl<QLineEdit>(*p.W, "MaskEdit1")->isVisibleTo(Ctl<QGroupBox>(*p.W, "GroupBox1")));
        QVERIFY(!Ctl<QComboBox>(*p.W, "ComboBox1")->isEditable());
        QVERIFY(p.W->Run().Settings().SaveJuornal);

        Player d(exam, true);
        QVERIFY(!d.W->Run().Settings().SaveJuornal);
        // Without journals the registration page is skipped.
        d.W->ButNextClick();
        d.W->ButNextClick();
        QCOMPARE(d.W->CurrentPage(), int(PageTextAnswers));
    }

    void unreachableShare()
    {
        QTemporaryDir dir;
        const QString exam = dir.filePath(QStringLiteral("net.fzk"));
        WriteFile(exam, "[Setup]\r\nDbNet=1\r\nPathDbNet=" +
                            QFile::encodeName(dir.filePath("gone")) + "\r\n");
        Player p(exam);
        QVERIFY(p.Dialogs.Messages.isEmpty());
        QVERIFY(!p.W->Run().Settings().DbNet); // fell back to the program's folder
        QCOMPARE(p.W->Run().JournalDir(), ProgramDir());
        QVERIFY(QDir().mkpath(dir.filePath("share")));
        WriteFile(dir.filePath("share/Journal.fzj"), "");
        WriteFile(exam, "[Setup]\r\nDbNet=1\r\nDbNetLocal=0\r\nPathDbNet=" +
                            QFile::encodeName(dir.filePath("share")) + "\r\n");
        Player q(exam);
        QVERIFY(q.W->Run().Settings().DbNet);
        QCOMPARE(q.W->Run().JournalDir(), dir.filePath("share"));
    }

    // Without a fallback an unreachable share ends the program as soon as the folder is tried
    // (behind the title page): one box, and nothing created or connected.
    void unreachableShareEndsTheProgram_data()
    {
        QTest::addColumn<QByteArray>("once");
        QTest::newRow("connected once") << QByteArray("1");
        QTest::newRow("connected at every access") << QByteArray("0");
    }
    void unreachableShareEndsTheProgram()
    {
        QFETCH(QByteArray, once);
        QTemporaryDir dir;
        const QByteArray programDir = qgetenv("TARVIK_PROGRAM_DIR");
        qputenv("TARVIK_PROGRAM_DIR", QFile::encodeName(dir.filePath(QStringLiteral("program"))));
        QVERIFY(QDir().mkpath(dir.filePath(QStringLiteral("program"))));
        const QString exam = dir.filePath(QStringLiteral("net.fzk"));
        WriteFile(exam, "[Setup]\r\nAllZ=0\r\nDbNet=1\r\nDbNetLocal=0\r\nDbNet_1=" + once +
                            "\r\nPathDbNet=" + QFile::encodeName(dir.filePath("gone")) +
                            "\r\n[V0]\r\n");
        {
            Player p(exam);
            QCOMPARE(p.Dialogs.Messages.size(), 1);
            QCOMPARE(
                p.Dialogs.Messages[0].Text,
                QStringLiteral(
                    "Сетевой ресурс недоступен. Нет доступа к сети. Программа будет закрыта."));
            QVERIFY(!p.W->isVisible()); // closed without asking
            QVERIFY(p.Dialogs.Unexpected.isEmpty());
        }
        QVERIFY(QDir(dir.filePath(QStringLiteral("program"))).isEmpty());
        qputenv("TARVIK_PROGRAM_DIR", programDir);
    }
};

QTEST_MAIN(TestMainWindow)
#include "test_mainwindow.moc"
