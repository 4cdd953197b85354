#include "EditorWindow.h"

#include "editor/widgets/ListWindow.h"

#include "editor/widgets/EditorFields.h"

#include "core/Codecs.h"
#include "core/Commands.h"
#include "core/Errors.h"
#include "core/Files.h"
#include "core/FolderAccess.h"
#include "core/FolderThread.h"
#include "core/Paths.h"
#include "core/Shares.h"
#include "editor/Import.h"
#include "exam/Pictures.h"
#include "ui/Dialogs.h"

#include <QApplication>
#include <QBoxLayout>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDockWidget>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSaveFile>
#include <QScrollArea>
#include <QSettings>
#include <QSpinBox>
#include <QSplitter>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QUndoStack>

TFmEditor::TFmEditor(const TMessages &messages, QWidget *parent)
    : QMainWindow(parent), m_(messages), undo_(new QUndoStack(this))
{
    setObjectName(QStringLiteral("FmEditor"));
    auto *split = new QSplitter(this);
    auto *left = new QWidget;
    auto *col = new QVBoxLayout(left);
    col->addWidget(new QLabel(m_[Msg::E_QUESTIONS]));
    questions_ = Field(new QListWidget, "Questions", m_[Msg::E_QUESTIONS]);
    // A long question is cut short with "…", the list never scrolls across.
    questions_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    questions_->setUniformItemSizes(true);
    // A question dragged to another place moves there, as Ctrl+Up and Ctrl+Down move it.
    questions_->setDragDropMode(QAbstractItemView::InternalMove);
    connect(questions_->model(), &QAbstractItemModel::rowsMoved, this,
            [this](const QModelIndex &, int from, int, const QModelIndex &, int before) {
                if (filling_)
                    return;
                const int to = before > from ? before - 1 : before;
                // The list is rebuilt once the drop is over.
                QTimer::singleShot(0, this, [this, from, to] {
                    current_ = from;
                    MoveQuestion(to - from);
                });
            });
    col->addWidget(questions_, 1);
    auto *buttons = new QGridLayout;
    const auto button = [&](Msg text, const char *name, const QKeySequence &key, int row, int c,
                            std::function<void()> act) {
        auto *b = Field(new QPushButton(m_[text]), name, m_[text]);
        b->setShortcut(key);
        b->setToolTip(key.toString(QKeySequence::NativeText));
        connect(b, &QPushButton::clicked, this, act);
        buttons->addWidget(b, row, c);
    };
    button(Msg::E_ADD, "Add", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_N), 0, 0,
           [this] { NewQuestion(false); });
    button(Msg::E_DUPLICATE, "Duplicate", QKeySequence(Qt::CTRL | Qt::Key_D), 0, 1,
           [this] { NewQuestion(true); });
    button(Msg::E_DELETE, "Delete", QKeySequence(Qt::CTRL | Qt::Key_Delete), 1, 0,
           [this] { DeleteQuestion(); });
    button(Msg::E_UP, "Up", QKeySequence(Qt::CTRL | Qt::Key_Up), 2, 0,
           [this] { MoveQuestion(-1); });
    button(Msg::E_DOWN, "Down", QKeySequence(Qt::CTRL | Qt::Key_Down), 2, 1,
           [this] { MoveQuestion(1); });
    col->addLayout(buttons);
    split->addWidget(left);
    auto *tabs = new QTabWidget;
    tabs->addTab(BuildQuestionPage(), m_[Msg::E_QUESTIONPAGE]);
    tabs->addTab(BuildExamPage(), m_[Msg::E_EXAMPAGE]);
    split->addWidget(tabs);
    split->setStretchFactor(1, 3);
    split->setSizes({320, 680});
    setCentralWidget(split);
    auto *dock = new QDockWidget(m_[Msg::E_PROBLEMS], this);
    dock->setObjectName(QStringLiteral("ProblemsDock"));
    problems_ = Field(new QListWidget, "Problems", m_[Msg::E_PROBLEMS]);
    dock->setWidget(problems_);
    addDockWidget(Qt::BottomDockWidgetArea, dock);
    resizeDocks({dock}, {110}, Qt::Vertical);
    connect(problems_, &QListWidget::itemActivated, this, [this](QListWidgetItem *item) {
        if (item->data(Qt::UserRole).toInt() >= 0)
            SelectQuestion(item->data(Qt::UserRole).toInt());
    });
    connect(questions_, &QListWidget::currentRowChanged, this, [this](int row) {
        if (filling_)
            return;
        current_ = row;
        ShowQuestion();
    });
    connect(undo_, &QUndoStack::cleanChanged, this,
            [this](bool clean) { setWindowModified(!clean); });
    BuildMenus();
    resize(1000, 720);
    NewExam();
}

