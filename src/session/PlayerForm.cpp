#include "session/PlayerForm.h"

#include "core/widgets/RichText.h"
#include "records/widgets/RichReport.h"
#include "ui/Accessibility.h"

#include <QBoxLayout>
#include <QButtonGroup>
#include <QComboBox>
#include <QGroupBox>
#include <QIcon>
#include <QLineEdit>
#include <QListView>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSplitter>
#include <QStackedWidget>
#include <QStyle>
#include <QTextEdit>
#include <QToolButton>
#include <QVariant>

#include <cmath>

namespace {

QString Name(const char *name)
{
    return QString::fromLatin1(name);
}

// A magnifier drawn once: the zoom buttons' glyph.
QIcon ZoomIcon()
{
    QPixmap pm(20, 20);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(40, 40, 40), 2));
    p.drawEllipse(QRectF(2.5, 2.5, 10, 10));
    p.setPen(QPen(QColor(40, 40, 40), 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(11.5, 11.5), QPointF(17, 17));
    return QIcon(pm);
}

QVBoxLayout *Column(QWidget *parent, int margin = 0, int spacing = 0)
{
    auto *layout = new QVBoxLayout(parent);
    layout->setContentsMargins(margin, margin, margin, margin);
    layout->setSpacing(spacing);
    return layout;
}

const QStringList DefaultInstructionLines = {
    QStringLiteral("Порядок ответов на вопросы:"),
    QStringLiteral("Внимательно прочитайте вопрос в верхней части окна."),
    QStringLiteral("Внимательно прочитайте возможные ответы на вопрос и выберите тот ответ,"),
    QStringLiteral("который по Вашему мнению является правильным."),
    QStringLiteral("Выделите правильный ответ при помощи манипулятора \"Мышь\"."),
    QStringLiteral(
        "Для перехода к следующему вопросу, нажмите кнопку - [Далее>>] в нижней части окна."),
};

} // namespace

QString PlayerForm::DefaultInstructions()
{
    return DefaultInstructionLines.join(u'\n');
}

QWidget *PlayerForm::Say(QWidget *widget, Msg text, int number)
{
    spoken_.push_back({widget, text, number, Spoken::As::Name});
    return widget;
}

template <typename W> W *PlayerForm::Named(W *widget, const char *name, Msg text, int number)
{
    widget->setObjectName(Name(name));
    Say(widget, text, number);
    return widget;
}

template <typename W> W *PlayerForm::Shown(W *widget, const char *name, Msg role)
{
    widget->setObjectName(Name(name));
    spoken_.push_back({widget, role, 0, Spoken::As::Description});
    return widget;
}

void PlayerForm::Tip(QWidget *widget, Msg text)
{
    spoken_.push_back({widget, text, 0, Spoken::As::ToolTip});
}

void PlayerForm::SayTexts(const TMessages &messages)
{
    for (const Spoken &s : spoken_) {
        const QString text =
            s.Number ? FormatMessage(messages[s.Text], {s.Number}) : messages[s.Text];
        switch (s.Kind) {
        case Spoken::As::Name:
            s.Widget->setAccessibleName(text);
            break;
        case Spoken::As::Description:
            s.Widget->setAccessibleDescription(text);
            break;
        case Spoken::As::ToolTip:
            s.Widget->setToolTip(text);
            break;
        }
    }
}

QTextEdit *PlayerForm::NewMemo(const char *name, QWidget *parent, Msg text, int number)
{
    auto *memo = Named(new QTextEdit(parent), name, text, number);
    memo->setReadOnly(true);
    memo->setFrameShape(QFrame::StyledPanel);
    // Read-only text is chosen with the mouse or reached with the radio buttons; it must not
    // take the focus when a page is shown, or it would choose an answer by itself.
    memo->setFocusPolicy(Qt::NoFocus);
    memo->setTextInteractionFlags(Qt::NoTextInteraction);
    memo->viewport()->installEventFilter(window_);
    return memo;
}

