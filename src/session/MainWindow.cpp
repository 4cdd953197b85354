#include "MainWindow.h"

#include "core/FileTypes.h"

#include "core/DateFormat.h"
#include "core/Files.h"
#include "core/Paths.h"
#include "core/Scramble.h"
#include "core/Shares.h"
#include "core/Shell.h"
#include "core/widgets/RichText.h"
#include "exam/Pictures.h"
#include "records/JournalFolder.h"
#include "session/Registration.h"
#include "ui/Desktop.h"
#include "ui/Dialogs.h"
#include "ui/PasswordDlg.h"
#include "ui/Preview.h"

#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLayout>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSaveFile>
#include <QScopeGuard>
#include <QScreen>
#include <QScrollArea>
#include <QSplitter>
#include <QStackedWidget>
#include <QTextCursor>
#include <QTextEdit>
#include <QToolButton>
#include <QVariant>
#include <optional>

#include <cmath>

namespace {

const QString SetupMissingMessage = QStringLiteral("I can not read section of initialization.");

// Rounds halves to even, as the layout of the registration box is computed.
int RoundHalfEven(double v)
{
    return int(std::nearbyint(v));
}

QSize ScreenSize(const QWidget *w)
{
    const QScreen *screen = w->screen() ? w->screen() : QGuiApplication::primaryScreen();
    return screen ? screen->size() : QSize(788, 521);
}

void ShadeFocusedAnswer(QWidget *cell, bool focused)
{
    QPalette pal = cell->palette();
    pal.setColor(QPalette::Window,
                 focused ? QApplication::palette().color(QPalette::Highlight).lighter(170)
                         : QApplication::palette().color(QPalette::Window));
    cell->setPalette(pal);
    cell->setAutoFillBackground(focused);
}

// "3: Москва": what a screen reader says of the answer button at position 3.
QString AnswerAccessibleName(int position, const QString &text)
{
    return QStringLiteral("%1: %2").arg(position).arg(
        ExpandLineBreaks(ShownText(text, ShownLimit::Label)).simplified());
}

// A text of the exam in a label: laid out only as far as a label can show.
QString LabelText(const QString &value)
{
    return ExpandLineBreaks(ShownText(value, ShownLimit::Label));
}

void SetRichText(QTextEdit *memo, const QString &text)
{
    QString plain = ShownText(text, ShownLimit::TextBox);
    plain.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    plain.replace(u'\r', u'\n');
    memo->setPlainText(plain);
}

} // namespace

TFmZK::TFmZK(RunGlobals &globals, QWidget *parent)
    : QWidget(parent), globals_(globals), answerOrder_(std::make_unique<AnswerOrderTable>())
{
    for (auto &row : *answerOrder_)
        row.fill(0);
    // A fixed border with the system menu and the maximise button: the examinee cannot tuck
    // the exam away.
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint);
    BuildWindow();
    Link = new ServerLink(this);
    connect(Link, &ServerLink::lampChanged, this, [this](int slot, ServerLink::Lamp lamp) {
        ShapeIndicator *shape =
            std::array<ShapeIndicator *, 3>{Shape1, Shape2, Shape3}[size_t(slot)];
        shape->setVisible(lamp != ServerLink::Lamp::Hidden);
        shape->SetColor(lamp == ServerLink::Lamp::Connected ? QColor(0, 255, 0)
                                                            : QColor(255, 0, 0));
    });
    RxTimerEvent1 = Clock().NewTimer();
    RxTimerEvent1->SetInterval(1000);
    RxTimerEvent1->OnTimer = [this] { RxTimerEvent1Timer(); };
    RxTimerEvent2 = Clock().NewTimer();
    RxTimerEvent2->SetSingleShot(true);
    RxTimerEvent2->OnTimer = [this] { Guarded(this, [this] { RxTimerEvent2Timer(); }); };
    SetPasswordPrompt(&TPasswordDlg::Ask);
    SetShellHooks([this](bool visible) { ApplyTaskBar(visible); },
                  [this](bool visible) { ApplyAppButton(visible); });
}

TFmZK::~TFmZK()
{
    SetShellHooks(nullptr, nullptr);
}

int TFmZK::CurrentPage() const
{
    return Notebook1->currentIndex();
}

void TFmZK::ShowPage(int page)
{
    Notebook1->setCurrentIndex(page);
}

int TFmZK::PictureColumnWidth() const
{
    return int(std::lround(screenDpiX_ * 167.0 / 96.0));
}

// ---- Reading the exam -----------------------------------------------------------------------

