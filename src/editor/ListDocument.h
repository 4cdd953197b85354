#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// A file of "@"-separated records the editor keeps beside exams: the subject manager's file
// (subject@exam file@share user@share password@category, scrambled with the manager key) or
// the roster "JSpisok.fzj" (group@name, plain). Windows-1251 with CR LF, as everywhere; saved
// without edits it gives the same text.
class ListDocument
{
public:
    enum class Kind { Manager, Roster };

    explicit ListDocument(Kind kind) : kind_(kind) {}
    // The file's records; false when it cannot be read.
    bool Load(const QString &fileName);
    // The bytes of the file as it stands.
    QByteArray Bytes() const;

    Kind Type() const { return kind_; }
    // The fields of a record of this kind, in order.
    int FieldCount() const { return kind_ == Kind::Manager ? 5 : 2; }
    const QList<QStringList> &Rows() const { return rows_; }
    void SetRows(const QList<QStringList> &rows);
    bool Modified() const { return modified_; }
    const QString &FileName() const { return fileName_; }
    void Saved(const QString &fileName);

private:
    Kind kind_;
    QString fileName_;
    QByteArray original_;
    QList<QStringList> rows_;
    bool modified_ = false;
};
