// The editor's files: opening an exam or a bank, saving in the three forms, importing a bank,
// trying the exam in the player, and the question before changes are let go.

#include "EditorWindow.h"

#include "editor/widgets/EditorFields.h"

#include "core/Files.h"
#include "core/FolderAccess.h"
#include "core/FolderThread.h"
#include "core/Shares.h"
#include "ui/Dialogs.h"

#include "core/Commands.h"
#include "core/Errors.h"
#include "core/Paths.h"
#include "editor/Import.h"

#include <QAction>
#include <QCloseEvent>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QUndoStack>

namespace {

// The pictures of a bank's questions go with the exam.
void CarryPictures(ExamDocument &doc, const QList<BankQuestion> &questions)
{
    for (const BankQuestion &q : questions) {
        if (q.Picture)
            doc.SetPicture(q.Picture->Name, q.Picture->Bytes);
        for (const BankPicture &p : q.AnswerPictures)
            doc.SetPicture(p.Name, p.Bytes);
    }
}

} // namespace

bool TFmEditor::OpenFile(const QString &fileName)
{
    if (!LocalName(this, m_, fileName))
        return false;
    try {
        const QString ext = QFileInfo(fileName).suffix().toLower();
        if (ext == QStringLiteral("fzk") || ext == QStringLiteral("uzk")) {
            ExamDocument read = ExamDocument::Load(fileName);
            // Nothing the player could run is opened for editing (and saving over).
            TLineList setup;
            if (!GetSection(read.Lines(), setup, QStringLiteral("Setup"))) {
                Dialogs().Message(this, MessageKind::Error, m_[Msg::U_ERROR],
                                  FormatMessage(m_[Msg::E_NOSETUP], {fileName}));
                return false;
            }
            doc_ = std::move(read);
            onDisk_ = StampOf(fileName);
            scrambled_->setChecked(doc_.Kind() == ExamDocument::Form::Scrambled);
            undo_->clear();
            current_ = 0;
            Show();
            Remember(fileName);
            return true;
        }
    } catch (const TarvikError &e) {
        Dialogs().Message(this, MessageKind::Error, m_[Msg::U_ERROR],
                          FormatMessage(m_[Msg::E_NOTOPENED], {e.Message()}));
        return false;
    }
    // Any other file is a question bank: a new exam of its questions.
    const std::optional<BankImport> bank = ReadBankFile(fileName);
    if (!bank)
        return false;
    TLineList text;
    text.SetText(ExamTextOf(bank->Questions, QFileInfo(fileName).completeBaseName(), m_));
    doc_ = ExamDocument();
    doc_.Restore(text.Lines());
    CarryPictures(doc_, bank->Questions);
    undo_->clear();
    current_ = 0;
    Show();
    setWindowModified(true);
    return true;
}

std::optional<BankImport> TFmEditor::ReadBankFile(const QString &fileName)
{
    const std::optional<QByteArray> bytes = ReadWhole(fileName);
    if (!bytes) {
        Dialogs().Message(this, MessageKind::Error, m_[Msg::U_ERROR],
                          FormatMessage(m_[Msg::E_NOTOPENED], {fileName}));
        return std::nullopt;
    }
    BankImport bank = ReadBank(*bytes, GuessBankFormat(*bytes));
    // What was left out, with its number in the bank.
    QStringList leftOut;
    for (const BankProblem &p : bank.Problems)
        leftOut.append(BankProblemText(p, m_));
    if (bank.Questions.isEmpty()) {
        Dialogs().Message(this, MessageKind::Error, m_[Msg::U_ERROR],
                          FormatMessage(m_[Msg::E_NOQUESTIONS], {fileName}) + u'\n' +
                              leftOut.join(u'\n'));
        return std::nullopt;
    }
    if (!leftOut.isEmpty())
        Dialogs().Message(this, MessageKind::Warning, QString(m_[Msg::E_IMPORT]).remove(u'&'),
                          leftOut.join(u'\n'));
    return bank;
}

TFmEditor::DiskStamp TFmEditor::StampOf(const QString &fileName)
{
    const QFileInfo info(fileName);
    return info.exists() ? DiskStamp{info.lastModified(), info.size()} : DiskStamp{};
}

