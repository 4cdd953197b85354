// The editor's settings page: the keys of [Setup] a teacher changes, each field writing its key.

#include "EditorWindow.h"

#include "editor/widgets/EditorFields.h"

#include "core/Files.h"
#include "core/FolderAccess.h"
#include "core/FolderThread.h"
#include "core/Shares.h"
#include "ui/Dialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QSpinBox>

namespace {

// The settings a teacher changes, in the order of the exam's pages: each writes its key.
struct SetupField
{
    const char *Key;
    const char *Kind; // text, multi, password, bool, choice
    Msg Label;
};
const SetupField SetupFields[] = {
    {"TopEdit", "text", Msg::F_TOPEDIT},
    {"CEdit", "text", Msg::F_CEDIT},
    {"ButEdit", "text", Msg::F_BUTEDIT},
    {"Jobtitle", "text", Msg::F_JOBTITLE},
    {"Surname", "text", Msg::F_SURNAME},
    {"PathGraph", "text", Msg::F_PATHGRAPH},
    {"HelpExam", "multi", Msg::F_HELPEXAM},
    {"AnRand", "bool", Msg::F_ANRAND},
    {"YTime", "bool", Msg::F_YTIME},
    {"AnsvTmBol", "bool", Msg::F_ANSVTMBOL},
    {"BolNotKnow", "bool", Msg::F_BOLNOTKNOW},
    {"TipOc", "choice", Msg::F_TIPOC},
    {"SaveJuornal", "bool", Msg::F_SAVEJUORNAL},
    {"Spisok", "bool", Msg::F_SPISOK},
    {"YesPassword", "bool", Msg::F_YESPASSWORD},
    {"DublPwrd", "bool", Msg::F_DUBLPWRD},
    {"DbNet", "bool", Msg::F_DBNET},
    {"PathDbNet", "text", Msg::F_PATHDBNET},
    {"LoginDbNet", "text", Msg::F_LOGINDBNET},
    {"PaswDbNet", "password", Msg::F_PASWDBNET},
    {"DbNetLocal", "bool", Msg::F_DBNETLOCAL},
    {"DbNet_1", "bool", Msg::F_DBNET_1},
    {"InfIP1", "bool", Msg::F_INFIP1},
    {"IP1", "text", Msg::F_IP1},
    {"VisiTackBar", "bool", Msg::F_VISITACKBAR},
    {"TaskBar", "bool", Msg::F_TASKBAR},
    {"YesReport", "bool", Msg::F_YESREPORT},
    {"YesResult", "bool", Msg::F_YESRESULT},
};

} // namespace

QWidget *TFmEditor::BuildExamPage()
{
    auto *scroll = new QScrollArea;
    auto *page = new QWidget;
    auto *form = new QFormLayout(page);
    for (const SetupField &f : SetupFields) {
        const QString key = QString::fromLatin1(f.Key);
        const QString label = m_[f.Label];
        const int merge = 5000 + int(qHash(key) & 0xFFF);
        const auto write = [this, key, merge](const std::function<QString()> &value) {
            Edit([this, key, value] { doc_.SetValue(QStringLiteral("Setup"), key, value()); },
                 merge);
        };
        QWidget *w = nullptr;
        if (qstrcmp(f.Kind, "bool") == 0) {
            auto *box = new QCheckBox(label);
            connect(box, &QCheckBox::clicked, this, [write, box] {
                write(
                    [box] { return box->isChecked() ? QStringLiteral("1") : QStringLiteral("0"); });
            });
            form->addRow(box);
            w = box;
        } else if (qstrcmp(f.Kind, "multi") == 0) {
            auto *edit = new QPlainTextEdit;
            edit->setTabChangesFocus(true);
            edit->setMaximumHeight(90);
            connect(edit, &QPlainTextEdit::textChanged, this, [write, edit] {
                write([edit] { return FoldLineBreaks(edit->toPlainText()); });
            });
            form->addRow(label, edit);
            w = edit;
        } else if (qstrcmp(f.Kind, "choice") == 0) {
            auto *combo = new QComboBox;
            combo->addItems(QStringLiteral("Показывать оценку;Не показывать").split(u';'));
            connect(combo, &QComboBox::activated, this, [write, combo] {
                write([combo] { return QString::number(combo->currentIndex()); });
            });
            form->addRow(label, combo);
            w = combo;
        } else {
            auto *edit = new QLineEdit;
            if (qstrcmp(f.Kind, "password") == 0)
                edit->setEchoMode(QLineEdit::Password);
            connect(edit, &QLineEdit::textEdited, this,
                    [write, edit] { write([edit] { return FoldLineBreaks(edit->text()); }); });
            form->addRow(label, edit);
            w = edit;
        }
        w->setObjectName(key);
        w->setAccessibleName(label);
        w->setToolTip(key);
        setupFields_.append({key, w});
    }
    auto *check =
        Field(new QPushButton(m_[Msg::E_CHECKSHARE]), "CheckShare", m_[Msg::E_CHECKSHARE]);
    connect(check, &QPushButton::clicked, this, [this] { CheckShare(); });
    form->addRow(check);
    auto *marks = new QHBoxLayout;
    const char *keys[] = {"PO5", "PO4", "PO3", "PO2"};
    for (size_t i = 0; i < 4; ++i) {
        thresholds_[i] =
            Field(new QSpinBox, keys[i], m_[Msg::E_MARKS] + u' ' + QString::number(5 - int(i)),
                  QString::fromLatin1(keys[i]));
        thresholds_[i]->setRange(0, 100);
        marks->addWidget(thresholds_[i]);
        connect(thresholds_[i], &QSpinBox::valueChanged, this, [this, i, keys](int v) {
            if (filling_)
                return;
            Edit([this, i, keys, v] {
                doc_.SetValue(QStringLiteral("Setup"), QString::fromLatin1(keys[i]),
                              QString::number(v));
            });
        });
    }
    form->addRow(m_[Msg::E_MARKS], marks);
    scroll->setWidget(page);
    scroll->setWidgetResizable(true);
    return scroll;
}

void TFmEditor::CheckShare()
{
    // Through the player's own share layer, on its folder thread, as the player connects.
    const QString path = doc_.Value(QStringLiteral("Setup"), QStringLiteral("PathDbNet"));
    const QString user = doc_.Value(QStringLiteral("Setup"), QStringLiteral("LoginDbNet"));
    const QString password = doc_.Value(QStringLiteral("Setup"), QStringLiteral("PaswDbNet"));
    const int rc = Folders().Await<int>([&] {
        const int code = ConnectShare(path, user, password);
        DisconnectShare(path, true);
        return code;
    });
    const bool ok = rc == ShareConnected || rc == ShareAlreadyConnected;
    Dialogs().Message(this, ok ? MessageKind::Information : MessageKind::Error,
                      m_[Msg::E_CHECKSHARE],
                      ok ? m_[Msg::E_SHAREOK] : FormatMessage(m_[Msg::E_SHAREFAILED], {rc}));
}
