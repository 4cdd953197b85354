#include "ExamRun.h"

#include "core/DateFormat.h"
#include "core/Files.h"
#include "core/FolderThread.h"
#include "core/Paths.h"
#include "core/Shares.h"
#include "records/JournalFolder.h"
#include "records/PendingResults.h"

#include <QFileInfo>
#include <QScopeGuard>
#include <QThread>

#include <cmath>

namespace {

const QString PasswordFile = QStringLiteral("tarvik.pwl");

} // namespace

ExamRun::ExamRun(RunGlobals &globals, RunView &view, QObject *parent)
    : QObject(parent), globals_(globals), view_(view), link_(new ServerLink(this)),
      answerOrder_(std::make_unique<AnswerOrderTable>())
{
    for (auto &row : *answerOrder_)
        row.fill(0);
    RxTimerEvent1 = Clock().NewTimer();
    RxTimerEvent1->SetInterval(1000);
    RxTimerEvent1->OnTimer = [this] { RxTimerEvent1Timer(); };
    RxTimerEvent2 = Clock().NewTimer();
    RxTimerEvent2->SetSingleShot(true);
    RxTimerEvent2->OnTimer = [this] { view_.Guarded([this] { TimeOut(); }); };
    RetryTimer = Clock().NewTimer();
    RetryTimer->SetInterval(RetryIntervalMs);
    RetryTimer->OnTimer = [this] { RetryKept(); };
}

void ExamRun::RetryKept()
{
    if (kept_ > 0 && Folders().Queued() == 0)
        PostRecords();
}

ExamRun::~ExamRun() = default;

void ExamRun::SetPage(Page page)
{
    page_ = page;
    view_.PageChanged();
}

// ---- Opening the exam ---------------------------------------------------------------------------

ExamRun::Opening ExamRun::Open()
{
    page_ = PageEmpty;
    const QString programDir = ProgramDir();
    examLines_.Clear();
    examStreams_.reset();
    LoadedExam exam;
    bool read = false;
    if (prefetched_.valid()) {
        exam = prefetched_.get(); // raises what the reading raised
        read = exam.FileName == examFileName_;
    }
    if (!read)
        exam = LoadExamFile(examFileName_, fileKind_); // local: one on a share was fetched
    fileKind_ = exam.FileKind;
    examLines_ = std::move(exam.Lines);
    examStreams_ = std::move(exam.Streams);

    setup_ = ReadSetup(examLines_, settings_);
    if (!setup_.Found)
        return Opening::NoSetup;
    settings_ = setup_.Settings;
    // The exam's own texts, or the language file of the programs.
    const TLineList source = settings_.UniLang ? examLines_ : ProgramLanguageText();
    messages_ = ReadLanguageSection(source, settings_.Language, setup_.LanguageTipResult);
    if (setup_.Error)
        return Opening::Damaged;
    link_->Configure(settings_);
    currentIndex_ = -1;
    questionOrder_ = BuildQuestionOrder(settings_.AllZ, settings_.AnRand);
    if (globals_.CmdSwitches && globals_.NoJournalSwitch)
        settings_.SaveJuornal = false;
    SettleFolder(programDir);
    return Opening::Read;
}