bool TFmEditor::SaveTo(const QString &fileName)
{
    if (!LocalName(this, m_, fileName))
        return false;
    const bool uniform = fileName.endsWith(QStringLiteral(".uzk"), Qt::CaseInsensitive);
    const ExamDocument::Form form = uniform                   ? ExamDocument::Form::Uniform
                                    : scrambled_->isChecked() ? ExamDocument::Form::Scrambled
                                                              : ExamDocument::Form::Plain;
    if (QFileInfo(fileName) == QFileInfo(doc_.FileName()) && QFileInfo::exists(fileName) &&
        !(StampOf(fileName) == onDisk_) &&
        !Dialogs().Message(this, MessageKind::QuestionDefaultNo, m_[Msg::E_TITLE],
                           FormatMessage(m_[Msg::E_CHANGEDONDISK], {fileName})))
        return false;
    // The problems are listed first; the examiner saves all the same, as the file is theirs.
    Problems();
    const QByteArray bytes = doc_.Bytes(form);
    bool saved = WriteBytes(fileName, bytes);
    // A question file takes its pictures beside it, where the player looks for their bare names.
    if (saved && !uniform)
        for (auto it = doc_.Pictures().cbegin(); it != doc_.Pictures().cend(); ++it) {
            const QString beside = JoinPath(QFileInfo(fileName).path(), BareFileName(it.key()));
            if (!QFileInfo::exists(beside))
                saved = WriteBytes(beside, it.value()) && saved;
        }
    if (!saved) {
        Dialogs().Message(this, MessageKind::Error, m_[Msg::U_ERROR], m_[Msg::E_NOTSAVED]);
        return false;
    }
    doc_.Saved(fileName, form);
    onDisk_ = StampOf(fileName);
    ShowTitle();
    Remember(fileName);
    undo_->setClean();
    setWindowModified(false);
    return true;
}

void TFmEditor::Import()
{
    const QString file = Dialogs().OpenFileName(this, m_[Msg::E_BANKFILTER]);
    if (file.isEmpty())
        return;
    std::optional<BankImport> bank = ReadBankFile(file);
    if (!bank)
        return;
    // A second bank's "q1-f.bmp" must not take the place of the first one's.
    GiveFreeNames(bank->Questions, doc_.NamedPictures() + doc_.Pictures().keys());
    // The bank's questions after those of the exam, as an exam of them writes them.
    TLineList imported;
    imported.SetText(ExamTextOf(bank->Questions, QString()));
    ExamDocument part;
    part.Restore(imported.Lines());
    Edit([this, &bank, &part] {
        QList<QStringList> questions = doc_.Questions();
        questions += part.Questions();
        CarryPictures(doc_, bank->Questions);
        doc_.SetQuestions(questions);
    });
    Show();
}

void TFmEditor::TryExam()
{
    // A copy of the exam as it stands, taken in the player without journals (the switch after
    // the file's name, as the player reads its command line).
    static QTemporaryDir tries;
    const QString copy = tries.filePath(QStringLiteral("try.uzk"));
    if (!WriteBytes(copy, doc_.Bytes(ExamDocument::Form::Uniform)))
        return;
    QString player = JoinPath(ExecutableDir(), QStringLiteral("tarvik"));
    if (!QFileInfo(player).isExecutable())
        player = JoinPath(ExecutableDir(), QStringLiteral("../app/tarvik"));
    if (!QFileInfo(player).isExecutable())
        player = Commands().Find(QStringLiteral("tarvik"));
    if (player.isEmpty() || !Commands().Start(player, {copy, QStringLiteral("/d")}))
        Dialogs().Message(this, MessageKind::Error, m_[Msg::U_ERROR], m_[Msg::E_NOPLAYER]);
}

bool TFmEditor::AskToSave()
{
    if (undo_->isClean() && !isWindowModified())
        return true;
    switch (AskUnsaved(this, m_[Msg::E_TITLE], m_[Msg::E_SAVECHANGES])) {
    case UnsavedChoice::Cancel:
        return false;
    case UnsavedChoice::Discard:
        return true;
    case UnsavedChoice::Save:
        break;
    }
    if (doc_.FileName().isEmpty()) {
        const QString name = Dialogs().SaveFileName(this, m_[Msg::E_FILTER], QStringLiteral("fzk"));
        return !name.isEmpty() && SaveTo(name);
    }
    return SaveTo(doc_.FileName());
}

void TFmEditor::closeEvent(QCloseEvent *event)
{
    if (AskToSave())
        event->accept();
    else
        event->ignore();
}
