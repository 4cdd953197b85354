#pragma once

#include "core/Clock.h"
#include "core/LineList.h"
#include "core/MessageKind.h"
#include "exam/ExamFile.h"
#include "exam/ListStreams.h"
#include "exam/Questions.h"
#include "exam/Settings.h"
#include "lang/Messages.h"
#include "records/JournalShare.h"
#include "records/Recording.h"
#include "records/Scoring.h"
#include "records/ServerLink.h"
#include "session/Registration.h"
#include "session/RunGlobals.h"

#include <QObject>
#include <array>
#include <functional>
#include <future>
#include <memory>
#include <optional>
#include <vector>

// The pages of an examination, by the index the window shows them at.
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

// What a run tells whoever shows it, and what it asks of the examinee.
class RunView
{
public:
    virtual ~RunView() = default;
    // The run went to another page (the question pages: a question was loaded).
    virtual void PageChanged() {}
    // The first question is on screen.
    virtual void QuestionsStarted() {}
    // The answer chosen for the question on screen changed (CurrentAnswer).
    virtual void AnswerChanged() {}
    // The answer clock ticked; Text is the clock's new text, none when it keeps its text.
    virtual void ClockTicked(const std::optional<QString> &text) { Q_UNUSED(text) }
    // The answer time ran out; the run moves on at once.
    virtual void TimedOut() {}
    // The result is computed and the result page is on; the journals are written behind it.
    virtual void ResultShown(const ExamResult &result) { Q_UNUSED(result) }
    // The run waits on the journal folder (Text says what for), or waits no more (none): no
    // step may start meanwhile.
    virtual void Busy(const std::optional<QString> &text) { Q_UNUSED(text) }
    // The journal folder of the opened exam is settled and its lists are read; Reachable false:
    // the share cannot be reached and the exam allows no fallback (the program ends).
    virtual void FolderSettled(bool reachable) { Q_UNUSED(reachable) }
    // Results kept on this station that wait for their journal: Count of them.
    virtual void ResultsWaiting(int count) { Q_UNUSED(count) }
    // The examinee's password was refused and is to be typed again.
    virtual void PasswordCleared() {}
    // The examinee left the result page: the program ends.
    virtual void Finished() {}
    // Runs a step the timer started; an error it raises is shown, not thrown on.
    virtual void Guarded(const std::function<void()> &step) { step(); }
    // A message box; the answer is true for Yes (and for the boxes that only say something).
    virtual bool Message(MessageKind kind, const QString &caption, const QString &text) = 0;
    // The password typed again for confirmation; none when cancelled.
    virtual std::optional<QString> ConfirmPassword(const QString &caption,
                                                   const QString &prompt) = 0;
};

// One examination after another on one exam file, without widgets: the exam as read, the
// question and answer order, the examinee, the answer log, the step engine and its timers, the
// result and the records. The window draws what it says and forwards what the examinee does.
class ExamRun : public QObject
{
    Q_OBJECT

public:
    ExamRun(RunGlobals &globals, RunView &view, QObject *parent = nullptr);
    ~ExamRun() override;

    void SetExamFileName(const QString &name) { examFileName_ = name; }
    const QString &ExamFileName() const { return examFileName_; }
    // The exam file read ahead (on another thread while the window was built); used by the
    // next reading when it is of the same file.
    void SetPrefetchedExam(std::future<LoadedExam> exam) { prefetched_ = std::move(exam); }

    enum class Opening {
        Read,    // read: reset to the title page comes next, the journal folder is settled behind
        NoSetup, // the exam has no [Setup]: nothing more is read
        Damaged, // a bad value stopped the settings (Setup.Error); nothing more is read
    };
    // Opens the exam: the file, its settings, the language texts, the monitoring servers, the
    // question order. The journal folder is settled behind it on the folder thread (the journal
    // files, the registration lists, the results this station still keeps), and FolderSettled
    // says when; "Далее>>" on the title page waits for it. A damaged container raises
    // ECorruptFile.
    // An exam on a share is fetched first (MustFetch), so that Open never waits on a share.
    Opening Open();
    // The exam is on a share and not read yet.
    bool MustFetch() const;
    // Reads the exam on the share on the folder thread, the window busy and going on
    // meanwhile; then Then, and Open takes what was read (or raises what the reading raised).
    void Fetch(std::function<void()> then);
    // The journal folder is settled (FolderSettled was said).
    bool FolderReady() const { return settled_; }
    // A step waits on the folder thread and goes on when its answer comes.
    bool StepWaits() const { return titleWaits_ || stepWaits_; }
    // How the settings were read by the last opening.
    const SetupReading &Setup() const { return setup_; }
    // The next examinee starts at the title page.
    void Reset();

    // The examinee's acts.
    void SetExaminee(const QString &group, const QString &name, const QString &password);
    // "Далее>>": one step from the page on screen.
    void Next();
    // The answer at Position: the display position of a text or picture answer, the position in
    // the exam file of a list item. Positions the question does not show are refused.
    void Choose(int position);
    void DontKnow();
    // The answer time ran out: a wrong answer when none was chosen, then the next step.
    void TimeOut();
    // The examination is broken off (the window closed during the questions): recorded as not
    // finished.
    void Interrupt();
    // A question is on screen: closing now interrupts the examination.
    bool UnderWay() const;

