#include "core/Cp1251.h"
#include "core/Scramble.h"
#include "exam/widgets/MenZK.h"
#include "helpers/FakeClock.h"
#include "helpers/Player.h"
#include "helpers/TestFiles.h"
#include "session/MainWindow.h"
#include "ui/NewExam.h"
#include "ui/Preview.h"

#include <QAccessible>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTextEdit>
#include <QtTest>

namespace {

QString Plain(const QTextEdit *memo)
{
    return memo->toPlainText();
}

// An exam of its own in a folder of its own.
struct Exam
{
    QTemporaryDir Dir;
    QString File;
    explicit Exam(const QByteArray &text, const char *name = "exam.fzk")
    {
        File = Dir.filePath(QString::fromLatin1(name));
        WriteFile(File, text);
    }
};

// The clock is the test's before the window's timers are made.
struct TestTime
{
    FakeClock Time;
};

// A station with the examinee at the keyboard.
struct Station : TestTime, Player
{
    explicit Station(const QString &exam) : Player(exam) { QVERIFY(Activate()); }
    void ToFirstQuestion() { Driver().ToFirstQuestion(); }
};

QByteArray TimedExam(const QByteArray &setup, const QByteArray &at)
{
    return "[Setup]\r\nAllZ=1\r\nSaveJuornal=0\r\nYTime=1\r\n" + setup +
           "[V0]\r\nAllW=3\r\nB3=1\r\nCorNo=2\r\nAT=" + at +
           "\r\nS1=a\r\nS2=b\r\nS3=c\r\n[V1]\r\nS1=x\r\nS2=y\r\n";
}

} // namespace

