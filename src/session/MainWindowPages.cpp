// The window's pages and bottom bar, laid out for a client area of 788 x 521 and following the
// window as it is shown maximised.

#include "session/MainWindow.h"

#include "core/widgets/RichText.h"
#include "ui/Accessibility.h"
#include "ui/Dialogs.h"

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

namespace {

template <typename W> W *Named(W *widget, const QString &name, const QString &accessible)
{
    widget->setObjectName(name);
    widget->setAccessibleName(accessible);
    return widget;
}

// A control that shows its own text (a label, a button): a screen reader reads that text, as it
// changes, and hears the control's role as its description.
template <typename W> W *Shown(W *widget, const QString &name, const QString &role)
{
    widget->setObjectName(name);
    widget->setAccessibleDescription(role);
    return widget;
}

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

const QStringList DefaultInstructions = {
    QStringLiteral("Порядок ответов на вопросы:"),
    QStringLiteral("Внимательно прочитайте вопрос в верхней части окна."),
    QStringLiteral("Внимательно прочитайте возможные ответы на вопрос и выберите тот ответ,"),
    QStringLiteral("который по Вашему мнению является правильным."),
    QStringLiteral("Выделите правильный ответ при помощи манипулятора \"Мышь\"."),
    QStringLiteral(
        "Для перехода к следующему вопросу, нажмите кнопку - [Далее>>] в нижней части окна."),
};

} // namespace

QTextEdit *TFmZK::NewMemo(const QString &name, QWidget *parent, const QString &accessible)
{
    auto *memo = Named(new QTextEdit(parent), name, accessible);
    memo->setReadOnly(true);
    memo->setFrameShape(QFrame::StyledPanel);
    // Read-only text is chosen with the mouse or reached with the radio buttons; it must not
    // take the focus when a page is shown, or it would choose an answer by itself.
    memo->setFocusPolicy(Qt::NoFocus);
    memo->setTextInteractionFlags(Qt::NoTextInteraction);
    memo->viewport()->installEventFilter(this);
    return memo;
}

QFrame *TFmZK::BuildHeader(const QString &name, QLabel *&caption, QLabel *&clock)
{
    auto *header = Named(new QFrame, name, QStringLiteral("Вопрос"));
    header->setFixedHeight(30);
    header->setFrameShape(QFrame::Panel);
    header->setFrameShadow(QFrame::Raised);
    auto *row = new QHBoxLayout(header);
    row->setContentsMargins(6, 0, 8, 0);
    caption = Shown(new QLabel(header), name + QStringLiteral("Caption"),
                    QStringLiteral("Номер вопроса"));
    QFont bold = caption->font();
    bold.setBold(true);
    bold.setPointSize(bold.pointSize() + 2);
    caption->setFont(bold);
    caption->setStyleSheet(QStringLiteral("color: green;"));
    clock = new QLabel(header);
    clock->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    row->addWidget(caption, 1);
    row->addWidget(clock);
    return header;
}

