#include "MainWindow.h"

#include "core/FileTypes.h"
#include "core/FolderThread.h"

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
#include <QTimer>
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
    : QWidget(parent), globals_(globals), run_(globals, *this)
{
    // A fixed border with the system menu and the maximise button: the examinee cannot tuck
    // the exam away.
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint);
    BuildForm(this);
    ConnectControls();
    // The title page and the answer rows follow the window.
    TitlePage->OnResize = [this] { LayoutTitlePage(ScreenSize(this)); };
    Panel6->OnResize = [this] { LayoutTextRows(run_.CurrentQuestion().AllW); };
    ScrollBoxArea->OnResize = [this] {
        LayoutPictureRows(run_.CurrentQuestion().AllW, PictureColumnWidth(), screenDpiX_ / 96.0);
    };
    connect(&run_.Link(), &ServerLink::lampChanged, this, [this](int slot, ServerLink::Lamp lamp) {
        ShapeIndicator *shape =
            std::array<ShapeIndicator *, 3>{Shape1, Shape2, Shape3}[size_t(slot)];
        shape->setVisible(lamp != ServerLink::Lamp::Hidden);
        shape->SetColor(lamp == ServerLink::Lamp::Connected ? QColor(0, 255, 0)
                                                            : QColor(255, 0, 0));
    });
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

void TFmZK::ApplySetup(const SetupReading &reading, SetupStep from, SetupStep to)
{
    const ExamSettings &s = reading.Settings;
    const auto step = [&](SetupStep st) { return st >= from && st <= to && st <= reading.Reached; };
    if (step(SetupStep::Language))
        ApplyMessages();
    if (step(SetupStep::TopEdit))
        LabTop->setText(LabelText(s.TopEdit));
    if (step(SetupStep::CEdit)) {
        LabTema->setText(LabelText(s.CEdit));
        setWindowTitle(
            ShownText(ExpandLineBreaks(ShownText(s.CEdit, ShownLimit::Label)).simplified(),
                      ShownLimit::Title));
    }
    if (step(SetupStep::ButEdit))
        LabBut->setText(LabelText(s.ButEdit));
    if (step(SetupStep::GrStretch))
        Image1->SetStretch(s.GrStretch);
    if (step(SetupStep::Jobtitle))
        LabJob->setText(LabelText(s.Jobtitle));
    if (step(SetupStep::Surname))
        LabName->setText(LabelText(s.Surname));
    if (step(SetupStep::HelpExam))
        SetRichText(Memo15, s.HelpExam.isEmpty() ? DefaultInstructions() : s.HelpExam);
    if (step(SetupStep::FontHelpExam))
        ApplyFont(Memo15, s.FontHelpExam);
    if (step(SetupStep::FontQuestion))
        for (QWidget *w : {static_cast<QWidget *>(Memo3), static_cast<QWidget *>(Memo1),
                           static_cast<QWidget *>(Memo13)})
            ApplyFont(w, s.FontQuestion);
    if (step(SetupStep::FontAnswer)) {
        for (const AnswerRow &r : Rows)
            ApplyFont(r.Memo, s.FontAnswer);
        for (const PictureRow &r : PictureRows)
            ApplyFont(r.Memo, s.FontAnswer);
        ApplyFont(RadioGroup2, s.FontAnswer);
        ApplyFont(RadioButNotKwon, s.FontAnswer);
    }
    if (step(SetupStep::FontRes))
        ApplyFont(Memo14, s.FontRes); // colour included
    if (step(SetupStep::Registration)) {
        screenDpiX_ = screen() ? int(std::lround(screen()->logicalDotsPerInchX())) : 96;
        GroupBox1->setFixedHeight(
            RoundHalfEven(screenDpiX_ * (s.YesPassword ? 225.0 : 155.0) / 96.0));
        Label6->setVisible(s.YesPassword);
        MaskEdit1->setVisible(s.YesPassword);
        ButYesResult->setVisible(s.YesResult);
        LayoutRegistrationBox(screenDpiX_ / 96.0);
    }
    if (step(SetupStep::Shell)) {
        ShowTaskBar(!s.VisiTackBar);
        ShowAppButton(!s.TaskBar);
    }
    if (step(SetupStep::Clock))
        for (QLabel *l : {Label2, Label5, Label7})
            l->setVisible(s.AnsvTmBol);
    // The title labels, each with the title font it was read with, or the window's own.
    const std::array<std::pair<SetupStep, QList<QLabel *>>, 4> titles{
        {{SetupStep::FontTopStr, {LabTop}},
         {SetupStep::FontCEdit, {LabTema}},
         {SetupStep::FontButEdit, {LabBut}},
         {SetupStep::FontJobEdit, {LabName, LabJob}}}};
    for (size_t i = 0; i < titles.size(); ++i) {
        if (!step(titles[i].first))
            continue;
        for (QLabel *l : titles[i].second) {
            if (reading.TitleFonts[i]) {
                ApplyFont(l, *reading.TitleFonts[i]);
            } else {
                l->setFont(font());
                l->setPalette(palette());
            }
        }
    }
}

