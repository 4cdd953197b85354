#include "Dialogs.h"

#include "core/Errors.h"

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <QStringList>

#include <cstdio>

namespace {

PasswordPrompt g_passwordPrompt;

// Where nobody can see a window (tests, a headless run) a modal box would wait forever: it is
// written to standard error instead and answered No.
bool Unattended()
{
    const QString platform = QGuiApplication::platformName();
    return platform == QStringLiteral("offscreen") || platform == QStringLiteral("minimal");
}

class RealDialogs : public DialogSeam
{
public:
    bool Message(QWidget *parent, MessageKind kind, const QString &caption,
                 const QString &text) override
    {
        if (Unattended()) {
            std::fprintf(stderr, "%s: %s\n", caption.toLocal8Bit().constData(),
                         text.toLocal8Bit().constData());
            return false;
        }
        const int answer = NewMessageBox(parent, kind, caption, text)->exec();
        return kind == MessageKind::Error || kind == MessageKind::Warning ||
               kind == MessageKind::Information || answer == QMessageBox::Yes;
    }

    QString OpenFileName(QWidget *parent, const QString &filter) override
    {
        if (Unattended())
            return QString();
        QFileDialog dialog(parent, QString(), QString(), QtFileFilter(filter));
        dialog.setFileMode(QFileDialog::ExistingFile);
        dialog.setOption(QFileDialog::ReadOnly, true);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return QString();
        return dialog.selectedFiles().first();
    }

    QString SaveFileName(QWidget *parent, const QString &filter,
                         const QString &defaultExtension) override
    {
        if (Unattended())
            return QString();
        QFileDialog dialog(parent, QString(), QString(), QtFileFilter(filter));
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix(defaultExtension);
        QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                         [&dialog](const QString &chosen) {
                             // "PDF (*.pdf)": a name typed without an extension takes the filter's.
                             const qsizetype star = chosen.indexOf(QStringLiteral("*."));
                             if (star >= 0)
                                 dialog.setDefaultSuffix(
                                     chosen.mid(star + 2).section(u')', 0, 0).section(u' ', 0, 0));
                         });
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return QString();
        return dialog.selectedFiles().first();
    }

    std::optional<QString> Password(QWidget *parent, const QString &caption,
                                    const QString &prompt) override
    {
        if (Unattended() || !g_passwordPrompt)
            return std::nullopt;
        return g_passwordPrompt(parent, caption, prompt);
    }

    int Exec(QDialog *dialog) override
    {
        if (Unattended()) {
            std::fprintf(stderr, "%s: no one to answer\n",
                         dialog->windowTitle().toLocal8Bit().constData());
            return QDialog::Rejected;
        }
        return dialog->exec();
    }
};

RealDialogs g_real;
DialogSeam *g_seam = &g_real;

} // namespace

DialogSeam &Dialogs()
{
    return *g_seam;
}

std::unique_ptr<QMessageBox> NewMessageBox(QWidget *parent, MessageKind kind,
                                           const QString &caption, const QString &text)
{
    auto box = std::make_unique<QMessageBox>(parent);
    box->setWindowTitle(caption);
    // Messages and captions are shown exactly as written, never as markup.
    box->setTextFormat(Qt::PlainText);
    box->setText(text);
    switch (kind) {
    case MessageKind::Error:
        box->setIcon(QMessageBox::Critical);
        box->setStandardButtons(QMessageBox::Ok);
        box->setDefaultButton(QMessageBox::Ok);
        break;
    case MessageKind::Warning:
    case MessageKind::Information:
        box->setIcon(kind == MessageKind::Warning ? QMessageBox::Warning
                                                  : QMessageBox::Information);
        box->setStandardButtons(QMessageBox::Ok);
        box->setDefaultButton(QMessageBox::Ok);
        break;
    case MessageKind::Question:
    case MessageKind::QuestionDefaultNo:
        box->setIcon(QMessageBox::Question);
        box->setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box->setDefaultButton(kind == MessageKind::Question ? QMessageBox::Yes : QMessageBox::No);
        box->setEscapeButton(QMessageBox::No);
        break;
    }
    return box;
}
void SetPasswordPrompt(PasswordPrompt prompt)
{
    g_passwordPrompt = std::move(prompt);
}
void SetDialogs(DialogSeam *seam)
{
    g_seam = seam ? seam : &g_real;
}

QString QtFileFilter(const QString &windowsFilter)
{
    const QStringList parts = windowsFilter.split(u'|');
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(u';', u' ');
        filters.append(QStringLiteral("%1 (%2)").arg(parts[i], patterns));
    }
    return filters.join(QStringLiteral(";;"));
}

void Guarded(QWidget *parent, const std::function<void()> &handler)
{
    try {
        handler();
    } catch (const TarvikError &e) {
        Dialogs().Message(parent, MessageKind::Error, QApplication::applicationName(), e.Message());
    } catch (const std::exception &e) {
        Dialogs().Message(parent, MessageKind::Error, QApplication::applicationName(),
                          QString::fromLocal8Bit(e.what()));
    }
}