void TFmEditor::NewExam()
{
    // One question of two text answers, none of them right yet.
    BankQuestion blank;
    blank.Answers = {QString(), QString()};
    blank.Correct = -1;
    TLineList text;
    text.SetText(ExamTextOf({blank}, QString(), m_));
    doc_ = ExamDocument();
    doc_.Restore(text.Lines());
    undo_->clear();
    setWindowModified(false);
    current_ = 0;
    Show();
}

void TFmEditor::BuildMenus()
{
    QMenu *file = menuBar()->addMenu(m_[Msg::E_FILE]);
    file->addAction(m_[Msg::E_NEW], QKeySequence::New, this, [this] {
        if (AskToSave())
            NewExam();
    });
    file->addAction(m_[Msg::E_OPEN], QKeySequence::Open, this, [this] {
        if (!AskToSave())
            return;
        const QString name = Dialogs().OpenFileName(this, m_[Msg::E_OPENFILTER]);
        if (!name.isEmpty())
            OpenFile(name);
    });
    file->addAction(m_[Msg::E_SAVE], QKeySequence::Save, this, [this] {
        if (!doc_.FileName().isEmpty())
            SaveTo(doc_.FileName());
        else if (const QString name =
                     Dialogs().SaveFileName(this, m_[Msg::E_FILTER], QStringLiteral("fzk"));
                 !name.isEmpty())
            SaveTo(name);
    });
    file->addAction(m_[Msg::E_SAVEAS], QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S), this,
                    [this] {
                        const QString name =
                            Dialogs().SaveFileName(this, m_[Msg::E_FILTER], QStringLiteral("fzk"));
                        if (!name.isEmpty())
                            SaveTo(name);
                    });
    scrambled_ = file->addAction(m_[Msg::E_SCRAMBLED]);
    scrambled_->setCheckable(true);
    file->addSeparator();
    file->addAction(m_[Msg::E_IMPORT], QKeySequence(Qt::CTRL | Qt::Key_I), this,
                    [this] { Import(); });
    file->addAction(m_[Msg::E_CHECK], QKeySequence(Qt::Key_F5), this, [this] { TryExam(); });
    QMenu *recent = file->addMenu(m_[Msg::E_RECENT]);
    connect(recent, &QMenu::aboutToShow, this, [this, recent] {
        recent->clear();
        for (const QString &name : RecentFiles())
            recent->addAction(name, this, [this, name] {
                if (AskToSave())
                    OpenFile(name);
            });
    });
    file->addSeparator();
    // The manager file and the roster, each in a window of its own.
    const auto list = [this](ListDocument::Kind kind, Msg filter) {
        const QString name = Dialogs().OpenFileName(this, m_[filter]);
        if (name.isEmpty())
            return;
        auto *window = new TFmListEditor(kind, m_, this);
        window->setAttribute(Qt::WA_DeleteOnClose);
        if (window->OpenFile(name))
            window->show();
        else
            window->deleteLater();
    };
    file->addAction(m_[Msg::E_MANAGERFILE], this,
                    [list] { list(ListDocument::Kind::Manager, Msg::E_MANAGERFILTER); });
    file->addAction(m_[Msg::E_ROSTERFILE], this,
                    [list] { list(ListDocument::Kind::Roster, Msg::E_ROSTERFILTER); });
    file->addSeparator();
    file->addAction(m_[Msg::E_QUIT], QKeySequence(Qt::CTRL | Qt::Key_Q), this, [this] { close(); });
    QMenu *edit = menuBar()->addMenu(m_[Msg::E_EDITMENU]);
    QAction *undo = undo_->createUndoAction(this, m_[Msg::E_UNDO]);
    undo->setShortcut(QKeySequence::Undo);
    QAction *redo = undo_->createRedoAction(this, m_[Msg::E_REDO]);
    redo->setShortcuts(RedoKeys());
    edit->addAction(undo);
    edit->addAction(redo);
}

