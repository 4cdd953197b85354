// The editor's settings pages: every key of [Setup] and the title fonts, on pages in the order of
// the exam, each field writing its key and showing what the player takes when it is missing.

#include "EditorWindow.h"

#include "editor/widgets/EditorFields.h"

#include "core/Errors.h"
#include "core/Files.h"
#include "core/FolderAccess.h"
#include "core/FolderThread.h"
#include "core/Shares.h"
#include "core/widgets/RichText.h"
#include "ui/Dialogs.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QFontDialog>
#include <QFormLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QStackedWidget>
#include <QToolButton>

namespace {

enum class FieldKind {
    Text,
    Multi,
    Password,
    Bool,
    Number,
    Choice,      // the index of one of Choices
    DontKnow,    // RNotKnow1..3, one of them on
    Font,        // a font descriptor in the key
    FontSection, // the section "Font" + key: Name, Style, Charset, Color, Pitch, Size
    Picture,
    CheckShare,
};

struct SetupField
{
    Msg Page;
    const char *Key;
    FieldKind Kind;
    Msg Label;
    Msg Help;                 // what the field does, in words
    const char *Default = ""; // what the player takes for a missing key
    const char *Needs = "";   // the switch this field means something under (or "rule 2", "rule 3")
    Msg Choices = Msg::Count;
    int Max = 100;
};

constexpr const char *TextFont = "MS Sans Serif,0,0,-2147483640,0,10";
constexpr const char *AnswerFont = "MS Sans Serif,0,0,-2147483640,0,8";

const SetupField SetupFields[] = {
    {Msg::E_GTITLE, "TopEdit", FieldKind::Text, Msg::F_TOPEDIT, Msg::H_TOPEDIT},
    {Msg::E_GTITLE, "TopStr", FieldKind::FontSection, Msg::F_FONTTOPSTR, Msg::H_FONTTOPSTR},
    {Msg::E_GTITLE, "CEdit", FieldKind::Text, Msg::F_CEDIT, Msg::H_CEDIT},
    {Msg::E_GTITLE, "CEdit", FieldKind::FontSection, Msg::F_FONTCEDIT, Msg::H_FONTCEDIT},
    {Msg::E_GTITLE, "ButEdit", FieldKind::Text, Msg::F_BUTEDIT, Msg::H_BUTEDIT},
    {Msg::E_GTITLE, "ButEdit", FieldKind::FontSection, Msg::F_FONTBUTEDIT, Msg::H_FONTBUTEDIT},
    {Msg::E_GTITLE, "Jobtitle", FieldKind::Text, Msg::F_JOBTITLE, Msg::H_JOBTITLE},
    {Msg::E_GTITLE, "Surname", FieldKind::Text, Msg::F_SURNAME, Msg::H_SURNAME},
    {Msg::E_GTITLE, "JobEdit", FieldKind::FontSection, Msg::F_FONTJOBEDIT, Msg::H_FONTJOBEDIT},
    {Msg::E_GTITLE, "PathGraph", FieldKind::Picture, Msg::F_PATHGRAPH, Msg::H_PATHGRAPH},
    {Msg::E_GTITLE, "GrStretch", FieldKind::Bool, Msg::F_GRSTRETCH, Msg::H_GRSTRETCH, "0"},
    {Msg::E_GQUESTIONS, "HelpExam", FieldKind::Multi, Msg::F_HELPEXAM, Msg::H_HELPEXAM},
    {Msg::E_GQUESTIONS, "FontHelpExam", FieldKind::Font, Msg::F_FONTHELPEXAM, Msg::H_FONTHELPEXAM,
     TextFont},
    {Msg::E_GQUESTIONS, "FontQuestion", FieldKind::Font, Msg::F_FONTQUESTION, Msg::H_FONTQUESTION,
     TextFont},
    {Msg::E_GQUESTIONS, "FontAnswer", FieldKind::Font, Msg::F_FONTANSWER, Msg::H_FONTANSWER,
     AnswerFont},
    {Msg::E_GQUESTIONS, "AnRand", FieldKind::Bool, Msg::F_ANRAND, Msg::H_ANRAND, "0"},
    {Msg::E_GTIMING, "YTime", FieldKind::Bool, Msg::F_YTIME, Msg::H_YTIME, "0"},
    {Msg::E_GTIMING, "AnsvTm", FieldKind::Choice, Msg::F_ANSVTM, Msg::H_ANSVTM, "0", "YTime",
     Msg::E_ANSVTMCHOICES},
    {Msg::E_GTIMING, "AnsvTmBol", FieldKind::Bool, Msg::F_ANSVTMBOL, Msg::H_ANSVTMBOL, "1"},
    {Msg::E_GDONTKNOW, "BolNotKnow", FieldKind::Bool, Msg::F_BOLNOTKNOW, Msg::H_BOLNOTKNOW, "0"},
    {Msg::E_GDONTKNOW, "RNotKnow", FieldKind::DontKnow, Msg::F_RNOTKNOW, Msg::H_RNOTKNOW, "",
     "BolNotKnow", Msg::E_RNOTKNOWCHOICES},
    {Msg::E_GDONTKNOW, "NotKnowPlus", FieldKind::Number, Msg::F_NOTKNOWPLUS, Msg::H_NOTKNOWPLUS,
     "5", "rule 2"},
    {Msg::E_GDONTKNOW, "NotKnowLimit", FieldKind::Number, Msg::F_NOTKNOWLIMIT, Msg::H_NOTKNOWLIMIT,
     "60", "rule 2"},
    {Msg::E_GDONTKNOW, "NotKnowPlus3", FieldKind::Number, Msg::F_NOTKNOWPLUS3, Msg::H_NOTKNOWPLUS3,
     "10", "rule 3"},
    {Msg::E_GDONTKNOW, "NotKnowLimit3", FieldKind::Number, Msg::F_NOTKNOWLIMIT3,
     Msg::H_NOTKNOWLIMIT3, "60", "rule 3"},
    {Msg::E_GMARKS, "TipOc", FieldKind::Choice, Msg::F_TIPOC, Msg::H_TIPOC, "0", "",
     Msg::E_TIPOCCHOICES},
    {Msg::E_GMARKS, "Oc", FieldKind::Text, Msg::F_OC, Msg::H_OC},
    {Msg::E_GMARKS, "O5", FieldKind::Text, Msg::F_O5, Msg::H_O5},
    {Msg::E_GMARKS, "O4", FieldKind::Text, Msg::F_O4, Msg::H_O4},
    {Msg::E_GMARKS, "O3", FieldKind::Text, Msg::F_O3, Msg::H_O3},
    {Msg::E_GMARKS, "O2", FieldKind::Text, Msg::F_O2, Msg::H_O2},
    {Msg::E_GMARKS, "PO5", FieldKind::Number, Msg::F_PO5, Msg::H_PO5, "80"},
    {Msg::E_GMARKS, "PO4", FieldKind::Number, Msg::F_PO4, Msg::H_PO4, "60"},
    {Msg::E_GMARKS, "PO3", FieldKind::Number, Msg::F_PO3, Msg::H_PO3, "40"},
    {Msg::E_GMARKS, "PO2", FieldKind::Number, Msg::F_PO2, Msg::H_PO2, "20"},
    {Msg::E_GREGISTRATION, "SaveJuornal", FieldKind::Bool, Msg::F_SAVEJUORNAL, Msg::H_SAVEJUORNAL,
     "1"},
    {Msg::E_GREGISTRATION, "Spisok", FieldKind::Bool, Msg::F_SPISOK, Msg::H_SPISOK, "1"},
    {Msg::E_GREGISTRATION, "YesPassword", FieldKind::Bool, Msg::F_YESPASSWORD, Msg::H_YESPASSWORD,
     "0"},
    {Msg::E_GREGISTRATION, "DublPwrd", FieldKind::Bool, Msg::F_DUBLPWRD, Msg::H_DUBLPWRD, "1",
     "YesPassword"},
    {Msg::E_GREGISTRATION, "DbNet", FieldKind::Bool, Msg::F_DBNET, Msg::H_DBNET, "0"},
    {Msg::E_GREGISTRATION, "PathDbNet", FieldKind::Text, Msg::F_PATHDBNET, Msg::H_PATHDBNET, "",
     "DbNet"},
    {Msg::E_GREGISTRATION, "LoginDbNet", FieldKind::Text, Msg::F_LOGINDBNET, Msg::H_LOGINDBNET, "",
     "DbNet"},
    {Msg::E_GREGISTRATION, "PaswDbNet", FieldKind::Password, Msg::F_PASWDBNET, Msg::H_PASWDBNET, "",
     "DbNet"},
    {Msg::E_GREGISTRATION, "DbNetLocal", FieldKind::Bool, Msg::F_DBNETLOCAL, Msg::H_DBNETLOCAL, "1",
     "DbNet"},
    {Msg::E_GREGISTRATION, "DbNet_1", FieldKind::Bool, Msg::F_DBNET_1, Msg::H_DBNET_1, "1",
     "DbNet"},
    {Msg::E_GREGISTRATION, "CheckShare", FieldKind::CheckShare, Msg::E_CHECKSHARE,
     Msg::H_CHECKSHARE, "", "DbNet"},
    {Msg::E_GMONITOR, "InfIP1", FieldKind::Bool, Msg::F_INFIP1, Msg::H_INFIP1, "0"},
    {Msg::E_GMONITOR, "IP1", FieldKind::Text, Msg::F_IP1, Msg::H_IP1, "", "InfIP1"},
    {Msg::E_GMONITOR, "InfIP2", FieldKind::Bool, Msg::F_INFIP2, Msg::H_INFIP2, "0"},
    {Msg::E_GMONITOR, "IP2", FieldKind::Text, Msg::F_IP2, Msg::H_IP2, "", "InfIP2"},
    {Msg::E_GMONITOR, "InfIP3", FieldKind::Bool, Msg::F_INFIP3, Msg::H_INFIP3, "0"},
    {Msg::E_GMONITOR, "IP3", FieldKind::Text, Msg::F_IP3, Msg::H_IP3, "", "InfIP3"},
    {Msg::E_GWINDOW, "VisiTackBar", FieldKind::Bool, Msg::F_VISITACKBAR, Msg::H_VISITACKBAR, "0"},
    {Msg::E_GWINDOW, "TaskBar", FieldKind::Bool, Msg::F_TASKBAR, Msg::H_TASKBAR, "0"},
    {Msg::E_GWINDOW, "Language", FieldKind::Number, Msg::F_LANGUAGE, Msg::H_LANGUAGE, "0", "",
     Msg::Count, 99},
    {Msg::E_GWINDOW, "UniLang", FieldKind::Bool, Msg::F_UNILANG, Msg::H_UNILANG, "0"},
    {Msg::E_GWINDOW, "YesReport", FieldKind::Bool, Msg::F_YESREPORT, Msg::H_YESREPORT, "1"},
    {Msg::E_GWINDOW, "YesResult", FieldKind::Bool, Msg::F_YESRESULT, Msg::H_YESRESULT, "0"},
    {Msg::E_GWINDOW, "TipResult", FieldKind::Choice, Msg::F_TIPRESULT, Msg::H_TIPRESULT, "0",
     "YesResult", Msg::E_TIPRESULTCHOICES},
    {Msg::E_GWINDOW, "FontRes", FieldKind::Font, Msg::F_FONTRES, Msg::H_FONTRES, TextFont},
};

const QString Setup = QStringLiteral("Setup");

// A row of a field and its buttons, as high as a line.
QWidget *FieldRow()
{
    auto *row = new QWidget;
    row->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    (new QHBoxLayout(row))->setContentsMargins(0, 0, 0, 0);
    return row;
}

// "Arial, 14, полужирный": the face, the size in points and the styles.
QString FontInWords(const FontValue &font, const TMessages &m)
{
    QStringList words{font.Name, QString::number(font.Size)};
    const QStringList styles = m[Msg::E_FONTSTYLES].split(u'|');
    for (int bit = 0; bit < 4; ++bit)
        if (font.Style & (1 << bit))
            words.append(styles.value(bit));
    return words.join(QStringLiteral(", "));
}

} // namespace

