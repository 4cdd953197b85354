#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QList>
#include <QString>

// Result lines that could not be appended to their journal, kept in a file of this station's
// own data folder until their journal can be had. Each line is appended once: before it is
// written, the place it goes to is noted, so a station that dies in between finds out at the
// next attempt whether the line got there.
class PendingResults
{
public:
    struct Entry
    {
        QString Journal; // full name of the result journal
        QByteArray Line; // the bytes to append, CR LF included
        qint64 At = -1;  // where an append of it was under way, or -1
    };

    explicit PendingResults(QString fileName);
    // The file of the program's data folder.
    static QString DefaultFile();

    // Keeps Line for Journal; false when even this station's file cannot be written.
    bool Keep(const QString &journal, const QByteArray &line);
    // Appends the kept lines of Journal to the journal the caller holds (open for reading and
    // writing, others kept from writing), before anything else goes into it. False when a line
    // could not be written (it stays kept).
    bool WriteInto(const QString &journal, QIODevice &held);
    // Appends the kept lines of every journal that exists and can be had.
    void WriteAll();
    QList<Entry> Entries() const;

private:
    bool Save(const QList<Entry> &entries) const;
    QString file_;
};
