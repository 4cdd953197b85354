#include "ServerLink.h"

#include "core/Cp1251.h"
#include "core/Files.h"
#include "core/LineList.h"

#include <QHostAddress>
#include <QTcpSocket>
#include <QTimer>

#include <utility>

namespace {

const QByteArray NumberTag = QByteArrayLiteral("NUMBER");
// "NUMBER" and the ten digits of the largest number: the most a later read can still complete.
constexpr qsizetype KeptBytes = 16;

} // namespace

QByteArray InfoMessage(int32_t number, const QString &name, const QString &group,
                       const QString &title, int32_t questions)
{
    return "INFO!!" + QByteArray::number(number) + '@' + Cp1251::Encode(name) + '@' +
           Cp1251::Encode(group) + '@' + Cp1251::Encode(title.trimmed()) + '@' +
           QByteArray::number(questions) + '@';
}

QByteArray AnswerMessage(int32_t number, int32_t n, int32_t index, char code)
{
    return "ANSWER" + QByteArray::number(number) + '@' + QByteArray::number(n) + '@' +
           QByteArray::number(index) + '@' + code + '@';
}

QByteArray ResultMessage(int32_t number, const QString &tail)
{
    return "RESULT" + QByteArray::number(number) + Cp1251::Encode(tail);
}

QByteArray DisconMessage(int32_t number)
{
    return "DISCON" + QByteArray::number(number) + '@';
}

bool TakeNumber(QByteArray &received, int32_t &number)
{
    bool taken = false;
    qsizetype at = 0;
    qsizetype keepFrom = qMax<qsizetype>(0, received.size() - KeptBytes);
    while ((at = received.indexOf(NumberTag, at)) >= 0) {
        qsizetype end = at + NumberTag.size();
        while (end < received.size() && received[end] >= '0' && received[end] <= '9')
            ++end;
        int32_t value = 0;
        if (end > at + NumberTag.size() &&
            StrToInt32(QString::fromLatin1(
                           received.mid(at + NumberTag.size(), end - at - NumberTag.size())),
                       value)) {
            number = value;
            taken = true;
        }
        // Digits up to the end may go on in the next read: the message is kept to be read again.
        if (end == received.size())
            keepFrom = qMin(keepFrom, at);
        at = end;
    }
    received = received.mid(qMax(keepFrom, received.size() - KeptBytes));
    return taken;
}

ServerLink::ServerLink(QObject *parent) : QObject(parent)
{
    for (int k = 0; k < Slots; ++k) {
        Slot &s = slots_[size_t(k)];
        s.Socket = new QTcpSocket(this);
        s.ConnectTimer = new QTimer(this);
        s.ConnectTimer->setSingleShot(true);
        s.Pause = new QTimer(this);
        s.Pause->setSingleShot(true);
        connect(s.Pause, &QTimer::timeout, this, [this, k] { RunQueue(k); });
        connect(s.ConnectTimer, &QTimer::timeout, this, [this, k] {
            if (slots_[size_t(k)].Socket->state() != QAbstractSocket::ConnectedState)
                Failed(k); // a dropped SYN: neither connected nor refused
        });
        connect(s.Socket, &QTcpSocket::connected, this, [this, k] {
            slots_[size_t(k)].ConnectTimer->stop();
            Q_EMIT lampChanged(k, Lamp::Connected);
        });
        connect(s.Socket, &QTcpSocket::disconnected, this,
                [this, k] { Q_EMIT lampChanged(k, Lamp::Lost); });
        connect(s.Socket, &QTcpSocket::errorOccurred, this,
                [this, k](QAbstractSocket::SocketError e) {
                    // The server closing its end is a disconnection, not an error of the slot.
                    if (e != QAbstractSocket::RemoteHostClosedError)
                        Failed(k);
                });
        connect(s.Socket, &QTcpSocket::readyRead, this, [this, k] { Read(k); });
    }
}

ServerLink::~ServerLink()
{
    // The program ends: what is still queued (the DISCON after an interrupted examination's
    // RESULT) goes out without its pauses, given a moment to be written, never more.
    for (int k = 0; k < Slots; ++k) {
        Slot &s = slots_[size_t(k)];
        s.Socket->blockSignals(true);
        for (Slot::Step &step : s.Queue)
            step.Wait = 0;
        s.Pause->stop();
        RunQueue(k);
        if (s.Socket->state() != QAbstractSocket::UnconnectedState && s.Socket->bytesToWrite() > 0)
            s.Socket->waitForBytesWritten(200);
        s.Socket->abort();
    }
}

quint16 ServerLink::ServerPort()
{
    bool ok = false;
    const int port = qEnvironmentVariableIntValue("TARVIK_MONITOR_PORT", &ok);
    return ok && port > 0 && port < 65536 ? quint16(port) : Port;
}

