#pragma once

#include "ui/Dialogs.h"

#include <QDialog>
#include <QTest>
#include <functional>

#include <QList>
#include <QString>
#include <QStringList>

// Answers the program's modal dialogs from a script set before the action, and records what
// was asked; a dialog nobody expected is recorded too, so a test can fail on it.
class ScriptedDialogs : public DialogSeam
{
public:
    struct Asked
    {
        MessageKind Kind;
        QString Caption;
        QString Text;
    };

    ScriptedDialogs() : previous_(&Dialogs()) { SetDialogs(this); }
    ~ScriptedDialogs() override { SetDialogs(previous_); }

    // The answer the next question box gets (Yes = true).
    void AnswerNext(bool yes) { answers_.append(yes); }
    void ChooseNextFile(const QString &file) { files_.append(file); }
    // What the password dialog gets typed next; nothing means Cancel.
    void TypeNextPassword(std::optional<QString> text) { passwords_.append(text); }
    // What the examinee does in the next dialog of the program's own (clicks on its controls);
    // the dialog's result is what those clicks left.
    void ActInNextDialog(std::function<void(QDialog *)> act) { dialogs_.append(std::move(act)); }

    bool Message(QWidget *, MessageKind kind, const QString &caption, const QString &text) override
    {
        Messages.append({kind, caption, text});
        if (kind != MessageKind::Question && kind != MessageKind::QuestionDefaultNo)
            return true;
        if (answers_.isEmpty()) {
            Unexpected.append(text);
            return false;
        }
        return answers_.takeFirst();
    }

    QString OpenFileName(QWidget *, const QString &filter) override
    {
        Filters.append(filter);
        return files_.isEmpty() ? QString() : files_.takeFirst();
    }

    QString SaveFileName(QWidget *, const QString &filter, const QString &defaultExtension) override
    {
        Filters.append(filter + u'|' + defaultExtension);
        return files_.isEmpty() ? QString() : files_.takeFirst();
    }

    std::optional<QString> Password(QWidget *, const QString &caption,
                                    const QString &prompt) override
    {
        PasswordPrompts.append(caption + u'|' + prompt);
        if (passwords_.isEmpty()) {
            Unexpected.append(prompt);
            return std::nullopt;
        }
        return passwords_.takeFirst();
    }

    int Exec(QDialog *dialog) override
    {
        DialogTitles.append(dialog->windowTitle());
        if (dialogs_.isEmpty()) {
            Unexpected.append(dialog->windowTitle());
            return QDialog::Rejected;
        }
        dialogs_.takeFirst()(dialog);
        // A dialog that waits on the folder thread (disabled meanwhile) ends when it answers,
        // as its own loop would end it.
        QTest::qWaitFor([dialog] { return dialog->isEnabled(); }, 60000);
        return dialog->result();
    }

    bool AllAnswered() const
    {
        return answers_.isEmpty() && files_.isEmpty() && passwords_.isEmpty() && dialogs_.isEmpty();
    }

    QList<Asked> Messages;
    QStringList Unexpected;
    QStringList Filters;
    QStringList PasswordPrompts;
    QStringList DialogTitles;

private:
    DialogSeam *previous_;
    QList<bool> answers_;
    QStringList files_;
    QList<std::optional<QString>> passwords_;
    QList<std::function<void(QDialog *)>> dialogs_;
};
