#pragma once

#include "core/LineList.h"
#include "lang/Messages.h"

#include <QByteArray>
#include <QMap>
#include <QString>

// An exam as the editor holds it: its sectioned text line by line, every section and key kept
// where it stands (those the editor does not know too), the form it came in, and the pictures a
// uniform file carries. Saved without edits in its own form it gives the same bytes (a
// scrambled one the same content: a fresh method byte).
class ExamDocument
{
public:
    enum class Form { Plain, Scrambled, Uniform };

    // Reads a question file (plain or scrambled) or a uniform file; raises ECorruptFile for a
    // damaged container and EFOpenError for a file that cannot be read.
    static ExamDocument Load(const QString &fileName);
    // A new exam of one empty [Setup].
    ExamDocument();

    Form Kind() const { return form_; }
    const QString &FileName() const { return fileName_; }
    const TLineList &Lines() const { return lines_; }
    bool Modified() const { return modified_; }

    // The value of Key in [Section], or empty.
    QString Value(const QString &section, const QString &key) const;
    // Sets Key in [Section] where it stands; a key that is not there is added at the end of its
    // section, a section that is not there at the end of the text.
    void SetValue(const QString &section, const QString &key, const QString &value);

    // The question sections [V0], [V1]... in order, each its lines after the header.
    QList<QStringList> Questions() const;
    // Replaces the question sections by these, numbered from 0 in order where the first of
    // them stood (or at the end), and AllZ with their count - 1; other sections stay.
    void SetQuestions(const QList<QStringList> &questions);
    // The whole text, for undoing an edit.
    const QStringList &Snapshot() const { return lines_.Lines(); }
    void Restore(const QStringList &lines);
    // After a save: the bytes on the disk are these now.
    void Saved(const QString &fileName, Form form);

    // The pictures a uniform file carries, by name.
    const QMap<QString, QByteArray> &Pictures() const { return pictures_; }
    void SetPicture(const QString &name, const QByteArray &bytes);
    // A picture's bytes: the one the file carries, else the file of that name beside the exam;
    // empty when neither is there.
    QByteArray PictureBytes(const QString &name) const;
    // The carried picture of that name (as written or bare, in any case), or null.
    const QByteArray *CarriedPicture(const QString &name) const;
    // Where a picture that is not carried is looked for: beside the exam, by its bare name.
    QString BesidePath(const QString &name) const;
    // The names of the pictures the exam names: the title picture and every question's.
    QStringList NamedPictures() const;

    // The file's bytes in a form. A uniform file packs the pictures the exam names: those it
    // carries, else those found beside FileName.
    QByteArray Bytes(Form form) const;

private:
    QByteArray Text() const;
    QString fileName_;
    Form form_ = Form::Plain;
    QByteArray original_; // the exam text as read, for a save without edits
    TLineList lines_;
    QMap<QString, QByteArray> pictures_;
    bool modified_ = false;
};

// What would keep the exam from playing as meant, for the list shown before saving: each with
// its question (from 0; -1 for the settings).
struct ExamProblem
{
    int Question = -1;
    QString Text;
};
QList<ExamProblem> ExamProblems(const ExamDocument &doc, const TMessages &messages);