void TFmZK::ApplyMessages()
{
    const TMessages &messages = run_.Messages();
    SayTexts(messages);
    Label3->setText(messages[Msg::U_LABGRUPPMEZK]);
    Label4->setText(messages[Msg::U_LABFIOMEZK]);
    Label6->setText(messages[Msg::U_LABPASSWORDZK]);
    StaticText1->setText(messages[Msg::U_LABOPISANIEZK]);
    GroupBox1->setTitle(messages[Msg::U_GRPGRUPPFIO]);
    ButYesResult->setText(messages[Msg::U_REPORTBUTTON1]);
    RadioButNotKwon->setText(messages[Msg::M_NOTKNOWW]);
    // The boxes are announced by their labels, their texts as their values.
    ComboBox1->setAccessibleName(Label3->text());
    ComboBox2->setAccessibleName(Label4->text());
    MaskEdit1->setAccessibleName(Label6->text());
    // Yes, No and Cancel of the boxes in the language of the texts.
    UseStandardTexts(messages.Locale);
}

// ---- Showing the window ---------------------------------------------------------------------

void TFmZK::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    ApplySkipTaskbar(this);
    // Shown by the program: the exam is opened. Shown again by the window system, or by a desktop
    // effect that hides and shows the window, or while the exam is being opened: nothing.
    if (!event->spontaneous() && !windowEffect_ && !opening_)
        Guarded([this] { OpenExam(); });
    // A fixed border: the window keeps the size it was shown at.
    if (!windowEffect_ && isVisible() && !isFullScreen())
        setFixedSize(size());
}

void TFmZK::OpenExam()
{
    // An exam on a share is read on the folder thread first; the window goes on meanwhile.
    if (run_.MustFetch()) {
        opening_ = true;
        run_.Fetch([this] {
            opening_ = false;
            Guarded([this] { OpenExam(); });
        });
        return;
    }
    opening_ = true;
    const auto done = qScopeGuard([this] { opening_ = false; });
    quietClose_ = false;
    examRead_ = false;
    const auto empty = [this] {
        ShowPage(PageEmpty);
        ButNext->setEnabled(false);
    };
    ExamRun::Opening opening = ExamRun::Opening::NoSetup;
    try {
        opening = run_.Open();
    } catch (...) {
        // A damaged exam leaves the window empty, as one without settings does; the guard
        // shows the error.
        empty();
        throw;
    }
    const SetupReading &setup = run_.Setup();
    switch (opening) {
    case ExamRun::Opening::NoSetup:
        Message(MessageKind::Error, run_.Messages()[Msg::U_ERROR], SetupMissingMessage);
        empty();
        return;
    case ExamRun::Opening::Damaged:
        // The values before the bad one are shown; the guard shows the error.
        ApplySetup(setup, SetupStep::Language, SetupStep::FontJobEdit);
        empty();
        std::rethrow_exception(setup.Error);
    case ExamRun::Opening::Read:
        break;
    }
    ApplySetup(setup, SetupStep::Language, SetupStep::FontJobEdit);
    ButNew->setVisible(false);
    examRead_ = true;
    // The file types on this desktop; a store that cannot be written is said, and the
    // examination goes on.
    Guarded([this] {
        RegisterFileTypes({QCoreApplication::applicationFilePath(), IsFixedDisk(ExecutableDir()),
                           globals_.StartFileName, run_.ExamFileName(), globals_.ManagerUsed});
    });
    const bool free = !run_.Settings().Spisok;
    ComboBox1->setEditable(free);
    ComboBox2->setEditable(free);
    InstallRegistrationKeys();
    if (run_.Settings().SaveJuornal && !globals_.SameUser) {
        ComboBox1->clear();
        ComboBox2->clear();
        MaskEdit1->clear();
    }
    ResetSession();
    Q_EMIT examOpened();
}

