#pragma once

#include "records/widgets/RichReport.h"
#include "session/ExamRun.h"
#include "session/PlayerForm.h"
#include "session/StartUp.h"
#include "ui/Preview.h"

#include <QPointer>
#include <QWidget>
#include <array>
#include <future>
#include <memory>
#include <vector>

class QButtonGroup;

// The examination window: every page of a run, the bottom bar and the handlers behind them.
// Handlers gather what the examinee did and call the exam's functions; the window only shows.
class TFmZK : public QWidget, private RunView, private PlayerForm
{
    Q_OBJECT

public:
    explicit TFmZK(RunGlobals &globals, QWidget *parent = nullptr);
    ~TFmZK() override;

    void SetExamFileName(const QString &name) { run_.SetExamFileName(name); }
    void SetPrefetchedExam(std::future<LoadedExam> exam)
    {
        run_.SetPrefetchedExam(std::move(exam));
    }

    // The examination the window shows.
    const ExamRun &Run() const { return run_; }
    ExamRun &Run() { return run_; }
    // The page on screen (a Page).
    int CurrentPage() const;
    bool ExamRead() const { return examRead_; }
    bool ReportBuilt() const { return reportBuilt_; }
    bool PreviewOpen() const { return !preview_.isNull(); }
    TFmPreview *Preview() const { return preview_; }
    // Width of the picture column of picture answers at this screen's resolution.
    int PictureColumnWidth() const;

    // Handlers: what the examinee does, forwarded to the run.
    // Opening an exam, once for each showing of the window (window-manager effects such as the
    // full-screen switch do not open it again): the exam is opened and reset to its title page.
    void OpenExam();
    void ResetSession();
    void ButNextClick();
    // The examinee chose the answer at display position Position (1-based) of the page on
    // screen; for the list page the position is the item's index + 1.
    void AnswerChosen(int position);
    void RadioButNotKwonClick();
    void ComboBox1Click();
    void ComboBox2Click();
    // The result page's "Подробно..." (builds the report) and "Сохранить" (saves it).
    void ButYesResultClick();
    // "Новый": the new-exam dialog, then the same exam for the next examinee, or the subject
    // manager again (the window hidden meanwhile) and the window on the exam chosen there.
    void ButNewClick();
    void ShowPreview(PictureBox *image);

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
    // What the run says.
    void PageChanged() override;
    void QuestionsStarted() override;
    void AnswerChanged() override;
    void ClockTicked(const std::optional<QString> &text) override;
    void TimedOut() override;
    void ResultShown(const ExamResult &result) override;
    void PasswordCleared() override;
    void Finished() override;
    void Guarded(const std::function<void()> &step) override;
    bool Message(MessageKind kind, const QString &caption, const QString &text) override;
    std::optional<QString> ConfirmPassword(const QString &caption, const QString &prompt) override;
    void Busy(const std::optional<QString> &text) override;
    void FolderSettled(bool reachable) override;
    void ResultsWaiting(int count) override;

    // The settings' captions, fonts and geometry, for the steps From to To of the reading.
    void ApplySetup(const SetupReading &reading, SetupStep from, SetupStep to);
    void ShowQuestion();
    bool ComboBox1KeyPress(QObject *sender, QKeyEvent *event);
    void FillGroupList();
    void FillNameList(const QString &group);

    // The journal share cannot be reached and the exam says so: one box, then the program ends.
    void EndForUnreachableShare();
    void UncheckAnswers(QButtonGroup *group);
    // The controls to their handlers.
    void ConnectControls();
    void FocusFirstAnswer();
    void RBut1KeyPress(QKeyEvent *event);

    void InstallRegistrationKeys();

    void ApplyMessages();
    void ShowPage(int page);
    bool LoadPictureInto(PictureBox *box, const QString &name);
    void ApplyTaskBar(bool visible);
    void ApplyAppButton(bool visible);

    RunGlobals &globals_;
    ExamRun run_;
    int screenDpiX_ = 96;
    bool examRead_ = false;
    bool quietClose_ = false;
    QPointer<TFmPreview> preview_;
    QString savedPanelCaption_;
    bool reportBuilt_ = false;
    bool reportVisible_ = true;
    bool fullScreenForExam_ = false;
    bool opening_ = false;      // OpenExam is running
    bool windowEffect_ = false; // the window is hidden and shown for a desktop effect
    int quietChecks_ = 0;       // answer buttons are being set by the program, not chosen
    int busy_ = 0;              // steps waiting on the journal folder
    bool closeAsked_ = false;   // closing was asked while a step waited
    bool nextWasEnabled_ = false;
};
