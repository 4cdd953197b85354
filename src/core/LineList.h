#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <cstdint>

// An ordered list of text lines: every sectioned text of the program (exam text, question
// sections, font sections, language sections) is held and read through it. Sections and keys
// are found by scanning each time; nothing is parsed into a tree and nothing is written back.
class TLineList
{
public:
    int Count() const { return int(lines_.size()); }
    const QString &operator[](int index) const { return lines_[index]; }
    const QStringList &Lines() const { return lines_; }
    void Add(const QString &line) { lines_.append(line); }
    void Clear() { lines_.clear(); }
    // Index of the first line equal to Line (case-insensitive), or -1.
    int IndexOf(const QString &line) const;

    // Splits at CR, LF or NUL; CR LF is one break, LF CR an empty line between; a NUL ends the
    // whole text; a break at the very end adds no empty line.
    void SetText(const QString &text);
    // Windows-1251 bytes, decoded.
    void SetText(const QByteArray &bytes);
    // Reads the file whole (others may read it meanwhile, not write); false when it cannot be
    // opened.
    bool LoadFromFile(const QString &fileName);

private:
    QStringList lines_;
};

// Copies the lines of section [Name] of Source into Dest (cleared first): every line after the
// header up to and including the next line that begins with "[". False when there is no header.
bool GetSection(const TLineList &source, TLineList &dest, const QString &name);

// GetSection for many sections of one text (the report reads every question's): the headers are
// found once instead of by a scan for each section.
class TSectionIndex
{
public:
    explicit TSectionIndex(const TLineList &source);
    bool Get(TLineList &dest, const QString &name) const;

private:
    const TLineList &source_;
    QHash<QString, int> first_; // case-folded header line -> its first index
};

// The value of the first line whose text before its first "=" is Key; Default when there is no
// such line or its value is empty.
QString ReadStr(const TLineList &lines, const QString &key, const QString &defaultValue);
int32_t ReadInt(const TLineList &lines, const QString &key, int32_t defaultValue);
// True when the low 8 bits of the integer are not all zero.
bool ReadBool(const TLineList &lines, const QString &key, bool defaultValue);

// The integer syntax of every reader: leading spaces, an optional sign, then decimal digits or
// hexadecimal digits after "$", "x" or "0x"; nothing after the digits; 32-bit signed range.
bool StrToInt32(const QString &text, int32_t &value);