QFrame *PlayerForm::BuildHeader(const char *name, QLabel *&caption, QLabel *&clock,
                                const char *clockName)
{
    auto *header = Named(new QFrame, name, Msg::A_QUESTION);
    header->setFixedHeight(30);
    header->setFrameShape(QFrame::Panel);
    header->setFrameShadow(QFrame::Raised);
    auto *row = new QHBoxLayout(header);
    row->setContentsMargins(6, 0, 8, 0);
    caption = new QLabel(header);
    caption->setObjectName(Name(name) + QStringLiteral("Caption"));
    spoken_.push_back({caption, Msg::A_QUESTIONNUMBER, 0, Spoken::As::Description});
    QFont bold = caption->font();
    bold.setBold(true);
    bold.setPointSize(bold.pointSize() + 2);
    caption->setFont(bold);
    caption->setStyleSheet(QStringLiteral("color: green;"));
    clock = Shown(new QLabel(header), clockName, Msg::A_ANSWERTIME);
    clock->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    row->addWidget(caption, 1);
    row->addWidget(clock);
    return header;
}

QWidget *PlayerForm::BuildTextPage()
{
    auto *page = Named(new QWidget, "Page1", Msg::A_PAGETEXT);
    auto *col = Column(page);
    col->addWidget(Panel4 = BuildHeader("Panel4", Panel4Caption, Label2, "Label2"));
    Splitter1 = Named(new QSplitter(Qt::Vertical, page), "Splitter1", Msg::A_DIVIDER);
    auto *panel50 = Named(new QFrame, "Panel50", Msg::A_QUESTION);
    Column(panel50)->addWidget(Memo1 = NewMemo("Memo1", panel50, Msg::A_QUESTIONTEXT));
    Panel6 = new ResizePanel(Name("Panel6"));
    Say(Panel6, Msg::A_ANSWERS);
    const char *rowNames[5][4] = {{"Panel15", "Panel16", "RBut1", "Memo5"},
                                  {"Panel13", "Panel14", "RBut2", "Memo6"},
                                  {"Panel11", "Panel12", "RBut3", "Memo7"},
                                  {"Panel9", "Panel10", "RBut4", "Memo8"},
                                  {"Panel7", "Panel8", "RBut5", "Memo9"}};
    TextAnswerButtons = new QButtonGroup(window_);
    for (int k = 0; k < 5; ++k) {
        AnswerRow &r = Rows[size_t(k)];
        r.Row = Named(new QFrame(Panel6), rowNames[k][0], Msg::A_ANSWER, k + 1);
        r.Row->setFrameShape(QFrame::StyledPanel);
        auto *line = new QHBoxLayout(r.Row);
        line->setContentsMargins(2, 2, 2, 2);
        line->setSpacing(2);
        r.Cell = new ClickPanel(Name(rowNames[k][1]), r.Row);
        Say(r.Cell, Msg::A_ANSWER, k + 1);
        r.Cell->setFixedWidth(64);
        auto *cellLayout = new QHBoxLayout(r.Cell);
        cellLayout->setContentsMargins(0, 0, 0, 0);
        r.Radio = Named(new QRadioButton(QString::number(k + 1), r.Cell), rowNames[k][2],
                        Msg::A_ANSWER, k + 1);
        TextAnswerButtons->addButton(r.Radio, k + 1);
        r.Radio->installEventFilter(window_);
        cellLayout->addWidget(r.Radio, 0, Qt::AlignCenter);
        r.Memo = NewMemo(rowNames[k][3], r.Row, Msg::A_ANSWERTEXT, k + 1);
        line->addWidget(r.Cell);
        line->addWidget(r.Memo, 1);
    }
    Splitter1->addWidget(panel50);
    Splitter1->addWidget(Panel6);
    Splitter1->setStretchFactor(0, 1);
    Splitter1->setStretchFactor(1, 2);
    col->addWidget(Splitter1, 1);
    return page;
}

