#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

// Small file helpers of the tests.
inline QByteArray ReadFile(const QString &path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

inline void WriteFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(bytes);
}

// A file of the demo exam as the build made it.
inline QString DemoFile(const char *name)
{
    return QStringLiteral(TARVIK_DEMO_DIR) + u'/' + QString::fromLatin1(name);
}