TFmZK::ExamReading TFmZK::ReadExamFile()
{
    quietClose_ = false;
    programEnds_ = false;
    examLines_.Clear();
    examStreams_.reset();
    LoadedExam exam;
    if (prefetched_.valid()) {
        exam = prefetched_.get(); // raises what the reading raised
        if (exam.FileName != examFileName_)
            exam = LoadExamFile(examFileName_, fileKind_);
    } else {
        exam = LoadExamFile(examFileName_, fileKind_);
    }
    fileKind_ = exam.FileKind;
    examLines_ = std::move(exam.Lines);
    examStreams_ = std::move(exam.Streams);

    if (!ReadSetup(examLines_, settings_, *this)) {
        Dialogs().Message(this, MessageKind::Error, messages_[Msg::U_ERROR], SetupMissingMessage);
        return ExamReading::NoSetup;
    }
    if (programEnds_)
        return ExamReading::ProgramEnds;
    currentIndex_ = -1;
    questionOrder_ = BuildQuestionOrder(settings_.AllZ, settings_.AnRand);
    ButNew->setVisible(false);
    return ExamReading::Read;
}

bool TFmZK::SetupApplied(SetupStep step, const ExamSettings &s)
{
    switch (step) {
    case SetupStep::Language:
        LoadLanguage(s.Language, ExecutableDir() + QStringLiteral("Language.fll"));
        break;
    case SetupStep::TopEdit:
        LabTop->setText(LabelText(s.TopEdit));
        break;
    case SetupStep::CEdit:
        LabTema->setText(LabelText(s.CEdit));
        setWindowTitle(
            ShownText(ExpandLineBreaks(ShownText(s.CEdit, ShownLimit::Label)).simplified(),
                      ShownLimit::Title));
        break;
    case SetupStep::ButEdit:
        LabBut->setText(LabelText(s.ButEdit));
        break;
    case SetupStep::GrStretch:
        Image1->SetStretch(s.GrStretch);
        break;
    case SetupStep::Jobtitle:
        LabJob->setText(LabelText(s.Jobtitle));
        break;
    case SetupStep::Surname:
        LabName->setText(LabelText(s.Surname));
        break;
    case SetupStep::HelpExam:
        SetRichText(Memo15, s.HelpExam);
        break;
    case SetupStep::FontHelpExam:
        ApplyFont(Memo15, s.FontHelpExam);
        break;
    case SetupStep::FontQuestion:
        for (QWidget *w : {static_cast<QWidget *>(Memo3), static_cast<QWidget *>(Memo1),
                           static_cast<QWidget *>(Memo13)})
            ApplyFont(w, s.FontQuestion);
        break;
    case SetupStep::FontAnswer:
        for (const AnswerRow &r : Rows)
            ApplyFont(r.Memo, s.FontAnswer);
        for (const PictureRow &r : PictureRows)
            ApplyFont(r.Memo, s.FontAnswer);
        ApplyFont(RadioGroup2, s.FontAnswer);
        ApplyFont(RadioButNotKwon, s.FontAnswer);
        break;
    case SetupStep::FontRes:
        ApplyFont(Memo14, s.FontRes); // colour included
        break;
    case SetupStep::Registration:
        screenDpiX_ = screen() ? int(std::lround(screen()->logicalDotsPerInchX())) : 96;
        GroupBox1->setFixedHeight(
            RoundHalfEven(screenDpiX_ * (s.YesPassword ? 225.0 : 155.0) / 96.0));
        Label6->setVisible(s.YesPassword);
        MaskEdit1->setVisible(s.YesPassword);
        ButYesResult->setVisible(s.YesResult);
        LayoutRegistrationBox();
        break;
    case SetupStep::JournalFolder:
        if (!s.DbNet) {
            journalDir_ = programDir_;
        } else {
            const FolderResult r = SettleJournalDir(NetFolderOf(s), programDir_);
            if (r.Outcome == FolderOutcome::Unreachable) {
                programEnds_ = true; // nothing more is read
                return false;
            }
            journalDir_ = r.Dir;
            settings_.DbNet = r.Outcome == FolderOutcome::OnShare;
        }
        break;
    case SetupStep::Shell:
        Link->Configure(s);
        ShowTaskBar(!s.VisiTackBar);
        ShowAppButton(!s.TaskBar);
        break;
    case SetupStep::Clock:
        for (QLabel *l : {Label2, Label5, Label7})
            l->setVisible(s.AnsvTmBol);
        break;
    case SetupStep::FontTopStr:
    case SetupStep::FontCEdit:
    case SetupStep::FontButEdit:
    case SetupStep::FontJobEdit: {
        QList<QLabel *> labels;
        if (step == SetupStep::FontTopStr)
            labels = {LabTop};
        else if (step == SetupStep::FontCEdit)
            labels = {LabTema};
        else if (step == SetupStep::FontButEdit)
            labels = {LabBut};
        else
            labels = {LabName, LabJob};
        for (QLabel *l : labels) {
            if (s.TitleFont) {
                ApplyFont(l, *s.TitleFont);
            } else {
                l->setFont(font());
                l->setPalette(palette());
            }
        }
        break;
    }
    }
    return true;
}

