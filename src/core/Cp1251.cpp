#include "Cp1251.h"

#include <algorithm>
#include <array>

namespace {

const char16_t HighHalf[128] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, // 80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F, // 88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, // 98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7, // A0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407, // A8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7, // B0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457, // B8
};

struct Reverse
{
    std::array<std::pair<char16_t, unsigned char>, 64> specials{};
    int count = 0;
    Reverse()
    {
        for (int i = 0; i < 64; ++i) // 0x80..0xBF; 0xC0..0xFF are the contiguous А..я
            specials[count++] = {HighHalf[i], static_cast<unsigned char>(0x80 + i)};
        std::sort(specials.begin(), specials.begin() + count);
    }
};

const Reverse &ReverseTable()
{
    static const Reverse table;
    return table;
}

} // namespace

namespace Cp1251 {

QChar DecodeChar(unsigned char byte)
{
    if (byte < 0x80)
        return QChar(char16_t(byte));
    if (byte >= 0xC0)
        return QChar(char16_t(0x0410 + (byte - 0xC0)));
    return QChar(HighHalf[byte - 0x80]);
}

char EncodeChar(QChar c)
{
    const char16_t u = c.unicode();
    if (u < 0x80)
        return static_cast<char>(u);
    if (u >= 0x0410 && u <= 0x044F)
        return static_cast<char>(0xC0 + (u - 0x0410));
    const Reverse &r = ReverseTable();
    const auto end = r.specials.begin() + r.count;
    const auto it = std::lower_bound(r.specials.begin(), end, std::make_pair(u, (unsigned char)0));
    if (it != end && it->first == u)
        return static_cast<char>(it->second);
    return '?';
}

QString Decode(const char *data, qsizetype size)
{
    QString out(size, Qt::Uninitialized);
    QChar *dst = out.data();
    for (qsizetype i = 0; i < size; ++i)
        dst[i] = DecodeChar(static_cast<unsigned char>(data[i]));
    return out;
}

QString Decode(const QByteArray &bytes)
{
    return Decode(bytes.constData(), bytes.size());
}

QByteArray Encode(const QString &text)
{
    QByteArray out(text.size(), Qt::Uninitialized);
    char *dst = out.data();
    qsizetype j = 0;
    const QChar *src = text.constData();
    for (qsizetype i = 0; i < text.size(); ++i) {
        // A surrogate pair is one character with no Windows-1251 form: one '?'.
        if (src[i].isHighSurrogate() && i + 1 < text.size() && src[i + 1].isLowSurrogate()) {
            dst[j++] = '?';
            ++i;
            continue;
        }
        dst[j++] = EncodeChar(src[i]);
    }
    out.truncate(j);
    return out;
}

const unsigned char *FoldTable()
{
    static const std::array<unsigned char, 256> table = [] {
        std::array<unsigned char, 256> t{};
        for (int b = 0; b < 256; ++b) {
            const char32_t folded = QChar::toCaseFolded(char32_t(DecodeChar(uchar(b)).unicode()));
            t[size_t(b)] = uchar(b);
            for (int smaller = 0; smaller < b; ++smaller)
                if (QChar::toCaseFolded(char32_t(DecodeChar(uchar(smaller)).unicode())) == folded) {
                    t[size_t(b)] = uchar(smaller);
                    break;
                }
        }
        return t;
    }();
    return table.data();
}

bool EncodeExactly(const QString &text, QByteArray &bytes)
{
    bytes = Encode(text);
    return Decode(bytes) == text;
}

QByteArray FromUtf8Text(const QByteArray &utf8)
{
    QString text = QString::fromUtf8(utf8);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    QString normal;
    normal.reserve(text.size() + text.size() / 16);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == u'\r') {
            normal += QStringLiteral("\r\n");
            if (i + 1 < text.size() && text.at(i + 1) == u'\n')
                ++i;
        } else if (c == u'\n') {
            normal += QStringLiteral("\r\n");
        } else {
            normal += c;
        }
    }
    return Encode(normal);
}

QByteArray ToUtf8Text(const QByteArray &cp1251)
{
    QString text = Decode(cp1251);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text.toUtf8();
}

QByteArray Utf8TextEncoder::Feed(const QByteArray &piece)
{
    const QString text = decoder_(piece);
    QString normal;
    normal.reserve(text.size() + text.size() / 16);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == u'\n' && afterCr_) {
            afterCr_ = false;
            continue;
        }
        afterCr_ = c == u'\r';
        if (c == u'\r' || c == u'\n')
            normal += QStringLiteral("\r\n");
        else
            normal += c;
    }
    return Encode(normal);
}

QByteArray Utf8TextDecoder::Feed(const QByteArray &piece)
{
    QString text = Decode((heldCr_ ? QByteArray("\r") : QByteArray()) + piece);
    heldCr_ = text.endsWith(u'\r');
    if (heldCr_)
        text.chop(1);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text.toUtf8();
}

QByteArray Utf8TextDecoder::Finish()
{
    const bool cr = heldCr_;
    heldCr_ = false;
    return cr ? QByteArray("\r") : QByteArray();
}

} // namespace Cp1251
