#include "ListWindow.h"

#include "editor/widgets/EditorFields.h"
#include "ui/Dialogs.h"

#include <QAction>
#include <QBoxLayout>
#include <QCloseEvent>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QUndoStack>

TFmListEditor::TFmListEditor(ListDocument::Kind kind, const TMessages &messages, QWidget *parent)
    : QWidget(parent, Qt::Window), m_(messages), doc_(kind), undo_(new QUndoStack(this))
{
    const bool manager = kind == ListDocument::Kind::Manager;
    setObjectName(manager ? QStringLiteral("FmManagerFile") : QStringLiteral("FmRoster"));
    setWindowTitle(QString(m_[manager ? Msg::E_MANAGERFILE : Msg::E_ROSTERFILE])
                       .remove(u'&')
                       .remove(QStringLiteral("…")) +
                   QStringLiteral("[*]"));
    auto *col = new QVBoxLayout(this);
    table_ = Field(new QTableWidget, "Records", windowTitle().remove(QStringLiteral("[*]")));
    const QStringList columns =
        m_[manager ? Msg::E_MANAGERCOLUMNS : Msg::E_ROSTERCOLUMNS].split(u'|');
    table_->setColumnCount(int(columns.size()));
    table_->setHorizontalHeaderLabels(columns);
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->setWordWrap(false);
    col->addWidget(table_, 1);
    auto *row = new QHBoxLayout;
    const auto button = [&](Msg text, const char *name, std::function<void()> act) {
        auto *b = Field(new QPushButton(QString(m_[text]).remove(u'&')), name,
                        QString(m_[text]).remove(u'&'));
        connect(b, &QPushButton::clicked, this, act);
        row->addWidget(b);
    };
    button(Msg::E_ADD, "Add", [this] {
        table_->insertRow(table_->rowCount());
        table_->setCurrentCell(table_->rowCount() - 1, 0);
        Take();
    });
    button(Msg::E_DELETE, "Delete", [this] {
        if (table_->currentRow() >= 0)
            table_->removeRow(table_->currentRow());
        Take();
    });
    row->addStretch(1);
    button(Msg::E_SAVE, "Save", [this, manager] {
        QString name = doc_.FileName();
        if (name.isEmpty())
            name = Dialogs().SaveFileName(this,
                                          m_[manager ? Msg::E_MANAGERFILTER : Msg::E_ROSTERFILTER],
                                          manager ? QStringLiteral("fzm") : QStringLiteral("fzj"));
        if (!name.isEmpty())
            SaveTo(name);
    });
    col->addLayout(row);
    connect(table_, &QTableWidget::itemChanged, this, [this] { Take(); });
    QAction *undo = undo_->createUndoAction(this, m_[Msg::E_UNDO]);
    undo->setShortcut(QKeySequence::Undo);
    QAction *redo = undo_->createRedoAction(this, m_[Msg::E_REDO]);
    redo->setShortcuts(RedoKeys());
    addActions({undo, redo});
    connect(undo_, &QUndoStack::cleanChanged, this,
            [this](bool clean) { setWindowModified(!clean); });
    resize(manager ? 1000 : 600, 460); // the manager's five columns whole
}

bool TFmListEditor::OpenFile(const QString &fileName)
{
    if (!LocalName(this, m_, fileName))
        return false;
    if (!doc_.Load(fileName)) {
        Dialogs().Message(this, MessageKind::Error, m_[Msg::U_ERROR],
                          FormatMessage(m_[Msg::E_NOTOPENED], {fileName}));
        return false;
    }
    Fill();
    undo_->clear();
    return true;
}

void TFmListEditor::Fill()
{
    const QSignalBlocker quiet(table_);
    table_->setRowCount(int(doc_.Rows().size()));
    for (int r = 0; r < doc_.Rows().size(); ++r)
        for (int c = 0; c < doc_.FieldCount(); ++c)
            table_->setItem(r, c, new QTableWidgetItem(doc_.Rows()[r].value(c)));
    table_->resizeColumnsToContents();
}

void TFmListEditor::Take()
{
    QList<QStringList> rows;
    for (int r = 0; r < table_->rowCount(); ++r) {
        QStringList fields;
        for (int c = 0; c < doc_.FieldCount(); ++c)
            fields.append(table_->item(r, c) ? table_->item(r, c)->text() : QString());
        rows.append(fields);
    }
    if (rows == doc_.Rows())
        return;
    const QList<QStringList> before = doc_.Rows();
    doc_.SetRows(rows);
    undo_->push(
        new Snapshot<QList<QStringList>>(before, rows, -1, [this](const QList<QStringList> &state) {
            doc_.SetRows(state);
            Fill();
        }));
}

bool TFmListEditor::SaveTo(const QString &fileName)
{
    Take();
    if (!LocalName(this, m_, fileName))
        return false;
    if (!WriteBytes(fileName, doc_.Bytes())) {
        Dialogs().Message(this, MessageKind::Error, m_[Msg::U_ERROR], m_[Msg::E_NOTSAVED]);
        return false;
    }
    doc_.Saved(fileName);
    undo_->setClean();
    return true;
}

void TFmListEditor::closeEvent(QCloseEvent *event)
{
    Take();
    // Edits are let go only when the user says so; a save that fails keeps the window open.
    const UnsavedChoice choice =
        !undo_->isClean()
            ? AskUnsaved(this, windowTitle().remove(QStringLiteral("[*]")), m_[Msg::E_SAVECHANGES])
            : UnsavedChoice::Discard;
    if (choice == UnsavedChoice::Cancel ||
        (choice == UnsavedChoice::Save && !SaveTo(doc_.FileName())))
        event->ignore();
    else
        event->accept();
}