void ServerLink::Configure(const ExamSettings &s)
{
    const std::array<bool, Slots> enabled{s.InfIP1, s.InfIP2, s.InfIP3};
    const std::array<QString, Slots> address{s.IP1, s.IP2, s.IP3};
    for (int k = 0; k < Slots; ++k) {
        slots_[size_t(k)].Enabled = enabled[size_t(k)];
        slots_[size_t(k)].Address = address[size_t(k)].trimmed();
    }
}

bool ServerLink::AnyEnabled() const
{
    for (const Slot &s : slots_)
        if (s.Enabled)
            return true;
    return false;
}

void ServerLink::Failed(int k)
{
    Slot &s = slots_[size_t(k)];
    // Quietly: the examinee is never interrupted by a server.
    s.Enabled = false;
    Drop(k);
    s.ConnectTimer->stop();
    s.Socket->blockSignals(true);
    s.Socket->abort();
    s.Socket->blockSignals(false);
    Q_EMIT lampChanged(k, Lamp::Lost);
}

void ServerLink::Connect(int k)
{
    Slot &s = slots_[size_t(k)];
    Drop(k);
    s.Socket->blockSignals(true);
    s.Socket->abort();
    s.Socket->blockSignals(false);
    s.Received.clear();
    // A dotted IPv4 address only: no name lookup.
    QHostAddress address;
    if (!address.setAddress(s.Address) || address.protocol() != QAbstractSocket::IPv4Protocol) {
        Failed(k);
        return;
    }
    s.ConnectTimer->start(ConnectTimeoutMs);
    s.Socket->connectToHost(address, ServerPort());
}

void ServerLink::Send(int k, const QByteArray &message)
{
    Slot &s = slots_[size_t(k)];
    // Not connected (yet): the message is lost, as it always was.
    if (!s.Enabled || s.Socket->state() != QAbstractSocket::ConnectedState)
        return;
    if (s.Socket->bytesToWrite() + message.size() > MaxQueued) {
        Failed(k); // a server that does not read must not hold the examination up
        return;
    }
    s.Socket->write(message);
}

void ServerLink::Read(int k)
{
    Slot &s = slots_[size_t(k)];
    s.Received += s.Socket->readAll();
    TakeNumber(s.Received, s.ClientNumber);
}

void ServerLink::SendInfo(const QString &name, const QString &group, const QString &title,
                          int32_t questions)
{
    if (!AnyEnabled())
        return;
    for (int k = 0; k < Slots; ++k) {
        if (!slots_[size_t(k)].Enabled)
            continue;
        Connect(k);
        // The connection and NUMBER may arrive meanwhile; the number is the one known then.
        Later(k, 100, [this, k, name, group, title, questions] {
            Send(k, InfoMessage(slots_[size_t(k)].ClientNumber, name, group, title, questions));
        });
    }
}

void ServerLink::SendAnswer(int32_t n, int32_t index, char code)
{
    for (int k = 0; k < Slots; ++k)
        Later(k, 0, [this, k, n, index, code] {
            Send(k, AnswerMessage(slots_[size_t(k)].ClientNumber, n, index, code));
        });
}

void ServerLink::SendResult(const QString &tail)
{
    for (int k = 0; k < Slots; ++k) {
        if (!slots_[size_t(k)].Enabled)
            continue;
        Later(k, 0,
              [this, k, tail] { Send(k, ResultMessage(slots_[size_t(k)].ClientNumber, tail)); });
        Later(k, 100, [this, k] {
            Slot &s = slots_[size_t(k)];
            Send(k, DisconMessage(s.ClientNumber));
            // Written out in the background; a server that does not read is not waited for.
            if (s.Socket->state() == QAbstractSocket::ConnectedState)
                s.Socket->disconnectFromHost();
        });
    }
}

void ServerLink::Later(int k, int wait, std::function<void()> act)
{
    Slot &s = slots_[size_t(k)];
    if (!s.Enabled)
        return;
    if (s.Queue.size() >= MaxSteps) {
        Failed(k); // held up as a server that does not read would hold it
        return;
    }
    s.Queue.append({wait, std::move(act)});
    RunQueue(k);
}

void ServerLink::RunQueue(int k)
{
    Slot &s = slots_[size_t(k)];
    while (!s.Pause->isActive() && !s.Queue.isEmpty()) {
        if (const int wait = std::exchange(s.Queue.first().Wait, 0); wait > 0) {
            s.Pause->start(wait);
            return;
        }
        const std::function<void()> act = s.Queue.takeFirst().Act;
        act();
    }
}

void ServerLink::Drop(int k)
{
    slots_[size_t(k)].Queue.clear();
    slots_[size_t(k)].Pause->stop();
}

void ServerLink::Reset()
{
    for (int k = 0; k < Slots; ++k) {
        Slot &s = slots_[size_t(k)];
        Drop(k);
        s.ConnectTimer->stop();
        s.Socket->blockSignals(true);
        s.Socket->abort();
        s.Socket->blockSignals(false);
        Q_EMIT lampChanged(k, Lamp::Hidden);
    }
}
