#pragma once

#include <QDialog>
#include <QString>
#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;

// Asks a newly registered examinee to type the password a second time.
class TPasswordDlg : public QDialog
{
    Q_OBJECT

public:
    explicit TPasswordDlg(QWidget *parent = nullptr);
    QLabel *Label1;
    QLineEdit *Password;
    QPushButton *OKBtn;
    QPushButton *CancelBtn;
    bool OK = false;

    // Shows the dialog modally: the typed text after OK, nothing after Cancel or closing.
    static std::optional<QString> Ask(QWidget *parent, const QString &caption,
                                      const QString &prompt);
};