int TFmEditor::SetupNumber(const QString &key, int fallback) const
{
    // As the player reads a number: a missing or malformed value is the default.
    bool ok = false;
    const int v = doc_.Value(Setup, key).trimmed().toInt(&ok, 0);
    return ok ? v : fallback;
}

int TFmEditor::DontKnowRule() const
{
    // The player's precedence: the first rule over the second, the third otherwise.
    return SetupNumber(QStringLiteral("RNotKnow1"), 1) & 0xFF   ? 1
           : SetupNumber(QStringLiteral("RNotKnow2"), 0) & 0xFF ? 2
                                                                : 3;
}

std::optional<FontValue> TFmEditor::SectionFont(const QString &suffix) const
{
    TLineList section;
    if (!GetSection(doc_.Lines(), section, QStringLiteral("Font") + suffix))
        return std::nullopt;
    FontValue font;
    ReadFontSection(doc_.Lines(), suffix, font);
    return font;
}

void TFmEditor::WriteFont(const QString &key, bool section, const FontValue &font)
{
    Edit([this, key, section, font] {
        if (!section) {
            doc_.SetValue(Setup, key, FontToStr(font));
            return;
        }
        const QString name = QStringLiteral("Font") + key;
        doc_.SetValue(name, QStringLiteral("Name"), font.Name);
        doc_.SetValue(name, QStringLiteral("Style"), QString::number(font.Style));
        doc_.SetValue(name, QStringLiteral("Charset"), QString::number(font.Charset));
        doc_.SetValue(name, QStringLiteral("Color"), QString::number(font.Color));
        doc_.SetValue(name, QStringLiteral("Pitch"), QString::number(font.Pitch));
        doc_.SetValue(name, QStringLiteral("Size"), QString::number(font.Size));
    });
}

