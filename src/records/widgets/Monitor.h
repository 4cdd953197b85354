#pragma once

#include <QAbstractTableModel>
#include <QByteArray>
#include <QDateTime>
#include <QHostAddress>
#include <QList>
#include <QStringList>

class QFile;
class QTcpServer;
class QTcpSocket;

// The examiner's side of the monitoring link: stations connect, are given a number (NUMBER),
// and report INFO!!, ANSWER, RESULT and DISCON; every examinee is a row of a live table.

// One station message: its tag and its fields ("@"-terminated, Windows-1251 decoded).
struct MonitorMessage
{
    QByteArray Tag;
    QStringList Fields;
};

// Splits what one connection sends into messages, whatever the pieces TCP delivers. An unknown
// tag or bytes that are no message are skipped up to the next known tag; a message that does not
// complete within MaxMessage bytes is dropped. The buffer never holds more than that.
class MonitorParser
{
public:
    static constexpr qsizetype MaxMessage = 4096;
    QList<MonitorMessage> Feed(const QByteArray &bytes);

private:
    QByteArray buffer_;
};

// The table of examinees, one row per station connection, kept after it ends.
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

    int AddStation(int32_t number, const QString &address, const QDateTime &now);
    void Apply(int row, const MonitorMessage &message, const QDateTime &now);
    void ConnectionClosed(int row, const QDateTime &now);
    void RemoveRow(int row);
    const Row &RowAt(int row) const { return rows_[row]; }
    static QString StateText(RowState state);
    // The table as the examiner exports it: CSV in UTF-8 after a byte-order mark.
    QByteArray Csv() const;

private:
    QString Cell(const Row &r, int column) const;
    QList<Row> rows_;
};

// The server: listens (port 2578 by default), numbers the stations, feeds the model and writes
// every message received, with its time and address, to the log when there is one.
class MonitorServer : public QObject
{
    Q_OBJECT

public:
    MonitorServer(MonitorModel &model, QObject *parent = nullptr);
    ~MonitorServer() override;
    bool Listen(const QHostAddress &address, quint16 port);
    bool SetLog(const QString &fileName);
    quint16 Port() const;
    qint64 MessagesHandled() const { return handled_; }

Q_SIGNALS:
    // A message of a station went into the table (its row).
    void messageHandled(int row, const MonitorMessage &message);

private:
    void Accept();
    MonitorModel &model_;
    QTcpServer *server_;
    std::unique_ptr<QFile> log_;
    int32_t nextNumber_ = 0;
    qint64 handled_ = 0;
};