    // The exam as read.
    const ExamSettings &Settings() const { return settings_; }
    const TMessages &Messages() const { return messages_; }
    const TLineList &ExamLines() const { return examLines_; }
    TListStreams *ExamStreams() const { return examStreams_.get(); }
    int32_t FileKind() const { return fileKind_; }
    // The journal folder as settled.
    const QString &JournalDir() const { return journalDir_; }
    ServerLink &Link() { return *link_; }
    const ServerLink &Link() const { return *link_; }

    // The examination as it stands.
    Page CurrentPage() const { return page_; }
    const std::vector<int32_t> &QuestionOrder() const { return questionOrder_; }
    const AnswerOrderTable &AnswerOrder() const { return *answerOrder_; }
    const TQuestion &CurrentQuestion() const { return question_; }
    int32_t CurrentIndex() const { return currentIndex_; }
    int32_t CurrentCorNo() const { return currentCorNo_; }
    int32_t AnswerTimeMs() const { return answerTimeMs_; }
    int32_t CurrentAnswer() const { return currentAnswer_; }
    // The file positions of the list items shown, in order (a list with a gap skips it).
    const std::vector<int> &ListPositions() const { return listPositions_; }
    const AnswerLog &Log() const { return log_; }
    const QString &Group() const { return group_; }
    const QString &Name() const { return name_; }
    const QString &Password() const { return password_; }
    // "Далее>>" may be pressed: an answer is chosen, or the page is not a question.
    bool CanGoOn() const;
    // The examinee lists of the registration page.
    QStringList Groups(const QStringList &have) const;
    QStringList Names(const QString &group, const QStringList &have) const;
    QStringList PasswordLines() const { return passwords_.Lines(); }
    // The record of the examination, as the records take it.
    ExamRecord Record() const;
    // Results kept on this station that wait for their journal.
    int ResultsKept() const { return kept_; }
    // Takes the kept results to their journals now, as the retry timer does.
    void RetryKept();
    // The date line of the registration page.
    QString DateLine() const;

    // Loads question N (of the file) as the one on screen.
    void LoadQuestion(int32_t n);

    std::unique_ptr<TTimer> RxTimerEvent1; // the answer clock, every second
    std::unique_ptr<TTimer> RxTimerEvent2; // the answer time-out, one shot
    // While results wait on this station, they are taken to their journals this often.
    std::unique_ptr<TTimer> RetryTimer;
    static constexpr int RetryIntervalMs = 30000;

private:
    void SetPage(Page page);
    bool Fail(Msg message);
    // The registration page's checks, then the password list; the questions start when all
    // is well.
    void Register();
    void CheckPassword();
    void PasswordChecked(const PasswordCheck &check, const std::shared_ptr<JournalShare> &share);
    void RegisterPassword();
    // The password written to the list, or not: the questions start, or the examinee is told.
    void Registered(RegisterResult result);
    // Runs Work on the folder thread, the window busy with Text, then Then with its answer.
    template <typename R>
    void AwaitFolder(Msg text, std::function<R()> work, std::function<void(R)> then);
    void StartQuestions(bool registered);
    void AnswerStep();
    void EndExamination();
    void StartAnswerTimers();
    void RxTimerEvent1Timer();
    void WriteJournals();
    // Hands the results kept on this station to the folder thread, for their journals.
    void PostRecords();
    void SetKept(int count);
    // Settles the journal folder of the exam just read, on the folder thread.
    void SettleFolder(const QString &programDir);

    RunGlobals &globals_;
    RunView &view_;
    QString examFileName_;
    std::future<LoadedExam> prefetched_;
    ExamSettings settings_;
    SetupReading setup_;
    TMessages messages_;
    TLineList examLines_;
    TLineList questionBuffer_;
    std::unique_ptr<TListStreams> examStreams_;
    int32_t fileKind_ = 0;
    // The folder and the journals' state of the opened exam: used on the folder thread only.
    std::shared_ptr<JournalShare> share_;
    std::shared_ptr<JournalState> journal_;
    QString journalDir_;
    QString pendingFile_; // where this station keeps its results
    bool settled_ = true;
    bool titleWaits_ = false; // "Далее>>" on the title page waits for the folder
    bool stepWaits_ = false;  // a step waits on the folder thread for its answer
    bool reachable_ = true;
    int kept_ = 0;
    ServerLink *link_;
    TLineList examineeLines_;
    bool examineeLoaded_ = false;
    PasswordList passwords_; // the password list as the last check read it

    Page page_ = PageEmpty;
    std::vector<int32_t> questionOrder_;
    std::unique_ptr<AnswerOrderTable> answerOrder_;
    TQuestion question_;
    std::vector<int> listPositions_;
    int32_t currentIndex_ = -1;
    int32_t currentCorNo_ = 1;
    int32_t answerTimeMs_ = 0;
    int32_t currentAnswer_ = 0;
    int32_t answerSeconds_ = 0;
    int32_t elapsedSeconds_ = 0;
    AnswerLog log_;
    QString group_, name_, password_;
};