QWidget *PlayerForm::BuildPicturePage()
{
    auto *page = Named(new QWidget, "Page2", Msg::A_PAGEPICTURE);
    auto *col = Column(page);
    col->addWidget(Panel17 = BuildHeader("Panel17", Panel17Caption, Label5, "Label5"));
    Splitter2 = Named(new QSplitter(Qt::Vertical, page), "Splitter2", Msg::A_DIVIDER);
    auto *panel58 = Named(new QFrame, "Panel58", Msg::A_QUESTION);
    Column(panel58)->addWidget(Memo3 = NewMemo("Memo3", panel58, Msg::A_QUESTIONTEXT));
    ScrollBox1 = Named(new QScrollArea, "ScrollBox1", Msg::A_ANSWERS);
    ScrollBox1->setWidgetResizable(true);
    ScrollBox1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ScrollBoxArea = new ResizePanel(Name("ScrollBox1Area"));
    Say(ScrollBoxArea, Msg::A_ANSWERS);
    ScrollBox1->setWidget(ScrollBoxArea);
    const char *names[4][5] = {{"Panel22", "RadioButton4", "Image6", "SpeedButton3", "Memo12"},
                               {"Panel21", "RadioButton3", "Image5", "SpeedButton2", "Memo10"},
                               {"Panel20", "RadioButton2", "Image4", "SpeedButton1", "Memo4"},
                               {"Panel19", "RadioButton1", "Image3", "SpeedButton16", "Memo11"}};
    PictureAnswerButtons = new QButtonGroup(window_);
    for (int k = 0; k < 4; ++k) {
        PictureRow &r = PictureRows[size_t(k)];
        r.Panel = new ClickPanel(Name(names[k][0]), ScrollBoxArea);
        Say(r.Panel, Msg::A_ANSWER, k + 1);
        r.Panel->setFrameShape(QFrame::StyledPanel);
        r.Caption = new QLabel(QStringLiteral(" %1").arg(k + 1), r.Panel);
        QFont bold = r.Caption->font();
        bold.setBold(true);
        r.Caption->setFont(bold);
        r.Radio = Named(new QRadioButton(r.Panel), names[k][1], Msg::A_ANSWER, k + 1);
        PictureAnswerButtons->addButton(r.Radio, k + 1);
        r.Radio->installEventFilter(window_);
        r.Image = new PictureBox(Name(names[k][2]), r.Panel);
        Say(r.Image, Msg::A_ANSWERPICTURE, k + 1);
        r.Image->SetStretch(true);
        r.Zoom = Named(new QToolButton(r.Panel), names[k][3], Msg::A_ZOOMANSWER, k + 1);
        r.Zoom->setIcon(ZoomIcon());
        Tip(r.Zoom, Msg::A_ZOOM);
        r.Zoom->setFocusPolicy(Qt::NoFocus);
        r.Memo = NewMemo(names[k][4], r.Panel, Msg::A_ANSWERTEXT, k + 1);
    }
    Splitter2->addWidget(panel58);
    Splitter2->addWidget(ScrollBox1);
    Splitter2->setStretchFactor(0, 1);
    Splitter2->setStretchFactor(1, 2);
    col->addWidget(Splitter2, 1);
    return page;
}

