#pragma once

#include <QDialog>

class QGroupBox;
class QPushButton;
class QRadioButton;

// "New Exam": how the next examination starts, for a new examinee or the same one, with the
// subject chosen again in the manager or with the current one. It only records the choice in
// the run's SameUser and ManagerUsed; the main window acts on it.
class TFmNewExam : public QDialog
{
    Q_OBJECT

public:
    TFmNewExam(bool &sameUser, bool &managerUsed, QWidget *parent = nullptr);

    bool OkPressed = false;

    QGroupBox *GBox1 = nullptr;
    QRadioButton *RB11 = nullptr; // a new examinee
    QRadioButton *RB12 = nullptr; // the same examinee
    QGroupBox *GBox2 = nullptr;
    QRadioButton *RB21 = nullptr; // the subject manager again
    QRadioButton *RB22 = nullptr; // the current subject
    QPushButton *ButOk = nullptr;
    QPushButton *ButCancel = nullptr;

private:
    void ButOkClick();

    bool &sameUser_;
    bool &managerUsed_;
};
