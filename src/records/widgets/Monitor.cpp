#include "Monitor.h"

#include "core/Cp1251.h"
#include "core/LineList.h"
#include "records/JournalExport.h"

#include <QColor>

namespace {

int ToInt(const QString &text, int fallback = 0)
{
    int32_t v = 0;
    return StrToInt32(text, v) ? v : fallback;
}

} // namespace

QString MonitorModel::StateText(RowState state)
{
    switch (state) {
    case RowState::Connected:
        return QStringLiteral("подключена");
    case RowState::InProgress:
        return QStringLiteral("идёт экзамен");
    case RowState::Finished:
        return QStringLiteral("закончен");
    case RowState::NotFinished:
        return QStringLiteral("не закончен");
    case RowState::Lost:
        return QStringLiteral("связь потеряна");
    }
    return QString();
}

QString MonitorModel::Cell(const Row &r, int column) const
{
    switch (column) {
    case Station:
        return QString::number(r.Station);
    case Address:
        return r.Address;
    case Name:
        return r.Name;
    case Group:
        return r.Group;
    case Exam:
        return r.Exam;
    case Answered:
        return QStringLiteral("%1 / %2").arg(r.Answered).arg(r.Total);
    case Correct:
        return QString::number(r.Correct);
    case DontKnow:
        return QString::number(r.DontKnow);
    case Mark:
        return r.Mark;
    case State:
        return StateText(r.State);
    case Started:
        return r.Started.toString(QStringLiteral("HH:mm:ss"));
    case Last:
        return r.Last.toString(QStringLiteral("HH:mm:ss"));
    }
    return QString();
}

QVariant MonitorModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rows_.size())
        return {};
    const Row &r = rows_[index.row()];
    if (role == Qt::DisplayRole)
        return Cell(r, index.column());
    if (role == Qt::UserRole) { // the sort key: numbers as numbers
        switch (index.column()) {
        case Station:
            return r.Station;
        case Answered:
            return r.Answered;
        case Correct:
            return r.Correct;
        case DontKnow:
            return r.DontKnow;
        case Started:
            return r.Started;
        case Last:
            return r.Last;
        default:
            return Cell(r, index.column());
        }
    }
    if (role == Qt::BackgroundRole) {
        switch (r.State) {
        case RowState::Finished:
            return QColor(200, 240, 200);
        case RowState::NotFinished:
            return QColor(250, 220, 160);
        case RowState::Lost:
            return QColor(250, 190, 190);
        default:
            return {};
        }
    }
    return {};
}

QVariant MonitorModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    static const QStringList names{
        QStringLiteral("Станция"),   QStringLiteral("Адрес"),   QStringLiteral("Фамилия, имя"),
        QStringLiteral("Группа"),    QStringLiteral("Экзамен"), QStringLiteral("Ответов"),
        QStringLiteral("Верно"),     QStringLiteral("Не знаю"), QStringLiteral("Оценка"),
        QStringLiteral("Состояние"), QStringLiteral("Начало"),  QStringLiteral("Последнее")};
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
        section < names.size())
        return names[section];
    return QAbstractTableModel::headerData(section, orientation, role);
}

void MonitorModel::Follow(const MonitorServer &server)
{
    connect(&server, &MonitorServer::stationConnected, this, &MonitorModel::AddStation);
    connect(&server, &MonitorServer::messageReceived, this, &MonitorModel::Apply);
    connect(&server, &MonitorServer::stationClosed, this, &MonitorModel::ConnectionClosed);
}

int MonitorModel::RowOf(int32_t station) const
{
    const QPersistentModelIndex at = stations_.value(station);
    return at.isValid() ? at.row() : -1;
}

void MonitorModel::AddStation(int32_t station, const QString &address, const QDateTime &now)
{
    beginInsertRows({}, int(rows_.size()), int(rows_.size()));
    Row r;
    r.Station = station;
    r.Address = address;
    r.Started = r.Last = now;
    rows_.append(r);
    endInsertRows();
    stations_.insert(station, QPersistentModelIndex(index(int(rows_.size()) - 1, 0)));
}

void MonitorModel::Apply(int32_t station, const MonitorMessage &m, const QDateTime &now)
{
    const int row = RowOf(station);
    if (row < 0)
        return;
    Row &r = rows_[row];
    r.Last = now;
    if (m.Tag == "INFO!!") {
        r.Name = m.Fields[1];
        r.Group = m.Fields[2];
        r.Exam = m.Fields[3];
        r.Total = qMax(0, ToInt(m.Fields[4]));
        r.Answered = r.Correct = r.DontKnow = 0;
        r.Mark.clear();
        r.State = RowState::InProgress;
        r.Started = now;
    } else if (m.Tag == "ANSWER") {
        ++r.Answered;
        r.Correct += m.Fields[3] == QStringLiteral("1");
        r.DontKnow += m.Fields[3] == QStringLiteral("2");
    } else if (m.Tag == "RESULT") {
        const bool finished = m.Fields[1] != QStringLiteral("Not Fin");
        r.Mark = finished ? m.Fields[1] : QStringLiteral("Not Fin");
        r.State = finished ? RowState::Finished : RowState::NotFinished;
    } else if (m.Tag == "DISCON") {
        r.Ended = true;
    }
    Q_EMIT dataChanged(index(row, 0), index(row, ColumnCount - 1));
}

void MonitorModel::ConnectionClosed(int32_t station, const QDateTime &now)
{
    const int row = RowOf(station);
    stations_.remove(station);
    if (row < 0)
        return;
    Row &r = rows_[row];
    r.Open = false;
    if (r.State == RowState::Connected || r.State == RowState::InProgress) {
        r.State = RowState::Lost;
        r.Last = now;
    }
    Q_EMIT dataChanged(index(row, 0), index(row, ColumnCount - 1));
}

void MonitorModel::RemoveRow(int row)
{
    if (row < 0 || row >= rows_.size())
        return;
    beginRemoveRows({}, row, row);
    rows_.removeAt(row);
    endRemoveRows();
}

QByteArray MonitorModel::Csv() const
{
    QList<QStringList> rows;
    QStringList header;
    for (int c = 0; c < ColumnCount; ++c)
        header.append(headerData(c, Qt::Horizontal, Qt::DisplayRole).toString());
    rows.append(header);
    for (const Row &r : rows_) {
        QStringList cells;
        for (int c = 0; c < ColumnCount; ++c)
            cells.append(Cell(r, c));
        rows.append(cells);
    }
    return CsvRows(rows);
}