void TFmZK::LoadLanguage(int number, const QString &fileName)
{
    TLineList source;
    if (settings_.UniLang) {
        source = examLines_;
    } else {
        const QString found = FindLanguageFile(
            fileName, ExecutableDir(), [](const QString &p) { return QFileInfo(p).isFile(); });
        if (!found.isEmpty())
            source.LoadFromFile(found);
        // Without a language file the built-in Russian texts apply: a table left empty would
        // give boxes without titles and a "Далее>>" button without a caption.
    }
    messages_ = ReadLanguageSection(source, number, settings_.TipResult);
    ApplyMessages();
}

void TFmZK::ApplyMessages()
{
    Label3->setText(messages_[Msg::U_LABGRUPPMEZK]);
    Label4->setText(messages_[Msg::U_LABFIOMEZK]);
    Label6->setText(messages_[Msg::U_LABPASSWORDZK]);
    StaticText1->setText(messages_[Msg::U_LABOPISANIEZK]);
    GroupBox1->setTitle(messages_[Msg::U_GRPGRUPPFIO]);
    ButYesResult->setText(messages_[Msg::U_REPORTBUTTON1]);
    RadioButNotKwon->setText(messages_[Msg::M_NOTKNOWW]);
    // The boxes are announced by their labels, their texts as their values.
    ComboBox1->setAccessibleName(Label3->text());
    ComboBox2->setAccessibleName(Label4->text());
    MaskEdit1->setAccessibleName(Label6->text());
    // Yes, No and Cancel of the boxes in the language of the texts.
    UseStandardTexts(messages_.Locale);
}

// ---- Showing the window ---------------------------------------------------------------------

void TFmZK::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    ApplySkipTaskbar(this);
    // Shown by the program: the exam is opened. Shown again by the window system, or by a desktop
    // effect that hides and shows the window, or while the exam is being opened: nothing.
    if (!event->spontaneous() && !windowEffect_ && !opening_)
        Guarded(this, [this] { FormShow(); });
    // A fixed border: the window keeps the size it was shown at.
    if (!windowEffect_ && isVisible() && !isFullScreen())
        setFixedSize(size());
}

void TFmZK::FormShow()
{
    OpenExam();
}

void TFmZK::OpenExam()
{
    opening_ = true;
    const auto done = qScopeGuard([this] { opening_ = false; });
    programDir_ = ProgramDir();
    journalDir_ = programDir_;
    examRead_ = false;
    ExamReading reading = ExamReading::NoSetup;
    try {
        reading = ReadExamFile();
    } catch (...) {
        // A damaged exam leaves the window empty, as one without settings does; the guard
        // shows the error.
        ShowPage(PageEmpty);
        ButNext->setEnabled(false);
        throw;
    }
    if (reading == ExamReading::ProgramEnds) {
        EndForUnreachableShare();
        return;
    }
    if (reading == ExamReading::NoSetup) {
        ShowPage(PageEmpty);
        ButNext->setEnabled(false);
        return;
    }
    examRead_ = true;
    journal_ = JournalState();
    // The file types on this desktop; a store that cannot be written is said, and the
    // examination goes on.
    Guarded(this, [this] {
        RegisterFileTypes({QCoreApplication::applicationFilePath(), IsFixedDisk(ExecutableDir()),
                           globals_.StartFileName, examFileName_, globals_.ManagerUsed});
    });
    const bool free = !settings_.Spisok;
    ComboBox1->setEditable(free);
    ComboBox2->setEditable(free);
    InstallRegistrationKeys();
    if (globals_.CmdSwitches && globals_.NoJournalSwitch)
        settings_.SaveJuornal = false;
    if (settings_.SaveJuornal) {
        PrepareJournalFolder();
        if (programEnds_) {
            EndForUnreachableShare();
            return;
        }
        if (!globals_.SameUser) {
            ComboBox1->clear();
            ComboBox2->clear();
            MaskEdit1->clear();
            FillGroupList();
        }
        // Results this station could not write before go to their journals first.
        PendingResults(PendingResults::DefaultFile()).WriteAll();
    }
    ResetSession();
    Q_EMIT examOpened();
}

void TFmZK::EndForUnreachableShare()
{
    ShowPage(PageEmpty);
    ButNext->setEnabled(false);
    Dialogs().Message(this, MessageKind::Error, messages_[Msg::U_ERROR],
                      messages_[Msg::U_ERRORNONETDB]);
    quietClose_ = true;
    close(); // the last window: the program ends
}

