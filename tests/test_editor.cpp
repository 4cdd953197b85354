#include "core/LineList.h"
#include "editor/widgets/EditorWindow.h"
#include "exam/Questions.h"
#include "exam/Settings.h"
#include "helpers/PlayerDriver.h"
#include "helpers/ScriptedDialogs.h"
#include "helpers/TestFiles.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QUndoStack>
#include <QtTest>

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
    }

    // Every field of the settings page writes its key, as the player's own reader reads it.
    void settingsPageWritesItsKeys()
    {
        ScriptedDialogs dialogs;
        TFmEditor editor{TMessages()};
        QVERIFY(editor.OpenFile(DemoFile("demo.fzk")));
        const ExamSettings before = ReadSetup(editor.Document().Lines(), ExamSettings()).Settings;
        for (QCheckBox *box : editor.findChildren<QCheckBox *>())
            if (!box->toolTip().isEmpty() && box->objectName() != QStringLiteral("Shuffle"))
                QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(4, box->height() / 2));
        QTest::keyClicks(Ctl<QLineEdit>(editor, "CEdit"), QStringLiteral(" 2"));
        QTest::keyClicks(Ctl<QLineEdit>(editor, "PathDbNet"), QStringLiteral("\\\\srv\\j"));
        Ctl<QPlainTextEdit>(editor, "HelpExam")->setPlainText(QStringLiteral("Раз\nДва"));
        auto *tip = Ctl<QComboBox>(editor, "TipOc");
        tip->setCurrentIndex(1);
        Q_EMIT tip->activated(1);
        Ctl<QSpinBox>(editor, "PO2")->setValue(10);
        const ExamSettings after = ReadSetup(editor.Document().Lines(), ExamSettings()).Settings;
        QCOMPARE(after.CEdit, before.CEdit + QStringLiteral(" 2"));
        QCOMPARE(after.PathDbNet, QStringLiteral("\\\\srv\\j"));
        QCOMPARE(after.HelpExam, QStringLiteral("Раз\r\nДва")); // written "&<hr>"
        QCOMPARE(after.TipOc, 1);
        QCOMPARE(int(after.PO2), 10);
        for (const auto &[was, is] : {std::pair{before.AnRand, after.AnRand},
                                      {before.YTime, after.YTime},
                                      {before.BolNotKnow, after.BolNotKnow},
                                      {before.SaveJuornal, after.SaveJuornal},
                                      {before.Spisok, after.Spisok},
                                      {before.YesPassword, after.YesPassword},
                                      {before.DbNet, after.DbNet},
                                      {before.DbNet_1, after.DbNet_1},
                                      {before.VisiTackBar, after.VisiTackBar},
                                      {before.YesReport, after.YesReport}})
            QCOMPARE(is, !was);
    }
};

QTEST_MAIN(TestEditor)
#include "test_editor.moc"
