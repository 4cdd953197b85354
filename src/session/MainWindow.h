#pragma once

#include "core/Clock.h"
#include "exam/ExamFile.h"
#include "exam/ListStreams.h"
#include "exam/Questions.h"
#include "exam/Settings.h"
#include "lang/Messages.h"
#include "records/Recording.h"
#include "records/Scoring.h"
#include "records/ServerLink.h"
#include "records/widgets/RichReport.h"
#include "session/Registration.h"
#include "session/StartUp.h"
#include "session/Widgets.h"
#include "ui/Preview.h"

#include <QPointer>
#include <QWidget>
#include <array>
#include <future>
#include <memory>
#include <vector>

class QButtonGroup;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QScrollArea;
class QSplitter;
class QStackedWidget;
class QTextEdit;
class QToolButton;

// Pages of Notebook1, by index.
enum Page : int {
    PageEmpty = 0,
    PageTextAnswers = 1,
    PagePictureAnswers = 2,
    PageListAnswers = 3,
    PageTitle = 4,
    PageInstructions = 5,
    PageRegistration = 6,
    PageResult = 7,
};

// The examination window: every page of a run, the bottom bar and the handlers behind them.
// Handlers gather what the examinee did and call the exam's functions; the window only shows.
class TFmZK : public QWidget, private SetupSink
{
    Q_OBJECT

public:
    explicit TFmZK(RunGlobals &globals, QWidget *parent = nullptr);
    ~TFmZK() override;

    void SetExamFileName(const QString &name) { examFileName_ = name; }
    // The exam file read ahead (on another thread while the window was built); used by the
    // next reading when it is of the same file.
    void SetPrefetchedExam(std::future<LoadedExam> exam) { prefetched_ = std::move(exam); }

    // The session as the window holds it.
    const ExamSettings &Settings() const { return settings_; }
    const TMessages &Messages() const { return messages_; }
    const TLineList &ExamLines() const { return examLines_; }
    const std::vector<int32_t> &QuestionOrder() const { return questionOrder_; }
    const TQuestion &CurrentQuestion() const { return question_; }
    int32_t CurrentIndex() const { return currentIndex_; }
    int32_t CurrentCorNo() const { return currentCorNo_; }
    int32_t AnswerTimeMs() const { return answerTimeMs_; }
    int32_t CurrentAnswer() const { return currentAnswer_; }
    const AnswerOrderTable &AnswerOrder() const { return *answerOrder_; }
    const AnswerLog &Log() const { return log_; }
    bool PreviewOpen() const { return !preview_.isNull(); }
    TFmPreview *Preview() const { return preview_; }
    int32_t FileKind() const { return fileKind_; }
    const QString &JournalDir() const { return journalDir_; }
    int CurrentPage() const;
    bool ExamRead() const { return examRead_; }

    // Handlers.
    // The window was shown by the program: opens the exam.
    void FormShow();
    // Opening an exam, once for each showing of the window (window-manager effects such as the
    // full-screen switch do not open it again): the settings and questions are read, the journal
    // folder settled, the journal files and registration lists prepared, the session reset.
    void OpenExam();
    void ButNextClick();
    void LoadQuestion(int32_t n);
    void ShowQuestion();
    void ResetSession();
    void RadioButNotKwonClick();
    void RBut1KeyPress(QKeyEvent *event);
    // The examinee chose the answer at display position Position (1-based) of the page on
    // screen; for the list page the position is the item's index + 1.
    void AnswerChosen(int position);
    void RadioGroup1Click();
    // The result page's "Подробно..." (builds the report) and "Сохранить" (saves it).
    void ButYesResultClick();
    // "Новый": the new-exam dialog, then the same exam for the next examinee, or the subject
    // manager again (the window hidden meanwhile) and the window on the exam chosen there.
    void ButNewClick();
    void ShowPreview(PictureBox *image);

    // Answer timing.
    void StartAnswerTimers();
    void RxTimerEvent1Timer();
    void RxTimerEvent2Timer();
    std::unique_ptr<TTimer> RxTimerEvent1; // the clock, every second
    std::unique_ptr<TTimer> RxTimerEvent2; // the answer time-out, one shot