QWidget *TFmEditor::BuildQuestionPage()
{
    auto *page = new QWidget;
    auto *form = new QFormLayout(page);
    kind_ = Field(new QComboBox, "Kind", m_[Msg::E_KIND], QStringLiteral("Form"), m_[Msg::H_KIND]);
    kind_->addItems(m_[Msg::E_KINDS].split(u'|'));
    form->addRow(m_[Msg::E_KIND], kind_);
    text_ = Field(new QPlainTextEdit, "QuestionText", m_[Msg::E_TEXT], QStringLiteral("Vopros"),
                  m_[Msg::H_TEXT]);
    text_->setTabChangesFocus(true);
    form->addRow(m_[Msg::E_TEXT], text_);
    auto *grid = new QGridLayout;
    auto *right = rightGroup_ = new QButtonGroup(this);
    const auto choose = [this](QLineEdit *field) {
        const QString name = ChoosePicture();
        if (name.isEmpty())
            return;
        field->setText(name);
        CommitQuestion(field);
        Preview(name);
    };
    for (int k = 0; k < 5; ++k) {
        AnswerRow &r = answers_[size_t(k)];
        const QString answer = FormatMessage(m_[Msg::E_ANSWER], {k + 1});
        r.Right = Field(new QRadioButton(QString::number(k + 1)),
                        QStringLiteral("Right%1").arg(k + 1).toLatin1().constData(),
                        FormatMessage(m_[Msg::E_RIGHT], {k + 1}), QStringLiteral("CorNo"),
                        m_[Msg::H_RIGHT]);
        right->addButton(r.Right, k);
        r.Text = Field(new QLineEdit, QStringLiteral("Answer%1").arg(k + 1).toLatin1().constData(),
                       answer, QStringLiteral("S%1").arg(k + 1),
                       FormatMessage(m_[Msg::H_ANSWER], {k + 1}));
        r.Picture =
            Field(new QLineEdit, QStringLiteral("Picture%1").arg(k + 1).toLatin1().constData(),
                  answer + u' ' + m_[Msg::E_PICTURE], QStringLiteral("P%1").arg(k + 1),
                  FormatMessage(m_[Msg::H_APICTURE], {k + 1}));
        r.Choose =
            Field(new QToolButton, QStringLiteral("Choose%1").arg(k + 1).toLatin1().constData(),
                  answer + u' ' + m_[Msg::E_PICTURE]);
        r.Choose->setText(m_[Msg::E_PICTURE]);
        grid->addWidget(r.Right, k, 0);
        grid->addWidget(r.Text, k, 1);
        grid->addWidget(r.Picture, k, 2);
        grid->addWidget(r.Choose, k, 3);
        connect(r.Text, &QLineEdit::textEdited, this, [this, &r] { CommitQuestion(r.Text); });
        connect(r.Picture, &QLineEdit::textEdited, this, [this, &r] { CommitQuestion(r.Picture); });
        connect(r.Choose, &QToolButton::clicked, this, [choose, &r] { choose(r.Picture); });
    }
    connect(right, &QButtonGroup::idClicked, this, [this] { CommitQuestion(rightGroup_); });
    form->addRow(grid);
    auto *pictureRow = new QHBoxLayout;
    questionPicture_ = Field(new QLineEdit, "QuestionPicture", m_[Msg::E_QPICTURE],
                             QStringLiteral("P1"), m_[Msg::H_QPICTURE]);
    chooseQuestionPicture_ = Field(new QToolButton, "ChooseQuestionPicture", m_[Msg::E_QPICTURE]);
    chooseQuestionPicture_->setText(m_[Msg::E_PICTURE]);
    pictureRow->addWidget(questionPicture_, 1);
    pictureRow->addWidget(chooseQuestionPicture_);
    form->addRow(m_[Msg::E_QPICTURE], pictureRow);
    shuffle_ = Field(new QCheckBox(m_[Msg::E_SHUFFLE]), "Shuffle", m_[Msg::E_SHUFFLE],
                     QStringLiteral("AR"), m_[Msg::H_SHUFFLE]);
    form->addRow(shuffle_);
    time_ =
        Field(new QSpinBox, "AnswerTime", m_[Msg::E_TIME], QStringLiteral("AT"), m_[Msg::H_TIME]);
    time_->setRange(0, 3600);
    form->addRow(m_[Msg::E_TIME], time_);
    preview_ = Field(new QLabel, "Preview", m_[Msg::E_PICTURE]);
    preview_->setMinimumHeight(200);
    preview_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    form->addRow(preview_);
    connect(kind_, &QComboBox::activated, this, [this] { CommitQuestion(kind_); });
    connect(text_, &QPlainTextEdit::textChanged, this, [this] { CommitQuestion(text_); });
    connect(questionPicture_, &QLineEdit::textEdited, this,
            [this] { CommitQuestion(questionPicture_); });
    connect(chooseQuestionPicture_, &QToolButton::clicked, this,
            [this, choose] { choose(questionPicture_); });
    // The picture of the field in focus, or of the one last edited.
    const QList<QLineEdit *> pictures{answers_[0].Picture, answers_[1].Picture, answers_[2].Picture,
                                      answers_[3].Picture, questionPicture_};
    for (QLineEdit *field : pictures)
        connect(field, &QLineEdit::textEdited, this,
                [this](const QString &name) { Preview(name); });
    connect(qApp, &QApplication::focusChanged, this, [this, pictures](QWidget *, QWidget *now) {
        if (pictures.contains(now))
            Preview(static_cast<QLineEdit *>(now)->text());
    });
    connect(shuffle_, &QCheckBox::clicked, this, [this] { CommitQuestion(shuffle_); });
    connect(time_, &QSpinBox::valueChanged, this, [this] { CommitQuestion(time_); });
    return page;
}

