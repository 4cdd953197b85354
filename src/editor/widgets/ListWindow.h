#pragma once

#include "editor/ListDocument.h"
#include "lang/Messages.h"

#include <QWidget>

class QTableWidget;
class QUndoStack;

// A manager file or a roster as a table: rows added, deleted and edited in place, every edit
// undoable, saved in the file's own form.
class TFmListEditor : public QWidget
{
    Q_OBJECT

public:
    TFmListEditor(ListDocument::Kind kind, const TMessages &messages, QWidget *parent = nullptr);
    // The file's records in the table; false (said in a box) when it cannot be read.
    bool OpenFile(const QString &fileName);
    bool SaveTo(const QString &fileName);
    const ListDocument &Document() const { return doc_; }
    QUndoStack *Undo() const { return undo_; }

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void Fill();
    void Take(); // the table into the document, as an undoable edit

    TMessages m_;
    ListDocument doc_;
    QTableWidget *table_;
    QUndoStack *undo_;
};
