#pragma once

#include "exam/Settings.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>
#include <array>
#include <cstdint>
#include <functional>

class QTcpSocket;
class QTimer;

// The station's link to up to three monitoring servers (TCP, port 2578): INFO!! after the
// registration, ANSWER after each answer, RESULT and DISCON at the end, all in Windows-1251
// without framing; NUMBER read back. No widgets: the window shows the lamps it signals.
class ServerLink : public QObject
{
    Q_OBJECT

public:
    enum class Lamp { Hidden, Connected, Lost };
    static constexpr int Slots = 3;
    static constexpr quint16 Port = 2578;
    // Bytes a slot may have waiting to be written: a server that never reads is given up.
    static constexpr qint64 MaxQueued = 64 * 1024;
    // Messages a slot may hold back behind a pause, likewise.
    static constexpr qsizetype MaxSteps = 4096;
    // A connection neither made nor refused by then is given up.
    static constexpr int ConnectTimeoutMs = 4000;

    explicit ServerLink(QObject *parent = nullptr);
    ~ServerLink() override;

    // The slots of an exam's settings (InfIP1..3, IP1..3): enabled again for a new exam file.
    void Configure(const ExamSettings &settings);
    bool AnyEnabled() const;
    bool Enabled(int slot) const { return slots_[size_t(slot)].Enabled; }
    int32_t ClientNumber(int slot) const { return slots_[size_t(slot)].ClientNumber; }

    // Messages go out in the order they are asked for, each slot on its own; a pause (the
    // 100 ms below) holds the messages after it without holding the caller.
    // After the registration: connects every enabled slot, waits 100 ms, sends INFO!!.
    void SendInfo(const QString &name, const QString &group, const QString &title,
                  int32_t questions);
    // After an answer: question n, presentation index i, the answer's code.
    void SendAnswer(int32_t n, int32_t index, char code);
    // At the end: RESULT with Tail ("@5@", "@Not Fin@"), 100 ms, DISCON, and the socket closed.
    void SendResult(const QString &tail);
    // A new examinee: every socket closed without a message, the lamps hidden.
    void Reset();

    // The server's port ($TARVIK_MONITOR_PORT for the tests, 2578 otherwise).
    static quint16 ServerPort();

Q_SIGNALS:
    void lampChanged(int slot, ServerLink::Lamp lamp);

private:
    struct Slot
    {
        bool Enabled = false;
        QString Address;
        int32_t ClientNumber = 0;
        QTcpSocket *Socket = nullptr;
        QTimer *ConnectTimer = nullptr;
        QByteArray Received;
        // What is still to be sent, in order: a pause of Wait ms, then the step.
        struct Step
        {
            int Wait;
            std::function<void()> Act;
        };
        QList<Step> Queue;
        QTimer *Pause = nullptr;
    };

    void Connect(int slot);
    void Send(int slot, const QByteArray &message);
    void Failed(int slot);
    void Read(int slot);
    // Step after the slot's earlier ones (and Wait ms after them); the queue runs at once when
    // it is not paused.
    void Later(int slot, int wait, std::function<void()> act);
    void RunQueue(int slot);
    // The slot's queue and pause dropped: its connection is over.
    void Drop(int slot);

    std::array<Slot, Slots> slots_;
};

// The messages byte for byte.
QByteArray InfoMessage(int32_t number, const QString &name, const QString &group,
                       const QString &title, int32_t questions);
QByteArray AnswerMessage(int32_t number, int32_t n, int32_t index, char code);
QByteArray ResultMessage(int32_t number, const QString &tail);
QByteArray DisconMessage(int32_t number);

// The station number of the last whole NUMBER message in Received (the last one wins); a NUMBER
// not followed by a decimal number is ignored. Received keeps only what a later read may
// complete, a few bytes at most, whatever the server sends.
bool TakeNumber(QByteArray &received, int32_t &number);
