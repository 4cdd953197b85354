#pragma once

#include "core/Cp1251.h"

#include <QByteArray>
#include <cstring>

// Scanning Windows-1251 text in place, for the long shared files (password list, subject
// journal) that are searched on every registration and every journal write.

// Calls Line(begin, end) for each line of Text, split exactly as TLineList::SetText splits: at
// CR, LF or NUL, CR LF being one break and a NUL ending the text. Line returns false to stop.
template <typename F> void ForEachLine(const QByteArray &text, F line)
{
    const char *p = text.constData();
    const char *end = p + text.size();
    if (const void *nul = std::memchr(p, 0, size_t(text.size())))
        end = static_cast<const char *>(nul);
    while (p < end) {
        const char *lf = static_cast<const char *>(std::memchr(p, '\n', size_t(end - p)));
        const char *stop = lf ? lf : end;
        const char *cr;
        while ((cr = static_cast<const char *>(std::memchr(p, '\r', size_t(stop - p))))) {
            if (!line(p, cr))
                return;
            p = cr + 1;
            if (p == stop && lf) { // CR LF: one break
                p = lf + 1;
                break;
            }
        }
        if (p > stop)
            continue;
        if (p < stop || lf) {
            if (!line(p, stop))
                return;
        }
        p = stop + 1;
    }
}

// The N bytes at A equal B without regard to case (the decoded texts compare equal ignoring
// case exactly then).
inline bool EqualFolded(const char *a, qsizetype n, const QByteArray &b)
{
    if (n != b.size())
        return false;
    const unsigned char *fold = Cp1251::FoldTable();
    for (qsizetype i = 0; i < n; ++i)
        if (fold[uchar(a[i])] != fold[uchar(b[i])])
            return false;
    return true;
}
