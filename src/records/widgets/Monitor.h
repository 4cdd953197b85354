#pragma once

#include "records/MonitorServer.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QPersistentModelIndex>

// The table of examinees, one row per station connection, kept after it ends; it follows a
// monitoring server.
class MonitorModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column {
        Station,
        Address,
        Name,
        Group,
        Exam,
        Answered,
        Correct,
        DontKnow,
        Mark,
        State,
        Started,
        Last,
        ColumnCount
    };
    enum class RowState { Connected, InProgress, Finished, NotFinished, Lost };
    struct Row
    {
        int32_t Station = 0;
        QString Address, Name, Group, Exam;
        int Answered = 0, Total = 0, Correct = 0, DontKnow = 0;
        QString Mark;
        RowState State = RowState::Connected;
        QDateTime Started, Last;
        bool Open = true;   // the connection is there
        bool Ended = false; // DISCON received
    };

    using QAbstractTableModel::QAbstractTableModel;
    int rowCount(const QModelIndex &parent = {}) const override
    {
        return parent.isValid() ? 0 : int(rows_.size());
    }
    int columnCount(const QModelIndex &parent = {}) const override
    {
        return parent.isValid() ? 0 : ColumnCount;
    }
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // The rows follow what the server says of its stations.
    void Follow(const MonitorServer &server);
    void AddStation(int32_t station, const QString &address, const QDateTime &now);
    void Apply(int32_t station, const MonitorMessage &message, const QDateTime &now);
    void ConnectionClosed(int32_t station, const QDateTime &now);
    // The examiner clears a row; its station, if still connected, is no longer shown.
    void RemoveRow(int row);
    const Row &RowAt(int row) const { return rows_[row]; }
    static QString StateText(RowState state);
    // The table as the examiner exports it: CSV in UTF-8 after a byte-order mark.
    QByteArray Csv() const;

private:
    QString Cell(const Row &r, int column) const;
    // The row of a station, or -1 when the examiner cleared it.
    int RowOf(int32_t station) const;
    QList<Row> rows_;
    // The rows stay where they are but for the examiner's clearing: each station's row is kept
    // up to date for that.
    QHash<int32_t, QPersistentModelIndex> stations_;
};
