#pragma once

#include "session/ExamRun.h"

#include <QFile>
#include <QObject>
#include <random>

// A station without a display: examinees taken through an exam by script, by the same run
// engine, folder thread, share layer, password list and kept results as the player, for load
// and fault runs of many stations on one journal folder.
struct StationOptions
{
    QString ExamFile;
    int Examinees = 1;
    QString Group = QStringLiteral("Станция");
    QString NamePrefix; // examinee k is "NamePrefix k"
    quint32 Seed = 0;
    int ThinkMinMs = 0, ThinkMaxMs = 0; // before the registration and each answer
    QString Password;                   // typed where the exam asks for one
    QString Ledger;                     // what the station hands to the records; empty: none
    int DrainSeconds = 60;
};

class Station : public QObject, public RunView
{
    Q_OBJECT

public:
    // What the station ends with: nothing kept, some results still kept (written at the next
    // start), or an error said on standard error.
    enum Exit { Done = 0, Failed = 1, StillKept = 3 };

    Station(RunGlobals &globals, StationOptions options, QObject *parent = nullptr);
    // Opens the exam and takes the examinees; Finished says how it ended.
    void Start();
    // Ends as closing the player's window ends it: an examination under way is recorded as not
    // finished, then the kept results are given the drain time.
    void Stop();
    const ExamRun &Run() const { return run_; }

Q_SIGNALS:
    void finished(int exit);

private:
    // RunView: the pages go by themselves, boxes are said on standard error and answered yes.
    void Busy(const std::optional<QString> &text) override;
    void FolderSettled(bool reachable) override;
    void ResultShown(const ExamResult &result) override;
    void Finished() override {}
    bool Message(MessageKind kind, const QString &caption, const QString &text) override;
    std::optional<QString> ConfirmPassword(const QString &caption, const QString &prompt) override;

    void Opened();
    // The examinee's next act, after the think time where it has one.
    void Schedule();
    void Act();
    void Answer();
    void Drain();
    void End(Exit exit, const QString &error = QString());
    int Think();

    RunGlobals &globals_;
    StationOptions options_;
    ExamRun run_;
    std::mt19937 random_;
    QFile ledger_;
    int examinee_ = 0;      // from 1; 0 before the first
    int registrations_ = 0; // tries of the examinee's registration
    bool scheduled_ = false;
    bool stopping_ = false;
    bool ended_ = false;
};

// "tarvik-station" arguments: the options, or an error said in words.
bool ParseStationArguments(const QStringList &args, StationOptions &options, QString &error);