QWidget *TFmZK::BuildTextPage()
{
    auto *page = Named(new QWidget, Name("Page1"), QStringLiteral("Вопрос с текстовыми ответами"));
    auto *col = Column(page);
    Panel4 = BuildHeader(Name("Panel4"), Panel4Caption, Label2);
    Shown(Label2, Name("Label2"), QStringLiteral("Время ответа"));
    col->addWidget(Panel4);

    Splitter1 = Named(new QSplitter(Qt::Vertical, page), Name("Splitter1"),
                      QStringLiteral("Граница вопроса и ответов"));
    auto *panel50 = Named(new QFrame, Name("Panel50"), QStringLiteral("Вопрос"));
    Column(panel50)->addWidget(
        Memo1 = NewMemo(Name("Memo1"), panel50, QStringLiteral("Текст вопроса")));
    Panel6 = new ResizePanel(Name("Panel6"));
    Panel6->setAccessibleName(QStringLiteral("Ответы"));
    Panel6->OnResize = [this] { LayoutTextRows(); };
    const char *rowNames[5][4] = {{"Panel15", "Panel16", "RBut1", "Memo5"},
                                  {"Panel13", "Panel14", "RBut2", "Memo6"},
                                  {"Panel11", "Panel12", "RBut3", "Memo7"},
                                  {"Panel9", "Panel10", "RBut4", "Memo8"},
                                  {"Panel7", "Panel8", "RBut5", "Memo9"}};
    TextAnswerButtons = new QButtonGroup(this);
    for (int k = 0; k < 5; ++k) {
        const QString answer = QStringLiteral("Ответ %1").arg(k + 1);
        AnswerRow &r = Rows[size_t(k)];
        r.Row = Named(new QFrame(Panel6), Name(rowNames[k][0]), answer);
        r.Row->setFrameShape(QFrame::StyledPanel);
        auto *line = new QHBoxLayout(r.Row);
        line->setContentsMargins(2, 2, 2, 2);
        line->setSpacing(2);
        r.Cell = new ClickPanel(Name(rowNames[k][1]), r.Row);
        r.Cell->setAccessibleName(answer);
        r.Cell->setFixedWidth(64);
        auto *cellLayout = new QHBoxLayout(r.Cell);
        cellLayout->setContentsMargins(0, 0, 0, 0);
        r.Radio =
            Named(new QRadioButton(QString::number(k + 1), r.Cell), Name(rowNames[k][2]), answer);
        TextAnswerButtons->addButton(r.Radio, k + 1);
        r.Radio->installEventFilter(this);
        cellLayout->addWidget(r.Radio, 0, Qt::AlignCenter);
        r.Memo = NewMemo(Name(rowNames[k][3]), r.Row, QStringLiteral("Текст ответа %1").arg(k + 1));
        line->addWidget(r.Cell);
        line->addWidget(r.Memo, 1);
        connect(r.Cell, &ClickPanel::clicked, this, [this, k] { AnswerChosen(k + 1); });
    }
    Splitter1->addWidget(panel50);
    Splitter1->addWidget(Panel6);
    Splitter1->setStretchFactor(0, 1);
    Splitter1->setStretchFactor(1, 2);
    col->addWidget(Splitter1, 1);
    return page;
}

