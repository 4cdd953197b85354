#pragma once

#include <QByteArray>
#include <QString>
#include <exception>

// The errors the program raises to its callers. Every one carries the text that the error box
// shows; the guard around the window's handlers catches TarvikError and shows Message().
class TarvikError : public std::exception
{
public:
    explicit TarvikError(const QString &message);
    const QString &Message() const { return message_; }
    const char *what() const noexcept override { return utf8_.constData(); }

private:
    QString message_;
    QByteArray utf8_;
};

// A numeric field of a value that is not an integer ("'%s' не правильная величина целого числа").
class EConvertError : public TarvikError
{
public:
    using TarvikError::TarvikError;
    static EConvertError BadInteger(const QString &text);
};

// A file that could not be opened for reading.
class EFOpenError : public TarvikError
{
public:
    using TarvikError::TarvikError;
    static EFOpenError ForFile(const QString &fileName);
};

// A file that could not be created or replaced.
class EFCreateError : public TarvikError
{
public:
    using TarvikError::TarvikError;
    static EFCreateError ForFile(const QString &fileName);
};
