#pragma once

#include <QByteArray>
#include <QDate>
#include <QIODevice>
#include <QList>
#include <QString>

#include <functional>
#include <optional>

// A result on its way to the journal folder, as the station keeps it until its line is in the
// result journal: what the journals need, taken when the examination ended. The subject number
// and the report file come from the folder once it can be had; each is noted when it is had, so
// that a station that stops in between goes on from there.
struct KeptResult
{
    QString Folder;       // the journal folder
    QString ExamFileName; // the exam, for the subject journal
    QString Title;        // CEdit
    int32_t Questions = 0;
    QDate Date;
    QString Group, Name, Answers;
    int32_t Percent = 0, Mark = 0;
    bool WithReport = false;
    QString Report; // the plain report, when WithReport
    // Progress.
    int32_t Subject = 0; // 0 until looked up
    bool ReportDone = false;
    QString ReportFile; // the report file written (full name), or empty
};

// Result lines, and results whose lines are not composed yet, kept in a file of this station's
// own data folder until their journal can be had. Each line is appended once: before it is
// written, the place it goes to is noted, so a station that dies in between finds out at the
// next attempt whether the line got there. The file is held only while it is changed, never
// while the network is waited on.
class PendingResults
{
public:
    struct Entry
    {
        QString Id;
        QString Journal; // full name of the result journal
        QByteArray Line; // the bytes to append, CR LF included; empty until composed
        qint64 At = -1;  // where an append of it was under way, or -1
        std::optional<KeptResult> Result; // set until the line is composed
    };

    explicit PendingResults(QString fileName);
    // The file of the program's data folder.
    static QString DefaultFile();

    // Keeps Line for Journal; false when even this station's file cannot be written.
    bool Keep(const QString &journal, const QByteArray &line);
    // Keeps a result, on the disk when it returns; its Id, or empty when the file could not be
    // written.
    QString Keep(const KeptResult &result);
    // Replaces the entry of the same Id; false when it is gone or the file cannot be written.
    bool Update(const Entry &entry);
    bool Remove(const QString &id);
    // Appends the kept lines of Journal to the journal the caller holds (open for reading and
    // writing, others kept from writing), before anything else goes into it. False when a line
    // could not be written (it stays kept).
    bool WriteInto(const QString &journal, QIODevice &held);
    // Appends the kept lines of every journal that exists and can be had.
    void WriteAll();
    QList<Entry> Entries() const;

private:
    // Changes the kept entries under the file's hold; false when the file cannot be had.
    bool Change(const std::function<void(QList<Entry> &)> &change) const;
    QString file_;
};
