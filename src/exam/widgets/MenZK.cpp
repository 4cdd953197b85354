#include "MenZK.h"

#include "core/Cp1251.h"
#include "core/Errors.h"
#include "core/FolderAccess.h"
#include "core/FolderThread.h"
#include "core/Scramble.h"
#include "core/Shares.h"
#include "ui/Accessibility.h"
#include "ui/Named.h"

#include <QComboBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

// ---- The check list -------------------------------------------------------------------------

void TCheckListBox::AddItem(const QString &text)
{
    auto *item = new QListWidgetItem(text, this);
    // The box is toggled here, not by the view, so that the toggle comes before the selection.
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    item->setCheckState(Qt::Unchecked);
}

bool TCheckListBox::Checked(int row) const
{
    const QListWidgetItem *it = item(row);
    return it && it->checkState() == Qt::Checked;
}

void TCheckListBox::SetChecked(int row, bool checked)
{
    if (QListWidgetItem *it = item(row))
        it->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
}

void TCheckListBox::Toggle(int row)
{
    SetChecked(row, !Checked(row));
    Q_EMIT clickCheck(row);
}

bool TCheckListBox::OnCheckBox(QListWidgetItem *item, const QPoint &at)
{
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    option.rect = visualItemRect(item);
    option.features |= QStyleOptionViewItem::HasCheckIndicator;
    return style()
        ->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, this)
        .contains(at);
}

void TCheckListBox::mousePressEvent(QMouseEvent *event)
{
    QListWidgetItem *it = itemAt(event->position().toPoint());
    if (it && event->button() == Qt::LeftButton && OnCheckBox(it, event->position().toPoint()))
        Toggle(row(it));
    QListWidget::mousePressEvent(event);
}

void TCheckListBox::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Space && currentRow() >= 0) {
        Toggle(currentRow());
        return;
    }
    QListWidget::keyPressEvent(event);
}

// ---- The window -----------------------------------------------------------------------------

namespace {

QPixmap Banner(int width)
{
    QPixmap banner(width, 56);
    QPainter p(&banner);
    QLinearGradient sky(0, 0, width, 0);
    sky.setColorAt(0, QColor(0, 0, 128));
    sky.setColorAt(1, QColor(70, 130, 200));
    p.fillRect(banner.rect(), sky);
    QFont font = p.font();
    font.setPixelSize(30);
    font.setBold(true);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(banner.rect().adjusted(16, 0, 0, 0), Qt::AlignVCenter | Qt::AlignLeft,
               QStringLiteral("Tarvik"));
    return banner;
}

} // namespace

TFmMenZK::TFmMenZK(const QString &startFileName, QString &managerShareDir, bool &managerShareOpen,
                   QWidget *parent)
    : QDialog(parent), managerShareDir_(managerShareDir), managerShareOpen_(managerShareOpen)
{
    setObjectName(QStringLiteral("FmMenZK"));
    setWindowTitle(QStringLiteral("Manager Tarvik"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowStaysOnTopHint |
                   Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    const int width = 420;

    Image1 = Named(new QLabel(this), "Image1");
    Image1->setAccessibleName(QStringLiteral("Tarvik"));
    GroupBox2 = Named(new QGroupBox(QStringLiteral("The specification"), this), "GroupBox2");
    ComboBox1 = Named(new QComboBox(GroupBox2), "ComboBox1");
    KeepAccessibleName(ComboBox1); // before anything asks for its accessible interface
    ComboBox1->setAccessibleName(GroupBox2->title());
    (new QVBoxLayout(GroupBox2))->addWidget(ComboBox1);
    GroupBox2->hide();
    GroupBox1 =
        Named(new QGroupBox(QStringLiteral("Choose a subject of examination"), this), "GroupBox1");
    CheckListBox1 = Named(new TCheckListBox(GroupBox1), "CheckListBox1");
    CheckListBox1->setAccessibleName(GroupBox1->title());
    (new QVBoxLayout(GroupBox1))->addWidget(CheckListBox1);
    ButStart = Named(new QPushButton(QStringLiteral("Start"), this), "ButStart");
    ButCancel = Named(new QPushButton(QStringLiteral("Cancel"), this), "ButCancel");
    ButStart->setEnabled(false);
    ButStart->setDefault(true);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ButStart);
    buttons->addWidget(ButCancel);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 8);
    layout->addWidget(Image1);
    auto *body = new QVBoxLayout;
    body->setContentsMargins(8, 0, 8, 0);
    body->addWidget(GroupBox2);
    body->addWidget(GroupBox1, 1);
    body->addLayout(buttons);
    layout->addLayout(body);

    connect(ComboBox1, &QComboBox::activated, this, &TFmMenZK::ComboBox1Change);
    // A subject is selected by a click, by the keys, or by a screen reader's selection.
    connect(CheckListBox1, &QListWidget::itemSelectionChanged, this, &TFmMenZK::CheckListBox1Click);
    connect(CheckListBox1, &QListWidget::itemClicked, this, &TFmMenZK::CheckListBox1Click);
    connect(CheckListBox1, &TCheckListBox::clickCheck, this, &TFmMenZK::CheckListBox1ClickCheck);
    connect(CheckListBox1, &QListWidget::itemDoubleClicked, this, &TFmMenZK::ButStartClick);
    connect(ButStart, &QPushButton::clicked, this, &TFmMenZK::ButStartClick);
    connect(ButCancel, &QPushButton::clicked, this, &QDialog::reject);

    FormCreate(startFileName);
    // Wide enough for the longest subject, within the screen.
    int widest = 0;
    for (const ManagerRecord &r : file_.Lines)
        widest = qMax(widest, CheckListBox1->fontMetrics().horizontalAdvance(r.Subject));
    const QScreen *screen = QGuiApplication::primaryScreen();
    const int room = screen ? screen->availableGeometry().width() * 9 / 10 : 1000;
    const int shown = qBound(width, widest + 90, qMax(width, room));
    Image1->setPixmap(Banner(shown));
    setFixedSize(shown, 360);
}

