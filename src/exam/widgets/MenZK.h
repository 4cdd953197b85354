#pragma once

#include "exam/Manager.h"

#include <QDialog>
#include <QListWidget>

class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;

// A list of subjects with a check box each. As on a check list, a click on an item's box
// toggles the box first (clickCheck) and then selects the item; Space toggles the current one.
class TCheckListBox : public QListWidget
{
    Q_OBJECT

public:
    using QListWidget::QListWidget;
    void AddItem(const QString &text);
    bool Checked(int row) const;
    // Set by the program: no clickCheck.
    void SetChecked(int row, bool checked);

Q_SIGNALS:
    void clickCheck(int row);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    bool OnCheckBox(QListWidgetItem *item, const QPoint &at);
    void Toggle(int row);
};

// "Manager Tarvik": the subjects of a manager file, grouped by category when the file has any;
// the examinee checks one and starts it. Reading the file raises EFOpenError when it cannot be
// had. Afterwards the caller reads Chosen and ChosenFile. The manager's share (the folder of a
// subject on a network share) is the run's ManagerShareDir and ManagerShareOpen.
class TFmMenZK : public QDialog
{
    Q_OBJECT

public:
    TFmMenZK(const QString &startFileName, QString &managerShareDir, bool &managerShareOpen,
             QWidget *parent = nullptr);

    bool Chosen = false;
    QString ChosenFile;
    int SelectedIndex() const { return selectedIndex_; }

    void FormCreate(const QString &startFileName);
    void ComboBox1Change();
    void CheckListBox1Click();
    void CheckListBox1ClickCheck(int toggled);
    // The subject chosen: its share reached on the folder thread, the dialog disabled and
    // drawing meanwhile, then accepted.
    void ButStartClick();
    // Cancelled, unless the share of a chosen subject is being reached: then it waits for it.
    void reject() override;

    QLabel *Image1 = nullptr;
    QGroupBox *GroupBox2 = nullptr;
    QComboBox *ComboBox1 = nullptr;
    QGroupBox *GroupBox1 = nullptr;
    TCheckListBox *CheckListBox1 = nullptr;
    QPushButton *ButStart = nullptr;
    QPushButton *ButCancel = nullptr;

private:
    void ListSubjects(const QString &category);

    ManagerFile file_;
    QList<ManagerRecord> listed_; // the subjects of the check list, in its order
    int selectedIndex_ = -1;
    QString &managerShareDir_;
    bool &managerShareOpen_;
    bool reaching_ = false; // the chosen subject's share is being reached
};