QWidget *PlayerForm::BuildListPage()
{
    auto *page = Named(new QWidget, "Page3", Msg::A_PAGELIST);
    auto *col = Column(page);
    col->addWidget(Panel23 = BuildHeader("Panel23", Panel23Caption, Label7, "Label7"));
    Splitter3 = Named(new QSplitter(Qt::Vertical, page), "Splitter3", Msg::A_DIVIDER);
    Panel24 = Named(new QFrame, "Panel24", Msg::A_QUESTION);
    Panel24->setAutoFillBackground(true);
    auto *row = new QHBoxLayout(Panel24);
    row->setContentsMargins(4, 4, 4, 4);
    Image7 = new PictureBox(Name("Image7"), Panel24);
    Say(Image7, Msg::A_QUESTIONPICTURE);
    SpeedButton4 = Named(new QToolButton(Panel24), "SpeedButton4", Msg::A_ZOOMQUESTION);
    SpeedButton4->setIcon(ZoomIcon());
    Tip(SpeedButton4, Msg::A_ZOOM);
    SpeedButton4->setFocusPolicy(Qt::NoFocus);
    Memo13 = NewMemo("Memo13", Panel24, Msg::A_QUESTIONTEXT);
    row->addWidget(Image7, 2);
    row->addWidget(SpeedButton4, 0, Qt::AlignTop);
    row->addWidget(Memo13, 3);
    RadioGroup2 =
        Shown(new QGroupBox(QStringLiteral("Возможные ответы:")), "RadioGroup2", Msg::A_ANSWERLIST);
    auto *items = new QVBoxLayout(RadioGroup2);
    RadioGroup2Buttons = new QButtonGroup(RadioGroup2);
    RadioGroup2Buttons->setExclusive(true);
    for (int i = 0; i < 4; ++i) {
        auto *item = new QRadioButton(RadioGroup2);
        item->setObjectName(QStringLiteral("RadioGroup2Item%1").arg(i + 1));
        Say(item, Msg::A_ANSWER, i + 1);
        item->installEventFilter(window_);
        RadioGroup2Buttons->addButton(item, i);
        RadioGroup2Items[size_t(i)] = item;
        items->addWidget(item);
    }
    items->addStretch(1);
    Splitter3->addWidget(Panel24);
    Splitter3->addWidget(RadioGroup2);
    Splitter3->setStretchFactor(0, 3);
    Splitter3->setStretchFactor(1, 2);
    col->addWidget(Splitter3, 1);
    return page;
}

QWidget *PlayerForm::BuildTitlePage()
{
    TitlePage = new ResizePanel(Name("Page4"));
    Say(TitlePage, Msg::A_TITLEPAGE);
    Image1 = new PictureBox(Name("Image1"), TitlePage);
    Say(Image1, Msg::A_TITLEPICTURE);
    const auto label = [this](const char *name, Msg role, Qt::Alignment align) {
        auto *l = Shown(new QLabel(TitlePage), name, role);
        l->setWordWrap(true);
        l->setAlignment(align);
        return l;
    };
    LabTop = label("LabTop", Msg::A_HEADING, Qt::AlignHCenter | Qt::AlignTop);
    LabTema = label("LabTema", Msg::A_SUBJECT, Qt::AlignLeft | Qt::AlignVCenter);
    LabBut = label("LabBut", Msg::A_FOOTER, Qt::AlignHCenter | Qt::AlignBottom);
    LabJob = label("LabJob", Msg::A_AUTHOR, Qt::AlignLeft | Qt::AlignTop);
    LabName = label("LabName", Msg::A_DESCRIPTION, Qt::AlignLeft | Qt::AlignTop);
    return TitlePage;
}

QWidget *PlayerForm::BuildInstructionsPage()
{
    auto *page = Named(new QWidget, "Page5", Msg::A_INSTRUCTIONSPAGE);
    auto *col = Column(page, 8);
    Memo15 = Named(new QTextEdit(page), "Memo15", Msg::A_INSTRUCTIONS);
    Memo15->setReadOnly(true);
    Memo15->setPlainText(DefaultInstructions());
    col->addWidget(Memo15);
    return page;
}

