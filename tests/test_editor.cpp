#include "core/Cp1251.h"
#include "core/LineList.h"
#include "editor/widgets/EditorFields.h"
#include "editor/widgets/EditorWindow.h"
#include "editor/widgets/ListWindow.h"
#include "exam/Questions.h"
#include "exam/Settings.h"
#include "helpers/PlayerDriver.h"
#include "helpers/ScriptedDialogs.h"
#include "helpers/TestFiles.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QFileInfo>
#include <QFontDialog>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QToolButton>
#include <QUndoStack>
#include <QtTest>

namespace {

// The menu action a key of the window runs, run as the key would.
void Press(const QWidget &window, const QKeySequence &key)
{
    for (QAction *action : window.findChildren<QAction *>())
        if (action->shortcuts().contains(key))
            action->trigger();
}

} // namespace

class TestEditor : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // A question made in the window: added after the one on the page, written field by field,
    // undone and done again, listed as a problem until it has its right answer, and saved as a
    // uniform file the player reads as it was made.
    void questionMadeAndSaved()
    {
        ScriptedDialogs dialogs;
        TFmEditor editor{TMessages()};
        QVERIFY(editor.OpenFile(DemoFile("demo.fzk")));
        editor.SelectQuestion(2);
        QTest::mouseClick(Ctl<QPushButton>(editor, "Add"), Qt::LeftButton);
        QCOMPARE(editor.CurrentQuestion(), 3);
        QCOMPARE(editor.Document().Questions().size(), 13);
        Ctl<QPlainTextEdit>(editor, "QuestionText")
            ->setPlainText(QStringLiteral("3 + 3?\nВыберите"));
        QTest::keyClicks(Ctl<QLineEdit>(editor, "Answer1"), QStringLiteral("5"));
        QTest::keyClicks(Ctl<QLineEdit>(editor, "Answer2"), QStringLiteral("6"));
        const auto problems = [&] {
            QStringList texts;
            auto *list = Ctl<QListWidget>(editor, "Problems");
            for (int i = 0; i < list->count(); ++i)
                texts.append(list->item(i)->text());
            return texts;
        };
        QVERIFY(problems().contains(QStringLiteral("вопрос 4: верный ответ не выбран")));
        QTest::mouseClick(Ctl<QRadioButton>(editor, "Right2"), Qt::LeftButton);
        QVERIFY(problems().isEmpty());
        // Undone and done again: the question as it was, then as it is.
        editor.Undo()->undo();
        QVERIFY(!problems().isEmpty());
        editor.Undo()->redo();
        QVERIFY(problems().isEmpty());
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("made.uzk"));
        QVERIFY(editor.SaveTo(file));
        const ExamDocument saved = ExamDocument::Load(file);
        QCOMPARE(saved.Kind(), ExamDocument::Form::Uniform);
        TLineList lines = saved.Lines();
        TLineList buffer;
        const TQuestion q = ReadQuestion(lines, 3, buffer);
        QCOMPARE(q.Vopros, QStringLiteral("3 + 3?&<hr>Выберите"));
        QCOMPARE(int(q.AllW), 2);
        QCOMPARE(q.S[size_t(q.CorNo - 1)], QStringLiteral("6"));
        QCOMPARE(
            ReadQuestion(lines, 4, buffer).Vopros,
            QStringLiteral(
                "Стороны прямоугольника на рисунке равны 4 и 3. Чему равна длина его диагонали?"));
        QVERIFY(saved.Pictures().contains(QStringLiteral("title.jpg"))); // packed from beside
        // Opened and saved: the newest first in the recent files, each once.
        QCOMPARE(TFmEditor::RecentFiles().mid(0, 2),
                 (QStringList{file, QFileInfo(DemoFile("demo.fzk")).absoluteFilePath()}));
        QVERIFY(dialogs.Messages.isEmpty());
        // A share's name gets a box that says how to reach it, never a local file of that name.
        QVERIFY(!editor.SaveTo(QStringLiteral("\\\\srv\\exams\\made.uzk")));
        QCOMPARE(dialogs.Messages.size(), 1);
    }

    // Closing with unsaved edits asks: Save writes them and closes, Discard closes, Cancel
    // stays; a save that fails says so and keeps the window and its edits.
    void closingWithEdits_data()
    {
        QTest::addColumn<int>("button");
        QTest::addColumn<bool>("folderGone");
        QTest::addColumn<bool>("closed");
        QTest::addColumn<QString>("title"); // as the file holds it afterwards
        QTest::newRow("save") << int(QMessageBox::Save) << false << true
                              << "Демонстрационный экзамен!";
        QTest::newRow("discard") << int(QMessageBox::Discard) << false << true
                                 << "Демонстрационный экзамен";
        QTest::newRow("cancel") << int(QMessageBox::Cancel) << false << false
                                << "Демонстрационный экзамен";
        QTest::newRow("save fails") << int(QMessageBox::Save) << true << false << "";
    }
    void closingWithEdits()
    {
        QFETCH(int, button);
        QFETCH(bool, folderGone);
        QFETCH(bool, closed);
        QFETCH(QString, title);
        ScriptedDialogs dialogs;
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("exams"));
        QDir().mkpath(folder);
        const QString file = folder + QStringLiteral("/e.fzk");
        QVERIFY(QFile::copy(DemoFile("demo.fzk"), file));
        TFmEditor editor{TMessages()};
        QVERIFY(editor.OpenFile(file));
        QTest::keyClicks(Ctl<QLineEdit>(editor, "CEdit"), QStringLiteral("!"));
        dialogs.ActInNextDialog([button](QDialog *d) {
            static_cast<QMessageBox *>(d)->button(QMessageBox::StandardButton(button))->click();
        });
        if (folderGone)
            QDir(folder).removeRecursively();
        QCOMPARE(editor.close(), closed);
        QCOMPARE(dialogs.Messages.size(), folderGone ? 1 : 0); // "not saved"
        if (!folderGone)
            QCOMPARE(ReadSetup(ExamDocument::Load(file).Lines(), ExamSettings()).Settings.CEdit,
                     title);
        QVERIFY(dialogs.AllAnswered());
    }

    // A file the editor cannot open as an exam is said in a box, and the exam on the screen
    // stays as it was.
    void badFilesAreNotOpened_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("said");
        QTest::newRow("not an exam")
            << "x.fzk" << QByteArray("\x01\x02garbage", 9) << "В файле %1 нет раздела [Setup]";
        QTest::newRow("damaged uniform")
            << "x.uzk" << QByteArray("\x05PK\x03\x04cut", 8) << "Файл не открыт: ";
        QTest::newRow("missing") << "none.fzk" << QByteArray() << "Файл не открыт: ";
        QTest::newRow("missing bank") << "none.gift" << QByteArray() << "Файл не открыт: %1";
        QTest::newRow("a bank of nothing to take")
            << "b.gift" << QByteArray("Опишите себя. {}\n") << "В файле %1 нет ни одного вопроса";
        QTest::newRow("share name")
            << "\\\\srv\\e\\x.fzk" << QByteArray() << "Имя вида \\\\сервер\\папка";
    }
    void badFilesAreNotOpened()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, said);
        ScriptedDialogs dialogs;
        QTemporaryDir dir;
        const QString file = name.startsWith(u'\\') ? name : dir.filePath(name);
        if (!bytes.isEmpty())
            WriteFile(file, bytes);
        TFmEditor editor{TMessages()};
        QVERIFY(!editor.OpenFile(file));
        QCOMPARE(dialogs.Messages.size(), 1);
        QVERIFY2(
            dialogs.Messages[0].Text.startsWith(QString(said).replace(QStringLiteral("%1"), file)),
            qPrintable(dialogs.Messages[0].Text));
        QCOMPARE(editor.Document().Questions().size(), 1); // the new exam, as it was
    }

    // A new exam gives its marks in the usual words. One undo step is one field's edit; a time
    // limit switches the exam's answer time on in the same step; Ctrl+Y redoes.
    void editsUndoneFieldByField()
    {
        ScriptedDialogs dialogs;
        TFmEditor editor{TMessages()};
        const auto setup = [&editor](const char *key) {
            return editor.Document().Value(QStringLiteral("Setup"), QString::fromLatin1(key));
        };
        const auto question = [&editor](const char *key) {
            return KeyValue(editor.Document().Questions()[0], QString::fromLatin1(key));
        };
        QCOMPARE(setup("Oc") + setup("O5") + setup("O2"),
                 QStringLiteral("Оценка:отличнонеудовлетворительно"));
        QTest::keyClicks(Ctl<QPlainTextEdit>(editor, "QuestionText"), QStringLiteral("2+2?"));
        QTest::keyClicks(Ctl<QLineEdit>(editor, "Answer1"), QStringLiteral("4"));
        QTest::keyClicks(Ctl<QLineEdit>(editor, "Answer2"), QStringLiteral("5"));
        Ctl<QSpinBox>(editor, "AnswerTime")->setValue(20);
        QCOMPARE(setup("YTime"), QStringLiteral("1"));
        QVERIFY(Ctl<QCheckBox>(editor, "YTime")->isChecked());
        editor.Undo()->undo();
        QCOMPARE(question("AT") + setup("YTime"), QStringLiteral("00"));
        QVERIFY(!Ctl<QCheckBox>(editor, "YTime")->isChecked());
        QCOMPARE(question("S2"), QStringLiteral("5"));
        editor.Undo()->undo();
        QCOMPARE(question("S1") + u'|' + question("S2"), QStringLiteral("4|"));
        QCOMPARE(question("Vopros"), QStringLiteral("2+2?"));
        Press(editor, QKeySequence(Qt::CTRL | Qt::Key_Y));
        QCOMPARE(question("S2"), QStringLiteral("5"));
    }

    // Each settings page fits a 1280 x 800 screen in Russian: no scroll bar across.
    void settingsPagesFitTheScreen()
    {
        TFmEditor editor{TMessages()};
        QVERIFY(editor.OpenFile(DemoFile("demo.fzk")));
        editor.resize(1280, 760);
        editor.show();
        editor.findChild<QTabWidget *>()->setCurrentIndex(1);
        auto *pages = Ctl<QListWidget>(editor, "SettingsPages");
        for (int row = 0; row < pages->count(); ++row) {
            pages->setCurrentRow(row);
            QCoreApplication::processEvents();
            for (const QScrollArea *page : editor.findChildren<QScrollArea *>())
                if (page->isVisible())
                    QVERIFY2(!page->horizontalScrollBar()->isVisible(),
                             qPrintable(pages->item(row)->text()));
        }
    }

    // A bank imported from the menu: the file dialog on the banks, the questions left out said
    // in the interface's words under the menu's caption, the rest added after the exam's.
    void bankImportedFromTheMenu()
    {
        ScriptedDialogs dialogs;
        QTemporaryDir dir;
        const QString bank = dir.filePath(QStringLiteral("b.gift"));
        WriteFile(bank, "Да? {T}\n\nЧётные? {~%50%2 ~%50%4 ~3}\n");
        TFmEditor editor{TMessages()};
        dialogs.ChooseNextFile(bank);
        Press(editor, QKeySequence(Qt::CTRL | Qt::Key_I));
        QVERIFY(dialogs.Filters.value(0).startsWith(QStringLiteral("Банки вопросов|")));
        QCOMPARE(dialogs.Messages.size(), 1);
        QCOMPARE(dialogs.Messages[0].Caption, QStringLiteral("Импорт банка вопросов…"));
        QCOMPARE(dialogs.Messages[0].Text,
                 QStringLiteral("вопрос 2: несколько верных ответов, а экзамен берёт один"));
        QCOMPARE(editor.Document().Questions().size(), 2);
    }

    // A file another program changed since it was opened is replaced only when the examiner
    // says so; saved, the next save asks nothing.
    void fileChangedElsewhere()
    {
        ScriptedDialogs dialogs;
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("e.fzk"));
        WriteFile(file, "[Setup]\r\nAllZ=0\r\nCEdit=A\r\n[V0]\r\nVopros=q\r\n");
        TFmEditor editor{TMessages()};
        QVERIFY(editor.OpenFile(file));
        const QByteArray theirs = "[Setup]\r\nAllZ=0\r\nCEdit=Theirs\r\n[V0]\r\nVopros=q\r\n";
        WriteFile(file, theirs);
        QFile touched(file); // written later than the editor read it, as another station would
        QVERIFY(touched.open(QIODevice::ReadWrite) &&
                touched.setFileTime(QDateTime::currentDateTime().addSecs(60),
                                    QFileDevice::FileModificationTime));
        touched.close();
        QTest::keyClicks(Ctl<QLineEdit>(editor, "CEdit"), QStringLiteral("!"));
        dialogs.AnswerNext(false);
        QVERIFY(!editor.SaveTo(file));
        QCOMPARE(ReadFile(file), theirs);
        dialogs.AnswerNext(true);
        QVERIFY(editor.SaveTo(file));
        QVERIFY(editor.SaveTo(file));
        QCOMPARE(dialogs.Messages.size(), 2);
        QCOMPARE(ReadSetup(ExamDocument::Load(file).Lines(), ExamSettings()).Settings.CEdit,
                 QStringLiteral("A!"));
    }

    // The roster's table: an edited name and an added row undone and done again; closed with
    // Save, the file holds what the table shows.
    void rosterEditsUndone()
    {
        ScriptedDialogs dialogs;
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("JSpisok.fzj"));
        WriteFile(file, Cp1251::Encode(QStringLiteral("10А@Петров П.\r\n10Б@Сидорова А.\r\n")));
        TFmListEditor window(ListDocument::Kind::Roster, TMessages());
        QVERIFY(window.OpenFile(file));
        const QList<QStringList> read = window.Document().Rows();
        Ctl<QTableWidget>(window, "Records")->item(0, 1)->setText(QStringLiteral("Петров П. П."));
        QTest::mouseClick(Ctl<QPushButton>(window, "Add"), Qt::LeftButton);
        QCOMPARE(window.Document().Rows().size(), 3);
        window.Undo()->undo();
        window.Undo()->undo();
        QCOMPARE(window.Document().Rows(), read);
        QVERIFY(!window.isWindowModified());
        window.Undo()->redo();
        QVERIFY(window.isWindowModified());
        dialogs.ActInNextDialog(
            [](QDialog *d) { static_cast<QMessageBox *>(d)->button(QMessageBox::Save)->click(); });
        QVERIFY(window.close());
        ListDocument saved(ListDocument::Kind::Roster);
        QVERIFY(saved.Load(file));
        QCOMPARE(saved.Rows().size(), 2);
        QCOMPARE(saved.Rows()[0].value(1), QStringLiteral("Петров П. П."));
    }

    // Every field of the settings pages writes its key, as the player's own reader reads it:
    // switches, texts, numbers, choices, the don't-know rule, a font descriptor and a title
    // font section through the font and colour dialogs.
    void settingsPagesWriteTheirKeys()
    {
        ScriptedDialogs dialogs;
        TFmEditor editor{TMessages()};
        QVERIFY(editor.OpenFile(DemoFile("demo.fzk")));
        const ExamSettings before = ReadSetup(editor.Document().Lines(), ExamSettings()).Settings;
        QVERIFY(before.BolNotKnow); // left on: its rules are read only while it is
        for (QCheckBox *box : editor.findChildren<QCheckBox *>())
            if (!box->toolTip().isEmpty() && box->objectName() != QStringLiteral("Shuffle") &&
                box->objectName() != QStringLiteral("BolNotKnow"))
                QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(4, box->height() / 2));
        QTest::keyClicks(Ctl<QLineEdit>(editor, "CEdit"), QStringLiteral(" 2"));
        QTest::keyClicks(Ctl<QLineEdit>(editor, "PathDbNet"), QStringLiteral("\\\\srv\\j"));
        QTest::keyClicks(Ctl<QLineEdit>(editor, "IP3"), QStringLiteral("10.0.0.3"));
        Ctl<QPlainTextEdit>(editor, "HelpExam")->setPlainText(QStringLiteral("Раз\nДва"));
        for (const auto &[name, index] :
             {std::pair{"TipOc", 1}, {"RNotKnow", 1}, {"AnsvTm", 1}, {"TipResult", 2}}) {
            auto *combo = Ctl<QComboBox>(editor, name);
            combo->setCurrentIndex(index);
            Q_EMIT combo->activated(index);
        }
        Ctl<QSpinBox>(editor, "PO2")->setValue(10);
        Ctl<QSpinBox>(editor, "NotKnowPlus")->setValue(7);
        Ctl<QSpinBox>(editor, "Language")->setValue(1);
        const auto chooseFont = [&dialogs](const QFont &font) {
            dialogs.ActInNextDialog([font](QDialog *d) {
                static_cast<QFontDialog *>(d)->setCurrentFont(font);
                d->accept();
            });
        };
        QFont serif(QStringLiteral("DejaVu Serif"), 14);
        serif.setBold(true);
        chooseFont(serif);
        QTest::mouseClick(Ctl<QToolButton>(editor, "FontQuestion.Font"), Qt::LeftButton);
        QFont sans(QStringLiteral("DejaVu Sans"), 20);
        sans.setBold(true);
        sans.setItalic(true);
        chooseFont(sans);
        QTest::mouseClick(Ctl<QToolButton>(editor, "FontCEdit.Font"), Qt::LeftButton);
        dialogs.ActInNextDialog([](QDialog *d) {
            static_cast<QColorDialog *>(d)->setCurrentColor(QColor(0x12, 0x34, 0x56));
            d->accept();
        });
        QTest::mouseClick(Ctl<QToolButton>(editor, "FontCEdit.Colour"), Qt::LeftButton);
        // The fonts said in words; every field says what it does before its key.
        QCOMPARE(Ctl<QLineEdit>(editor, "FontCEdit")->text(),
                 QStringLiteral("DejaVu Sans, 20, полужирный, курсив"));
        QCOMPARE(Ctl<QLineEdit>(editor, "FontAnswer")->text(), QStringLiteral("DejaVu Sans, 11"));
        for (const QWidget *w : editor.findChildren<QWidget *>())
            if (qobject_cast<const QCheckBox *>(w) || qobject_cast<const QLineEdit *>(w) ||
                qobject_cast<const QAbstractSpinBox *>(w) || qobject_cast<const QComboBox *>(w))
                QVERIFY2(w->toolTip().isEmpty() || w->toolTip().section(u'\n', 0, 0).contains(u' '),
                         qPrintable(w->toolTip()));

        const SetupReading reading = ReadSetup(editor.Document().Lines(), ExamSettings());
        const ExamSettings &after = reading.Settings;
        QCOMPARE(after.CEdit, before.CEdit + QStringLiteral(" 2"));
        QCOMPARE(after.PathDbNet, QStringLiteral("\\\\srv\\j"));
        QCOMPARE(after.IP3, QStringLiteral("10.0.0.3"));
        QCOMPARE(after.HelpExam, QStringLiteral("Раз\r\nДва")); // written "&<hr>"
        QCOMPARE(after.TipOc, 1);
        QCOMPARE(int(after.AnsvTm), 1);
        QCOMPARE(after.TipResult, 2);
        QCOMPARE(int(after.PO2), 10);
        QCOMPARE(after.NotKnowPlus, 7);
        QCOMPARE(after.Language, 1);
        QVERIFY(!after.RNotKnow1 && after.RNotKnow2 && !after.RNotKnow3);
        QCOMPARE(FontToStr(after.FontQuestion),
                 QStringLiteral("DejaVu Serif,1,204,-2147483640,0,14"));
        QVERIFY(reading.TitleFonts[1]);
        QCOMPARE(FontToStr(*reading.TitleFonts[1]),
                 QStringLiteral("DejaVu Sans,3,204,5649426,0,20"));
        for (const auto &[was, is] : {std::pair{before.AnRand, after.AnRand},
                                      {before.GrStretch, after.GrStretch},
                                      {before.YTime, after.YTime},
                                      {before.SaveJuornal, after.SaveJuornal},
                                      {before.Spisok, after.Spisok},
                                      {before.YesPassword, after.YesPassword},
                                      {before.DbNet, after.DbNet},
                                      {before.DbNet_1, after.DbNet_1},
                                      {before.InfIP2, after.InfIP2},
                                      {before.InfIP3, after.InfIP3},
                                      {before.UniLang, after.UniLang},
                                      {before.VisiTackBar, after.VisiTackBar},
                                      {before.YesReport, after.YesReport}})
            QCOMPARE(is, !was);
        QVERIFY(dialogs.Unexpected.isEmpty());
    }
};

QTEST_MAIN(TestEditor)
#include "test_editor.moc"