    // Registration.
    void FillGroupList();
    void FillNameList(const QString &group);
    void ComboBox1Click();
    void ComboBox2Click();
    // Enter in the group, name or password box; true when it was taken.
    bool ComboBox1KeyPress(QObject *sender, QKeyEvent *event);
    bool CheckPassword();
    // False when the password list could not be written.
    bool RegisterPassword();
    QStringList PasswordLines() const { return re3_.Lines(); }

    // The folder for one journal access.
    QString GetJournalDir();
    // Journals and report file of the examination (nothing without journals).
    void WriteJournals();
    // The examinee and the examination as the records take them.
    ExamRecord Record() const;
    ReportStyles ReportStylesOfControls() const;
    bool ReportBuilt() const { return reportBuilt_; }
    const JournalState &Journal() const { return journal_; }
    // Width of the picture column of picture answers at this screen's resolution.
    int PictureColumnWidth() const;

Q_SIGNALS:
    // The examinee closed the window during the questions; the examination was recorded as
    // interrupted.
    void examInterrupted();
    // An exam was opened (read and reset to its title page).
    void examOpened();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct AnswerRow
    {
        QFrame *Row;
        ClickPanel *Cell;
        QRadioButton *Radio;
        QTextEdit *Memo;
    };
    struct PictureRow
    {
        ClickPanel *Panel;
        QLabel *Caption;
        QRadioButton *Radio;
        PictureBox *Image;
        QToolButton *Zoom;
        QTextEdit *Memo;
    };

    bool SetupApplied(SetupStep step, const ExamSettings &settings) override;

    void BuildWindow();
    QWidget *BuildTextPage();
    QWidget *BuildPicturePage();
    QWidget *BuildListPage();
    QWidget *BuildTitlePage();
    QWidget *BuildInstructionsPage();
    QWidget *BuildRegistrationPage();
    QWidget *BuildResultPage();
    QWidget *BuildBottomBar();
    QFrame *BuildHeader(const QString &name, QLabel *&caption, QLabel *&clock);
    QTextEdit *NewMemo(const QString &name, QWidget *parent, const QString &accessible);

    enum class ExamReading { Read, NoSetup, ProgramEnds };
    ExamReading ReadExamFile();
    // The journal share cannot be reached and the exam says so: one box, then the program ends.
    void EndForUnreachableShare();
    void UncheckAnswers(QButtonGroup *group);
    void ConnectAnswerButtons();
    bool RegistrationAccepted();
    void StartQuestions(bool registered);
    void AnswerStep();
    void EndExamination();
    void ShowDontKnowButton();
    void FocusFirstAnswer();
    void Fail(Msg message);

    // The journal folder and the registration page's keys.
    void PrepareJournalFolder();
    void DisconnectJournalShare();
    void InstallRegistrationKeys();

    void LoadLanguage(int number, const QString &fileName);
    void ApplyMessages();
    void LayoutTextRows();
    void LayoutPictureRows();
    void LayoutTitlePage();
    void LayoutRegistrationBox();
    int RowHeight(int areaHeight) const;
    void ShowPage(int page);
    bool LoadPictureInto(PictureBox *box, const QString &name);
    void RecordInterruptedExam();
    void ApplyTaskBar(bool visible);
    void ApplyAppButton(bool visible);

