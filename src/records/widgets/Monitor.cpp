#include "Monitor.h"

#include "core/Cp1251.h"
#include "core/LineList.h"
#include "records/JournalExport.h"

#include <QColor>
#include <QFile>
#include <QTcpServer>
#include <QTcpSocket>

namespace {

struct Tag
{
    const char *Name;
    int Fields;
};
const Tag Tags[] = {{"INFO!!", 5}, {"ANSWER", 4}, {"RESULT", 2}, {"DISCON", 1}};

int FieldsOf(const QByteArray &tag)
{
    for (const Tag &t : Tags)
        if (tag == t.Name)
            return t.Fields;
    return -1;
}

// Where the next known tag begins at From or later, or -1.
qsizetype NextTag(const QByteArray &bytes, qsizetype from)
{
    qsizetype best = -1;
    for (const Tag &t : Tags) {
        const qsizetype at = bytes.indexOf(t.Name, from);
        if (at >= 0 && (best < 0 || at < best))
            best = at;
    }
    return best;
}

int ToInt(const QString &text, int fallback = 0)
{
    int32_t v = 0;
    return StrToInt32(text, v) ? v : fallback;
}

} // namespace

QList<MonitorMessage> MonitorParser::Feed(const QByteArray &bytes)
{
    QList<MonitorMessage> out;
    buffer_ += bytes;
    qsizetype pos = 0;
    for (;;) {
        const qsizetype at = NextTag(buffer_, pos);
        if (at < 0) {
            pos = qMax(pos, buffer_.size() - 5); // a tag may still be completing
            break;
        }
        const QByteArray tag = buffer_.mid(at, 6);
        const int fields = FieldsOf(tag);
        qsizetype end = at + 6;
        QStringList values;
        bool whole = true;
        for (int f = 0; f < fields; ++f) {
            const qsizetype stop = buffer_.indexOf('@', end);
            if (stop < 0) {
                whole = false;
                break;
            }
            values.append(Cp1251::Decode(buffer_.mid(end, stop - end)));
            end = stop + 1;
        }
        // Fields never hold a tag: a tag before the message is whole means it was cut short.
        const qsizetype next = NextTag(buffer_, at + 6);
        if (next >= 0 && (!whole || next < end - 1)) {
            pos = next;
            continue;
        }
        if (!whole) {
            pos = at;
            // A message that never completes is dropped, tag and all.
            if (buffer_.size() - at > MaxMessage)
                pos = at + 6;
            else
                break;
            continue;
        }
        out.append({tag, values});
        pos = end;
    }
    buffer_ = buffer_.mid(pos);
    if (buffer_.size() > MaxMessage)
        buffer_ = buffer_.right(MaxMessage);
    return out;
}

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

int MonitorModel::AddStation(int32_t number, const QString &address, const QDateTime &now)
{
    beginInsertRows({}, int(rows_.size()), int(rows_.size()));
    Row r;
    r.Station = number;
    r.Address = address;
    r.Started = r.Last = now;
    rows_.append(r);
    endInsertRows();
    return int(rows_.size()) - 1;
}

void MonitorModel::Apply(int row, const MonitorMessage &m, const QDateTime &now)
{
    if (row < 0 || row >= rows_.size())
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

void MonitorModel::ConnectionClosed(int row, const QDateTime &now)
{
    if (row < 0 || row >= rows_.size())
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

MonitorServer::MonitorServer(MonitorModel &model, QObject *parent)
    : QObject(parent), model_(model), server_(new QTcpServer(this))
{
    connect(server_, &QTcpServer::newConnection, this, [this] { Accept(); });
}

MonitorServer::~MonitorServer() = default;

bool MonitorServer::Listen(const QHostAddress &address, quint16 port)
{
    // A whole lab connects at the same moment (the examinees register together).
    server_->setListenBacklogSize(1024);
    server_->setMaxPendingConnections(1024);
    return server_->listen(address, port);
}
quint16 MonitorServer::Port() const
{
    return server_->serverPort();
}

bool MonitorServer::SetLog(const QString &fileName)
{
    log_ = std::make_unique<QFile>(fileName);
    return log_->open(QIODevice::WriteOnly | QIODevice::Append);
}

void MonitorServer::Accept()
{
    while (QTcpSocket *socket = server_->nextPendingConnection()) {
        // Stations are IPv4: an address of the IPv6 listener is shown in its IPv4 form.
        bool v4 = false;
        const QHostAddress peer = socket->peerAddress();
        const quint32 ip4 = peer.toIPv4Address(&v4);
        const QString address = v4 ? QHostAddress(ip4).toString() : peer.toString();
        const int32_t number = ++nextNumber_;
        const int row = model_.AddStation(number, address, QDateTime::currentDateTime());
        // The rows stay; the connection's own row is found by its position, which only the
        // examiner changes (by clearing rows): the index is kept up to date for that.
        auto rowIndex = std::make_shared<QPersistentModelIndex>(model_.index(row, 0));
        auto parser = std::make_shared<MonitorParser>();
        socket->write("NUMBER" + QByteArray::number(number));
        connect(socket, &QTcpSocket::readyRead, this, [this, socket, parser, rowIndex, address] {
            const QByteArray bytes = socket->readAll();
            const QDateTime now = QDateTime::currentDateTime();
            for (const MonitorMessage &m : parser->Feed(bytes)) {
                ++handled_;
                if (log_) {
                    QStringList fields = m.Fields;
                    log_->write((now.toString(Qt::ISODateWithMs) + u'\t' + address + u'\t' +
                                 QString::fromLatin1(m.Tag) + fields.join(u'@') + u'@' + u'\n')
                                    .toUtf8());
                    log_->flush();
                }
                if (rowIndex->isValid()) {
                    model_.Apply(rowIndex->row(), m, now);
                    Q_EMIT messageHandled(rowIndex->row(), m);
                }
            }
        });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket, rowIndex] {
            if (rowIndex->isValid())
                model_.ConnectionClosed(rowIndex->row(), QDateTime::currentDateTime());
            socket->deleteLater();
        });
    }
}