void ExamRun::SettleFolder(const QString &programDir)
{
    // Each opening has its own folder and journal state: work of the exam before may still be
    // under way with its own.
    auto share = share_ = std::make_shared<JournalShare>(settings_);
    auto journal = journal_ = std::make_shared<JournalState>();
    journal->ExamFileName = examFileName_;
    journal->Title = settings_.CEdit;
    struct Settled
    {
        bool Reachable = true;
        bool DbNet = false;
        QString Dir;
        std::optional<TLineList> Lines;
        int Kept = 0;
    };
    const QString kept = pendingFile_ = PendingResults::DefaultFile();
    const bool prepare = settings_.SaveJuornal;
    const bool lists = prepare && !globals_.SameUser && !examineeLoaded_;
    const bool roster = settings_.Spisok;
    settled_ = false;
    Folders().Post<Settled>(
        [share, journal, programDir, kept, prepare, lists, roster] {
            Settled s;
            s.Reachable = share->Settle(programDir);
            s.DbNet = share->DbNet();
            s.Dir = share->Dir();
            if (!s.Reachable)
                return s; // nothing is created or filled
            journal->Folder = s.Dir;
            if (prepare) {
                {
                    JournalShare::Scope access(*share, JournalShare::Access::Prepare);
                    if (access.Unreachable()) {
                        s.Reachable = false;
                        return s;
                    }
                    PrepareJournalFiles(access.Dir(), programDir);
                }
                if (lists) {
                    // Read once a run: the lists of later examinees grow from what the boxes hold.
                    JournalShare::Scope access(*share, JournalShare::Access::ExamineeLists);
                    s.Lines = ReadExamineeLines(roster ? share->Dir() : access.Dir(), roster);
                }
                // Results this station could not write before go to their journals first.
                PendingResults pending(kept);
                CompleteKeptResults(pending, *journal);
                pending.WriteAll();
            }
            s.Kept = int(PendingResults(kept).Entries().size());
            return s;
        },
        this,
        [this, share](Settled s) {
            if (share != share_)
                return; // another exam was opened meanwhile
            settled_ = true;
            reachable_ = s.Reachable;
            settings_.DbNet = s.DbNet;
            journalDir_ = s.Dir;
            if (s.Lines) {
                examineeLines_ = std::move(*s.Lines);
                examineeLoaded_ = true;
            }
            SetKept(s.Kept);
            // "Далее>>" pressed on the title page before now goes on here, after the wait has
            // ended: a box the folder brings (the share cannot be reached) takes its input.
            const bool stepWaits = titleWaits_;
            if (titleWaits_) {
                titleWaits_ = false;
                view_.Busy(std::nullopt);
            }
            view_.FolderSettled(s.Reachable);
            if (stepWaits && s.Reachable && page_ == PageTitle)
                SetPage(PageInstructions);
        });
}

QStringList ExamRun::Groups(const QStringList &have) const
{
    return ExamineeGroups(examineeLines_, settings_.Spisok, have);
}

QStringList ExamRun::Names(const QString &group, const QStringList &have) const
{
    return ExamineeNames(examineeLines_, settings_.Spisok, group, have);
}

void ExamRun::Reset()
{
    for (auto &row : *answerOrder_)
        row.fill(0);
    // A new examinee starts with an empty log, and with no percentage and no mark: an exam
    // without marks must not hand an earlier examinee's figures to the journal.
    log_.Clear();
    RxTimerEvent2->SetEnabled(false);
    currentIndex_ = -1;
    currentAnswer_ = 0;
    if (!globals_.SameUser)
        group_.clear(), name_.clear(), password_.clear();
    link_->Reset(); // every socket closed without a message, the lamps hidden
    SetPage(PageTitle);
}

QString ExamRun::DateLine() const
{
    const QLocale names = settings_.Language == 0 ? QLocale(QLocale::Russian) : QLocale::system();
    return FormatDateTimePattern(messages_[Msg::U_LABDATEZK], QDateTime::currentDateTime(), names);
}

// ---- Steps
// ----------------------------------------------------------------------------------------

void ExamRun::SetExaminee(const QString &group, const QString &name, const QString &password)
{
    group_ = group;
    name_ = name;
    password_ = password;
}

bool ExamRun::CanGoOn() const
{
    return page_ >= PageTitle || currentAnswer_ != 0;
}

bool ExamRun::UnderWay() const
{
    return currentIndex_ >= 0 && currentIndex_ <= settings_.AllZ && page_ < PageTitle;
}

