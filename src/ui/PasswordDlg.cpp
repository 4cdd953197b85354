#include "PasswordDlg.h"

#include <QBoxLayout>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

TPasswordDlg::TPasswordDlg(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("PasswordDlg"));
    setWindowTitle(QStringLiteral("Password Dialog"));
    auto *col = new QVBoxLayout(this);
    Label1 = new QLabel(QStringLiteral("Enter password:"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Password = new QLineEdit(this);
    Password->setObjectName(QStringLiteral("Password"));
    Password->setEchoMode(QLineEdit::Password);
    Label1->setBuddy(Password);
    // Standard buttons, so they read in the interface's language ("Отмена" under Russian texts).
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    OKBtn = buttons->button(QDialogButtonBox::Ok);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    OKBtn->setDefault(true);
    CancelBtn = buttons->button(QDialogButtonBox::Cancel);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    Label1->setTextFormat(Qt::PlainText);
    Password->setAccessibleName(QStringLiteral("Пароль"));
    col->addWidget(Label1);
    col->addWidget(Password);
    col->addWidget(buttons);
    connect(OKBtn, &QPushButton::clicked, this, [this] {
        OK = true;
        accept();
    });
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
}

std::optional<QString> TPasswordDlg::Ask(QWidget *parent, const QString &caption,
                                         const QString &prompt)
{
    TPasswordDlg dialog(parent);
    dialog.setWindowTitle(caption);
    dialog.Label1->setText(prompt);
    dialog.exec();
    if (!dialog.OK)
        return std::nullopt;
    return dialog.Password->text();
}