QWidget *PlayerForm::BuildRegistrationPage()
{
    auto *page = Named(new QWidget, "Page6", Msg::A_REGISTRATION);
    auto *col = Column(page, 16, 10);
    Label1 = Shown(new QLabel(MessageDefault(Msg::A_DATE), page), "Label1", Msg::A_DATE);
    QFont big = Label1->font();
    big.setBold(true);
    big.setPointSize(big.pointSize() + 2);
    Label1->setFont(big);
    col->addWidget(Label1);
    StaticText1 = Shown(new QLabel(MessageDefault(Msg::U_LABOPISANIEZK), page), "StaticText1",
                        Msg::A_GUIDANCE);
    StaticText1->setWordWrap(true);
    col->addWidget(StaticText1);
    auto *line = new QHBoxLayout;
    GroupBox1 = Shown(new QGroupBox(QStringLiteral("Данные об экзаменуемом:"), page), "GroupBox1",
                      Msg::A_EXAMINEE);
    GroupBox1->setMinimumWidth(360);
    GroupBox1->setMaximumWidth(640);
    Label3 = Shown(new QLabel(QStringLiteral("Группа (класс, организация):"), GroupBox1), "Label3",
                   Msg::A_GROUP);
    // Marked before anything asks for its accessible interface, which is then kept.
    KeepAccessibleName(ComboBox1 = new QComboBox(GroupBox1));
    KeepAccessibleName(ComboBox2 = new QComboBox(GroupBox1));
    Named(ComboBox1, "ComboBox1", Msg::A_GROUP);
    Label4 = Shown(new QLabel(QStringLiteral("Фамилия, Имя"), GroupBox1), "Label4", Msg::A_NAME);
    Named(ComboBox2, "ComboBox2", Msg::A_NAME);
    // A roster may list hundreds of thousands: the drop-down lays out one row, not each.
    for (QComboBox *box : {ComboBox1, ComboBox2})
        if (auto *list = qobject_cast<QListView *>(box->view()))
            list->setUniformItemSizes(true);
    Label6 =
        Shown(new QLabel(QStringLiteral("Введите пароль"), GroupBox1), "Label6", Msg::A_PASSWORD);
    MaskEdit1 = Named(new QLineEdit(GroupBox1), "MaskEdit1", Msg::A_PASSWORD);
    MaskEdit1->setEchoMode(QLineEdit::Password);
    Label3->setBuddy(ComboBox1);
    Label4->setBuddy(ComboBox2);
    Label6->setBuddy(MaskEdit1);
    GroupBox1->installEventFilter(window_); // its rows are placed by LayoutRegistrationBox
    line->addWidget(GroupBox1, 3, Qt::AlignTop);
    Image2 = new PictureBox(Name("Image2"), page);
    Say(Image2, Msg::A_PICTURE);
    line->addWidget(Image2, 2);
    col->addLayout(line);
    col->addStretch(1);
    return page;
}

QWidget *PlayerForm::BuildResultPage()
{
    auto *page = Named(new QWidget, "Page7", Msg::A_RESULTPAGE);
    auto *col = Column(page, 4, 4);
    RxSplitter1 = Named(new QSplitter(Qt::Vertical, page), "RxSplitter1", Msg::A_RESULTDIVIDER);
    auto *panel2 = Named(new QFrame, "Panel2", Msg::A_SUMMARYPANEL);
    Memo14 = Named(new QTextEdit(panel2), "Memo14", Msg::A_SUMMARY);
    Memo14->setReadOnly(true);
    QFont bold = Memo14->font();
    bold.setBold(true);
    Memo14->setFont(bold);
    // Navy until the exam's result font gives its own colour.
    QPalette navy = Memo14->palette();
    navy.setColor(QPalette::Text, QColor(0, 0, 128));
    Memo14->setPalette(navy);
    Column(panel2)->addWidget(Memo14);
    auto *panel3 = Named(new QFrame, "Panel3", Msg::A_REPORT);
    auto *reportCol = Column(panel3, 0, 4);
    ButYesResult = Shown(new QPushButton(MessageDefault(Msg::U_REPORTBUTTON1), panel3),
                         "ButYesResult", Msg::A_REPORT);
    ButYesResult->setVisible(false);
    reportCol->addWidget(ButYesResult, 0, Qt::AlignLeft);
    REResult = Named(new QTextEdit(panel3), "REResult", Msg::A_REPORT);
    REResult->setReadOnly(true);
    REResult->setFont(ReportBoxFont());
    REResult->setVisible(false);
    reportCol->addWidget(REResult, 1);
    RxSplitter1->addWidget(panel2);
    RxSplitter1->addWidget(panel3);
    col->addWidget(RxSplitter1, 1);
    return page;
}