void TFmMenZK::FormCreate(const QString &startFileName)
{
    Chosen = false;
    selectedIndex_ = -1;
    // A manager file on a share is read on the folder thread, as every file of a share is.
    const std::optional<QByteArray> bytes =
        Folders().Await<std::optional<QByteArray>>([&] { return ReadWhole(startFileName); });
    if (!bytes)
        throw EFOpenError::ForFile(startFileName);
    file_ = ReadManagerText(Cp1251::Decode(UnscrambleBytes(*bytes, Keys::Manager)));
    ComboBox1->clear();
    ComboBox1->addItems(file_.Categories);
    GroupBox2->setVisible(!file_.Categories.isEmpty());
    ListSubjects(file_.Categories.value(0));
    // The share of a subject chosen before is let go before a new choice.
    if (managerShareOpen_ && !managerShareDir_.trimmed().isEmpty()) {
        Folders().Post([dir = managerShareDir_] { DisconnectShare(dir, true); });
        managerShareOpen_ = false;
    }
}

void TFmMenZK::ListSubjects(const QString &category)
{
    listed_ = SubjectsOf(file_, category);
    const QSignalBlocker quiet(CheckListBox1);
    CheckListBox1->clear();
    for (const ManagerRecord &r : listed_)
        CheckListBox1->AddItem(r.Subject);
    CheckListBox1->setCurrentRow(-1);
}

void TFmMenZK::ComboBox1Change()
{
    ListSubjects(ComboBox1->currentText());
    ButStart->setEnabled(false);
    selectedIndex_ = -1;
}

void TFmMenZK::CheckListBox1Click()
{
    const QList<QListWidgetItem *> selected = CheckListBox1->selectedItems();
    if (selected.isEmpty())
        return;
    const int row = CheckListBox1->row(selected.first());
    if (row != selectedIndex_) {
        CheckListBox1->SetChecked(row, true);
        CheckListBox1->SetChecked(selectedIndex_, false);
        selectedIndex_ = row;
    }
    ButStart->setEnabled(true);
}

void TFmMenZK::CheckListBox1ClickCheck(int toggled)
{
    QList<bool> checked;
    for (int i = 0; i < CheckListBox1->count(); ++i)
        checked.append(CheckListBox1->Checked(i));
    selectedIndex_ = ToggleCheck(checked, toggled, selectedIndex_);
    for (int i = 0; i < checked.size(); ++i)
        CheckListBox1->SetChecked(i, checked[i]);
}

void TFmMenZK::ButStartClick()
{
    if (reaching_ || selectedIndex_ < 0 || selectedIndex_ >= listed_.size())
        return;
    const ManagerChoice choice = ChooseSubject(listed_[selectedIndex_]);
    Chosen = true;
    ChosenFile = choice.ExamFile;
    managerShareDir_ = choice.ShareDir;
    reaching_ = true;
    setEnabled(false);
    setCursor(Qt::BusyCursor);
    Folders().Post<bool>(
        [choice, wasOpen = managerShareOpen_] {
            return ManagerShareOpenAfter(
                choice, wasOpen, [](const QString &name) { return Folder(name).Exists(name); },
                ConnectShare);
        },
        this,
        [this](bool open) {
            managerShareOpen_ = open;
            reaching_ = false;
            setEnabled(true);
            unsetCursor();
            accept();
        });
}

void TFmMenZK::reject()
{
    if (!reaching_)
        QDialog::reject();
}
