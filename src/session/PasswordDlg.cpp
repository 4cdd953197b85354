#include "PasswordDlg.h"

#include <QBoxLayout>
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
    OKBtn = new QPushButton(QStringLiteral("OK"), this);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    OKBtn->setDefault(true);
    CancelBtn = new QPushButton(QStringLiteral("Cancel"), this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    for (QWidget *w : {static_cast<QWidget *>(Label1), static_cast<QWidget *>(Password),
                       static_cast<QWidget *>(OKBtn), static_cast<QWidget *>(CancelBtn)})
        w->setAccessibleName(w == Password ? QStringLiteral("Пароль") : w->property("text").toString());
    col->addWidget(Label1);
    col->addWidget(Password);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(OKBtn);
    buttons->addWidget(CancelBtn);
    col->addLayout(buttons);
    connect(OKBtn, &QPushButton::clicked, this, [this] {
        OK = true;
        accept();
    });
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
}

std::optional<QString> TPasswordDlg::Ask(QWidget *parent, const QString &caption, const QString &prompt)
{
    TPasswordDlg dialog(parent);
    dialog.setWindowTitle(caption);
    dialog.Label1->setText(prompt);
    dialog.Label1->setAccessibleName(prompt);
    dialog.exec();
    if (!dialog.OK)
        return std::nullopt;
    return dialog.Password->text();
}
