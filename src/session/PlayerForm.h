#pragma once

#include "lang/Messages.h"
#include "session/Widgets.h"

#include <QSize>
#include <array>
#include <vector>

class QButtonGroup;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QScrollArea;
class QSplitter;
class QStackedWidget;
class QTextEdit;
class QToolButton;

// The examination window's controls: its pages and bottom bar, laid out for a client area of
// 788 x 521 and following the window as it is shown maximised. The controls keep the names the
// exam's designers know them by (their object names); what a screen reader says of them comes
// from the message table. The form connects nothing: the window wires the controls to its
// handlers.
class PlayerForm
{
public:
    struct AnswerRow
    {
        QFrame *Row;
        ClickPanel *Cell;
        QRadioButton *Radio;
        QTextEdit *Memo;
    };
    struct PictureRow
    {
        ClickPanel *Panel;
        QLabel *Caption;
        QRadioButton *Radio;
        PictureBox *Image;
        QToolButton *Zoom;
        QTextEdit *Memo;
    };

    // The six lines of the instructions page of an exam that gives none.
    static QString DefaultInstructions();

    // Builds every control into Window, which also filters the events of the answer buttons,
    // the answer texts and the registration box.
    void BuildForm(QWidget *window);
    // The accessible names, descriptions and tips in the language of Messages.
    void SayTexts(const TMessages &messages);

    // The title page's labels and picture for a screen of the given size.
    void LayoutTitlePage(QSize screen);
    // The rows of the registration box at Scale (the screen's dots per inch over 96).
    void LayoutRegistrationBox(double scale);
    // The visible answer rows, each a share of the area for Rows rows.
    void LayoutTextRows(int rows);
    void LayoutPictureRows(int rows, int pictureColumn, double scale);

    QStackedWidget *Notebook1 = nullptr;
    ClickPanel *Panel1 = nullptr;
    QLabel *Panel1Caption = nullptr;
    QPushButton *ButNext = nullptr;
    QPushButton *ButNew = nullptr;
    QRadioButton *RadioButNotKwon = nullptr;
    QButtonGroup *DontKnowButtons = nullptr; // of one, so the program can clear it
    ShapeIndicator *Shape1 = nullptr, *Shape2 = nullptr, *Shape3 = nullptr;
    QProgressBar *ProgressBar1 = nullptr;
    QLabel *BusyText = nullptr;    // what the window waits on, beside ProgressBar1 running
    QLabel *WaitingMark = nullptr; // results kept on the station wait for their journal
    // Page 1.
    QFrame *Panel4 = nullptr;
    QLabel *Panel4Caption = nullptr, *Label2 = nullptr;
    QTextEdit *Memo1 = nullptr;
    QSplitter *Splitter1 = nullptr;
    ResizePanel *Panel6 = nullptr;
    std::array<AnswerRow, 5> Rows{};
    QButtonGroup *TextAnswerButtons = nullptr;
    // Page 2.
    QFrame *Panel17 = nullptr;
    QLabel *Panel17Caption = nullptr, *Label5 = nullptr;
    QTextEdit *Memo3 = nullptr;
    QSplitter *Splitter2 = nullptr;
    QScrollArea *ScrollBox1 = nullptr;
    ResizePanel *ScrollBoxArea = nullptr;
    std::array<PictureRow, 4> PictureRows{};
    QButtonGroup *PictureAnswerButtons = nullptr;
    // Page 3.
    QFrame *Panel23 = nullptr;
    QLabel *Panel23Caption = nullptr, *Label7 = nullptr;
    QFrame *Panel24 = nullptr;
    PictureBox *Image7 = nullptr;
    QToolButton *SpeedButton4 = nullptr;
    QTextEdit *Memo13 = nullptr;
    QSplitter *Splitter3 = nullptr;
    QGroupBox *RadioGroup2 = nullptr;
    QButtonGroup *RadioGroup2Buttons = nullptr;
    std::array<QRadioButton *, 4> RadioGroup2Items{};
    // Page 4.
    ResizePanel *TitlePage = nullptr;
    PictureBox *Image1 = nullptr;
    QLabel *LabTop = nullptr, *LabTema = nullptr, *LabBut = nullptr, *LabJob = nullptr,
           *LabName = nullptr;
    // Page 5.
    QTextEdit *Memo15 = nullptr;
    // Page 6.
    QLabel *Label1 = nullptr, *Label3 = nullptr, *Label4 = nullptr, *Label6 = nullptr;
    QGroupBox *GroupBox1 = nullptr;
    QComboBox *ComboBox1 = nullptr, *ComboBox2 = nullptr;
    QLineEdit *MaskEdit1 = nullptr;
    QLabel *StaticText1 = nullptr;
    PictureBox *Image2 = nullptr;
    // Page 7.
    QTextEdit *Memo14 = nullptr;
    QSplitter *RxSplitter1 = nullptr;
    QPushButton *ButYesResult = nullptr;
    QTextEdit *REResult = nullptr;

private:
    // A text a screen reader says of a control, kept so that a language can replace it.
    struct Spoken
    {
        enum class As { Name, Description, ToolTip };
        QWidget *Widget;
        Msg Text;
        int Number; // for the "%d" of a numbered text; 0 for none
        As Kind;
    };

    QWidget *Say(QWidget *widget, Msg text, int number = 0);
    template <typename W> W *Named(W *widget, const char *name, Msg text, int number = 0);
    // A control that shows its own text (a label, a button): a screen reader reads that text, as
    // it changes, and hears the control's role as its description.
    template <typename W> W *Shown(W *widget, const char *name, Msg role);
    void Tip(QWidget *widget, Msg text);

    QTextEdit *NewMemo(const char *name, QWidget *parent, Msg text, int number = 0);
    QFrame *BuildHeader(const char *name, QLabel *&caption, QLabel *&clock, const char *clockName);
    QWidget *BuildTextPage();
    QWidget *BuildPicturePage();
    QWidget *BuildListPage();
    QWidget *BuildTitlePage();
    QWidget *BuildInstructionsPage();
    QWidget *BuildRegistrationPage();
    QWidget *BuildResultPage();
    QWidget *BuildBottomBar();

    QWidget *window_ = nullptr;
    std::vector<Spoken> spoken_;
};