void TFmZK::FolderSettled(bool reachable)
{
    if (!reachable) {
        EndForUnreachableShare();
        return;
    }
    // The lists come from the folder; the boxes keep what they hold.
    if (run_.Settings().SaveJuornal && !globals_.SameUser)
        FillGroupList();
}

void TFmZK::Busy(const std::optional<QString> &text)
{
    // Waits may nest (a step waits while the results of the last examinee are still written):
    // the window is busy until the last one ends.
    const bool was = busy_ > 0;
    busy_ = qMax(0, busy_ + (text ? 1 : -1));
    const bool busy = busy_ > 0;
    if (text)
        BusyText->setText(*text);
    if (busy == was)
        return;
    BusyText->setVisible(busy);
    ProgressBar1->setRange(0, busy ? 0 : 100); // a range of nothing runs by itself
    ProgressBar1->setVisible(busy);
    // The window keeps its normal loop meanwhile: what the examinee may not do is disabled,
    // and a box or another window the program opens takes its input as always.
    Notebook1->setEnabled(!busy);
    RadioButNotKwon->setEnabled(!busy);
    ButNew->setEnabled(!busy);
    if (busy) {
        nextWasEnabled_ = ButNext->isEnabled();
        ButNext->setEnabled(false);
        QApplication::setOverrideCursor(Qt::BusyCursor);
        return;
    }
    QApplication::restoreOverrideCursor();
    ButNext->setEnabled(nextWasEnabled_ && run_.CanGoOn());
    if (closeAsked_) {
        // Closing was asked while the window waited: asked now, as it would have been.
        closeAsked_ = false;
        QTimer::singleShot(0, this, [this] { close(); });
    }
}

void TFmZK::ResultsWaiting(int count)
{
    WaitingMark->setText(FormatMessage(run_.Messages()[Msg::U_RESULTSWAITING], {count}));
    WaitingMark->setVisible(count > 0);
}

void TFmZK::EndForUnreachableShare()
{
    ShowPage(PageEmpty);
    ButNext->setEnabled(false);
    Message(MessageKind::Error, run_.Messages()[Msg::U_ERROR],
            run_.Messages()[Msg::U_ERRORNONETDB]);
    quietClose_ = true;
    close(); // the last window: the program ends
}

void TFmZK::ResetSession()
{
    run_.Reset();
    const TMessages &messages = run_.Messages();
    Label1->setText(run_.DateLine());
    ButNext->setText(messages[Msg::U_BUTNEXT]);
    ButNext->setEnabled(true);
    ButYesResult->setText(messages[Msg::U_REPORTBUTTON1]);
    reportBuilt_ = false;
    ButNew->setVisible(false);
    REResult->setVisible(false);
    if (!globals_.SameUser) {
        ComboBox1->setCurrentIndex(-1);
        ComboBox1->setEditText(QString());
        ComboBox2->setCurrentIndex(-1);
        ComboBox2->setEditText(QString());
        MaskEdit1->clear();
    }
    if (run_.Settings().PathGraph.trimmed().size() > 4)
        LoadPictureInto(Image1, run_.Settings().PathGraph);
    else
        ClearPicture(Image1);
    LayoutTitlePage(ScreenSize(this));
    ButNext->setFocus();
}

// ---- Questions -------------------------------------------------------------------------------

void TFmZK::ShowQuestion()
{
    const TQuestion &q = run_.CurrentQuestion();
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
        LayoutTextRows(run_.CurrentQuestion().AllW);
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
        LayoutPictureRows(run_.CurrentQuestion().AllW, PictureColumnWidth(), screenDpiX_ / 96.0);
    } else {
        SetRichText(Memo13, questionText);
        ClearPicture(Image7);
        Image7->SetBackground(Panel24->palette().color(Panel24->backgroundRole()));
        UncheckAnswers(RadioGroup2Buttons);
        const std::vector<int> &positions = run_.ListPositions();
        for (size_t i = 0; i < 4; ++i) {
            QRadioButton *b = RadioGroup2Items[i];
            b->setVisible(i < positions.size());
            if (i >= positions.size())
                continue;
            const QString &text = q.S[size_t(positions[i] - 1)];
            // List items are taken as written: an "&" is shown, not taken for a shortcut mark.
            b->setText(ShownText(text, ShownLimit::Label).replace(u'&', QStringLiteral("&&")));
            b->setAccessibleName(AnswerAccessibleName(int(i) + 1, text));
        }
        LoadPictureInto(Image7, q.QuestionPicture);
    }
    if (run_.Settings().BolNotKnow)
        UncheckAnswers(DontKnowButtons);
    const QString caption =
        QStringLiteral("  ") + FormatMessage(run_.Messages()[Msg::U_LMASKRESULT],
                                             {run_.CurrentIndex() + 1, run_.Settings().AllZ + 1});
    for (QLabel *c : {Panel4Caption, Panel17Caption, Panel23Caption})
        c->setText(caption);
    ButNext->setEnabled(false);
    FocusFirstAnswer();
}