void TFmZK::ResetSession()
{
    ShowPage(PageTitle);
    for (auto &row : *answerOrder_)
        row.fill(0);
    // A new examinee starts with an empty log, and with no percentage and no mark: an exam
    // without marks must not hand an earlier examinee's figures to the journal.
    log_.Clear();
    const QLocale names = settings_.Language == 0 ? QLocale(QLocale::Russian) : QLocale::system();
    Label1->setText(
        FormatDateTimePattern(messages_[Msg::U_LABDATEZK], QDateTime::currentDateTime(), names));
    ButNext->setText(messages_[Msg::U_BUTNEXT]);
    ButNext->setEnabled(true);
    ButYesResult->setText(messages_[Msg::U_REPORTBUTTON1]);
    reportBuilt_ = false;
    ButNew->setVisible(false);
    RxTimerEvent2->SetEnabled(false);
    REResult->setVisible(false);
    currentIndex_ = -1;
    currentAnswer_ = 0;
    if (!globals_.SameUser) {
        ComboBox1->setCurrentIndex(-1);
        ComboBox1->setEditText(QString());
        ComboBox2->setCurrentIndex(-1);
        ComboBox2->setEditText(QString());
        MaskEdit1->clear();
    }
    Link->Reset(); // every socket closed without a message, the lamps hidden
    if (settings_.PathGraph.trimmed().size() > 4)
        LoadPictureInto(Image1, settings_.PathGraph);
    else
        ClearPicture(Image1);
    LayoutTitlePage();
    ButNext->setFocus();
}

// ---- Layout that follows the window ---------------------------------------------------------

void TFmZK::LayoutTitlePage()
{
    const QSize screen = ScreenSize(this);
    const int w = TitlePage->width();
    const int h = TitlePage->height();
    // The exam's title stands in the right half, from a third of the screen's height down.
    const int left = qMin(screen.width() / 2, w / 2);
    const int top = qMin(screen.height() / 3, h / 3);
    LabTema->setGeometry(left, top, left - left / 10, top);
    LabTop->setGeometry(w / 20, h / 30, w - w / 10, qMax(top - h / 30 - 8, 20));
    const int pictureTop = top;
    Image1->setGeometry(w / 20, pictureTop, left - w / 10, qMax(h - pictureTop - h / 6, 20));
    LabName->setGeometry(left, top + top, left - left / 10, qMax(h / 12, 20));
    LabJob->setGeometry(left, top + top + qMax(h / 12, 20), left - left / 10, qMax(h / 12, 20));
    LabBut->setGeometry(w / 20, h - h / 8, w - w / 10, h / 8 - 8);
}

void TFmZK::LayoutRegistrationBox()
{
    const double scale = screenDpiX_ / 96.0;
    const auto y = [scale](int v) { return int(std::lround(v * scale)); };
    const int width = GroupBox1->width() - y(24);
    const int rowHeight = qMax(ComboBox1->sizeHint().height(), y(24));
    Label3->setGeometry(y(12), y(24), width, y(18));
    ComboBox1->setGeometry(y(12), y(44), width, rowHeight);
    Label4->setGeometry(y(12), y(84), width, y(18));
    ComboBox2->setGeometry(y(12), y(104), width, rowHeight);
    // Below the short box's edge: with no password the row is cut off (and hidden).
    Label6->setGeometry(y(12), y(160), width, y(18));
    MaskEdit1->setGeometry(y(12), y(180), width, rowHeight);
}

int TFmZK::RowHeight(int areaHeight) const
{
    return areaHeight / qMax<int>(1, question_.AllW);
}

void TFmZK::LayoutTextRows()
{
    const int rowHeight = RowHeight(Panel6->height());
    int top = 0;
    for (int k = 0; k < 5; ++k) {
        QFrame *row = Rows[size_t(k)].Row;
        if (!row->isVisibleTo(Panel6))
            continue;
        row->setGeometry(0, top, Panel6->width(), rowHeight);
        top += rowHeight;
    }
}

void TFmZK::LayoutPictureRows()
{
    const int area = ScrollBox1->viewport()->height();
    const int rowHeight = qMax(RowHeight(area), 90);
    const int width = ScrollBox1->viewport()->width();
    const int column = PictureColumnWidth();
    const double scale = screenDpiX_ / 96.0;
    int top = 0;
    for (PictureRow &r : PictureRows) {
        if (!r.Panel->isVisibleTo(ScrollBoxArea))
            continue;
        r.Panel->setGeometry(0, top, width, rowHeight);
        const int mid = rowHeight / 2;
        r.Caption->setGeometry(2, mid - 10, int(18 * scale), 20);
        r.Radio->setGeometry(int(20 * scale), mid - 10, int(20 * scale), 20);
        r.Image->setGeometry(int(42 * scale), mid - int(79 * scale) / 2, int(87 * scale),
                             int(79 * scale));
        r.Zoom->setGeometry(int(132 * scale), mid - 12, int(30 * scale), 24);
        r.Memo->setGeometry(column, 2, qMax(width - column, 10), rowHeight - 4);
        top += rowHeight;
    }
    ScrollBoxArea->setMinimumHeight(top);
}

// ---- Questions -------------------------------------------------------------------------------

void TFmZK::LoadQuestion(int32_t n)
{
    question_ = LoadQuestionRecord(examLines_, n, questionBuffer_, *answerOrder_);
    currentCorNo_ = question_.CorNo;
    answerTimeMs_ =
        int32_t(qBound<qint64>(qint64(INT32_MIN), qint64(question_.AT) * 1000, qint64(INT32_MAX)));
    if (settings_.YTime)
        RxTimerEvent2->SetInterval(qMax(0, answerTimeMs_));
    ShowQuestion();
}

