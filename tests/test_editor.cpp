#include "core/LineList.h"
#include "editor/widgets/EditorWindow.h"
#include "exam/Questions.h"
#include "helpers/PlayerDriver.h"
#include "helpers/ScriptedDialogs.h"
#include "helpers/TestFiles.h"

#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
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
        QVERIFY(dialogs.Messages.isEmpty());
    }
};

QTEST_MAIN(TestEditor)
#include "test_editor.moc"