QWidget *PlayerForm::BuildBottomBar()
{
    Panel1 = new ClickPanel(Name("Panel1"));
    Say(Panel1, Msg::A_BUTTONBAR);
    Panel1->setFixedHeight(31);
    Panel1->setFrameShape(QFrame::Panel);
    Panel1->setFrameShadow(QFrame::Raised);
    auto *row = new QHBoxLayout(Panel1);
    row->setContentsMargins(6, 2, 6, 2);
    row->setSpacing(6);
    RadioButNotKwon = Shown(new QRadioButton(MessageDefault(Msg::M_NOTKNOWW), Panel1),
                            "RadioButNotKwon", Msg::A_ANSWERROLE);
    RadioButNotKwon->setFixedWidth(421);
    DontKnowButtons = new QButtonGroup(window_);
    DontKnowButtons->setExclusive(false);
    DontKnowButtons->addButton(RadioButNotKwon);
    RadioButNotKwon->setVisible(false);
    Panel1Caption = Shown(new QLabel(Panel1), "Panel1Caption", Msg::A_STATUS);
    ProgressBar1 = Named(new QProgressBar(Panel1), "ProgressBar1", Msg::A_PROGRESS);
    ProgressBar1->setVisible(false);
    ProgressBar1->setMaximumWidth(200);
    BusyText = Shown(new QLabel(Panel1), "BusyText", Msg::A_STATUS);
    BusyText->setVisible(false);
    WaitingMark = Shown(new QLabel(Panel1), "WaitingMark", Msg::A_STATUS);
    WaitingMark->setVisible(false);
    WaitingMark->setStyleSheet(QStringLiteral("color: #a05000;"));
    Shape1 = new ShapeIndicator(Name("Shape1"), Panel1);
    Shape2 = new ShapeIndicator(Name("Shape2"), Panel1);
    Shape3 = new ShapeIndicator(Name("Shape3"), Panel1);
    for (ShapeIndicator *s : {Shape1, Shape2, Shape3}) {
        Say(s, Msg::A_SERVERLINK);
        s->setVisible(false);
    }
    ButNew = Shown(new QPushButton(QStringLiteral("Новый"), Panel1), "ButNew", Msg::A_NEWEXAM);
    ButNext =
        Shown(new QPushButton(MessageDefault(Msg::U_BUTNEXT), Panel1), "ButNext", Msg::A_NEXTSTEP);
    ButNext->setDefault(true);
    ButNext->setMinimumWidth(96);
    ButNew->setMinimumWidth(80);
    row->addWidget(RadioButNotKwon);
    row->addWidget(Panel1Caption, 1);
    row->addWidget(BusyText);
    row->addWidget(ProgressBar1);
    row->addWidget(WaitingMark);
    row->addWidget(Shape1);
    row->addWidget(Shape2);
    row->addWidget(Shape3);
    row->addWidget(ButNew);
    row->addWidget(ButNext);
    return Panel1;
}

void PlayerForm::BuildForm(QWidget *window)
{
    window_ = window;
    window->setObjectName(Name("FmZK"));
    AnnounceAsWindow(window);
    // Named by its caption, the exam's title.
    spoken_.push_back({window, Msg::A_EXAM, 0, Spoken::As::Description});
    window->setWindowTitle(QStringLiteral("Tarvik"));
    window->setFont(ToQFont(FontValue(), window->font()));
    window->resize(788, 521);
    auto *col = Column(window);
    Notebook1 = Named(new QStackedWidget(window), "Notebook1", Msg::A_PAGES);
    Notebook1->addWidget(Named(new QWidget, "Page0", Msg::A_EMPTYPAGE));
    Notebook1->addWidget(BuildTextPage());
    Notebook1->addWidget(BuildPicturePage());
    Notebook1->addWidget(BuildListPage());
    Notebook1->addWidget(BuildTitlePage());
    Notebook1->addWidget(BuildInstructionsPage());
    Notebook1->addWidget(BuildRegistrationPage());
    Notebook1->addWidget(BuildResultPage());
    col->addWidget(Notebook1, 1);
    col->addWidget(BuildBottomBar());
    Notebook1->setCurrentIndex(0);
    // Captions, titles and language texts are shown exactly as written, never as markup.
    for (QLabel *label : window->findChildren<QLabel *>())
        label->setTextFormat(Qt::PlainText);
    SayTexts(TMessages());
}