bool TFmZK::LoadPictureInto(PictureBox *box, const QString &name)
{
    QImage image;
    if (!LoadPicture(image, name, run_.FileKind(), run_.ExamStreams(), run_.ExamFileName()))
        return false;
    box->setPixmap(QPixmap::fromImage(image));
    return true;
}

// ---- Answering ---------------------------------------------------------------------------------

void TFmZK::ButNextClick()
{
    run_.SetExaminee(ComboBox1->currentText(), ComboBox2->currentText(), MaskEdit1->text());
    run_.Next();
}

void TFmZK::PageChanged()
{
    const Page page = run_.CurrentPage();
    if (page != PageEmpty && page < PageTitle) {
        ShowQuestion();
        return;
    }
    ShowPage(page);
    if (page == PageInstructions) {
        ButNext->setFocus();
    } else if (page == PageRegistration) {
        ComboBox1->setFocus();
        // A choose-only list is dropped down; a box that may be typed into is not, or the
        // drop-down would take the keys the examinee types (the box completes from its list).
        if (!globals_.SameUser && ComboBox1->count() > 0 && !ComboBox1->isEditable())
            ComboBox1->showPopup();
    }
}

void TFmZK::QuestionsStarted()
{
    if (!run_.Settings().BolNotKnow)
        return;
    savedPanelCaption_ = Panel1Caption->text();
    Panel1Caption->clear();
    UncheckAnswers(DontKnowButtons);
    RadioButNotKwon->setVisible(true);
}

void TFmZK::ResultShown(const ExamResult &result)
{
    if (run_.Settings().BolNotKnow) {
        RadioButNotKwon->setVisible(false);
        Panel1Caption->setText(savedPanelCaption_);
    }
    Memo14->clear();
    if (run_.Settings().TipOc == 0)
        Memo14->setPlainText(result.Summary.join(u'\n'));
    ButNext->setText(run_.Messages()[Msg::U_BUTEXIT]);
    ButNext->setEnabled(true);
    ButNew->setVisible(true);
    ButNext->setFocus();
    ButYesResult->setEnabled(true);
}

void TFmZK::PasswordCleared()
{
    MaskEdit1->clear();
}

void TFmZK::Finished()
{
    close();
}

void TFmZK::Guarded(const std::function<void()> &step)
{
    ::Guarded(this, step);
}

bool TFmZK::Message(MessageKind kind, const QString &caption, const QString &text)
{
    return Dialogs().Message(this, kind, caption, text);
}

std::optional<QString> TFmZK::ConfirmPassword(const QString &caption, const QString &prompt)
{
    return Dialogs().Password(this, caption, prompt);
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

void TFmZK::ClockTicked(const std::optional<QString> &text)
{
    for (QLabel *l : {Label2, Label5, Label7}) {
        l->setVisible(run_.Settings().AnsvTmBol);
        if (text)
            l->setText(*text);
    }
}

void TFmZK::TimedOut()
{
    if (preview_)
        preview_->close();
}

// ---- Closing -----------------------------------------------------------------------------------

void TFmZK::closeEvent(QCloseEvent *event)
{
    if (busy_ > 0) {
        closeAsked_ = true; // a step is waiting on the folder: it ends first, then this
        event->ignore();
        return;
    }
    if (!quietClose_) {
        // No is the default: Enter alone must never end an examination.
        if (!Message(MessageKind::QuestionDefaultNo, run_.Messages()[Msg::U_WARNING],
                     run_.Messages()[Msg::U_DLGEXITPROGRAMM])) {
            event->ignore();
            return;
        }
        // Only an examination under way is recorded: a window whose exam could not be read
        // (empty page, no question shown) has no examinee to record.
        if (run_.UnderWay()) {
            run_.Interrupt();
            Q_EMIT examInterrupted();
        }
    }
    // Closing the window: the desktop as it was, and the manager's share let go.
    ShowTaskBar(true);
    ShowAppButton(true);
    if (globals_.ManagerShareOpen && !globals_.ManagerShareDir.isEmpty())
        Folders().Post([dir = globals_.ManagerShareDir] { DisconnectShare(dir, true); });
    event->accept();
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