void TFmEditor::Edit(const std::function<void()> &change, int merge)
{
    if (filling_)
        return;
    const QStringList before = doc_.Snapshot();
    change();
    const QStringList after = doc_.Snapshot();
    if (before == after)
        return;
    undo_->push(new Snapshot<QStringList>(before, after, merge, [this](const QStringList &lines) {
        doc_.Restore(lines);
        Show();
    }));
    Problems();
}

void TFmEditor::ShowTitle()
{
    // The file's name first, as editors show it; its mark while it has unsaved changes.
    const QString name = QFileInfo(doc_.FileName()).fileName();
    setWindowTitle(name.isEmpty() ? m_[Msg::E_TITLE] + QStringLiteral("[*]")
                                  : name + QStringLiteral("[*] - ") + m_[Msg::E_TITLE]);
}

void TFmEditor::Show()
{
    ShowTitle();
    filling_ = true;
    const QList<QStringList> questions = doc_.Questions();
    questions_->clear();
    for (qsizetype n = 0; n < questions.size(); ++n)
        questions_->addItem(QStringLiteral("%1. %2").arg(n + 1).arg(
            TextOf(KeyValue(questions[n], QStringLiteral("Vopros"))).simplified().left(60)));
    current_ = questions.isEmpty() ? -1 : qBound(0, current_, int(questions.size()) - 1);
    questions_->setCurrentRow(current_);
    FillSetup();
    filling_ = false;
    ShowQuestion();
    Problems();
}

void TFmEditor::ShowQuestion()
{
    filling_ = true;
    const QList<QStringList> questions = doc_.Questions();
    const QStringList q =
        current_ >= 0 && current_ < questions.size() ? questions[current_] : QStringList();
    const int form = KeyValue(q, QStringLiteral("Form")).toInt();
    const int kind = form == 2 ? 1 : form == 3 ? 2 : 0;
    kind_->setCurrentIndex(kind);
    if (TextOf(KeyValue(q, QStringLiteral("Vopros"))) != text_->toPlainText())
        text_->setPlainText(TextOf(KeyValue(q, QStringLiteral("Vopros"))));
    bool ok = false;
    int allW = KeyValue(q, QStringLiteral("AllW")).toInt(&ok);
    allW = ok ? allW : 2;
    const int corNo = KeyValue(q, QStringLiteral("CorNo")).toInt();
    // A checked button of an exclusive group cannot be cleared: none may be right yet.
    rightGroup_->setExclusive(false);
    for (int k = 0; k < 5; ++k) {
        AnswerRow &r = answers_[size_t(k)];
        const bool shown = kind == 0 || k < 4;
        r.Right->setVisible(shown);
        r.Text->setVisible(shown);
        r.Picture->setVisible(kind == 1 && k < 4);
        r.Choose->setVisible(kind == 1 && k < 4);
        r.Text->setText(k < allW ? TextOf(KeyValue(q, QStringLiteral("S%1").arg(k + 1)))
                                 : QString());
        r.Picture->setText(kind == 1 && k < allW ? KeyValue(q, QStringLiteral("P%1").arg(k + 1))
                                                 : QString());
        r.Right->setChecked(k + 1 == corNo);
    }
    rightGroup_->setExclusive(true);
    questionPicture_->setText(kind == 2 ? KeyValue(q, QStringLiteral("P1")) : QString());
    questionPicture_->setEnabled(kind == 2);
    chooseQuestionPicture_->setEnabled(kind == 2);
    shuffle_->setChecked(KeyValue(q, QStringLiteral("AR")).toInt() != 0);
    time_->setValue(KeyValue(q, QStringLiteral("AT")).toInt());
    Preview(kind == 0 ? QString() : KeyValue(q, QStringLiteral("P1")));
    filling_ = false;
}

