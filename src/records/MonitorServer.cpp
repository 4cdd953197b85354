#include "MonitorServer.h"

#include "core/Cp1251.h"

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

MonitorServer::MonitorServer(QObject *parent) : QObject(parent), server_(new QTcpServer(this))
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
        Q_EMIT stationConnected(number, address, QDateTime::currentDateTime());
        auto parser = std::make_shared<MonitorParser>();
        socket->write("NUMBER" + QByteArray::number(number));
        connect(socket, &QTcpSocket::readyRead, this, [this, socket, parser, number, address] {
            const QByteArray bytes = socket->readAll();
            const QDateTime now = QDateTime::currentDateTime();
            for (const MonitorMessage &m : parser->Feed(bytes)) {
                ++handled_;
                if (log_) {
                    log_->write((now.toString(Qt::ISODateWithMs) + u'\t' + address + u'\t' +
                                 QString::fromLatin1(m.Tag) + m.Fields.join(u'@') + u'@' + u'\n')
                                    .toUtf8());
                    log_->flush();
                }
                Q_EMIT messageReceived(number, m, now);
            }
        });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket, number] {
            Q_EMIT stationClosed(number, QDateTime::currentDateTime());
            socket->deleteLater();
        });
    }
}