void TFmZK::ShowQuestion()
{
    const TQuestion &q = question_;
    const QString questionText =
        ExpandLineBreaks(QStringLiteral("  ") + ShownText(q.Vopros, ShownLimit::TextBox));
    const int page = q.Page();
    ShowPage(page);
    // A page shown for the first time divides its splitter between question and answers; later
    // the examinee's own division stays.
    Notebook1->currentWidget()->layout()->activate();
    for (QSplitter *s : {Splitter1, Splitter2, Splitter3})
        if (s->isVisibleTo(this) && !s->property("divided").toBool() && s->height() > 0) {
            const int h = s->height();
            const int question = s == Splitter3 ? h * 3 / 5 : h / 3; // the list page has a picture
            s->setSizes({question, h - question});
            s->setProperty("divided", true);
        }
    if (page == PageTextAnswers) {
        SetRichText(Memo1, questionText);
        UncheckAnswers(TextAnswerButtons);
        for (int k = 0; k < 5; ++k) {
            const AnswerRow &r = Rows[size_t(k)];
            r.Row->setVisible(q.B[size_t(k)]);
            if (q.B[size_t(k)]) {
                SetRichText(r.Memo, ExpandLineBreaks(q.S[size_t(k)]));
                r.Radio->setAccessibleName(AnswerAccessibleName(k + 1, q.S[size_t(k)]));
            }
        }
        LayoutTextRows();
    } else if (page == PagePictureAnswers) {
        SetRichText(Memo3, questionText);
        UncheckAnswers(PictureAnswerButtons);
        for (int k = 0; k < 4; ++k) {
            PictureRow &r = PictureRows[size_t(k)];
            r.Panel->setVisible(q.B[size_t(k)]);
            if (!q.B[size_t(k)])
                continue;
            r.Radio->setAccessibleName(AnswerAccessibleName(k + 1, q.S[size_t(k)]));
            r.Image->setVisible(LoadPictureInto(r.Image, q.P[size_t(k)]));
            r.Zoom->setVisible(r.Image->isVisibleTo(r.Panel));
            SetRichText(r.Memo, ExpandLineBreaks(q.S[size_t(k)]));
        }
        LayoutPictureRows();
    } else {
        SetRichText(Memo13, questionText);
        ClearPicture(Image7);
        Image7->SetBackground(Panel24->palette().color(Panel24->backgroundRole()));
        UncheckAnswers(RadioGroup2Buttons);
        int item = 0;
        for (int k = 0; k < 4; ++k) {
            if (!q.B[size_t(k)])
                continue;
            QRadioButton *b = RadioGroup2Items[size_t(item)];
            b->setText(
                ShownText(q.S[size_t(k)], ShownLimit::Label)); // list items are taken as written
            b->setAccessibleName(AnswerAccessibleName(item + 1, q.S[size_t(k)]));
            RadioGroup2Positions[size_t(item)] = k + 1;
            ++item;
        }
        for (int i = 0; i < 4; ++i)
            RadioGroup2Items[size_t(i)]->setVisible(i < item);
        LoadPictureInto(Image7, q.QuestionPicture);
    }
    if (settings_.BolNotKnow)
        UncheckAnswers(DontKnowButtons);
    const QString caption =
        QStringLiteral("  ") +
        FormatMessage(messages_[Msg::U_LMASKRESULT], {currentIndex_ + 1, settings_.AllZ + 1});
    for (QLabel *c : {Panel4Caption, Panel17Caption, Panel23Caption})
        c->setText(caption);
    ButNext->setEnabled(false);
    FocusFirstAnswer();
}

void TFmZK::FocusFirstAnswer()
{
    // The examinee can answer from the keyboard at once: Tab and Space choose, Enter moves on.
    QWidget *first = nullptr;
    const int page = CurrentPage();
    if (page == PageTextAnswers) {
        for (const AnswerRow &r : Rows)
            if (!first && r.Row->isVisibleTo(this))
                first = r.Radio;
    } else if (page == PagePictureAnswers) {
        for (const PictureRow &r : PictureRows)
            if (!first && r.Panel->isVisibleTo(this))
                first = r.Radio;
    } else if (page == PageListAnswers && RadioGroup2Items[0]->isVisibleTo(this)) {
        first = RadioGroup2Items[0];
    }
    if (first) {
        // Shown as keyboard focus from the start: the examinee sees where Space chooses.
        setAttribute(Qt::WA_KeyboardFocusChange, true);
        first->setFocus(Qt::TabFocusReason);
    }
}

bool TFmZK::LoadPictureInto(PictureBox *box, const QString &name)
{
    QImage image;
    if (!LoadPicture(image, name, fileKind_, examStreams_.get(), examFileName_))
        return false;
    box->setPixmap(QPixmap::fromImage(image));
    return true;
}

