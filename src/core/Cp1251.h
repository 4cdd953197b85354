#pragma once

#include <QByteArray>
#include <QString>
#include <QStringDecoder>

// Windows-1251 is the encoding of every file, record and wire message of the program. Text is
// decoded once where it enters and encoded once where it leaves; in memory it is QString.
//
// The table is the one of Qt's "windows-1251" codec (a test holds the two equal), kept here so
// that every byte round-trips (0x98 is U+0098, as Qt decodes it) and so that a character with no
// Windows-1251 form is written as '?', which Qt's encoder does not do (it writes 0x1A).
namespace Cp1251 {

QString Decode(const QByteArray &bytes);
QString Decode(const char *data, qsizetype size);
QByteArray Encode(const QString &text);
// One byte for one character; '?' when it has no Windows-1251 form.
char EncodeChar(QChar c);
QChar DecodeChar(unsigned char byte);

// For each byte, the smallest byte that equals it without regard to case (Unicode case folding
// of the decoded characters): two texts compare equal ignoring case exactly when their folded
// bytes are equal.
const unsigned char *FoldTable();
// Encodes Text when every character has a Windows-1251 form; false otherwise.
bool EncodeExactly(const QString &text, QByteArray &bytes);

// UTF-8 text with any line ends to Windows-1251 with CR LF line ends, and back (CR LF to LF).
QByteArray FromUtf8Text(const QByteArray &utf8);
QByteArray ToUtf8Text(const QByteArray &cp1251);

// The same conversions piece by piece, for a text of any size: the pieces' outputs joined equal
// the conversion of the whole. A character or a CR LF split between two pieces stays whole.
class Utf8TextEncoder
{
public:
    QByteArray Feed(const QByteArray &piece);

private:
    QStringDecoder decoder_{QStringDecoder::Utf8};
    bool afterCr_ = false; // the last piece ended in CR: a LF that follows belongs to it
};

class Utf8TextDecoder
{
public:
    QByteArray Feed(const QByteArray &piece);
    QByteArray Finish();

private:
    bool heldCr_ = false; // a CR at the end of the last piece, waiting for its LF
};

} // namespace Cp1251