void ExamRun::Next()
{
    if (stepWaits_)
        return; // the step under way goes on when the folder answers
    RxTimerEvent2->SetEnabled(false);
    switch (page_) {
    case PageTitle:
        if (!settled_) {
            // The folder is settled on its thread; the step goes on when it is.
            if (!titleWaits_) {
                titleWaits_ = true;
                view_.Busy(messages_[Msg::U_BUSYFOLDER]);
            }
        } else if (reachable_) {
            SetPage(PageInstructions);
        }
        break;
    case PageInstructions:
        if (settings_.SaveJuornal)
            SetPage(PageRegistration);
        else
            StartQuestions(false);
        break;
    case PageRegistration:
        Register();
        break;
    case PageResult:
        if (globals_.ManagerShareOpen && !globals_.ManagerShareDir.isEmpty())
            Folders().Post([dir = globals_.ManagerShareDir] { DisconnectShare(dir, true); });
        view_.Finished();
        break;
    default:
        AnswerStep();
        break;
    }
}

bool ExamRun::Fail(Msg message)
{
    view_.Message(MessageKind::Error, messages_[Msg::U_ERROR], messages_[message]);
    return false;
}

void ExamRun::Register()
{
    // Texts as they stand: a group or a name of blanks passes.
    if (group_.isEmpty())
        return (void)Fail(Msg::U_LABNOTGRUPPZK);
    if (name_.isEmpty())
        return (void)Fail(Msg::U_LABFIOMEZK_NONE);
    if (settings_.YesPassword && password_.isEmpty())
        return (void)Fail(Msg::U_NOPASSW);
    // Records of the program have no quoting: an "@" would shift every later field of the
    // password list, the journals and the monitoring messages.
    for (const QString &text : {group_, name_, password_})
        if (text.contains(u'@'))
            return (void)Fail(Msg::U_NOATSIGN);
    if (settings_.YesPassword)
        CheckPassword();
    else
        StartQuestions(true);
}

bool ExamRun::MustFetch() const
{
    return IsUncName(examFileName_) && !prefetched_.valid();
}

void ExamRun::Fetch(std::function<void()> then)
{
    auto reading = std::make_shared<std::promise<LoadedExam>>();
    prefetched_ = reading->get_future();
    AwaitFolder<bool>(
        Msg::U_BUSYFOLDER,
        [reading, file = examFileName_, kind = fileKind_, here = QThread::currentThread()] {
            try {
                reading->set_value(LoadExamFile(file, kind, here));
            } catch (...) {
                reading->set_exception(std::current_exception());
            }
            return true;
        },
        [then = std::move(then)](bool) { then(); });
}

template <typename R>
void ExamRun::AwaitFolder(Msg text, std::function<R()> work, std::function<void(R)> then)
{
    // The window goes on with its own loop meanwhile; the step goes on with the answer.
    stepWaits_ = true;
    view_.Busy(messages_[text]);
    Folders().Post<R>(std::move(work), this, [this, then = std::move(then)](R answer) {
        stepWaits_ = false;
        view_.Busy(std::nullopt);
        then(std::move(answer));
    });
}

void ExamRun::CheckPassword()
{
    auto share = share_;
    const QString record = PasswordRecord(name_, password_, group_, Clock().Now().date());
    AwaitFolder<PasswordCheck>(
        Msg::U_BUSYPASSWORD,
        [share, name = name_, password = password_, record, dubl = settings_.DublPwrd] {
            JournalShare::Scope access(*share, JournalShare::Access::PasswordCheck);
            access.Keep(); // let go when the check ends, in PasswordChecked
            // A new examinee whom no one need ask is registered in the same hold.
            return CheckPasswordList(
                JoinPath(access.Dir(), PasswordFile), name, password, record,
                [dubl](PasswordOutcome o) { return o == PasswordOutcome::New && !dubl; },
                [&share](const std::function<void()> &write) {
                    JournalShare::Scope registering(*share, JournalShare::Access::PasswordRegister);
                    write();
                });
        },
        [this, share](PasswordCheck check) { PasswordChecked(check, share); });
}