// ---- Answering ---------------------------------------------------------------------------------

void TFmZK::UncheckAnswers(QButtonGroup *group)
{
    ++quietChecks_;
    const bool exclusive = group->exclusive();
    group->setExclusive(false); // the checked button of an exclusive group cannot be cleared
    for (QAbstractButton *b : group->buttons())
        b->setChecked(false);
    group->setExclusive(exclusive);
    --quietChecks_;
}

void TFmZK::ConnectAnswerButtons()
{
    // Every way of checking an answer runs its handler: the mouse, Space and the arrow keys, and
    // the actions a screen reader invokes (which toggle a button without clicking it).
    connect(TextAnswerButtons, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (checked && !quietChecks_)
            AnswerChosen(id);
    });
    connect(PictureAnswerButtons, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (checked && !quietChecks_)
            AnswerChosen(id);
    });
    connect(RadioGroup2Buttons, &QButtonGroup::idToggled, this, [this](int, bool checked) {
        if (checked && !quietChecks_)
            RadioGroup1Click();
    });
    connect(RadioButNotKwon, &QRadioButton::toggled, this, [this](bool checked) {
        if (quietChecks_)
            return;
        if (checked) {
            RadioButNotKwonClick();
        } else if (currentAnswer_ == DontKnowAnswer) {
            // The chosen answer stays chosen until another is chosen.
            ++quietChecks_;
            RadioButNotKwon->setChecked(true);
            --quietChecks_;
        }
    });
}

void TFmZK::AnswerChosen(int position)
{
    const int page = CurrentPage();
    QButtonGroup *group = page == PageTextAnswers      ? TextAnswerButtons
                          : page == PagePictureAnswers ? PictureAnswerButtons
                                                       : nullptr;
    if (!group || !group->button(position))
        return;
    ++quietChecks_;
    group->button(position)->setChecked(true);
    --quietChecks_;
    currentAnswer_ = position;
    UncheckAnswers(DontKnowButtons);
    ButNext->setEnabled(true);
    ButNext->setFocus();
}

void TFmZK::RadioGroup1Click()
{
    const int index = RadioGroup2Buttons->checkedId();
    if (index < 0)
        return;
    // The answer is the position of the item in the exam, as the examinee saw it: with a gap in
    // the list (S2 left out) the second item is S3.
    currentAnswer_ = RadioGroup2Positions[size_t(index)];
    UncheckAnswers(DontKnowButtons);
    ButNext->setEnabled(true);
    ButNext->setFocus();
}

void TFmZK::RadioButNotKwonClick()
{
    if (!settings_.BolNotKnow)
        return;
    const int page = CurrentPage();
    if (page == PageEmpty || page == PageTextAnswers)
        UncheckAnswers(TextAnswerButtons);
    else if (page == PagePictureAnswers)
        UncheckAnswers(PictureAnswerButtons);
    else if (page == PageListAnswers)
        UncheckAnswers(RadioGroup2Buttons);
    ++quietChecks_;
    RadioButNotKwon->setChecked(true);
    --quietChecks_;
    ButNext->setEnabled(true);
    ButNext->setFocus();
    currentAnswer_ = DontKnowAnswer;
}

void TFmZK::RBut1KeyPress(QKeyEvent *event)
{
    if (ButNext->isEnabled() && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
        ButNext->setFocus();
        Guarded(this, [this] { ButNextClick(); });
    }
}

void TFmZK::ButNextClick()
{
    RxTimerEvent2->SetEnabled(false);
    switch (CurrentPage()) {
    case PageTitle:
        ShowPage(PageInstructions);
        ButNext->setFocus();
        break;
    case PageInstructions:
        if (settings_.SaveJuornal) {
            ShowPage(PageRegistration);
            ComboBox1->setFocus();
            // A choose-only list is dropped down; a box that may be typed into is not, or the
            // drop-down would take the keys the examinee types (the box completes from its list).
            if (!globals_.SameUser && ComboBox1->count() > 0 && !ComboBox1->isEditable())
                ComboBox1->showPopup();
        } else {
            StartQuestions(false);
        }
        break;
    case PageRegistration:
        if (RegistrationAccepted())
            StartQuestions(true);
        break;
    case PageResult:
        if (globals_.ManagerShareOpen && !globals_.ManagerShareDir.isEmpty())
            DisconnectShare(globals_.ManagerShareDir, true);
        close();
        break;
    default:
        AnswerStep();
        break;
    }
}

void TFmZK::Fail(Msg message)
{
    Dialogs().Message(this, MessageKind::Error, messages_[Msg::U_ERROR], messages_[message]);
}