void TFmEditor::CommitQuestion(const QObject *field)
{
    if (filling_ || current_ < 0)
        return;
    // One undo step is one field's edit: its keystrokes merge, another field's do not.
    const int merge = 0x10000 + (current_ << 12) + int(qHash(field->objectName()) & 0xFFF);
    const bool timed = SetupNumber(QStringLiteral("YTime"), 0) & 0xFF;
    Edit(
        [this, timed] {
            QList<QStringList> questions = doc_.Questions();
            if (current_ >= questions.size())
                return;
            QStringList &q = questions[current_];
            const int kind = kind_->currentIndex();
            const int places = kind == 0 ? 5 : 4;
            SetKey(q, QStringLiteral("Form"), QString::number(kind + 1));
            SetKey(q, QStringLiteral("Vopros"), FoldLineBreaks(text_->toPlainText()));
            // The answers in order up to the last one written.
            int count = 0, right = 0;
            for (int k = 0; k < places; ++k) {
                const AnswerRow &r = answers_[size_t(k)];
                if (!r.Text->text().isEmpty() || (kind == 1 && !r.Picture->text().isEmpty()))
                    count = k + 1;
                if (r.Right->isChecked())
                    right = k + 1;
            }
            SetKey(q, QStringLiteral("AllW"), QString::number(qMax(count, 1)));
            SetKey(q, QStringLiteral("CorNo"), QString::number(right));
            for (int k = 0; k < 5; ++k) {
                const QString s = QStringLiteral("S%1").arg(k + 1);
                const QString b = QStringLiteral("B%1").arg(k + 1);
                if (k < count) {
                    SetKey(q, b, QStringLiteral("1"));
                    SetKey(q, s, FoldLineBreaks(answers_[size_t(k)].Text->text()));
                } else {
                    RemoveKey(q, b);
                    RemoveKey(q, s);
                }
            }
            for (int k = 0; k < 4; ++k) {
                const QString p = QStringLiteral("P%1").arg(k + 1);
                const QString value = kind == 1 && k < count
                                          ? answers_[size_t(k)].Picture->text().trimmed()
                                      : kind == 2 && k == 0 ? questionPicture_->text().trimmed()
                                                            : QString();
                if (value.isEmpty())
                    RemoveKey(q, p);
                else
                    SetKey(q, p, value);
            }
            SetKey(q, QStringLiteral("AR"),
                   shuffle_->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
            SetKey(q, QStringLiteral("AT"), QString::number(time_->value()));
            doc_.SetQuestions(questions);
            // A time limit means the exam's answer time is on: the player times nothing else.
            if (!timed && time_->value() > 2)
                doc_.SetValue(QStringLiteral("Setup"), QStringLiteral("YTime"),
                              QStringLiteral("1"));
        },
        merge);
    if (!timed && time_->value() > 2)
        FillSetup(); // the exam's switch shows it
    // The list shows the question's new text.
    if (QListWidgetItem *item = questions_->item(current_))
        item->setText(QStringLiteral("%1. %2")
                          .arg(current_ + 1)
                          .arg(text_->toPlainText().simplified().left(60)));
    // The page follows the kind: which answers and pictures it offers.
    filling_ = true;
    const int kind = kind_->currentIndex();
    for (int k = 0; k < 5; ++k) {
        AnswerRow &r = answers_[size_t(k)];
        r.Right->setVisible(kind == 0 || k < 4);
        r.Text->setVisible(kind == 0 || k < 4);
        r.Picture->setVisible(kind == 1 && k < 4);
        r.Choose->setVisible(kind == 1 && k < 4);
    }
    questionPicture_->setEnabled(kind == 2);
    chooseQuestionPicture_->setEnabled(kind == 2);
    filling_ = false;
}

QString TFmEditor::ChoosePicture()
{
    const QString file =
        Dialogs().OpenFileName(this, QStringLiteral("JPEG, GIF, BMP|*.jpg;*.jpeg;*.gif;*.bmp"));
    if (file.isEmpty())
        return QString();
    // The picture goes with the exam: packed into a uniform file, or beside a question file.
    const std::optional<QByteArray> bytes = ReadWhole(file);
    if (!bytes) {
        Dialogs().Message(this, MessageKind::Error, m_[Msg::U_ERROR],
                          FormatMessage(m_[Msg::E_NOTOPENED], {file}));
        return QString();
    }
    doc_.SetPicture(BareFileName(file), *bytes);
    return BareFileName(file);
}

void TFmEditor::Preview(const QString &name)
{
    const QString bare = BareFileName(name.trimmed());
    const QImage image =
        bare.isEmpty() ? QImage() : DecodePicture(doc_.PictureBytes(bare), bare, QSize(320, 200));
    if (image.isNull()) {
        preview_->setPixmap(QPixmap());
        preview_->setText(
            bare.isEmpty()
                ? QString()
                : FormatMessage(m_[Msg::E_BADPICTURE],
                                {FormatMessage(m_[Msg::E_QUESTIONPLACE], {current_ + 1}), bare}));
    } else
        preview_->setPixmap(QPixmap::fromImage(image));
    preview_->setAccessibleDescription(bare);
}

void TFmEditor::SelectQuestion(int n)
{
    current_ = n;
    filling_ = true;
    questions_->setCurrentRow(n);
    filling_ = false;
    ShowQuestion();
}

void TFmEditor::NewQuestion(bool duplicate)
{
    Edit([this, duplicate] {
        QList<QStringList> questions = doc_.Questions();
        const int at = current_ < 0 ? int(questions.size()) : current_ + 1;
        questions.insert(at, duplicate && current_ >= 0
                                 ? questions[current_]
                                 : QStringList{QStringLiteral("Form=1"), QStringLiteral("AllW=2"),
                                               QStringLiteral("CorNo=0")});
        doc_.SetQuestions(questions);
        current_ = at;
    });
    Show();
}

void TFmEditor::DeleteQuestion()
{
    QList<QStringList> questions = doc_.Questions();
    if (current_ < 0 || questions.size() <= 1)
        return; // an exam keeps one question at least
    Edit([this, &questions] {
        questions.removeAt(current_);
        doc_.SetQuestions(questions);
    });
    Show();
}

void TFmEditor::MoveQuestion(int by)
{
    QList<QStringList> questions = doc_.Questions();
    const int to = current_ + by;
    if (current_ < 0 || to < 0 || to >= questions.size())
        return;
    Edit([this, &questions, to] {
        questions.move(current_, to);
        doc_.SetQuestions(questions);
        current_ = to;
    });
    Show();
}

void TFmEditor::Problems()
{
    problems_->clear();
    for (const ExamProblem &p : ExamProblems(doc_, m_)) {
        auto *item = new QListWidgetItem(p.Text, problems_);
        item->setData(Qt::UserRole, p.Question);
    }
}

QStringList TFmEditor::RecentFiles()
{
    return QSettings(QStringLiteral("tarvik"), QStringLiteral("editor"))
        .value(QStringLiteral("recent"))
        .toStringList();
}

void TFmEditor::Remember(const QString &fileName)
{
    QStringList recent = RecentFiles();
    const QString full = QFileInfo(fileName).absoluteFilePath();
    recent.removeAll(full);
    recent.prepend(full);
    QSettings(QStringLiteral("tarvik"), QStringLiteral("editor"))
        .setValue(QStringLiteral("recent"), recent.mid(0, 8));
}