QWidget *TFmEditor::BuildExamPage()
{
    // The pages listed on the left, as a settings window lists them; the arrows go through them.
    auto *whole = new QWidget;
    auto *row = new QHBoxLayout(whole);
    auto *list = Field(new QListWidget, "SettingsPages", m_[Msg::E_EXAMPAGE]);
    auto *pages = new QStackedWidget;
    row->addWidget(list);
    row->addWidget(pages, 1);
    connect(list, &QListWidget::currentRowChanged, pages, &QStackedWidget::setCurrentIndex);
    QMap<Msg, QFormLayout *> forms;
    for (const SetupField &f : SetupFields) {
        QFormLayout *&form = forms[f.Page];
        if (!form) {
            auto *scroll = new QScrollArea;
            auto *page = new QWidget;
            auto *column = new QVBoxLayout(page);
            form = new QFormLayout;
            column->addLayout(form);
            column->addStretch(1); // the fields at the top, as high as they need
            scroll->setWidget(page);
            scroll->setWidgetResizable(true);
            pages->addWidget(scroll);
            list->addItem(m_[f.Page]);
        }
        const QString key = QString::fromLatin1(f.Key);
        const QString label = m_[f.Label];
        const QString fallback = QString::fromLatin1(f.Default);
        const int merge = 5000 + int(qHash(key + QString::number(int(f.Kind))) & 0xFFF);
        const auto write = [this, key, merge](const QString &value) {
            Edit([this, key, value] { doc_.SetValue(Setup, key, value); }, merge);
        };
        const auto text = [this, key, fallback] {
            const QString v = doc_.Value(Setup, key);
            return v.isEmpty() ? fallback : v;
        };
        QWidget *w = nullptr;
        std::function<void()> fill;
        switch (f.Kind) {
        case FieldKind::Bool: {
            auto *box = new QCheckBox(label);
            connect(box, &QCheckBox::clicked, this, [this, write, box] {
                write(box->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
                FillSetup(); // the fields under this switch follow it
            });
            fill = [this, box, key, fallback] {
                box->setChecked(SetupNumber(key, fallback.toInt()) & 0xFF);
            };
            form->addRow(box);
            w = box;
            break;
        }
        case FieldKind::Number: {
            auto *spin = new QSpinBox;
            spin->setRange(0, f.Max);
            connect(spin, &QSpinBox::valueChanged, this,
                    [write](int v) { write(QString::number(v)); });
            fill = [this, spin, key, fallback] {
                spin->setValue(SetupNumber(key, fallback.toInt()));
            };
            form->addRow(label, spin);
            w = spin;
            break;
        }
        case FieldKind::Choice:
        case FieldKind::DontKnow: {
            auto *combo = new QComboBox;
            combo->addItems(m_[f.Choices].split(u'|'));
            if (f.Kind == FieldKind::Choice) {
                connect(combo, &QComboBox::activated, this,
                        [write](int i) { write(QString::number(i)); });
                fill = [this, combo, key, fallback] {
                    combo->setCurrentIndex(
                        qBound(0, SetupNumber(key, fallback.toInt()), combo->count() - 1));
                };
            } else {
                // The player's precedence: the first rule over the second, the third otherwise.
                connect(combo, &QComboBox::activated, this, [this](int i) {
                    Edit([this, i] {
                        for (int n = 0; n < 3; ++n)
                            doc_.SetValue(Setup, QStringLiteral("RNotKnow%1").arg(n + 1),
                                          QString::number(i == n ? 1 : 0));
                    });
                    FillSetup(); // the percentages of the rule chosen
                });
                fill = [this, combo] { combo->setCurrentIndex(DontKnowRule() - 1); };
            }
            form->addRow(label, combo);
            w = combo;
            break;
        }
        case FieldKind::Multi: {
            auto *edit = new QPlainTextEdit;
            edit->setTabChangesFocus(true);
            edit->setMaximumHeight(200);
            connect(edit, &QPlainTextEdit::textChanged, this,
                    [write, edit] { write(FoldLineBreaks(edit->toPlainText())); });
            fill = [edit, text] {
                if (edit->toPlainText() != TextOf(text()))
                    edit->setPlainText(TextOf(text()));
            };
            form->addRow(label, edit);
            w = edit;
            break;
        }
        case FieldKind::Font:
        case FieldKind::FontSection: {
            const bool section = f.Kind == FieldKind::FontSection;
            QWidget *row = FieldRow();
            auto *line = static_cast<QHBoxLayout *>(row->layout());
            auto *edit = new QLineEdit;
            auto *choose = Field(new QToolButton, "", label + u' ' + m_[Msg::E_FONT]);
            auto *colour = Field(new QToolButton, "", label + u' ' + m_[Msg::E_COLOR]);
            choose->setText(m_[Msg::E_FONT]);
            colour->setText(m_[Msg::E_COLOR]);
            line->addWidget(edit, 1);
            line->addWidget(choose);
            line->addWidget(colour);
            // The font as written, or the one the player takes without it.
            const auto current = [this, key, section, text] {
                FontValue font;
                try {
                    if (section)
                        font = SectionFont(key).value_or(FontValue());
                    else
                        StrToFont(text(), font);
                } catch (const EConvertError &) {
                }
                return font;
            };
            // Read only: the font is chosen in the dialogs, the field says it in words.
            edit->setReadOnly(true);
            fill = [this, edit, key, section, current] {
                const std::optional<FontValue> written =
                    section ? SectionFont(key) : std::optional<FontValue>(current());
                const QString shown = written ? FontInWords(*written, m_) : QString();
                if (edit->text() != shown)
                    edit->setText(shown);
                // The field shows its font, at a size the page can hold.
                QFont preview = ToQFont(written.value_or(FontValue()), font());
                preview.setPointSize(qBound(7, preview.pointSize(), 12));
                edit->setFont(preview);
                edit->setCursorPosition(0);
            };
            connect(choose, &QToolButton::clicked, this, [this, key, section, current, fill] {
                QFontDialog dialog(ToQFont(current(), font()), this);
                dialog.setObjectName(QStringLiteral("FontDialog"));
                if (Dialogs().Exec(&dialog) != QDialog::Accepted)
                    return;
                WriteFont(key, section, FromQFont(dialog.selectedFont(), current()));
                fill();
            });
            connect(colour, &QToolButton::clicked, this, [this, key, section, current, fill] {
                FontValue font = current();
                QColorDialog dialog(WindowsColor(font.Color), this);
                dialog.setObjectName(QStringLiteral("ColorDialog"));
                if (Dialogs().Exec(&dialog) != QDialog::Accepted)
                    return;
                font.Color = ToWindowsColor(dialog.selectedColor());
                WriteFont(key, section, font);
                fill();
            });
            const QString name = section ? QStringLiteral("Font") + key : key;
            Field(edit, "", label, section ? u'[' + name + u']' : key, m_[f.Help]);
            edit->setObjectName(name);
            choose->setObjectName(name + QStringLiteral(".Font"));
            colour->setObjectName(name + QStringLiteral(".Colour"));
            form->addRow(label, row);
            setupFill_.append(fill);
            continue;
        }
        case FieldKind::Picture: {
            QWidget *row = FieldRow();
            auto *line = static_cast<QHBoxLayout *>(row->layout());
            auto *edit = new QLineEdit;
            auto *choose = Field(new QToolButton, "", label + u' ' + m_[Msg::E_PICTURE]);
            choose->setText(m_[Msg::E_PICTURE]);
            line->addWidget(edit, 1);
            line->addWidget(choose);
            connect(edit, &QLineEdit::textEdited, this,
                    [write, edit] { write(edit->text().trimmed()); });
            connect(choose, &QToolButton::clicked, this, [this, write, edit] {
                const QString name = ChoosePicture();
                if (!name.isEmpty()) {
                    edit->setText(name);
                    write(name);
                }
            });
            fill = [edit, text] { edit->setText(text()); };
            Field(edit, f.Key, label, key, m_[f.Help]);
            form->addRow(label, row);
            setupFill_.append(fill);
            continue;
        }
        case FieldKind::CheckShare: {
            auto *check = new QPushButton(label);
            connect(check, &QPushButton::clicked, this, [this, check] { CheckShare(check); });
            form->addRow(check);
            w = check;
            break;
        }
        case FieldKind::Text:
        case FieldKind::Password: {
            auto *edit = new QLineEdit;
            if (f.Kind == FieldKind::Password)
                edit->setEchoMode(QLineEdit::Password);
            connect(edit, &QLineEdit::textEdited, this,
                    [write, edit] { write(FoldLineBreaks(edit->text())); });
            fill = [edit, text] { edit->setText(TextOf(text())); };
            form->addRow(label, edit);
            w = edit;
            break;
        }
        }
        Field(w, f.Key, label, f.Kind == FieldKind::CheckShare ? QString() : key, m_[f.Help]);
        if (*f.Needs) {
            const QString needs = QString::fromLatin1(f.Needs);
            fill = [this, w, needs, fill] {
                const bool rule = needs.startsWith(QStringLiteral("rule "));
                w->setEnabled(rule ? (SetupNumber(QStringLiteral("BolNotKnow"), 0) & 0xFF) &&
                                         DontKnowRule() == needs.back().digitValue()
                                   : SetupNumber(needs, 0) & 0xFF);
                if (fill)
                    fill();
            };
        }
        if (fill)
            setupFill_.append(fill);
    }
    list->setCurrentRow(0);
    list->setMaximumWidth(list->sizeHintForColumn(0) + 2 * list->frameWidth() + 8);
    return whole;
}

void TFmEditor::FillSetup()
{
    const bool was = filling_;
    filling_ = true;
    for (const auto &fill : setupFill_)
        fill();
    filling_ = was;
}

void TFmEditor::CheckShare(QPushButton *button)
{
    // Through the player's own share layer, on its folder thread, as the player connects; the
    // window goes on meanwhile, the button waits for the answer.
    const QString path = doc_.Value(Setup, QStringLiteral("PathDbNet"));
    const QString user = doc_.Value(Setup, QStringLiteral("LoginDbNet"));
    const QString password = doc_.Value(Setup, QStringLiteral("PaswDbNet"));
    button->setEnabled(false);
    button->setCursor(Qt::BusyCursor);
    Folders().Post<int>(
        [path, user, password] {
            const int code = ConnectShare(path, user, password);
            DisconnectShare(path, true);
            return code;
        },
        button,
        [this, button](int rc) {
            button->setEnabled(true);
            button->unsetCursor();
            const bool ok = rc == ShareConnected || rc == ShareAlreadyConnected;
            Dialogs().Message(
                this, ok ? MessageKind::Information : MessageKind::Error, m_[Msg::E_CHECKSHARE],
                ok ? m_[Msg::E_SHAREOK] : FormatMessage(m_[Msg::E_SHAREFAILED], {rc}));
        });
}
