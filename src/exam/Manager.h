#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

// The subject manager file: subjects, each naming its exam file and, for one on a share, the
// account to connect it with, grouped by an optional category. What the manager's window
// shows and does, as functions of data.

struct ManagerRecord
{
    QString Subject;
    QString ExamFile;
    QString ShareUser;
    QString SharePassword;
    QString Category;
};

struct ManagerFile
{
    QList<ManagerRecord> Lines; // every line, blank lines included
    // In the order of first appearance, without repeats that differ only in letter case (the
    // first spelling stays). Empty: no line has one.
    QStringList Categories;
};

// The unscrambled text of a manager file, split as the sectioned text splits.
ManagerFile ReadManagerText(const QString &text);

// The subjects listed for a category: every line when the file has no category, else
// the lines whose category is exactly the one shown (letter case counts).
QList<ManagerRecord> SubjectsOf(const ManagerFile &file, const QString &category);

// The check list's rule when box Toggled was toggled (Checked holds the boxes after the toggle):
// at most one box stays checked. Returns the new selected index.
int ToggleCheck(QList<bool> &checked, int toggled, int selected);

// "Start" on a subject: its exam file and account without surrounding blanks and control
// characters, and the folder of the file (without its last separator). A name with two
// backslashes at its first, second or third character is on a network share.
struct ManagerChoice
{
    QString ExamFile;
    QString ShareUser;
    QString SharePassword;
    QString ShareDir;
    bool OnNetwork = false;
};
ManagerChoice ChooseSubject(const ManagerRecord &record);

// Whether the manager's share is to be let go later, after Start on a subject: a subject on a
// network share whose file is not reachable yet is connected with its account; one already
// reachable is not connected again. A local subject leaves it as it was.
bool ManagerShareOpenAfter(
    const ManagerChoice &choice, bool shareOpen, const std::function<bool(const QString &)> &exists,
    const std::function<int(const QString &, const QString &, const QString &)> &connect);