bool TFmZK::RegistrationAccepted()
{
    // Texts as they stand: a group or a name of blanks passes.
    if (ComboBox1->currentText().isEmpty()) {
        Fail(Msg::U_LABNOTGRUPPZK);
        return false;
    }
    if (ComboBox2->currentText().isEmpty()) {
        Fail(Msg::U_LABFIOMEZK_NONE);
        return false;
    }
    if (settings_.YesPassword && MaskEdit1->text().isEmpty()) {
        Fail(Msg::U_NOPASSW);
        return false;
    }
    // Records of the program have no quoting: an "@" would shift every later field of the
    // password list, the journals and the monitoring messages.
    for (const QString &text :
         {ComboBox1->currentText(), ComboBox2->currentText(), MaskEdit1->text()})
        if (text.contains(u'@')) {
            Fail(Msg::U_NOATSIGN);
            return false;
        }
    if (settings_.YesPassword && !CheckPassword())
        return false;
    return true;
}

void TFmZK::StartQuestions(bool registered)
{
    if (questionOrder_.empty())
        return;
    currentIndex_ = 0;
    currentAnswer_ = 0;
    if (registered) {
        Link->SendInfo(ComboBox2->currentText(), ComboBox1->currentText(), settings_.CEdit,
                       settings_.AllZ + 1);
        log_.ClearAnswerTimes();
    }
    LoadQuestion(questionOrder_[0]);
    ShowDontKnowButton();
    StartAnswerTimers();
    log_.ExamStarted = Clock().Now();
    log_.QuestionShown(questionOrder_[0], log_.ExamStarted);
}

void TFmZK::ShowDontKnowButton()
{
    if (!settings_.BolNotKnow)
        return;
    savedPanelCaption_ = Panel1Caption->text();
    Panel1Caption->clear();
    UncheckAnswers(DontKnowButtons);
    RadioButNotKwon->setVisible(true);
}

void TFmZK::AnswerStep()
{
    if (currentIndex_ < 0 || currentIndex_ >= int32_t(questionOrder_.size()))
        return; // no question is on screen
    const int32_t n = questionOrder_[size_t(currentIndex_)];
    log_.Answered(n, currentCorNo_, currentAnswer_, Clock().Now());
    if (Link->AnyEnabled())
        Link->SendAnswer(n, currentIndex_,
                         AnswerCode(currentAnswer_, currentCorNo_, settings_.BolNotKnow));
    if (currentIndex_ < settings_.AllZ) {
        ++currentIndex_;
        currentAnswer_ = 0;
        const int32_t next = questionOrder_[size_t(currentIndex_)];
        LoadQuestion(next);
        log_.QuestionShown(next, Clock().Now());
        StartAnswerTimers();
        return;
    }
    EndExamination();
}

void TFmZK::EndExamination()
{
    log_.ExamTimeMs =
        log_.ExamStarted.isValid() ? qMax<qint64>(0, log_.ExamStarted.msecsTo(Clock().Now())) : 0;
    ShowPage(PageResult);
    RxTimerEvent2->SetEnabled(false);
    log_.CorrectCount = 0;
    if (settings_.BolNotKnow) {
        RadioButNotKwon->setVisible(false);
        Panel1Caption->setText(savedPanelCaption_);
    }
    Memo14->clear();
    // The result is computed for the records whatever the exam shows: without marks on screen
    // (TipOc other than 0) the examinee does not see it, but the journal and the report carry it.
    const ExamResult r = ComputeResult(log_, settings_, messages_);
    log_.CorrectCount = r.CorrectCount;
    log_.DontKnowCount = r.DontKnowCount;
    log_.Percent = r.Percent;
    log_.Mark = r.Mark;
    if (settings_.TipOc == 0)
        Memo14->setPlainText(r.Summary.join(u'\n'));
    log_.NotFinished = false;
    if (settings_.SaveJuornal)
        WriteJournals();
    ButNext->setText(messages_[Msg::U_BUTEXIT]);
    ButNext->setEnabled(true);
    ButNew->setVisible(true);
    ButNext->setFocus();
    Link->SendResult(QStringLiteral("@%1@").arg(log_.Mark));
    ButYesResult->setEnabled(true);
}

void TFmZK::ShowPreview(PictureBox *image)
{
    if (preview_)
        preview_->close();
    auto *preview = new TFmPreview(image->pixmap(), this);
    preview_ = preview;
    preview->Open();
}

// ---- Answer timing -------------------------------------------------------------------------

void TFmZK::StartAnswerTimers()
{
    answerSeconds_ = int32_t(std::lround(answerTimeMs_ / 1000.0));
    if (settings_.YTime) {
        RxTimerEvent2->SetEnabled(answerSeconds_ > 2);
    } else {
        RxTimerEvent2->SetEnabled(false);
        settings_.AnsvTm = 0;
    }
    if (settings_.AnsvTmBol) {
        elapsedSeconds_ = 0;
        RxTimerEvent1->SetEnabled(true);
    } else {
        RxTimerEvent1->SetEnabled(false);
    }
}

