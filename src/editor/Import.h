#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include "lang/Messages.h"

#include <optional>

// Question banks of web learning systems into an exam: GIFT and Aiken (plain text, UTF-8) and
// Moodle XML. Only questions of one right answer among several go in (true/false as two
// answers); any other is named with its number and left out. HTML in texts becomes plain text.

struct BankPicture
{
    QString Name; // a bare file name
    QByteArray Bytes;
};

struct BankQuestion
{
    int Number = 0; // in the bank, from 1
    QString Text;
    QStringList Answers;
    int Correct = 0;                    // index into Answers
    std::optional<BankPicture> Picture; // of the question: a list question with a picture
    QList<BankPicture> AnswerPictures;  // one per answer: a question of picture answers
};

// A question left out (Number its place in the bank), or a fault of the whole file (Number 0):
// a message of the editor's table, its %d the number, its %s the detail.
struct BankProblem
{
    int Number = 0;
    Msg Why = Msg::E_BANKNOTXML;
    QString Detail;
};

struct BankImport
{
    QList<BankQuestion> Questions;
    // Every question left out, in the bank's order: with those imported, every question of it.
    QList<BankProblem> Problems;
};

QString BankProblemText(const BankProblem &problem, const TMessages &messages);

enum class BankFormat { Gift, Aiken, Moodle };

// The format a bank's bytes are in: Moodle XML when it is XML, GIFT when it has an answer
// block, Aiken otherwise.
BankFormat GuessBankFormat(const QByteArray &bytes);
BankImport ReadBank(const QByteArray &bytes, BankFormat format);

// The sectioned text of an exam of the questions (Unicode; written in Windows-1251 by the
// caller): its settings with Title as its title and the mark texts in the words of Messages,
// the title page's fonts, then one section per question, line breaks as the exam files write
// them. Pictures are named as their BankPicture says.
QString ExamTextOf(const QList<BankQuestion> &questions, const QString &title,
                   const TMessages &messages = TMessages());
// Renames the questions' pictures whose names Taken already has (in any case), and those that
// repeat one another, to free names ("q1-f-2.bmp"), so a bank imported into an exam never
// takes the place of a picture the exam has.
void GiveFreeNames(QList<BankQuestion> &questions, QStringList taken);

// Plain text of an HTML fragment: tags dropped, line and paragraph ends as line breaks,
// entities decoded.
QString PlainOfHtml(const QString &html);