QWidget *TFmZK::BuildPicturePage()
{
    auto *page = Named(new QWidget, Name("Page2"), QStringLiteral("Вопрос с ответами-рисунками"));
    auto *col = Column(page);
    Panel17 = BuildHeader(Name("Panel17"), Panel17Caption, Label5);
    Shown(Label5, Name("Label5"), QStringLiteral("Время ответа"));
    col->addWidget(Panel17);
    Splitter2 = Named(new QSplitter(Qt::Vertical, page), Name("Splitter2"),
                      QStringLiteral("Граница вопроса и ответов"));
    auto *panel58 = Named(new QFrame, Name("Panel58"), QStringLiteral("Вопрос"));
    Column(panel58)->addWidget(
        Memo3 = NewMemo(Name("Memo3"), panel58, QStringLiteral("Текст вопроса")));
    ScrollBox1 = Named(new QScrollArea, Name("ScrollBox1"), QStringLiteral("Ответы"));
    ScrollBox1->setWidgetResizable(true);
    ScrollBox1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ScrollBoxArea = new ResizePanel(Name("ScrollBox1Area"));
    ScrollBoxArea->setAccessibleName(QStringLiteral("Ответы"));
    ScrollBoxArea->OnResize = [this] { LayoutPictureRows(); };
    ScrollBox1->setWidget(ScrollBoxArea);
    const char *names[4][5] = {{"Panel22", "RadioButton4", "Image6", "SpeedButton3", "Memo12"},
                               {"Panel21", "RadioButton3", "Image5", "SpeedButton2", "Memo10"},
                               {"Panel20", "RadioButton2", "Image4", "SpeedButton1", "Memo4"},
                               {"Panel19", "RadioButton1", "Image3", "SpeedButton16", "Memo11"}};
    PictureAnswerButtons = new QButtonGroup(this);
    for (int k = 0; k < 4; ++k) {
        const QString answer = QStringLiteral("Ответ %1").arg(k + 1);
        PictureRow &r = PictureRows[size_t(k)];
        r.Panel = new ClickPanel(Name(names[k][0]), ScrollBoxArea);
        r.Panel->setAccessibleName(answer);
        r.Panel->setFrameShape(QFrame::StyledPanel);
        r.Caption = new QLabel(QStringLiteral(" %1").arg(k + 1), r.Panel);
        QFont bold = r.Caption->font();
        bold.setBold(true);
        r.Caption->setFont(bold);
        r.Radio = Named(new QRadioButton(r.Panel), Name(names[k][1]), answer);
        PictureAnswerButtons->addButton(r.Radio, k + 1);
        r.Radio->installEventFilter(this);
        r.Image = new PictureBox(Name(names[k][2]), r.Panel);
        r.Image->setAccessibleName(QStringLiteral("Рисунок ответа %1").arg(k + 1));
        r.Image->SetStretch(true);
        r.Zoom = Named(new QToolButton(r.Panel), Name(names[k][3]),
                       QStringLiteral("Увеличить рисунок ответа %1").arg(k + 1));
        r.Zoom->setIcon(ZoomIcon());
        r.Zoom->setToolTip(QStringLiteral("Увеличить"));
        r.Zoom->setFocusPolicy(Qt::NoFocus);
        r.Memo = NewMemo(Name(names[k][4]), r.Panel, QStringLiteral("Текст ответа %1").arg(k + 1));
        connect(r.Panel, &ClickPanel::clicked, this, [this, k] { AnswerChosen(k + 1); });
        connect(r.Image, &PictureBox::clicked, this, [this, k] { AnswerChosen(k + 1); });
        connect(r.Zoom, &QToolButton::clicked, this,
                [this, k] { ShowPreview(PictureRows[size_t(k)].Image); });
    }
    Splitter2->addWidget(panel58);
    Splitter2->addWidget(ScrollBox1);
    Splitter2->setStretchFactor(0, 1);
    Splitter2->setStretchFactor(1, 2);
    col->addWidget(Splitter2, 1);
    return page;
}

