#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QStringList>
#include <memory>

class QFile;
class QTcpServer;

// The examiner's side of the monitoring link: stations connect, are given a number (NUMBER),
// and report INFO!!, ANSWER, RESULT and DISCON.

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

// The server: listens (port 2578 by default), numbers the stations, says what each sends and
// writes every message received, with its time and address, to the log when there is one.
class MonitorServer : public QObject
{
    Q_OBJECT

public:
    explicit MonitorServer(QObject *parent = nullptr);
    ~MonitorServer() override;
    bool Listen(const QHostAddress &address, quint16 port);
    bool SetLog(const QString &fileName);
    quint16 Port() const;
    qint64 MessagesHandled() const { return handled_; }

Q_SIGNALS:
    void stationConnected(int32_t station, const QString &address, const QDateTime &at);
    void messageReceived(int32_t station, const MonitorMessage &message, const QDateTime &at);
    void stationClosed(int32_t station, const QDateTime &at);

private:
    void Accept();
    QTcpServer *server_;
    std::unique_ptr<QFile> log_;
    int32_t nextNumber_ = 0;
    qint64 handled_ = 0;
};
