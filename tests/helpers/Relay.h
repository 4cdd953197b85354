#pragma once

#include <QProcess>

// The relay of the tests (tcp_relay) between a station and a server on TargetPort: started here,
// told what to do by Say ("delay 300", "stall", "pass", "drop", "trips", ...), which returns its
// answer.
struct Relay
{
    QProcess Process;
    quint16 Port = 0; // where the station connects

    Relay(const QString &program, int targetPort)
    {
        Process.start(program, {QString::number(targetPort)});
        if (Process.waitForReadyRead(5000))
            Port = quint16(Process.readLine().trimmed().split(' ').value(1).toUInt());
    }
    ~Relay()
    {
        Process.closeWriteChannel();
        Process.waitForFinished(3000);
    }
    QByteArray Say(const QByteArray &command)
    {
        Process.write(command + '\n');
        return Process.waitForReadyRead(5000) ? Process.readLine().trimmed() : QByteArray();
    }
    // The number a counting command answers ("trips 12").
    long Count(const QByteArray &what) { return Say(what).split(' ').value(1).toLong(); }
};