// ---- Layout that follows the window ---------------------------------------------------------

void PlayerForm::LayoutTitlePage(QSize screen)
{
    const int w = TitlePage->width();
    const int h = TitlePage->height();
    // The exam's title stands in the right half, from a third of the screen's height down.
    const int left = qMin(screen.width() / 2, w / 2);
    const int top = qMin(screen.height() / 3, h / 3);
    LabTema->setGeometry(left, top, left - left / 10, top);
    LabTop->setGeometry(w / 20, h / 30, w - w / 10, qMax(top - h / 30 - 8, 20));
    const int pictureTop = top;
    Image1->setGeometry(w / 20, pictureTop, left - w / 10, qMax(h - pictureTop - h / 6, 20));
    LabName->setGeometry(left, top + top, left - left / 10, qMax(h / 12, 20));
    LabJob->setGeometry(left, top + top + qMax(h / 12, 20), left - left / 10, qMax(h / 12, 20));
    LabBut->setGeometry(w / 20, h - h / 8, w - w / 10, h / 8 - 8);
}

void PlayerForm::LayoutRegistrationBox(double scale)
{
    const auto y = [scale](int v) { return int(std::lround(v * scale)); };
    const int width = GroupBox1->width() - y(24);
    const int rowHeight = qMax(ComboBox1->sizeHint().height(), y(24));
    Label3->setGeometry(y(12), y(24), width, y(18));
    ComboBox1->setGeometry(y(12), y(44), width, rowHeight);
    Label4->setGeometry(y(12), y(84), width, y(18));
    ComboBox2->setGeometry(y(12), y(104), width, rowHeight);
    // Below the short box's edge: with no password the row is cut off (and hidden).
    Label6->setGeometry(y(12), y(160), width, y(18));
    MaskEdit1->setGeometry(y(12), y(180), width, rowHeight);
}

void PlayerForm::LayoutTextRows(int rows)
{
    const int rowHeight = Panel6->height() / qMax(1, rows);
    int top = 0;
    for (const AnswerRow &r : Rows) {
        if (!r.Row->isVisibleTo(Panel6))
            continue;
        r.Row->setGeometry(0, top, Panel6->width(), rowHeight);
        top += rowHeight;
    }
}

void PlayerForm::LayoutPictureRows(int rows, int pictureColumn, double scale)
{
    const int rowHeight = qMax(ScrollBox1->viewport()->height() / qMax(1, rows), 90);
    const int width = ScrollBox1->viewport()->width();
    int top = 0;
    for (PictureRow &r : PictureRows) {
        if (!r.Panel->isVisibleTo(ScrollBoxArea))
            continue;
        r.Panel->setGeometry(0, top, width, rowHeight);
        const int mid = rowHeight / 2;
        r.Caption->setGeometry(2, mid - 10, int(18 * scale), 20);
        r.Radio->setGeometry(int(20 * scale), mid - 10, int(20 * scale), 20);
        r.Image->setGeometry(int(42 * scale), mid - int(79 * scale) / 2, int(87 * scale),
                             int(79 * scale));
        r.Zoom->setGeometry(int(132 * scale), mid - 12, int(30 * scale), 24);
        r.Memo->setGeometry(pictureColumn, 2, qMax(width - pictureColumn, 10), rowHeight - 4);
        top += rowHeight;
    }
    ScrollBoxArea->setMinimumHeight(top);
}