void TFmZK::RxTimerEvent1Timer()
{
    for (QLabel *l : {Label2, Label5, Label7})
        l->setVisible(settings_.AnsvTmBol);
    QString text;
    if (settings_.AnsvTm == 0)
        text = FormatMessage(messages_[Msg::U_TANSV0], {elapsedSeconds_});
    else if (settings_.AnsvTm == 1)
        text = FormatMessage(messages_[Msg::U_TANSV1], {answerSeconds_ - elapsedSeconds_});
    if (settings_.AnsvTm <= 1)
        for (QLabel *l : {Label2, Label5, Label7})
            l->setText(text);
    ++elapsedSeconds_;
}

void TFmZK::RxTimerEvent2Timer()
{
    if (!settings_.YTime)
        return;
    // Nothing chosen in time: a real answer position that is wrong.
    if (!ButNext->isEnabled())
        currentAnswer_ = currentCorNo_ == 1 ? 2 : 1;
    if (preview_)
        preview_->close();
    ButNextClick();
}

// ---- Closing -----------------------------------------------------------------------------------

void TFmZK::closeEvent(QCloseEvent *event)
{
    if (!quietClose_) {
        // No is the default: Enter alone must never end an examination.
        if (!Dialogs().Message(this, MessageKind::QuestionDefaultNo, messages_[Msg::U_WARNING],
                               messages_[Msg::U_DLGEXITPROGRAMM])) {
            event->ignore();
            return;
        }
        // Only an examination under way is recorded: a window whose exam could not be read
        // (empty page, no question shown) has no examinee to record.
        const int page = CurrentPage();
        if (currentIndex_ >= 0 && currentIndex_ <= settings_.AllZ && page < PageTitle)
            RecordInterruptedExam();
    }
    // Closing the window: the desktop as it was, and the manager's share let go.
    ShowTaskBar(true);
    ShowAppButton(true);
    if (globals_.ManagerShareOpen && !globals_.ManagerShareDir.isEmpty())
        DisconnectShare(globals_.ManagerShareDir, true);
    event->accept();
}

void TFmZK::RecordInterruptedExam()
{
    RxTimerEvent2->SetEnabled(false);
    log_.NotFinished = true;
    if (settings_.SaveJuornal)
        WriteJournals();
    Link->SendResult(QStringLiteral("@Not Fin@"));
    Q_EMIT examInterrupted();
}

// ---- Desktop effects -----------------------------------------------------------------------

void TFmZK::ApplyTaskBar(bool visible)
{
    // There is no task bar window to hide here: the exam takes the whole screen, on top.
    // Changing the flags hides the window and showing it again is no new showing of the exam.
    windowEffect_ = true;
    const auto done = qScopeGuard([this] { windowEffect_ = false; });
    const bool shown = isVisible();
    if (!visible && !fullScreenForExam_) {
        fullScreenForExam_ = true;
        setMinimumSize(0, 0);
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        setWindowFlag(Qt::WindowStaysOnTopHint, true);
        showFullScreen();
        setFixedSize(ScreenSize(this));
    } else if (visible && fullScreenForExam_) {
        fullScreenForExam_ = false;
        setMinimumSize(0, 0);
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        setWindowFlag(Qt::WindowStaysOnTopHint, false);
        if (shown) {
            showMaximized();
            setFixedSize(size());
        }
    }
}

void TFmZK::ApplyAppButton(bool visible)
{
    SetSkipTaskbar(this, !visible);
}

// ---- Input -------------------------------------------------------------------------------------

bool TFmZK::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Resize && watched == GroupBox1) {
        LayoutRegistrationBox();
        return false;
    }
    if (event->type() == QEvent::MouseButtonPress &&
        static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        // Clicking an answer's text chooses it, as its radio button does.
        for (int k = 0; k < 5; ++k)
            if (watched == Rows[size_t(k)].Memo->viewport()) {
                AnswerChosen(k + 1);
                return true;
            }
        for (int k = 0; k < 4; ++k)
            if (watched == PictureRows[size_t(k)].Memo->viewport()) {
                AnswerChosen(k + 1);
                return true;
            }
    }
    if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) {
        // The answer that has the keyboard stands out: its row is shaded.
        const bool in = event->type() == QEvent::FocusIn;
        for (const AnswerRow &r : Rows)
            if (watched == r.Radio)
                ShadeFocusedAnswer(r.Cell, in);
        for (const PictureRow &r : PictureRows)
            if (watched == r.Radio)
                ShadeFocusedAnswer(r.Panel, in);
    }
    if (event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (ComboBox1KeyPress(watched, key))
            return true;
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        // Enter moves on from every answer button but the fifth text answer.
        bool answerButton = false;
        for (int k = 0; k < 4; ++k)
            answerButton = answerButton || watched == Rows[size_t(k)].Radio ||
                           watched == PictureRows[size_t(k)].Radio;
        for (QRadioButton *b : RadioGroup2Items)
            answerButton = answerButton || watched == b;
        if (enter && answerButton) {
            RBut1KeyPress(key);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
