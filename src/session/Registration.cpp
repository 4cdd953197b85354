#include "Registration.h"

#include "Codecs.h"
#include "Cp1251.h"
#include "Files.h"
#include "LineScan.h"
#include "FolderAccess.h"
#include "Scramble.h"

#include <QSet>

#include <cstring>
#include <optional>

namespace {

// Texts in order of first appearance, without repeats that differ only in letter case. The
// case-folded keys are what a case-insensitive comparison compares, so a text is looked up once
// whatever the number already there.
class DistinctTexts
{
public:
    explicit DistinctTexts(QStringList &items) : items_(items)
    {
        keys_.reserve(items.size());
        for (const QString &item : items)
            keys_.insert(item.toCaseFolded());
    }
    void Add(const QString &text)
    {
        if (!text.isEmpty() && !keys_.contains(text.toCaseFolded())) {
            keys_.insert(text.toCaseFolded());
            items_.append(text);
        }
    }

private:
    QStringList &items_;
    QSet<QString> keys_;
};

} // namespace

void AddMissing(QStringList &items, const QStringList &more)
{
    DistinctTexts distinct(items);
    for (const QString &m : more)
        distinct.Add(m);
}

QStringList ExamineeGroups(const TLineList &lines, bool roster)
{
    QStringList groups;
    DistinctTexts distinct(groups);
    QStringList fields;
    for (const QString &line : lines.Lines()) {
        SplitFields(line, u'@', fields, 9);
        distinct.Add(fields[roster ? 0 : 1]);
    }
    return groups;
}

QStringList ExamineeNames(const TLineList &lines, bool roster, const QString &group)
{
    const QString wanted = group.toUpper();
    QStringList names;
    DistinctTexts distinct(names);
    QStringList fields;
    for (const QString &line : lines.Lines()) {
        SplitFields(line, u'@', fields, 9);
        if (fields[roster ? 0 : 1].toUpper().contains(wanted))
            distinct.Add(fields[roster ? 1 : 2]);
    }
    return names;
}


QStringList PasswordList::Lines() const
{
    QStringList lines;
    ForEachLine(Text, [&](const char *b, const char *e) {
        lines.append(Cp1251::Decode(b, e - b));
        return true;
    });
    return lines;
}

PasswordList PasswordList::FromLines(const QStringList &lines)
{
    return {Cp1251::Encode(lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"))};
}

PasswordOutcome ClassifyPassword(const PasswordList &list, const QString &name, const QString &password)
{
    QByteArray nameBytes, passwordBytes;
    // A text with a character the list's code page has no form for is in no record.
    // Nor is a text with an "@": no field holds one.
    const bool nameFits = Cp1251::EncodeExactly(name, nameBytes) && !nameBytes.contains('@');
    const bool passwordFits = Cp1251::EncodeExactly(password, passwordBytes) && !passwordBytes.contains('@');
    // One pass: the first line with the name decides; until then, note whether the password
    // is anybody's.
    const unsigned char *fold = Cp1251::FoldTable();
    const int firstOfName = nameBytes.isEmpty() ? -1 : fold[uchar(nameBytes[0])];
    const qsizetype pwLength = passwordBytes.size();
    std::optional<PasswordOutcome> decided;
    bool taken = false;
    ForEachLine(list.Text, [&](const char *b, const char *e) {
        const char *at = static_cast<const char *>(std::memchr(b, '@', size_t(e - b)));
        const char *f0End = at ? at : e;
        const char *f1 = at ? at + 1 : e;
        // Field 1 is the password when it starts with it and ends right after it.
        const bool password = passwordFits && e - f1 >= pwLength &&
                              std::memcmp(f1, passwordBytes.constData(), size_t(pwLength)) == 0 &&
                              (f1 + pwLength == e || f1[pwLength] == '@');
        // Most lines differ from the name in their first letter.
        const bool mayBeName = nameFits && (firstOfName < 0 ? f0End == b : b < e && fold[uchar(*b)] == firstOfName);
        if (mayBeName && EqualFolded(b, f0End - b, nameBytes)) {
            decided = password ? PasswordOutcome::Match : PasswordOutcome::Wrong;
            return false;
        }
        taken = taken || password;
        return true;
    });
    if (decided)
        return *decided;
    return taken ? PasswordOutcome::Taken : PasswordOutcome::New;
}

QString PasswordRecord(const QString &name, const QString &password, const QString &group,
                       const QDate &date)
{
    return name + u'@' + password + u'@' + group + u'@' + DateStamp(date);
}

PasswordList ReadPasswordList(const QString &fileName)
{
    FolderAccess &folder = Folder(fileName);
    folder.CreateIfMissing(fileName);
    auto file = folder.Open(fileName, fmOpenRead | fmShareExclusive);
    if (!file)
        return {QByteArray(), false};
    const QByteArray bytes = file->readAll();
    if (bytes.size() < 2)
        return {};
    return {UnscrambleBytes(bytes, Keys::Passwords)};
}

QByteArray AppendedPasswordList(const QByteArray &old, const QByteArray &known, const QByteArray &record)
{
    if (old.isEmpty()) {
        const QByteArray content = known.isEmpty() || known.endsWith('\n') || known.endsWith('\r')
                                       ? known
                                       : known + "\r\n";
        return ScrambleBytes(content + record + "\r\n", Keys::Passwords);
    }
    // The list is extended, never rewritten: whatever it holds (text of another station's
    // program, bytes that are no text, a NUL) stays byte for byte. Scrambled with its own
    // method byte, the old part of the file comes out exactly as it was.
    const uint8_t method = uint8_t(old[0]);
    QByteArray content = old.mid(1);
    if (ScrambleMethod(method) != 0)
        UnscrambleInto(old.constData() + 1, content.size(), method, Keys::Passwords, content.data());
    if (!content.isEmpty() && !content.endsWith('\n') && !content.endsWith('\r'))
        content += "\r\n";
    content += record + "\r\n";
    // A method byte under which nothing can be read would hide the new record too.
    return ScrambleMethod(method) != 0 ? ScrambleBytes(content, Keys::Passwords, method)
                                       : ScrambleBytes(content, Keys::Passwords);
}

RegisterResult AppendPasswordRecord(const QString &fileName, const QStringList &known,
                                    const QString &record)
{
    FolderAccess &folder = Folder(fileName);
    if (!folder.CreateIfMissing(fileName))
        return RegisterResult::Unavailable;
    // Held from the reading to the replacement: no other station writes meanwhile.
    auto held = folder.Open(fileName, fmOpenReadWrite | fmShareExclusive);
    if (!held)
        return RegisterResult::Unavailable;
    const QByteArray old = held->readAll();
    const QByteArray knownText = known.isEmpty() ? QByteArray() : PasswordList::FromLines(known).Text;
    if (!folder.Replace(fileName, *held, AppendedPasswordList(old, knownText, Cp1251::Encode(record))))
        return RegisterResult::Unavailable;
    return RegisterResult::Written;
}
