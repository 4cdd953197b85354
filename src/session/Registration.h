#pragma once

#include "core/LineList.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

// The examinee lists and the shared password list of the registration page.

// Items (a list's entries already there), followed by the groups of the examinee lines that it
// does not hold yet, in file order of first appearance, without case-insensitive repeats. A
// roster line is group@name; a journal line date@group@name@...
QStringList ExamineeGroups(const TLineList &lines, bool roster, QStringList items = {});
// The same with the names of the lines whose group, in upper case, contains Group in upper case
// ("1" offers the names of groups 10 and 110).
QStringList ExamineeNames(const TLineList &lines, bool roster, const QString &group,
                          QStringList items = {});

enum class PasswordOutcome {
    Match, // the name is registered with this password
    Wrong, // the name is registered with another password
    Taken, // the name is new, but someone has this password
    New,   // neither the name nor the password is known
};

// A password list as read: its unscrambled Windows-1251 text, split into lines only on demand
// (a check of a long list never builds them).
struct PasswordList
{
    QByteArray Text;
    bool Available = true; // false: the file could not be had within the retries
    QStringList Lines() const;
    static PasswordList FromLines(const QStringList &lines);
};

// The first line with the name (case-insensitive) decides; the password is compared as it
// stands. Lines are name@password@group@date, split as the sectioned text splits them.
PasswordOutcome ClassifyPassword(const PasswordList &list, const QString &name,
                                 const QString &password);

QString PasswordRecord(const QString &name, const QString &password, const QString &group,
                       const QDate &date);

// The records of a password list file (created empty when missing); a file shorter than two
// bytes is an empty list, one that cannot be had within the retries an empty list that is not
// Available.
PasswordList ReadPasswordList(const QString &fileName);

// The scrambled file of the list Old (a file's bytes) with Record added as its last line: the
// old content stays exactly as it was. Known (plain text) is the list to start from when Old is
// empty.
QByteArray AppendedPasswordList(const QByteArray &old, const QByteArray &known,
                                const QByteArray &record);

enum class RegisterResult { Written, Unavailable };

// A check of the password list, and the registration that followed it in the same hold of the
// list when no one had to be asked first.
struct PasswordCheck
{
    PasswordList List;
    PasswordOutcome Outcome = PasswordOutcome::New;
    std::optional<RegisterResult> Registered;
};

// Reads the list and classifies Name and Password. On a share the list is held for reading and
// writing at once, and when RegisterNow says so for the outcome, Record is added before it is
// let go (one open instead of two); Registering runs around that writing. Elsewhere, or where
// the list cannot be written, it is only read, as ReadPasswordList reads it.
PasswordCheck
CheckPasswordList(const QString &fileName, const QString &name, const QString &password,
                  const QString &record, const std::function<bool(PasswordOutcome)> &registerNow,
                  const std::function<void(const std::function<void()> &)> &registering);

// Appends Record to the password list. The list is held exclusively, re-read (so records added
// meanwhile by other stations stay), and replaced crash-safely: a station that dies in the
// middle leaves the previous list whole. Known is the list as the check read it, used when the
// file is empty.
RegisterResult AppendPasswordRecord(const QString &fileName, const QStringList &known,
                                    const QString &record);
