#pragma once

#include "core/MessageKind.h"

#include <QString>
#include <functional>
#include <memory>
#include <optional>

class QDialog;
class QWidget;

class QMessageBox;

// The one seam of every modal interaction: message boxes and file dialogs go through it, so a
// test can answer them in advance and nothing ever blocks on a real modal dialog.
class DialogSeam
{
public:
    virtual ~DialogSeam() = default;
    virtual bool Message(QWidget *parent, MessageKind kind, const QString &caption,
                         const QString &text) = 0;
    // The chosen file's full name; empty when cancelled. Filter in the Windows form
    // "Name|patterns|Name|patterns".
    virtual QString OpenFileName(QWidget *parent, const QString &filter) = 0;
    // The file to save to; empty when cancelled. A name typed without an extension gets the one
    // of the chosen filter, or DefaultExtension.
    virtual QString SaveFileName(QWidget *parent, const QString &filter,
                                 const QString &defaultExtension) = 0;
    // The password confirmation dialog: the typed text, or nothing when it was cancelled.
    virtual std::optional<QString> Password(QWidget *parent, const QString &caption,
                                            const QString &prompt) = 0;
    // Shows one of the program's own dialogs (the subject manager, the new-exam dialog) modally;
    // its result code. A test acts on the dialog's controls instead.
    virtual int Exec(QDialog *dialog) = 0;
};

// The box the real seam shows for a message (not yet shown): caption, the text as plain text,
// the kind's icon and buttons.
std::unique_ptr<QMessageBox> NewMessageBox(QWidget *parent, MessageKind kind,
                                           const QString &caption, const QString &text);

// The window that asks for a password again (it lives with the registration page).
using PasswordPrompt =
    std::function<std::optional<QString>(QWidget *, const QString &, const QString &)>;
void SetPasswordPrompt(PasswordPrompt prompt);

DialogSeam &Dialogs();
// Puts a seam in place (not owned); null puts the real dialogs back.
void SetDialogs(DialogSeam *seam);

// "A|*.a;*.b|B|*.c" in Qt's form: "A (*.a *.b);;B (*.c)".
QString QtFileFilter(const QString &windowsFilter);

// Runs a handler; an error it raises is shown in an error box with the error's message (the
// program goes on) instead of reaching the event loop.
void Guarded(QWidget *parent, const std::function<void()> &handler);
