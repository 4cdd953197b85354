#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QString>
#include <cstdint>

// The scrambled form of the program's stored files: a method byte H = 32 + 15 * M + R
// (M 1..10 the method, R 0..14 filler), then every content byte scrambled with one byte of a
// working key derived from the file kind's key, H and M.
namespace Keys {
// Exam files: question files and uniform files.
extern const QByteArray Settings;
// Subject manager files.
extern const QByteArray Manager;
// The password list.
extern const QByteArray Passwords;
// Report files.
extern const QByteArray Report;
// A question file that begins with this is plain text.
extern const QByteArray QuestionSignature;
} // namespace Keys

// Method of a method byte: 0 when the stream has no readable content, else 1..10.
int ScrambleMethod(uint8_t methodByte);

// The scrambled form of Content with the given method byte (47..196 for a writer; any byte
// is accepted). Empty for an empty content or key.
QByteArray ScrambleBytes(const QByteArray &content, const QByteArray &key, uint8_t methodByte);
// A method byte for a writer, drawn from the program's generator.
uint8_t NewMethodByte();
// The same with a method byte drawn from the program's generator.
QByteArray ScrambleBytes(const QByteArray &content, const QByteArray &key);
// The content of a scrambled form; Source as it is when it begins with a non-empty Signature.
QByteArray UnscrambleBytes(const QByteArray &source, const QByteArray &key,
                           const QByteArray &signature = QByteArray());
// One piece of a content scrambled (or unscrambled) as a stream: the N bytes that stand at
// Position of the content (0 for the byte after the method byte). Pieces in any sizes give the
// bytes the whole content gives.
void ScramblePiece(const char *in, char *out, qsizetype n, const QByteArray &key,
                   uint8_t methodByte, bool scramble, qint64 position);
// Unscrambles the Size bytes after the method byte into Dest (Size bytes).
void UnscrambleInto(const char *source, qsizetype size, uint8_t methodByte, const QByteArray &key,
                    char *dest);

// Writes the scrambled form of all of Source to FileName (replaced atomically); nothing at all
// when Source is empty. Raises EFCreateError.
void ScrambleStream(QIODevice *source, const QString &fileName, const QByteArray &key);
void ScrambleToStream(QIODevice *source, QIODevice *dest, const QByteArray &key);
// The content as text (decoded from Windows-1251).
QString UnscrambleText(QIODevice *source, const QByteArray &key, const QByteArray &signature);
void UnscrambleStream(QIODevice *source, QIODevice *dest, const QByteArray &key);
// Raises EFOpenError when the file cannot be opened.
QString LoadTextFile(const QString &fileName, const QByteArray &key, const QByteArray &signature);
// Opens through OpenFileRetry; a file it cannot open reads as empty text.
QString LoadTextFileShared(const QString &fileName, const QByteArray &key,
                           const QByteArray &signature);