class TestExamination : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The demo exam from the title page to its result, questions and answers shuffled, answered
    // by every means an examinee has: mouse on a radio button, on an answer's text, on a
    // picture, the keyboard, the don't-know button.
    void wholeExamByTheHandlers()
    {
        QByteArray text = ReadFile(DemoFile("demo.fzk"));
        text.replace("AnRand=0", "AnRand=1");
        text.replace("AR=0", "AR=1");
        Exam exam(text);
        for (const char *pic : {"title.jpg", "circle.gif", "triangle.jpg", "square.bmp",
                                "pentagon.gif", "rect.bmp", "sun.jpg"})
            QFile::copy(DemoFile(pic), exam.Dir.filePath(QString::fromLatin1(pic)));
        Station s(exam.File);
        TFmZK &w = *s.W;
        QCOMPARE(w.CurrentPage(), int(PageTitle));
        QTest::mouseClick(Ctl<QPushButton>(w, "ButNext"), Qt::LeftButton);
        QCOMPARE(w.CurrentPage(), int(PageInstructions));
        QTest::mouseClick(Ctl<QPushButton>(w, "ButNext"), Qt::LeftButton);
        QCOMPARE(w.CurrentPage(), int(PageRegistration));
        // Registration refuses an empty group, then an empty name.
        QTest::mouseClick(Ctl<QPushButton>(w, "ButNext"), Qt::LeftButton);
        QCOMPARE(s.Dialogs.Messages.last().Text, QStringLiteral("Не введены данные по группе."));
        QCOMPARE(s.Dialogs.Messages.last().Caption, QStringLiteral("Ошибка"));
        Ctl<QComboBox>(w, "ComboBox1")->setEditText(QStringLiteral("10А"));
        QTest::mouseClick(Ctl<QPushButton>(w, "ButNext"), Qt::LeftButton);
        QCOMPARE(s.Dialogs.Messages.last().Text,
                 QStringLiteral("Не введены данные по экзаменуемом."));
        QCOMPARE(w.CurrentPage(), int(PageRegistration));
        Ctl<QComboBox>(w, "ComboBox2")->setEditText(QStringLiteral("Петров П."));
        QTest::mouseClick(Ctl<QPushButton>(w, "ButNext"), Qt::LeftButton);
        QVERIFY(w.CurrentPage() < PageTitle);
        QVERIFY(Ctl<QRadioButton>(w, "RadioButNotKwon")->isVisible());

        // Plan: wrong at 2 and 7, don't know at 4 and 9, right elsewhere.
        QList<int> order;
        for (int i = 0; i < 12; ++i) {
            QCOMPARE(w.Run().CurrentIndex(), i);
            QVERIFY(!Ctl<QPushButton>(w, "ButNext")->isEnabled());
            const int n = w.Run().QuestionOrder()[size_t(i)];
            order.append(n);
            const int correct = w.Run().CurrentCorNo();
            const int shown = w.Run().CurrentQuestion().AllW;
            const int wrong = correct == 1 ? 2 : 1;
            s.Time.Advance(2000);
            const int page = w.CurrentPage();
            if (i == 4 || i == 9) {
                QTest::mouseClick(Ctl<QRadioButton>(w, "RadioButNotKwon"), Qt::LeftButton);
                QCOMPARE(w.Run().CurrentAnswer(), 99);
                QTest::mouseClick(Ctl<QPushButton>(w, "ButNext"), Qt::LeftButton);
                continue;
            }
            const int choose = (i == 2 || i == 7) ? wrong : correct;
            QVERIFY(choose <= shown);
            if (page == PageTextAnswers) {
                const QString radio = QStringLiteral("RBut%1").arg(choose);
                if (i % 3 == 0) {
                    // The text of the answer chooses it, as its radio button does.
                    auto *memo = w.findChild<QTextEdit *>(QStringLiteral("Memo%1").arg(4 + choose));
                    QTest::mouseClick(memo->viewport(), Qt::LeftButton);
                } else {
                    QTest::mouseClick(w.findChild<QRadioButton *>(radio), Qt::LeftButton);
                }
            } else if (page == PagePictureAnswers) {
                const char *images[] = {"Image6", "Image5", "Image4", "Image3"};
                QTest::mouseClick(Ctl(*s.W, images[choose - 1]), Qt::LeftButton);
            } else {
                QRadioButton *item =
                    Ctl<QRadioButton>(w, QStringLiteral("RadioGroup2Item%1").arg(choose));
                QTest::mouseClick(item, Qt::LeftButton, {}, QPoint(6, item->height() / 2));
            }
            QCOMPARE(w.Run().CurrentAnswer(), choose);
            QVERIFY(Ctl<QPushButton>(w, "ButNext")->isEnabled());
            if (page == PageTextAnswers && choose == 5) {
                QTest::mouseClick(Ctl<QPushButton>(w, "ButNext"), Qt::LeftButton);
            } else if (page == PageTextAnswers || page == PagePictureAnswers) {
                // Enter on the answer's radio button moves on.
                const char *radios2[] = {"RadioButton4", "RadioButton3", "RadioButton2",
                                         "RadioButton1"};
                QWidget *radio =
                    page == PageTextAnswers
                        ? Ctl(*s.W, QStringLiteral("RBut%1").arg(choose).toLatin1().constData())
                        : Ctl(*s.W, radios2[choose - 1]);
                QTest::keyClick(radio, Qt::Key_Return);
            } else {
                QTest::mouseClick(Ctl<QPushButton>(w, "ButNext"), Qt::LeftButton);
            }
        }
        QCOMPARE(w.CurrentPage(), int(PageResult));
        const AnswerLog &log = w.Run().Log();
        for (int i = 0; i < 12; ++i) {
            const size_t n = size_t(order[i]);
            if (i == 4 || i == 9)
                QCOMPARE(int(log.GivenNo[n]), 99);
            else if (i == 2 || i == 7)
                QVERIFY(log.GivenNo[n] != log.CorrectNo[n]);
            else
                QCOMPARE(log.GivenNo[n], log.CorrectNo[n]);
            QCOMPARE(log.AnswerTimeMs[n], qint64(2000));
        }
        QCOMPARE(log.CorrectCount, 8);
        QCOMPARE(log.DontKnowCount, 2);
        QCOMPARE(log.Percent, 66);
        QCOMPARE(log.Mark, 4);
        QVERIFY(!log.NotFinished);
        QCOMPARE(
            Ctl<QTextEdit>(w, "Memo14")->toPlainText(),
            QStringLiteral("Всего вопросов в экзамене: - 12\n   правильных ответов - 8\n"
                           "   не правильных ответов - 2\n   Ответов \"Не знаю\" - 2\n"
                           "Вы ответили правильно на 66 процентов ответов\n"
                           "Общее время экзамена - 00:24\nОбщее время ответов - 00:24\n Хорошо"));
        QCOMPARE(Ctl<QPushButton>(w, "ButNext")->text(), QStringLiteral("Конец"));
        QVERIFY(Ctl<QPushButton>(w, "ButNext")->isEnabled());
        QVERIFY(Ctl<QPushButton>(w, "ButNew")->isVisible());
        QVERIFY(!Ctl<QRadioButton>(w, "RadioButNotKwon")->isVisible());
        QVERIFY(Ctl<QPushButton>(w, "ButYesResult")->isVisible());
        // "Конец" closes the window, which asks first.
        s.Dialogs.AnswerNext(true);
        QTest::mouseClick(Ctl<QPushButton>(w, "ButNext"), Qt::LeftButton);
        QVERIFY(!w.isVisible());
        QVERIFY(s.Dialogs.AllAnswered());
        QVERIFY(s.Dialogs.Unexpected.isEmpty());
    }

    // Every page of an exam, from the title to the result, says what the exam gives and the
    // defaults where it gives nothing: the plainest exam a teacher can write, and the demo.
    void everyPageSaysWhatTheExamGives_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QStringList>("titles"); // LabTop, LabTema, LabBut, LabJob, LabName
        QTest::addColumn<QString>("instructions");
        QTest::addColumn<QStringList>("question"); // header, text, the answers shown
        QTest::addColumn<QString>("summary");
        QTest::newRow("only the required keys")
            << QString() << QStringList{QString(), QString(), QString(), QString(), QString()}
            << QStringLiteral(
                   "Порядок ответов на вопросы:\nВнимательно прочитайте вопрос в верхней части "
                   "окна.\nВнимательно прочитайте возможные ответы на вопрос и выберите тот "
                   "ответ,\nкоторый по Вашему мнению является правильным.\nВыделите правильный "
                   "ответ при помощи манипулятора \"Мышь\".\nДля перехода к следующему вопросу, "
                   "нажмите кнопку - [Далее>>] в нижней части окна.")
            << QStringList{"  Вопрос 1 из 2", "  Сколько будет 2 + 2?", "4", "5"}
            << QStringLiteral("Всего вопросов в экзамене: - 2\n   правильных ответов - 2\n"
                              "   не правильных ответов - 0\n"
                              "Вы ответили правильно на 100 процентов ответов\n"
                              "Общее время экзамена - 00:00\nОбщее время ответов - 00:00\n ");
        QTest::newRow("demo") << DemoFile("demo.fzk")
                              << QStringList{"Учебный центр «Тарвик»", "Демонстрационный экзамен",
                                             "Для начала нажмите кнопку «Далее>>»",
                                             "Составитель: А. П. Иванова",
                                             "Общие знания, геометрия, география"}
                              << QStringLiteral(
                                     "Каждый вопрос имеет один правильный ответ.\nВыберите ответ "
                                     "мышью или клавишами и нажмите «Далее>>».\nНа некоторые "
                                     "вопросы время ответа ограничено: когда оно истечёт, вопрос "
                                     "будет засчитан как неверный.\nЕсли вы не знаете ответа, "
                                     "выберите «Не знаю».")
                              << QStringList{"  Вопрос 1 из 12", "  Столица Российской Федерации:",
                                             "Санкт-Петербург",  "Новосибирск",
                                             "Москва",           "Казань"}
                              << QStringLiteral("Всего вопросов в экзамене: - 12\n"
                                                "   правильных ответов - 12\n"
                                                "   не правильных ответов - 0\n"
                                                "Вы ответили правильно на 100 процентов ответов\n"
                                                "Общее время экзамена - 00:00\n"
                                                "Общее время ответов - 00:00\n Отлично");
    }
    void everyPageSaysWhatTheExamGives()
    {
        QFETCH(QString, file);
        QFETCH(QStringList, titles);
        QFETCH(QString, instructions);
        QFETCH(QStringList, question);
        QFETCH(QString, summary);
        Exam plain(Cp1251::Encode(
            QStringLiteral("[Setup]\r\n[V0]\r\nVopros=Сколько будет 2 + 2?\r\nS1=4\r\nS2=5\r\n"
                           "[V1]\r\nVopros=Столица Франции?\r\nS1=Париж\r\nS2=Лион\r\n")));
        qputenv("TARVIK_PROGRAM_DIR", QFile::encodeName(plain.Dir.path()));
        const auto restore = qScopeGuard([] { qputenv("TARVIK_PROGRAM_DIR", QByteArray()); });
        Station s(file.isEmpty() ? plain.File : file);
        TFmZK &w = *s.W;
        const auto text = [&w](const char *name) { return Ctl<QLabel>(w, name)->text(); };
        QCOMPARE(w.CurrentPage(), int(PageTitle));
        QCOMPARE((QStringList{text("LabTop"), text("LabTema"), text("LabBut"), text("LabJob"),
                              text("LabName")}),
                 titles);
        QCOMPARE(w.windowTitle(), titles[1]);
        QCOMPARE(Ctl<QPushButton>(w, "ButNext")->text(), QStringLiteral("Далее>>"));
        w.ButNextClick();
        QCOMPARE(w.CurrentPage(), int(PageInstructions));
        QCOMPARE(Plain(Ctl<QTextEdit>(w, "Memo15")), instructions);
        w.ButNextClick();
        QCOMPARE(w.CurrentPage(), int(PageRegistration));
        QCOMPARE(Ctl<QGroupBox>(w, "GroupBox1")->title(), QStringLiteral("Данные об экзаменуемом"));
        QCOMPARE(text("Label3"), QStringLiteral("Группа (класс, организация)"));
        QCOMPARE(text("Label4"), QStringLiteral("Фамилия, Инициалы"));
        QVERIFY(text("Label1").startsWith(QStringLiteral("Сегодня - ")));
        QVERIFY(!Ctl<QLineEdit>(w, "MaskEdit1")->isVisible());
        QVERIFY(s.Driver().ToFirstQuestion());
        QCOMPARE(w.CurrentPage(), int(PageTextAnswers));
        QStringList shown{text("Panel4Caption"), Plain(Ctl<QTextEdit>(w, "Memo1"))};
        for (const char *memo : {"Memo5", "Memo6", "Memo7", "Memo8", "Memo9"})
            if (Ctl<QTextEdit>(w, memo)->isVisible())
                shown.append(Plain(Ctl<QTextEdit>(w, memo)));
        QCOMPARE(shown, question);
        QVERIFY(!Ctl<QPushButton>(w, "ButNext")->isEnabled());
        s.Driver().AnswerAll([&w](int) { return w.Run().CurrentCorNo(); });
        QCOMPARE(w.CurrentPage(), int(PageResult));
        QCOMPARE(Plain(Ctl<QTextEdit>(w, "Memo14")), summary);
        QCOMPARE(Ctl<QPushButton>(w, "ButNext")->text(), QStringLiteral("Конец"));
        QVERIFY(Ctl<QPushButton>(w, "ButNew")->isVisible());
        QVERIFY(s.Dialogs.Messages.isEmpty());
    }

    void enterKey()
    {
        Exam exam("[Setup]\r\nAllZ=1\r\nSaveJuornal=0\r\n[V0]\r\nAllW=5\r\nB3=1\r\nB4=1\r\nB5="
                  "1\r\n[V1]\r\n");
        Station s(exam.File);
        s.ToFirstQuestion();
        auto *r1 = Ctl<QRadioButton>(*s.W, "RBut1");
        QTest::keyClick(r1, Qt::Key_Return); // nothing chosen: nothing happens
        QCOMPARE(s.W->Run().CurrentIndex(), 0);
        auto *r5 = Ctl<QRadioButton>(*s.W, "RBut5");
        QTest::mouseClick(r5, Qt::LeftButton);
        QTest::keyClick(r5, Qt::Key_Return); // not from the fifth answer
        QCOMPARE(s.W->Run().CurrentIndex(), 0);
        // The keyboard alone: the first answer has the focus on a new question, Space chooses
        // it, Enter moves on.
        s.W->Run().LoadQuestion(0);
        QCOMPARE(QApplication::focusWidget(), r1);
        QTest::keyClick(r1, Qt::Key_Space);
        QCOMPARE(s.W->Run().CurrentAnswer(), 1);
        QTest::keyClick(r1, Qt::Key_Return);
        QCOMPARE(s.W->Run().CurrentIndex(), 1);
        // With no don't-know answer a click on the bar changes nothing.
        QTest::mouseClick(Ctl<QWidget>(*s.W, "Panel1"), Qt::LeftButton);
        QCOMPARE(s.W->Run().CurrentAnswer(), 0);
        QVERIFY(!Ctl<QPushButton>(*s.W, "ButNext")->isEnabled());
    }

    // Every way of checking an answer chooses it (the mouse, Space, and the actions a screen
    // reader invokes), only one answer is ever checked, and the answer is the one the examinee saw.
    void answerByEveryMeans_data()
    {
        QTest::addColumn<QByteArray>("question");
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("means");
        QTest::addColumn<QString>("name"); // what a screen reader announces
        QTest::addColumn<int>("answer");
        const QByteArray text = "AllW=3\r\nB3=1\r\nS1=Казань\r\nS2=Москва\r\nS3=Омск\r\n";
        QTest::newRow("text, toggle action") << text + "CorNo=2\r\n"
                                             << "RBut2"
                                             << "toggle"
                                             << "2: Москва" << 2;
        QTest::newRow("text, press action") << text + "CorNo=3\r\n"
                                            << "RBut3"
                                            << "press"
                                            << "3: Омск" << 3;
        QTest::newRow("text, Space") << text + "CorNo=1\r\n"
                                     << "RBut1"
                                     << "space"
                                     << "1: Казань" << 1;
        QTest::newRow("picture, toggle action") << "Form=2\r\n" + text + "CorNo=2\r\n"
                                                << "RadioButton3"
                                                << "toggle"
                                                << "2: Москва" << 2;
        // A list with a gap (S2 left out): the second item is S3, and S3 is the answer.
        QTest::newRow("list with a gap, toggle action")
            << QByteArray(
                   "Form=3\r\nAllW=3\r\nB2=0\r\nB3=1\r\nS1=Казань\r\nS3=Омск & Тара\r\nCorNo=3\r\n")
            << "RadioGroup2Item2"
            << "toggle"
            << "2: Омск & Тара" << 3;
        QTest::newRow("don't know, toggle action") << text + "CorNo=1\r\n"
                                                   << "RadioButNotKwon"
                                                   << "toggle"
                                                   << "Не знаю" << 99;
    }
    void answerByEveryMeans()
    {
        QFETCH(QByteArray, question);
        QFETCH(QString, control);
        QFETCH(QString, means);
        QFETCH(QString, name);
        QFETCH(int, answer);
        Exam exam(Cp1251::Encode(QString::fromUtf8(
            "[Setup]\r\nAllZ=0\r\nSaveJuornal=0\r\nBolNotKnow=1\r\n[V0]\r\n" + question)));
        Station s(exam.File);
        s.ToFirstQuestion();
        // Something else was chosen first: the new choice replaces it.
        s.W->RadioButNotKwonClick();
        if (answer == 99)
            s.W->AnswerChosen(1);
        auto *button = Ctl<QRadioButton>(*s.W, control.toLatin1().constData());
        QAccessibleInterface *a = QAccessible::queryAccessibleInterface(button);
        QCOMPARE(a->role(), QAccessible::RadioButton);
        QCOMPARE(a->text(QAccessible::Name), name);
        // An "&" of an answer is shown as written: it makes no keyboard shortcut.
        QVERIFY(QKeySequence::mnemonic(button->text()).isEmpty());
        if (means == QStringLiteral("space"))
            QTest::keyClick(button, Qt::Key_Space);
        else
            a->actionInterface()->doAction(means == QStringLiteral("press")
                                               ? QAccessibleActionInterface::pressAction()
                                               : QAccessibleActionInterface::toggleAction());
        QTRY_COMPARE(s.W->Run().CurrentAnswer(), answer);
        QVERIFY(Ctl<QPushButton>(*s.W, "ButNext")->isEnabled());
        QVERIFY(button->isChecked());
        int checked = 0;
        for (QRadioButton *b : s.W->findChildren<QRadioButton *>())
            checked += b->isChecked();
        QCOMPARE(checked, 1);
        s.W->ButNextClick();
        QCOMPARE(s.W->CurrentPage(), int(PageResult));
        QCOMPARE(s.W->Run().Log().CorrectCount, answer == 99 ? 0 : 1);
    }

    // What a screen reader hears follows what the window shows.
    void screenReaderHearsWhatIsShown()
    {
        Exam exam(
            Cp1251::Encode(QStringLiteral("[Setup]\r\nAllZ=0\r\nCEdit=История\r\nTopEdit=Школа "
                                          "№5\r\nSpisok=1\r\n[V0]\r\nS1=a\r\nS2=b\r\n")));
        qputenv("TARVIK_PROGRAM_DIR", QFile::encodeName(exam.Dir.path()));
        WriteFile(exam.Dir.filePath("JSpisok.fzj"),
                  Cp1251::Encode(QStringLiteral("10А@Иванов И.\r\n")));
        Station s(exam.File);
        TFmZK &w = *s.W;
        const auto name = [](QObject *o) {
            return QAccessible::queryAccessibleInterface(o)->text(QAccessible::Name);
        };
        QCOMPARE(name(&w), QStringLiteral("История"));
        QCOMPARE(name(Ctl<QLabel>(w, "LabTema")), QStringLiteral("История"));
        QCOMPARE(name(Ctl<QLabel>(w, "LabTop")), QStringLiteral("Школа №5"));
        w.ButNextClick();
        w.ButNextClick();
        QCOMPARE(name(Ctl<QLabel>(w, "Label1")), Ctl<QLabel>(w, "Label1")->text());
        // A choose-only box keeps its label as its name and tells its choice as its value.
        Ctl<QComboBox>(w, "ComboBox1")->setCurrentIndex(0);
        QAccessibleInterface *group =
            QAccessible::queryAccessibleInterface(Ctl<QComboBox>(w, "ComboBox1"));
        QCOMPARE(group->role(), QAccessible::ComboBox);
        QCOMPARE(group->text(QAccessible::Name), QStringLiteral("Группа (класс, организация)"));
        QCOMPARE(group->text(QAccessible::Value), QStringLiteral("10А"));
        w.ComboBox1Click();
        Ctl<QComboBox>(w, "ComboBox2")->setCurrentIndex(0);
        w.ComboBox2Click();
        w.ButNextClick();
        QCOMPARE(w.CurrentPage(), int(PageTextAnswers));
        QCOMPARE(name(Ctl<QLabel>(w, "Panel4Caption")), QStringLiteral("  Вопрос 1 из 1"));
        s.Time.Advance(1000);
        QCOMPARE(name(Ctl<QLabel>(w, "Label2")), QStringLiteral("Текущее время ответа 0 сек."));
        QCOMPARE(name(Ctl<QPushButton>(w, "ButNext")), QStringLiteral("Далее>>"));
        w.AnswerChosen(1);
        w.ButNextClick();
        QCOMPARE(name(Ctl<QPushButton>(w, "ButNext")), QStringLiteral("Конец"));
        qputenv("TARVIK_PROGRAM_DIR", QByteArray());
    }

    // The keyboard alone: the first answer has the focus, the arrows move between answers,
    // Space chooses, Enter moves on.
    void keyboardAlone_data()
    {
        QTest::addColumn<QByteArray>("question");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::newRow("text") << QByteArray("AllW=3\r\nB3=1\r\n") << "RBut1"
                              << "RBut2";
        QTest::newRow("picture") << QByteArray("Form=2\r\nAllW=3\r\nB3=1\r\n") << "RadioButton4"
                                 << "RadioButton3";
        QTest::newRow("list") << QByteArray("Form=3\r\nAllW=3\r\nB3=1\r\nS1=a\r\nS2=b\r\nS3=c\r\n")
                              << "RadioGroup2Item1"
                              << "RadioGroup2Item2";
    }
    void keyboardAlone()
    {
        QFETCH(QByteArray, question);
        QFETCH(QString, first);
        QFETCH(QString, second);
        Exam exam("[Setup]\r\nAllZ=0\r\nSaveJuornal=0\r\n[V0]\r\nCorNo=2\r\n" + question);
        Station s(exam.File);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return); // title
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return); // instructions
        QCOMPARE(QApplication::focusWidget()->objectName(), first);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
        QCOMPARE(QApplication::focusWidget()->objectName(), second);
        QCOMPARE(s.W->Run().CurrentAnswer(), 0); // moving is not choosing
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
        QCOMPARE(s.W->Run().CurrentAnswer(), 2);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(s.W->CurrentPage(), int(PageResult));
        QCOMPARE(s.W->Run().Log().CorrectCount, 1);
    }

    // Marks not shown: the summary stays empty, and the result is still computed for the records.
    void noMarks()
    {
        Exam exam("[Setup]\r\nAllZ=0\r\nSaveJuornal=0\r\nTipOc=1\r\n[V0]\r\n");
        Station s(exam.File);
        s.ToFirstQuestion();
        s.W->AnswerChosen(1);
        s.W->ButNextClick();
        QCOMPARE(s.W->CurrentPage(), int(PageResult));
        QVERIFY(Ctl<QTextEdit>(*s.W, "Memo14")->toPlainText().isEmpty());
        // Not shown, but computed for the records.
        QCOMPARE(s.W->Run().Log().Percent, 100);
        QCOMPARE(s.W->Run().Log().Mark, 5);
    }

    void clockLabels_data()
    {
        QTest::addColumn<bool>("timed");
        QTest::addColumn<QByteArray>("setup");
        QTest::addColumn<QByteArray>("at");
        QTest::addColumn<QStringList>("texts");
        QTest::newRow("no limit: counts up, whatever AnsvTm says")
            << false << QByteArray("AnsvTm=1\r\n") << QByteArray("20")
            << QStringList{"Текущее время ответа 0 сек.", "Текущее время ответа 1 сек.",
                           "Текущее время ответа 2 сек."};
        QTest::newRow("limit counts down")
            << true << QByteArray("AnsvTm=1\r\n") << QByteArray("20")
            << QStringList{"Осталось 20 сек.", "Осталось 19 сек.", "Осталось 18 сек."};
        QTest::newRow("seconds spent")
            << true << QByteArray("AnsvTm=0\r\n") << QByteArray("20")
            << QStringList{"Текущее время ответа 0 сек.", "Текущее время ответа 1 сек.",
                           "Текущее время ответа 2 сек."};
        QTest::newRow("limit 0 counts down from 0")
            << true << QByteArray("AnsvTm=1\r\n") << QByteArray("0")
            << QStringList{"Осталось 0 сек.", "Осталось -1 сек.", "Осталось -2 сек."};
    }
    void clockLabels()
    {
        QFETCH(bool, timed);
        QFETCH(QByteArray, setup);
        QFETCH(QByteArray, at);
        QFETCH(QStringList, texts);
        QByteArray text = TimedExam(setup, at);
        if (!timed)
            text.replace("YTime=1", "YTime=0");
        Exam exam(text);
        Station s(exam.File);
        s.ToFirstQuestion();
        for (const QString &expected : texts) {
            s.Time.Advance(1000);
            for (const char *label : {"Label2", "Label5", "Label7"})
                QCOMPARE(Ctl<QLabel>(*s.W, label)->text(), expected);
        }
        QVERIFY(Ctl<QLabel>(*s.W, "Label2")->isVisible());
    }

    void clockOff()
    {
        Exam exam(TimedExam("AnsvTmBol=0\r\n", "20"));
        Station s(exam.File);
        s.ToFirstQuestion();
        s.Time.Advance(3000);
        QVERIFY(!Ctl<QLabel>(*s.W, "Label2")->isVisible());
        QVERIFY(Ctl<QLabel>(*s.W, "Label2")->text().isEmpty());
        QVERIFY(!s.W->Run().RxTimerEvent1->Enabled());
    }

    void timeOutClosesThePreview()
    {
        QByteArray text = TimedExam("", "10");
        text.replace("[V0]\r\n", "[V0]\r\nForm=2\r\nP1=square.bmp\r\n");
        Exam exam(text);
        QFile::copy(DemoFile("square.bmp"), exam.Dir.filePath(QStringLiteral("square.bmp")));
        Station s(exam.File);
        s.ToFirstQuestion();
        QTest::mouseClick(Ctl(*s.W, "SpeedButton3"), Qt::LeftButton);
        QVERIFY(s.W->PreviewOpen());
        QPointer<TFmPreview> first = s.W->Preview();
        QCOMPARE(first->Image1->pixmap().size(), QSize(160, 160));
        QVERIFY(first->windowFlags() & Qt::WindowStaysOnTopHint);
        // One preview at a time.
        QTest::mouseClick(Ctl(*s.W, "SpeedButton3"), Qt::LeftButton);
        QApplication::processEvents();
        QVERIFY(first.isNull());
        s.Time.Advance(10000);
        QApplication::processEvents();
        QVERIFY(!s.W->PreviewOpen());
        QCOMPARE(s.W->Run().CurrentIndex(), 1);
    }

    void previewWindow()
    {
        QWidget owner;
        QPixmap none;
        auto *empty = new TFmPreview(none, &owner);
        QPointer<TFmPreview> watch = empty;
        empty->Open();
        QApplication::processEvents();
        QVERIFY(watch.isNull()); // closed and gone at once
        QPixmap thin(1, 300);
        thin.fill(Qt::black);
        auto *preview = new TFmPreview(thin, &owner);
        preview->Open();
        QVERIFY(preview->isVisible());
        QCOMPARE(preview->Image1->pixmap().size(), QSize(1, 300));
        QVERIFY(preview->height() >= 300);
        // Dragging: the left button alone moves the window; with Shift it does not.
        preview->move(100, 100);
        const QPoint start = preview->pos();
        QWidget *image = preview->Image1;
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(0, 10),
                          image->mapToGlobal(QPointF(0, 10)), Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier);
        QApplication::sendEvent(image, &press);
        QCOMPARE(QApplication::overrideCursor()->shape(), Qt::SizeAllCursor);
        QMouseEvent shifted(QEvent::MouseMove, QPointF(0, 40), image->mapToGlobal(QPointF(0, 40)),
                            Qt::NoButton, Qt::LeftButton, Qt::ShiftModifier);
        QApplication::sendEvent(image, &shifted);
        QCOMPARE(preview->pos(), start);
        QMouseEvent drag(QEvent::MouseMove, QPointF(0, 60), image->mapToGlobal(QPointF(0, 60)),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(image, &drag);
        QCOMPARE(preview->pos(), start + QPoint(0, 20));
        QMouseEvent release(QEvent::MouseButtonRelease, QPointF(0, 60),
                            image->mapToGlobal(QPointF(0, 60)), Qt::LeftButton, Qt::NoButton,
                            Qt::NoModifier);
        QApplication::sendEvent(image, &release);
        QVERIFY(!QApplication::overrideCursor());
        preview->close();
    }

    void closing_data()
    {
        QTest::addColumn<int>("steps");
        QTest::addColumn<bool>("recorded");
        QTest::newRow("title page") << 0 << false;
        QTest::newRow("instructions") << 1 << false;
        QTest::newRow("registration") << 2 << false;
        QTest::newRow("a question") << 3 << true;
        QTest::newRow("result page") << 5 << false;
    }
    void closing()
    {
        QFETCH(int, steps);
        QFETCH(bool, recorded);
        Exam exam("[Setup]\r\nAllZ=1\r\n[V0]\r\n[V1]\r\n");
        Station s(exam.File);
        for (int i = 0; i < steps; ++i) {
            if (s.W->CurrentPage() == PageRegistration) {
                Ctl<QComboBox>(*s.W, "ComboBox1")->addItem(QStringLiteral("1"));
                Ctl<QComboBox>(*s.W, "ComboBox2")->addItem(QStringLiteral("n"));
            } else if (s.W->CurrentPage() < PageTitle) {
                s.W->AnswerChosen(1);
            }
            s.W->ButNextClick();
        }
        QSignalSpy interrupted(s.W.get(), &TFmZK::examInterrupted);
        s.Dialogs.AnswerNext(false);
        QVERIFY(!s.W->close());
        QCOMPARE(interrupted.size(), 0);
        s.Dialogs.AnswerNext(true);
        QVERIFY(s.W->close());
        QCOMPARE(interrupted.size(), recorded ? 1 : 0);
        if (recorded)
            QVERIFY(s.W->Run().Log().NotFinished);
    }

    // "Новый": the new-exam dialog's choices, and the subject manager again when chosen.
    void newExam_data()
    {
        QTest::addColumn<bool>("fromManager");  // the run began with a manager file
        QTest::addColumn<QString>("dialog");    // "new", "same", "manager", "cancel"
        QTest::addColumn<QString>("manager");   // the manager's answer: row to start, "cancel"
        QTest::addColumn<QString>("title");     // the exam open afterwards
        QTest::addColumn<bool>("kept");         // group and name kept for the next examinee
        QTest::addColumn<bool>("managerAfter"); // ManagerUsed afterwards
        QTest::addColumn<bool>("errorBox");
        QTest::newRow("question file: current subject only") << false << "new"
                                                             << ""
                                                             << "Первая" << false << false << false;
        QTest::newRow("same examinee, current subject") << true << "same"
                                                        << ""
                                                        << "Первая" << true << false << false;
        QTest::newRow("manager: another exam is read") << true << "manager"
                                                       << "1"
                                                       << "Вторая" << false << true << false;
        QTest::newRow("manager cancelled: the exam it had") << true << "manager"
                                                            << "cancel"
                                                            << "Первая" << false << true << false;
        QTest::newRow("blank subject: start-up's box, the exam it had")
            << true << "manager"
            << "2"
            << "Первая" << false << true << true;
        QTest::newRow("dialog cancelled: nothing changes") << true << "cancel"
                                                           << ""
                                                           << "Первая" << true << true << false;
    }
    void newExam()
    {
        QFETCH(bool, fromManager);
        QFETCH(QString, dialog);
        QFETCH(QString, manager);
        QFETCH(QString, title);
        QFETCH(bool, kept);
        QFETCH(bool, managerAfter);
        QFETCH(bool, errorBox);
        Exam first(Cp1251::Encode(QStringLiteral(
            "[Setup]\r\nAllZ=0\r\nCEdit=Первая\r\nSpisok=0\r\nSaveJuornal=0\r\n[V0]\r\n")));
        const QString second = first.Dir.filePath(QStringLiteral("second.fzk"));
        WriteFile(second, Cp1251::Encode(QStringLiteral(
                              "[Setup]\r\nAllZ=0\r\nCEdit=Вторая\r\nSaveJuornal=0\r\n[V0]\r\n")));
        const QString subjects = first.Dir.filePath(QStringLiteral("subjects.fzm"));
        WriteFile(subjects,
                  ScrambleBytes(
                      Cp1251::Encode(
                          QStringLiteral("Первая@%1\r\nВторая@%2\r\n\r\n").arg(first.File, second)),
                      Keys::Manager));
        Station s(first.File);
        s.Globals.ManagerUsed = fromManager;
        s.Globals.StartFileName = subjects;
        Ctl<QComboBox>(*s.W, "ComboBox1")->setEditText(QStringLiteral("10А"));
        Ctl<QComboBox>(*s.W, "ComboBox2")->setEditText(QStringLiteral("Иванов И."));
        QSignalSpy opened(s.W.get(), &TFmZK::examOpened);
        bool managerOffered = false;
        s.Dialogs.ActInNextDialog([&](QDialog *d) {
            auto *n = static_cast<TFmNewExam *>(d);
            managerOffered = n->RB21->isEnabled();
            (dialog == u"same" ? n->RB12 : n->RB11)->click();
            (dialog == u"manager" ? n->RB21 : n->RB22)->click();
            (dialog == u"cancel" ? n->ButCancel : n->ButOk)->click();
        });
        if (!manager.isEmpty())
            s.Dialogs.ActInNextDialog([&](QDialog *d) {
                auto *m = static_cast<TFmMenZK *>(d);
                QVERIFY(!s.W->isVisible()); // the window is hidden while the manager is open
                if (manager == u"cancel")
                    return m->ButCancel->click();
                m->CheckListBox1->setCurrentRow(manager.toInt());
                m->ButStart->click();
            });
        s.W->ButNewClick();
        QVERIFY(s.Dialogs.AllAnswered());
        QCOMPARE(managerOffered, fromManager);
        QVERIFY(s.W->isVisible());
        QCOMPARE(s.W->Run().Settings().CEdit, title);
        QCOMPARE(opened.size(), dialog == u"manager" ? 1 : 0);
        QCOMPARE(s.W->CurrentPage(), int(PageTitle));
        QCOMPARE(Ctl<QComboBox>(*s.W, "ComboBox2")->currentText().isEmpty(), !kept);
        QCOMPARE(s.Globals.ManagerUsed, managerAfter);
        QCOMPARE(s.Dialogs.Messages.size(), errorBox ? 1 : 0);
        if (errorBox)
            QCOMPARE(s.Dialogs.Messages[0].Text, UnreachableExamMessage);
    }
};

QTEST_MAIN(TestExamination)
#include "test_examination.moc"
