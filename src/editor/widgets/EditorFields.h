#pragma once

// Helpers of the editor's window and its pages: keys of a question's lines, values as the exam
// files write them, fields named for a screen reader.

#include "core/Codecs.h"
#include "core/Shares.h"
#include "lang/Messages.h"
#include "ui/Dialogs.h"
#include "ui/Named.h"

#include <QAbstractItemView>
#include <QAbstractScrollArea>
#include <QComboBox>
#include <QKeySequence>
#include <QMessageBox>
#include <QUndoCommand>
#include <functional>

#include <QSaveFile>
#include <QString>
#include <QStringList>

// Key in Lines set where it stands, or added at the end.
inline void SetKey(QStringList &lines, const QString &key, const QString &value)
{
    for (QString &l : lines)
        if (l.section(u'=', 0, 0) == key && l.contains(u'=')) {
            l = key + u'=' + value;
            return;
        }
    lines.append(key + u'=' + value);
}

inline void RemoveKey(QStringList &lines, const QString &key)
{
    lines.removeIf(
        [&key](const QString &l) { return l.contains(u'=') && l.section(u'=', 0, 0) == key; });
}

inline QString KeyValue(const QStringList &lines, const QString &key)
{
    for (const QString &l : lines)
        if (l.contains(u'=') && l.section(u'=', 0, 0) == key)
            return l.section(u'=', 1);
    return QString();
}

inline QString TextOf(const QString &value)
{
    QString text = ExpandLineBreaks(value);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text;
}

// A field with its label for a screen reader, and in its tooltip what it does (Help) and the
// settings key it writes.
template <typename W>
W *Field(W *widget, const char *name, const QString &label, const QString &key = {},
         const QString &help = {})
{
    Named(widget, name, label);
    // A text box's focus is told of its viewport: that is named too.
    if (auto *area = qobject_cast<QAbstractScrollArea *>(widget))
        area->viewport()->setAccessibleName(label);
    // And a choice's list of what may be chosen.
    if (auto *combo = qobject_cast<QComboBox *>(widget))
        combo->view()->setAccessibleName(label);
    if (!key.isEmpty() || !help.isEmpty())
        widget->setToolTip(help.isEmpty() ? key : key.isEmpty() ? help : help + u'\n' + key);
    return widget;
}

// The desktop's redo keys, and Ctrl+Y as examiners know it from other editors.
inline QList<QKeySequence> RedoKeys()
{
    QList<QKeySequence> keys = QKeySequence::keyBindings(QKeySequence::Redo);
    if (!keys.contains(QKeySequence(Qt::CTRL | Qt::Key_Y)))
        keys.append(QKeySequence(Qt::CTRL | Qt::Key_Y));
    return keys;
}

// The whole file written, on the disk, or nothing changed.
inline bool WriteBytes(const QString &fileName, const QByteArray &bytes)
{
    QSaveFile out(fileName);
    return out.open(QIODevice::WriteOnly) && out.write(bytes) == bytes.size() && out.commit();
}

// "Save the changes?" with Save, Discard and Cancel, the one the user chose (Cancel too when no
// one can answer: nothing is let go unasked).
enum class UnsavedChoice { Save, Discard, Cancel };
inline UnsavedChoice AskUnsaved(QWidget *parent, const QString &caption, const QString &text)
{
    const auto box = NewMessageBox(parent, MessageKind::Question, caption, text);
    box->setStandardButtons(QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
    box->setDefaultButton(QMessageBox::Save);
    box->setEscapeButton(QMessageBox::Cancel);
    switch (Dialogs().Exec(box.get())) {
    case QMessageBox::Save:
        return UnsavedChoice::Save;
    case QMessageBox::Discard:
        return UnsavedChoice::Discard;
    default:
        return UnsavedChoice::Cancel;
    }
}

// The editor reads and writes files by their local (or mounted) names; a \\server\share name
// is answered with a box that says how to reach it, and false.
inline bool LocalName(QWidget *parent, const TMessages &m, const QString &fileName)
{
    if (!IsUncName(fileName))
        return true;
    Dialogs().Message(parent, MessageKind::Error, m[Msg::U_ERROR], m[Msg::E_SHARENAME]);
    return false;
}

// An edit as the whole state before and after it; consecutive edits of one kind (Merge, -1 for
// none) merge into one step.
template <typename State> class Snapshot : public QUndoCommand
{
public:
    Snapshot(State before, State after, int merge, std::function<void(const State &)> apply)
        : before_(std::move(before)), after_(std::move(after)), merge_(merge),
          apply_(std::move(apply))
    {
    }
    void undo() override { apply_(before_); }
    void redo() override
    {
        if (first_)
            first_ = false; // the edit is made already
        else
            apply_(after_);
    }
    int id() const override { return merge_; }
    bool mergeWith(const QUndoCommand *other) override
    {
        after_ = static_cast<const Snapshot *>(other)->after_;
        return true;
    }

private:
    State before_, after_;
    int merge_;
    std::function<void(const State &)> apply_;
    bool first_ = true;
};
