// The registration page: the examinee lists, the Enter key of its boxes, the password check and
// the registration in the shared password list. The work is done by the functions of
// Registration.h; the handlers gather the page's inputs and show the outcome.

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

void TFmZK::DisconnectJournalShare()
{
    DisconnectShare(settings_.PathDbNet, true);
}

void TFmZK::PrepareJournalFolder()
{
    bool unreachable = false;
    const NetFolder net = NetFolderOf(settings_);
    const QString dir =
        ::GetJournalDir(settings_.DbNet, journalDir_, net, programDir_, &unreachable);
    if (unreachable) {
        programEnds_ = true; // nothing is created or filled
        return;
    }
    journalDir_ = dir;
    PrepareJournalFiles(journalDir_, programDir_);
    if (settings_.DbNet && !settings_.DbNet_1)
        DisconnectJournalShare();
}

void TFmZK::FillGroupList()
{
    if (!examineeLoaded_) {
        examineeLoaded_ = true;
        const QString folder = GetJournalDir();
        examineeLines_ =
            ReadExamineeLines(settings_.Spisok ? journalDir_ : folder, settings_.Spisok);
        if (settings_.DbNet && !settings_.DbNet_1)
            DisconnectJournalShare();
    }
    QStringList items;
    for (int i = 0; i < ComboBox1->count(); ++i)
        items.append(ComboBox1->itemText(i));
    const int before = int(items.size());
    items = ExamineeGroups(examineeLines_, settings_.Spisok, items);
    ComboBox1->addItems(items.mid(before));
    ComboBox1->setCurrentIndex(-1);
}

void TFmZK::FillNameList(const QString &group)
{
    QStringList items;
    for (int i = 0; i < ComboBox2->count(); ++i)
        items.append(ComboBox2->itemText(i));
    const int before = int(items.size());
    items = ExamineeNames(examineeLines_, settings_.Spisok, group, items);
    ComboBox2->addItems(items.mid(before));
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
    if (settings_.Spisok || (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter))
        return false;
    QComboBox *box = nullptr;
    if (sender == ComboBox1 || sender == ComboBox1->lineEdit())
        box = ComboBox1;
    else if (sender == ComboBox2 || sender == ComboBox2->lineEdit())
        box = ComboBox2;
    if (box) {
        const QString text = box->currentText();
        if (!text.isEmpty() && box->findText(text, Qt::MatchFixedString) < 0)
            box->addItem(text);
        if (box->findText(text, Qt::MatchFixedString) >= 0)
            box->setCurrentIndex(box->findText(text, Qt::MatchFixedString));
        box->setEditText(text);
        if (box == ComboBox1)
            ComboBox2->setFocus();
        else
            (settings_.YesPassword ? static_cast<QWidget *>(MaskEdit1) : ButNext)->setFocus();
        return true;
    }
    if (sender == MaskEdit1) {
        if (!settings_.YesPassword)
            ButNext->setFocus();
        return true;
    }
    return false;
}

bool TFmZK::CheckPassword()
{
    const QString path = JoinPath(GetJournalDir(), QStringLiteral("tarvik.pwl"));
    const QString name = ComboBox2->currentText();
    const QString password = MaskEdit1->text();
    re3_ = ReadPasswordList(path); // created empty when missing
    if (!re3_.Available) {
        // A list held elsewhere all the time is no empty list: a registered examinee would be
        // taken for a new one and registered twice.
        Fail(Msg::U_PWLUNAVAILABLE);
        if (settings_.DbNet)
            DisconnectJournalShare();
        return false;
    }
    bool accepted = false;
    bool refusedInDialog = false;
    switch (ClassifyPassword(re3_, name, password)) {
    case PasswordOutcome::Match:
        accepted = true;
        break;
    case PasswordOutcome::Wrong:
        Dialogs().Message(this, MessageKind::Warning, messages_[Msg::U_WARNING],
                          messages_[Msg::U_NOTPASSWORD]);
        MaskEdit1->clear();
        break;
    case PasswordOutcome::Taken:
        if (Dialogs().Message(this, MessageKind::Question, messages_[Msg::U_WARNING],
                              messages_[Msg::U_YESPASSW]))
            MaskEdit1->clear();
        else
            accepted = RegisterPassword();
        break;
    case PasswordOutcome::New:
        if (!settings_.DublPwrd) {
            accepted = RegisterPassword();
            break;
        }
        if (const auto typed = Dialogs().Password(this, messages_[Msg::U_DLDPASSW],
                                                  messages_[Msg::U_DLDPASSWEDIT])) {
            if (*typed == password) {
                accepted = RegisterPassword();
            } else {
                Dialogs().Message(this, MessageKind::Warning, messages_[Msg::U_WARNING],
                                  messages_[Msg::U_NOTPASSWORD]);
                MaskEdit1->clear();
                refusedInDialog = true;
            }
        } else {
            refusedInDialog = true;
        }
        break;
    }
    if (settings_.DbNet && !refusedInDialog)
        DisconnectJournalShare();
    return accepted;
}

bool TFmZK::RegisterPassword()
{
    const QString record = PasswordRecord(ComboBox2->currentText(), MaskEdit1->text(),
                                          ComboBox1->currentText(), Clock().Now().date());
    const QString path = JoinPath(GetJournalDir(), QStringLiteral("tarvik.pwl"));
    const RegisterResult r = AppendPasswordRecord(path, re3_.Lines(), record);
    if (settings_.DbNet && !settings_.DbNet_1)
        DisconnectJournalShare();
    if (r != RegisterResult::Written) {
        // The examinee must not go on as if the password had been recorded.
        Fail(Msg::U_PWLNOTWRITTEN);
        return false;
    }
    return true;
}
