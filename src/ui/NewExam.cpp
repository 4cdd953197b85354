#include "NewExam.h"

#include "ui/Named.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

QGroupBox *Choice(QWidget *parent, const char *name, const QString &caption, QRadioButton *first,
                  QRadioButton *second)
{
    auto *box = Named(new QGroupBox(caption, parent), name);
    auto *column = new QVBoxLayout(box);
    column->addWidget(first);
    column->addWidget(second);
    return box;
}

} // namespace

TFmNewExam::TFmNewExam(bool &sameUser, bool &managerUsed, QWidget *parent)
    : QDialog(parent), sameUser_(sameUser), managerUsed_(managerUsed)
{
    setObjectName(QStringLiteral("FmNewExam"));
    setWindowTitle(QStringLiteral("New Exam"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
    setMinimumSize(245, 157);

    RB11 = Named(new QRadioButton(QStringLiteral("Новый"), this), "RB11");
    RB12 = Named(new QRadioButton(QStringLiteral("Текущий (тот же)"), this), "RB12");
    RB21 = Named(new QRadioButton(QStringLiteral("Вызов менеджера загрузки тем"), this), "RB21");
    RB22 = Named(new QRadioButton(QStringLiteral("Текущая тема"), this), "RB22");
    GBox1 = Choice(this, "GBox1", QStringLiteral("User"), RB11, RB12);
    GBox2 = Choice(this, "GBox2", QStringLiteral("Exam"), RB21, RB22);
    ButOk = Named(new QPushButton(QStringLiteral("Ok"), this), "ButOk");
    ButCancel = Named(new QPushButton(QStringLiteral("Cancel"), this), "ButCancel");
    ButOk->setDefault(true);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ButOk);
    buttons->addWidget(ButCancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(GBox1);
    layout->addWidget(GBox2);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    RB11->setChecked(true);
    // The manager is offered only while the exam came through it.
    RB21->setEnabled(managerUsed_);
    (managerUsed_ ? RB21 : RB22)->setChecked(true);

    connect(ButOk, &QPushButton::clicked, this, &TFmNewExam::ButOkClick);
    connect(ButCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TFmNewExam::ButOkClick()
{
    OkPressed = true;
    sameUser_ = !RB11->isChecked();
    managerUsed_ = RB21->isChecked();
    accept();
}