    RunGlobals &globals_;
    QString examFileName_;
    ExamSettings settings_;
    TMessages messages_;
    TLineList examLines_;
    TLineList questionBuffer_;
    std::unique_ptr<TListStreams> examStreams_;
    std::future<LoadedExam> prefetched_;
    std::vector<int32_t> questionOrder_;
    std::unique_ptr<AnswerOrderTable> answerOrder_;
    TQuestion question_;
    int32_t fileKind_ = 0;
    int32_t currentIndex_ = -1;
    int32_t currentCorNo_ = 1;
    int32_t answerTimeMs_ = 0;
    int32_t currentAnswer_ = 0;
    int screenDpiX_ = 96;
    bool examRead_ = false;
    bool quietClose_ = false;
    AnswerLog log_;
    int32_t answerSeconds_ = 0;
    int32_t elapsedSeconds_ = 0;
    QPointer<TFmPreview> preview_;
    TLineList examineeLines_;
    bool examineeLoaded_ = false;
    PasswordList re3_; // the password list as the last check read it
    QString programDir_;
    QString journalDir_;
    QString savedPanelCaption_;
    JournalState journal_;
    bool reportBuilt_ = false;
    bool reportVisible_ = true;
    bool fullScreenForExam_ = false;
    bool opening_ = false;      // OpenExam is running
    bool windowEffect_ = false; // the window is hidden and shown for a desktop effect
    bool programEnds_ = false;
    int quietChecks_ = 0; // answer buttons are being set by the program, not chosen

public:
    // Controls, by the names the exam's designers and tests know them by.
    QStackedWidget *Notebook1 = nullptr;
    ServerLink *Link = nullptr; // the monitoring servers
    ClickPanel *Panel1 = nullptr;
    QLabel *Panel1Caption = nullptr;
    QPushButton *ButNext = nullptr;
    QPushButton *ButNew = nullptr;
    QRadioButton *RadioButNotKwon = nullptr;
    QButtonGroup *DontKnowButtons = nullptr; // of one, so the program can clear it
    ShapeIndicator *Shape1 = nullptr, *Shape2 = nullptr, *Shape3 = nullptr;
    QProgressBar *ProgressBar1 = nullptr;
    // Page 1.
    QFrame *Panel4 = nullptr;
    QLabel *Panel4Caption = nullptr, *Label2 = nullptr;
    QTextEdit *Memo1 = nullptr;
    QSplitter *Splitter1 = nullptr;
    ResizePanel *Panel6 = nullptr;
    std::array<AnswerRow, 5> Rows{};
    QButtonGroup *TextAnswerButtons = nullptr;
    // Page 2.
    QFrame *Panel17 = nullptr;
    QLabel *Panel17Caption = nullptr, *Label5 = nullptr;
    QTextEdit *Memo3 = nullptr;
    QSplitter *Splitter2 = nullptr;
    QScrollArea *ScrollBox1 = nullptr;
    ResizePanel *ScrollBoxArea = nullptr;
    std::array<PictureRow, 4> PictureRows{};
    QButtonGroup *PictureAnswerButtons = nullptr;
    // Page 3.
    QFrame *Panel23 = nullptr;
    QLabel *Panel23Caption = nullptr, *Label7 = nullptr;
    QFrame *Panel24 = nullptr;
    PictureBox *Image7 = nullptr;
    QToolButton *SpeedButton4 = nullptr;
    QTextEdit *Memo13 = nullptr;
    QSplitter *Splitter3 = nullptr;
    QGroupBox *RadioGroup2 = nullptr;
    QButtonGroup *RadioGroup2Buttons = nullptr;
    std::array<QRadioButton *, 4> RadioGroup2Items{};
    std::array<int, 4> RadioGroup2Positions{}; // file position k of each shown item
    // Page 4.
    ResizePanel *TitlePage = nullptr;
    PictureBox *Image1 = nullptr;
    QLabel *LabTop = nullptr, *LabTema = nullptr, *LabBut = nullptr, *LabJob = nullptr,
           *LabName = nullptr;
    // Page 5.
    QTextEdit *Memo15 = nullptr;
    // Page 6.
    QLabel *Label1 = nullptr, *Label3 = nullptr, *Label4 = nullptr, *Label6 = nullptr;
    QGroupBox *GroupBox1 = nullptr;
    QComboBox *ComboBox1 = nullptr, *ComboBox2 = nullptr;
    QLineEdit *MaskEdit1 = nullptr;
    QLabel *StaticText1 = nullptr;
    PictureBox *Image2 = nullptr;
    // Page 7.
    QTextEdit *Memo14 = nullptr;
    QSplitter *RxSplitter1 = nullptr;
    QPushButton *ButYesResult = nullptr;
    QTextEdit *REResult = nullptr;
};