void ExamRun::PasswordChecked(const PasswordCheck &check,
                              const std::shared_ptr<JournalShare> &share)
{
    passwords_ = check.List;
    // Refused in the confirmation: the share stays connected for the next try.
    bool keep = false;
    const auto letGo = qScopeGuard([&] {
        if (!keep)
            Folders().Post([share] { share->LetGo(JournalShare::Access::PasswordCheck); });
    });
    if (!passwords_.Available) {
        // A list held elsewhere all the time is no empty list: a registered examinee would be
        // taken for a new one and registered twice.
        return (void)Fail(Msg::U_PWLUNAVAILABLE);
    }
    if (check.Registered) // the examinee must not go on as if the password had been recorded
        return Registered(*check.Registered);
    const auto refused = [this] {
        view_.Message(MessageKind::Warning, messages_[Msg::U_WARNING],
                      messages_[Msg::U_NOTPASSWORD]);
        password_.clear();
        view_.PasswordCleared();
    };
    switch (check.Outcome) {
    case PasswordOutcome::Match:
        return StartQuestions(true);
    case PasswordOutcome::Wrong:
        return refused();
    case PasswordOutcome::Taken:
        if (!view_.Message(MessageKind::Question, messages_[Msg::U_WARNING],
                           messages_[Msg::U_YESPASSW]))
            return RegisterPassword();
        password_.clear();
        view_.PasswordCleared();
        return;
    case PasswordOutcome::New:
        if (!settings_.DublPwrd)
            return RegisterPassword();
        const auto typed =
            view_.ConfirmPassword(messages_[Msg::U_DLDPASSW], messages_[Msg::U_DLDPASSWEDIT]);
        if (typed && *typed == password_)
            return RegisterPassword();
        keep = true;
        if (typed)
            refused();
        return;
    }
}

void ExamRun::RegisterPassword()
{
    const QString record = PasswordRecord(name_, password_, group_, Clock().Now().date());
    const QStringList known = passwords_.Lines();
    auto share = share_;
    AwaitFolder<RegisterResult>(
        Msg::U_BUSYPASSWORD,
        [share, record, known] {
            JournalShare::Scope access(*share, JournalShare::Access::PasswordRegister);
            return AppendPasswordRecord(JoinPath(access.Dir(), PasswordFile), known, record);
        },
        [this](RegisterResult r) { Registered(r); });
}

void ExamRun::Registered(RegisterResult result)
{
    // The examinee must not go on as if the password had been recorded.
    if (result == RegisterResult::Written)
        StartQuestions(true);
    else
        Fail(Msg::U_PWLNOTWRITTEN);
}

void ExamRun::StartQuestions(bool registered)
{
    if (questionOrder_.empty())
        return;
    currentIndex_ = 0;
    currentAnswer_ = 0;
    if (registered) {
        link_->SendInfo(name_, group_, settings_.CEdit, settings_.AllZ + 1);
        log_.ClearAnswerTimes();
    }
    LoadQuestion(questionOrder_[0]);
    view_.QuestionsStarted();
    StartAnswerTimers();
    log_.ExamStarted = Clock().Now();
    log_.QuestionShown(questionOrder_[0], log_.ExamStarted);
}

void ExamRun::LoadQuestion(int32_t n)
{
    question_ = LoadQuestionRecord(examLines_, n, questionBuffer_, *answerOrder_);
    currentCorNo_ = question_.CorNo;
    answerTimeMs_ =
        int32_t(qBound<qint64>(qint64(INT32_MIN), qint64(question_.AT) * 1000, qint64(INT32_MAX)));
    if (settings_.YTime)
        RxTimerEvent2->SetInterval(qMax(0, answerTimeMs_));
    listPositions_.clear();
    for (int k = 0; k < 4; ++k)
        if (question_.B[size_t(k)])
            listPositions_.push_back(k + 1);
    SetPage(Page(question_.Page()));
}

void ExamRun::Choose(int position)
{
    bool shown = false;
    if (page_ == PageTextAnswers)
        shown = position >= 1 && position <= 5 && question_.B[size_t(position - 1)];
    else if (page_ == PagePictureAnswers || page_ == PageListAnswers)
        shown = position >= 1 && position <= 4 && question_.B[size_t(position - 1)];
    if (!shown)
        return;
    currentAnswer_ = position;
    view_.AnswerChanged();
}

