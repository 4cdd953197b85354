#include "Errors.h"

TarvikError::TarvikError(const QString &message) : message_(message), utf8_(message.toUtf8()) {}

EConvertError EConvertError::BadInteger(const QString &text)
{
    return EConvertError(QStringLiteral("'%1' не правильная величина целого числа").arg(text));
}

EFOpenError EFOpenError::ForFile(const QString &fileName)
{
    return EFOpenError(QStringLiteral("Не удаётся открыть файл \"%1\".").arg(fileName));
}

EFCreateError EFCreateError::ForFile(const QString &fileName)
{
    return EFCreateError(QStringLiteral("Не удаётся создать файл \"%1\".").arg(fileName));
}
