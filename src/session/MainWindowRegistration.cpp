// The registration page: the examinee lists and the Enter key of its boxes. The lists, the
// password check and the registration in the password list are the run's.

#include "session/MainWindow.h"

#include "core/Files.h"
#include "core/Shares.h"
#include "records/JournalFolder.h"
#include "ui/Dialogs.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

// ---- Registration ------------------------------------------------------------------------------

void TFmZK::InstallRegistrationKeys()
{
    for (QComboBox *box : {ComboBox1, ComboBox2}) {
        box->setInsertPolicy(QComboBox::NoInsert);
        box->installEventFilter(this);
        if (box->lineEdit())
            box->lineEdit()->installEventFilter(this);
        disconnect(box, &QComboBox::activated, this, nullptr);
    }
    MaskEdit1->installEventFilter(this);
    connect(ComboBox1, &QComboBox::activated, this, [this](int) { ComboBox1Click(); });
    connect(ComboBox2, &QComboBox::activated, this, [this](int) { ComboBox2Click(); });
}

void TFmZK::FillGroupList()
{
    QStringList items;
    for (int i = 0; i < ComboBox1->count(); ++i)
        items.append(ComboBox1->itemText(i));
    const int before = int(items.size());
    ComboBox1->addItems(run_.Groups(items).mid(before));
    ComboBox1->setCurrentIndex(-1);
}

void TFmZK::FillNameList(const QString &group)
{
    QStringList items;
    for (int i = 0; i < ComboBox2->count(); ++i)
        items.append(ComboBox2->itemText(i));
    const int before = int(items.size());
    ComboBox2->addItems(run_.Names(group, items).mid(before));
}

void TFmZK::ComboBox1Click()
{
    const QString group = ComboBox1->currentIndex() >= 0
                              ? ComboBox1->itemText(ComboBox1->currentIndex())
                              : ComboBox1->currentText();
    ComboBox1->setEditText(group);
    ComboBox2->clear();
    ComboBox2->setEditText(QString());
    FillNameList(group);
    ComboBox2->setCurrentIndex(-1);
    if (!globals_.SameUser && ComboBox2->count() > 0)
        ComboBox2->showPopup();
}

void TFmZK::ComboBox2Click()
{
    if (ComboBox2->currentIndex() >= 0)
        ComboBox2->setEditText(ComboBox2->itemText(ComboBox2->currentIndex()));
}

bool TFmZK::ComboBox1KeyPress(QObject *sender, QKeyEvent *event)
{
    if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter)
        return false;
    // One Enter moves on: from the group to the name, from the name to the password, and from
    // the last box to the next page.
    const auto moveOn = [this] {
        ButNext->setFocus();
        Guarded([this] { ButNextClick(); });
    };
    QComboBox *box = nullptr;
    if (sender == ComboBox1 || sender == ComboBox1->lineEdit())
        box = ComboBox1;
    else if (sender == ComboBox2 || sender == ComboBox2->lineEdit())
        box = ComboBox2;
    if (box) {
        if (box->isEditable()) {
            // A typed group or name joins the list.
            const QString text = box->currentText();
            if (!text.isEmpty() && box->findText(text, Qt::MatchFixedString) < 0)
                box->addItem(text);
            if (box->findText(text, Qt::MatchFixedString) >= 0)
                box->setCurrentIndex(box->findText(text, Qt::MatchFixedString));
            box->setEditText(text);
        }
        if (box == ComboBox1)
            ComboBox2->setFocus();
        else if (run_.Settings().YesPassword)
            MaskEdit1->setFocus();
        else
            moveOn();
        return true;
    }
    if (sender == MaskEdit1) {
        moveOn();
        return true;
    }
    return false;
}