void ExamRun::DontKnow()
{
    if (!settings_.BolNotKnow)
        return;
    currentAnswer_ = DontKnowAnswer;
    view_.AnswerChanged();
}

void ExamRun::TimeOut()
{
    if (!settings_.YTime)
        return;
    // Nothing chosen in time: a real answer position that is wrong.
    if (currentAnswer_ == 0)
        currentAnswer_ = currentCorNo_ == 1 ? 2 : 1;
    view_.TimedOut();
    Next();
}

void ExamRun::AnswerStep()
{
    if (currentIndex_ < 0 || currentIndex_ >= int32_t(questionOrder_.size()))
        return; // no question is on screen
    const int32_t n = questionOrder_[size_t(currentIndex_)];
    log_.Answered(n, currentCorNo_, currentAnswer_, Clock().Now());
    if (link_->AnyEnabled())
        link_->SendAnswer(n, currentIndex_,
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

void ExamRun::EndExamination()
{
    log_.ExamTimeMs =
        log_.ExamStarted.isValid() ? qMax<qint64>(0, log_.ExamStarted.msecsTo(Clock().Now())) : 0;
    RxTimerEvent2->SetEnabled(false);
    // The result is computed for the records whatever the exam shows: without marks on screen
    // (TipOc other than 0) the examinee does not see it, but the journal and the report carry it.
    const ExamResult r = ComputeResult(log_, settings_, messages_);
    log_.CorrectCount = r.CorrectCount;
    log_.DontKnowCount = r.DontKnowCount;
    log_.Percent = r.Percent;
    log_.Mark = r.Mark;
    log_.NotFinished = false;
    SetPage(PageResult);
    view_.ResultShown(r);
    WriteJournals();
    link_->SendResult(QStringLiteral("@%1@").arg(log_.Mark));
}

void ExamRun::Interrupt()
{
    RxTimerEvent2->SetEnabled(false);
    log_.NotFinished = true;
    WriteJournals();
    link_->SendResult(QStringLiteral("@Not Fin@"));
}

// ---- Answer timing
// --------------------------------------------------------------------------------

void ExamRun::StartAnswerTimers()
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

void ExamRun::RxTimerEvent1Timer()
{
    std::optional<QString> text;
    if (settings_.AnsvTm == 0)
        text = FormatMessage(messages_[Msg::U_TANSV0], {elapsedSeconds_});
    else if (settings_.AnsvTm == 1)
        text = FormatMessage(messages_[Msg::U_TANSV1], {answerSeconds_ - elapsedSeconds_});
    view_.ClockTicked(text);
    ++elapsedSeconds_;
}

// ---- Records
// --------------------------------------------------------------------------------------

ExamRecord ExamRun::Record() const
{
    return ExamRecord{group_,        name_,      examFileName_,
                      settings_,     examLines_, log_,
                      *answerOrder_, messages_,  ReportTitlesOf(settings_)};
}

void ExamRun::WriteJournals()
{
    // The folder is settled: the title page waited for it.
    if (!settings_.SaveJuornal)
        return;
    // Kept on this station first, on its disk: whatever happens next, the result is either in
    // its journal or here, never lost and never twice.
    PendingResults(pendingFile_).Keep(KeptResultOf(journalDir_, Record(), Clock().Now()));
    SetKept(kept_ + 1);
    PostRecords();
}

void ExamRun::PostRecords()
{
    if (!share_)
        return;
    auto share = share_;
    auto journal = journal_;
    Folders().Post<int>(
        [share, journal, kept = pendingFile_] {
            JournalShare::Scope access(*share, JournalShare::Access::Results);
            PendingResults pending(kept);
            CompleteKeptResults(pending, *journal);
            pending.WriteAll();
            return int(pending.Entries().size());
        },
        this, [this](int kept) { SetKept(kept); });
}

void ExamRun::SetKept(int count)
{
    kept_ = count;
    RetryTimer->SetEnabled(count > 0);
    view_.ResultsWaiting(count);
}