QWidget *TFmZK::BuildListPage()
{
    auto *page =
        Named(new QWidget, Name("Page3"), QStringLiteral("Вопрос с рисунком и списком ответов"));
    auto *col = Column(page);
    Panel23 = BuildHeader(Name("Panel23"), Panel23Caption, Label7);
    Shown(Label7, Name("Label7"), QStringLiteral("Время ответа"));
    col->addWidget(Panel23);
    Splitter3 = Named(new QSplitter(Qt::Vertical, page), Name("Splitter3"),
                      QStringLiteral("Граница вопроса и ответов"));
    Panel24 = Named(new QFrame, Name("Panel24"), QStringLiteral("Вопрос"));
    Panel24->setAutoFillBackground(true);
    auto *row = new QHBoxLayout(Panel24);
    row->setContentsMargins(4, 4, 4, 4);
    Image7 = new PictureBox(Name("Image7"), Panel24);
    Image7->setAccessibleName(QStringLiteral("Рисунок вопроса"));
    SpeedButton4 = Named(new QToolButton(Panel24), Name("SpeedButton4"),
                         QStringLiteral("Увеличить рисунок вопроса"));
    SpeedButton4->setIcon(ZoomIcon());
    SpeedButton4->setToolTip(QStringLiteral("Увеличить"));
    SpeedButton4->setFocusPolicy(Qt::NoFocus);
    connect(SpeedButton4, &QToolButton::clicked, this, [this] { ShowPreview(Image7); });
    Memo13 = NewMemo(Name("Memo13"), Panel24, QStringLiteral("Текст вопроса"));
    row->addWidget(Image7, 2);
    row->addWidget(SpeedButton4, 0, Qt::AlignTop);
    row->addWidget(Memo13, 3);
    RadioGroup2 = Shown(new QGroupBox(QStringLiteral("Возможные ответы:")), Name("RadioGroup2"),
                        QStringLiteral("Список ответов"));
    auto *items = new QVBoxLayout(RadioGroup2);
    RadioGroup2Buttons = new QButtonGroup(RadioGroup2);
    RadioGroup2Buttons->setExclusive(true);
    for (int i = 0; i < 4; ++i) {
        auto *item =
            Named(new QRadioButton(RadioGroup2), QStringLiteral("RadioGroup2Item%1").arg(i + 1),
                  QStringLiteral("Ответ %1").arg(i + 1));
        item->installEventFilter(this);
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

QWidget *TFmZK::BuildTitlePage()
{
    TitlePage = new ResizePanel(Name("Page4"));
    TitlePage->setAccessibleName(QStringLiteral("Титульная страница"));
    TitlePage->OnResize = [this] { LayoutTitlePage(); };
    Image1 = new PictureBox(Name("Image1"), TitlePage);
    Image1->setAccessibleName(QStringLiteral("Рисунок титульной страницы"));
    const auto label = [this](const char *name, const QString &accessible, Qt::Alignment align) {
        auto *l = Shown(new QLabel(TitlePage), Name(name), accessible);
        l->setWordWrap(true);
        l->setAlignment(align);
        return l;
    };
    LabTop = label("LabTop", QStringLiteral("Заголовок"), Qt::AlignHCenter | Qt::AlignTop);
    LabTema = label("LabTema", QStringLiteral("Тема экзамена"), Qt::AlignLeft | Qt::AlignVCenter);
    LabBut = label("LabBut", QStringLiteral("Подпись"), Qt::AlignHCenter | Qt::AlignBottom);
    LabJob = label("LabJob", QStringLiteral("Автор"), Qt::AlignLeft | Qt::AlignTop);
    LabName = label("LabName", QStringLiteral("Описание"), Qt::AlignLeft | Qt::AlignTop);
    return TitlePage;
}

QWidget *TFmZK::BuildInstructionsPage()
{
    auto *page = Named(new QWidget, Name("Page5"), QStringLiteral("Порядок ответов"));
    auto *col = Column(page, 8);
    Memo15 =
        Named(new QTextEdit(page), Name("Memo15"), QStringLiteral("Порядок ответов на вопросы"));
    Memo15->setReadOnly(true);
    Memo15->setPlainText(DefaultInstructions.join(u'\n'));
    col->addWidget(Memo15);
    return page;
}

QWidget *TFmZK::BuildRegistrationPage()
{
    auto *page = Named(new QWidget, Name("Page6"), QStringLiteral("Регистрация"));
    auto *col = Column(page, 16, 10);
    Label1 =
        Shown(new QLabel(QStringLiteral("Дата"), page), Name("Label1"), QStringLiteral("Дата"));
    QFont big = Label1->font();
    big.setBold(true);
    big.setPointSize(big.pointSize() + 2);
    Label1->setFont(big);
    col->addWidget(Label1);
    StaticText1 = Shown(new QLabel(MessageDefault(Msg::U_LABOPISANIEZK), page), Name("StaticText1"),
                        QStringLiteral("Указания"));
    StaticText1->setWordWrap(true);
    col->addWidget(StaticText1);
    auto *line = new QHBoxLayout;
    GroupBox1 = Shown(new QGroupBox(QStringLiteral("Данные об экзаменуемом:"), page),
                      Name("GroupBox1"), QStringLiteral("Данные об экзаменуемом"));
    GroupBox1->setMinimumWidth(360);
    GroupBox1->setMaximumWidth(640);
    Label3 = Shown(new QLabel(QStringLiteral("Группа (класс, организация):"), GroupBox1),
                   Name("Label3"), QStringLiteral("Группа"));
    // Marked before anything asks for its accessible interface, which is then kept.
    KeepAccessibleName(ComboBox1 = new QComboBox(GroupBox1));
    KeepAccessibleName(ComboBox2 = new QComboBox(GroupBox1));
    Named(ComboBox1, Name("ComboBox1"), QStringLiteral("Группа"));
    Label4 = Shown(new QLabel(QStringLiteral("Фамилия, Имя"), GroupBox1), Name("Label4"),
                   QStringLiteral("Фамилия, Имя"));
    Named(ComboBox2, Name("ComboBox2"), QStringLiteral("Фамилия, Имя"));
    // A roster may list hundreds of thousands: the drop-down lays out one row, not each.
    for (QComboBox *box : {ComboBox1, ComboBox2})
        if (auto *list = qobject_cast<QListView *>(box->view()))
            list->setUniformItemSizes(true);
    Label6 = Shown(new QLabel(QStringLiteral("Введите пароль"), GroupBox1), Name("Label6"),
                   QStringLiteral("Пароль"));
    MaskEdit1 = Named(new QLineEdit(GroupBox1), Name("MaskEdit1"), QStringLiteral("Пароль"));
    MaskEdit1->setEchoMode(QLineEdit::Password);
    Label3->setBuddy(ComboBox1);
    Label4->setBuddy(ComboBox2);
    Label6->setBuddy(MaskEdit1);
    GroupBox1->installEventFilter(this); // its rows are placed by LayoutRegistrationBox
    line->addWidget(GroupBox1, 3, Qt::AlignTop);
    Image2 = new PictureBox(Name("Image2"), page);
    Image2->setAccessibleName(QStringLiteral("Рисунок"));
    line->addWidget(Image2, 2);
    col->addLayout(line);
    col->addStretch(1);
    return page;
}

QWidget *TFmZK::BuildResultPage()
{
    auto *page = Named(new QWidget, Name("Page7"), QStringLiteral("Result"));
    auto *col = Column(page, 4, 4);
    RxSplitter1 = Named(new QSplitter(Qt::Vertical, page), Name("RxSplitter1"),
                        QStringLiteral("Граница итогов и отчёта"));
    auto *panel2 = Named(new QFrame, Name("Panel2"), QStringLiteral("Итоги"));
    Memo14 = Named(new QTextEdit(panel2), Name("Memo14"), QStringLiteral("Итоги экзамена"));
    Memo14->setReadOnly(true);
    QFont bold = Memo14->font();
    bold.setBold(true);
    Memo14->setFont(bold);
    // Navy until the exam's result font gives its own colour.
    QPalette navy = Memo14->palette();
    navy.setColor(QPalette::Text, QColor(0, 0, 128));
    Memo14->setPalette(navy);
    Column(panel2)->addWidget(Memo14);
    auto *panel3 = Named(new QFrame, Name("Panel3"), QStringLiteral("Подробный отчёт"));
    auto *reportCol = Column(panel3, 0, 4);
    ButYesResult = Shown(new QPushButton(MessageDefault(Msg::U_REPORTBUTTON1), panel3),
                         Name("ButYesResult"), QStringLiteral("Подробный отчёт"));
    ButYesResult->setVisible(false);
    connect(ButYesResult, &QPushButton::clicked, this,
            [this] { Guarded([this] { ButYesResultClick(); }); });
    reportCol->addWidget(ButYesResult, 0, Qt::AlignLeft);
    REResult = Named(new QTextEdit(panel3), Name("REResult"), QStringLiteral("Подробный отчёт"));
    REResult->setReadOnly(true);
    REResult->setFont(QFont(QStringLiteral("Courier New"), 8));
    REResult->setVisible(false);
    reportCol->addWidget(REResult, 1);
    RxSplitter1->addWidget(panel2);
    RxSplitter1->addWidget(panel3);
    col->addWidget(RxSplitter1, 1);
    return page;
}

QWidget *TFmZK::BuildBottomBar()
{
    Panel1 = new ClickPanel(Name("Panel1"));
    Panel1->setAccessibleName(QStringLiteral("Панель кнопок"));
    Panel1->setFixedHeight(31);
    Panel1->setFrameShape(QFrame::Panel);
    Panel1->setFrameShadow(QFrame::Raised);
    auto *row = new QHBoxLayout(Panel1);
    row->setContentsMargins(6, 2, 6, 2);
    row->setSpacing(6);
    RadioButNotKwon = Shown(new QRadioButton(MessageDefault(Msg::M_NOTKNOWW), Panel1),
                            Name("RadioButNotKwon"), QStringLiteral("Ответ"));
    RadioButNotKwon->setFixedWidth(421);
    DontKnowButtons = new QButtonGroup(this);
    DontKnowButtons->setExclusive(false);
    DontKnowButtons->addButton(RadioButNotKwon);
    RadioButNotKwon->setVisible(false);
    Panel1Caption = Shown(new QLabel(Panel1), Name("Panel1Caption"), QStringLiteral("Состояние"));
    ProgressBar1 =
        Named(new QProgressBar(Panel1), Name("ProgressBar1"), QStringLiteral("Построение отчёта"));
    ProgressBar1->setVisible(false);
    ProgressBar1->setMaximumWidth(200);
    Shape1 = new ShapeIndicator(Name("Shape1"), Panel1);
    Shape2 = new ShapeIndicator(Name("Shape2"), Panel1);
    Shape3 = new ShapeIndicator(Name("Shape3"), Panel1);
    for (ShapeIndicator *s : {Shape1, Shape2, Shape3}) {
        s->setAccessibleName(QStringLiteral("Связь с сервером наблюдения"));
        s->setVisible(false);
    }
    ButNew = Shown(new QPushButton(QStringLiteral("Новый"), Panel1), Name("ButNew"),
                   QStringLiteral("Новый экзамен"));
    ButNext = Shown(new QPushButton(MessageDefault(Msg::U_BUTNEXT), Panel1), Name("ButNext"),
                    QStringLiteral("Следующий шаг"));
    ButNext->setDefault(true);
    ButNext->setMinimumWidth(96);
    ButNew->setMinimumWidth(80);
    row->addWidget(RadioButNotKwon);
    row->addWidget(Panel1Caption, 1);
    row->addWidget(ProgressBar1);
    row->addWidget(Shape1);
    row->addWidget(Shape2);
    row->addWidget(Shape3);
    row->addWidget(ButNew);
    row->addWidget(ButNext);
    connect(ButNext, &QPushButton::clicked, this, [this] { Guarded([this] { ButNextClick(); }); });
    connect(ButNew, &QPushButton::clicked, this, [this] { Guarded([this] { ButNewClick(); }); });
    connect(Panel1, &ClickPanel::clicked, this, [this] { RadioButNotKwonClick(); });
    return Panel1;
}

void TFmZK::BuildWindow()
{
    setObjectName(Name("FmZK"));
    AnnounceAsWindow(this);
    setAccessibleDescription(QStringLiteral("Экзамен")); // named by its caption, the exam's title
    setWindowTitle(QStringLiteral("Tarvik"));
    setFont(ToQFont(FontValue(), font()));
    resize(788, 521);
    auto *col = Column(this);
    Notebook1 =
        Named(new QStackedWidget(this), Name("Notebook1"), QStringLiteral("Страницы экзамена"));
    auto *empty = Named(new QWidget, Name("Page0"), QStringLiteral("Пустая страница"));
    Notebook1->addWidget(empty);
    Notebook1->addWidget(BuildTextPage());
    Notebook1->addWidget(BuildPicturePage());
    Notebook1->addWidget(BuildListPage());
    Notebook1->addWidget(BuildTitlePage());
    Notebook1->addWidget(BuildInstructionsPage());
    Notebook1->addWidget(BuildRegistrationPage());
    Notebook1->addWidget(BuildResultPage());
    col->addWidget(Notebook1, 1);
    col->addWidget(BuildBottomBar());
    Notebook1->setCurrentIndex(PageEmpty);
    // Captions, titles and language texts are shown exactly as written, never as markup.
    for (QLabel *label : findChildren<QLabel *>())
        label->setTextFormat(Qt::PlainText);
    ConnectAnswerButtons();
}
