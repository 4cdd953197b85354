#pragma once

#include "core/Codecs.h"
#include "editor/ExamDocument.h"
#include "editor/Import.h"
#include "lang/Messages.h"

#include <QDateTime>
#include <QMainWindow>
#include <array>
#include <functional>
#include <optional>

class QAction;
class QButtonGroup;
class QCheckBox;
class QLabel;
class QComboBox;
class QLineEdit;
class QPushButton;
class QListWidget;
class QPlainTextEdit;
class QRadioButton;
class QSpinBox;
class QToolButton;
class QUndoStack;

// The examiner's editor: an exam's questions as a list and one question's page, the exam's
// settings on pages of their own, the problems that would keep it from playing as meant, import of
// question banks, a try of the exam in the player, and saving in the three forms. Every edit
// can be undone.
class TFmEditor : public QMainWindow
{
    Q_OBJECT

public:
    explicit TFmEditor(const TMessages &messages, QWidget *parent = nullptr);
    // Opens an exam, or imports a question bank into a new exam; false (said in a box) when it
    // cannot be read.
    bool OpenFile(const QString &fileName);
    // Saves to FileName in its form (a .uzk uniform, a .fzk scrambled as the menu says); false
    // (said in a box) when it cannot be written.
    bool SaveTo(const QString &fileName);
    const ExamDocument &Document() const { return doc_; }
    QUndoStack *Undo() const { return undo_; }
    // The question on the page (from 0), or -1.
    int CurrentQuestion() const { return current_; }
    void SelectQuestion(int n);
    // The files opened and saved last, newest first (kept for the user, eight at most).
    static QStringList RecentFiles();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    struct AnswerRow
    {
        QRadioButton *Right;
        QLineEdit *Text;
        QLineEdit *Picture;
        QToolButton *Choose;
    };

    void BuildMenus();
    // A new exam: the settings a new exam starts with and one empty question.
    void NewExam();
    QWidget *BuildQuestionPage();
    QWidget *BuildExamPage();
    // An edit of the document, undoable; Merge joins it to the last edit of the same kind.
    void Edit(const std::function<void()> &change, int merge = -1);
    void Show();
    void ShowTitle();
    void ShowQuestion();
    // The question's page written back; Field is the one edited.
    void CommitQuestion(const QObject *field);
    // A picture chosen from the files (JPEG, GIF, BMP), kept with the exam; its bare name, or
    // empty when none was chosen.
    QString ChoosePicture();
    // The picture the question page shows below its fields: as the player would show it.
    void Preview(const QString &name);
    void MoveQuestion(int by);
    void NewQuestion(bool duplicate);
    void DeleteQuestion();
    void Import();
    // A question bank's questions; nothing (said in a box) when it cannot be read or holds no
    // question an exam can take. What was left out is listed in a box.
    std::optional<BankImport> ReadBankFile(const QString &fileName);
    void TryExam();
    bool AskToSave();
    void Problems();
    // Puts FileName first in the recent files.
    static void Remember(const QString &fileName);
    // "Проверить подключение": the journal share of the settings, connected and let go.
    void CheckShare(QPushButton *button);
    // The settings pages filled from the document.
    void FillSetup();
    // A number of [Setup] as the player reads it: Fallback when missing or malformed.
    int SetupNumber(const QString &key, int fallback) const;
    // The don't-know rule the player applies: 1 no bonus, 2 for each answer, 3 once.
    int DontKnowRule() const;
    // The section "Font" + Suffix, when the exam has it.
    std::optional<FontValue> SectionFont(const QString &suffix) const;
    // A font written to its [Setup] key as a descriptor, or to its section.
    void WriteFont(const QString &key, bool section, const FontValue &font);

    // When and how large the file was as this window last read or wrote it: a later change by
    // another program (another examiner) is asked about before it is replaced.
    struct DiskStamp
    {
        QDateTime Modified;
        qint64 Size = -1;
        bool operator==(const DiskStamp &o) const
        {
            return Modified == o.Modified && Size == o.Size;
        }
    };
    static DiskStamp StampOf(const QString &fileName);

    TMessages m_;
    ExamDocument doc_;
    DiskStamp onDisk_;
    QUndoStack *undo_;
    int current_ = -1;
    bool filling_ = false; // the page is being filled from the document, not edited
    QAction *scrambled_;
    QListWidget *questions_, *problems_;
    QComboBox *kind_;
    QPlainTextEdit *text_;
    std::array<AnswerRow, 5> answers_{};
    QButtonGroup *rightGroup_;
    QLineEdit *questionPicture_;
    QToolButton *chooseQuestionPicture_;
    QCheckBox *shuffle_;
    QSpinBox *time_;
    QLabel *preview_;
    QList<std::function<void()>> setupFill_; // one per field of the settings pages
};
