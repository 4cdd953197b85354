#include "Registration.h"

#include "core/Codecs.h"
#include "core/Cp1251.h"
#include "core/Files.h"
#include "core/FolderAccess.h"
#include "core/LineScan.h"
#include "core/Scramble.h"
#include "core/Shares.h"

#include <cstring>
#include <optional>
#include <vector>

namespace {

// Texts in order of first appearance, without repeats that differ only in letter case. Each text
// is looked up by a hash of its case-folded characters (what a case-insensitive comparison
// compares), so the cost grows with the texts, not with texts times the ones already there, and
// a text already there costs no allocation.
class DistinctTexts
{
public:
    // Expected: how many texts may come (room is made for them at once).
    DistinctTexts(QStringList &items, qsizetype expected) : items_(items)
    {
        for (const QString &item : items)
            hashes_.push_back(FoldedHash(item));
        Rehash(size_t(qMin<qsizetype>(items.size() + expected, 1 << 22)) * 2);
    }
    void Add(QStringView text)
    {
        if (text.isEmpty())
            return;
        const uint64_t hash = FoldedHash(text);
        for (size_t at = hash & mask_; slots_[at] >= 0; at = (at + 1) & mask_)
            if (hashes_[size_t(slots_[at])] == hash &&
                text.compare(items_[slots_[at]], Qt::CaseInsensitive) == 0)
                return;
        items_.append(text.toString());
        hashes_.push_back(hash);
        if (hashes_.size() * 2 >= slots_.size())
            Rehash(slots_.size() * 2);
        else
            Place(hashes_.size() - 1);
    }

private:
    static uint64_t FoldedHash(QStringView text)
    {
        uint64_t h = 1469598103934665603ull;
        for (qsizetype i = 0; i < text.size(); ++i) {
            char32_t c = text[i].unicode();
            if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
                c = QChar::surrogateToUcs4(text[i], text[i + 1]);
                ++i;
            }
            h = (h ^ QChar::toCaseFolded(c)) * 1099511628211ull;
        }
        return h;
    }
    void Place(size_t index)
    {
        size_t at = hashes_[index] & mask_;
        while (slots_[at] >= 0)
            at = (at + 1) & mask_;
        slots_[at] = int32_t(index);
    }
    void Rehash(size_t least)
    {
        size_t size = 1024;
        while (size < least)
            size *= 2;
        slots_.assign(size, -1);
        mask_ = size - 1;
        for (size_t i = 0; i < hashes_.size(); ++i)
            Place(i);
    }

    QStringList &items_;
    std::vector<uint64_t> hashes_; // of each item, in order
    std::vector<int32_t> slots_;   // index into the items, -1 for a free slot
    size_t mask_ = 0;
};

// Field Index of an "@" record, as SplitFields gives it.
QStringView FieldOf(const QString &line, int index)
{
    qsizetype start = 0;
    for (int i = 0; i < index; ++i) {
        const qsizetype at = line.indexOf(u'@', start);
        if (at < 0)
            return QStringView();
        start = at + 1;
    }
    const qsizetype end = line.indexOf(u'@', start);
    return QStringView(line).mid(start, (end < 0 ? line.size() : end) - start);
}

} // namespace

QStringList ExamineeGroups(const TLineList &lines, bool roster, QStringList items)
{
    DistinctTexts distinct(items, lines.Count());
    for (const QString &line : lines.Lines())
        distinct.Add(FieldOf(line, roster ? 0 : 1));
    return items;
}

QStringList ExamineeNames(const TLineList &lines, bool roster, const QString &group,
                          QStringList items)
{
    const QString wanted = group.toUpper();
    DistinctTexts distinct(items, lines.Count());
    for (const QString &line : lines.Lines())
        if (FieldOf(line, roster ? 0 : 1).toString().toUpper().contains(wanted))
            distinct.Add(FieldOf(line, roster ? 1 : 2));
    return items;
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

PasswordOutcome ClassifyPassword(const PasswordList &list, const QString &name,
                                 const QString &password)
{
    QByteArray nameBytes, passwordBytes;
    // A text with a character the list's code page has no form for is in no record.
    // Nor is a text with an "@": no field holds one.
    const bool nameFits = Cp1251::EncodeExactly(name, nameBytes) && !nameBytes.contains('@');
    const bool passwordFits =
        Cp1251::EncodeExactly(password, passwordBytes) && !passwordBytes.contains('@');
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
        const bool mayBeName =
            nameFits && (firstOfName < 0 ? f0End == b : b < e && fold[uchar(*b)] == firstOfName);
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

namespace {

PasswordList ListOf(const QByteArray &bytes)
{
    if (bytes.size() < 2)
        return {};
    return {UnscrambleBytes(bytes, Keys::Passwords)};
}

// The record added to the list held, its bytes Old just read through it.
RegisterResult AddRecord(FolderAccess &folder, const QString &fileName, QIODevice &held,
                         const QByteArray &old, const QStringList &known, const QString &record)
{
    const QByteArray knownText =
        known.isEmpty() ? QByteArray() : PasswordList::FromLines(known).Text;
    return folder.Replace(fileName, held,
                          AppendedPasswordList(old, knownText, Cp1251::Encode(record)), &old)
               ? RegisterResult::Written
               : RegisterResult::Unavailable;
}

} // namespace

PasswordList ReadPasswordList(const QString &fileName)
{
    auto file = Folder(fileName).OpenCreating(fileName, fmOpenRead | fmShareExclusive);
    if (!file)
        return {QByteArray(), false};
    return ListOf(ReadToEnd(*file));
}

PasswordCheck
CheckPasswordList(const QString &fileName, const QString &name, const QString &password,
                  const QString &record, const std::function<bool(PasswordOutcome)> &registerNow,
                  const std::function<void(const std::function<void()> &)> &registering)
{
    PasswordCheck check;
    FolderAccess &folder = Folder(fileName);
    if (IsUncName(fileName)) {
        if (auto held = folder.OpenCreating(fileName, fmOpenReadWrite | fmShareExclusive)) {
            const QByteArray old = ReadToEnd(*held);
            check.List = ListOf(old);
            check.Outcome = ClassifyPassword(check.List, name, password);
            if (registerNow(check.Outcome))
                registering([&] {
                    check.Registered =
                        AddRecord(folder, fileName, *held, old, check.List.Lines(), record);
                });
            return check;
        }
    }
    check.List = ReadPasswordList(fileName);
    check.Outcome = ClassifyPassword(check.List, name, password);
    return check;
}

QByteArray AppendedPasswordList(const QByteArray &old, const QByteArray &known,
                                const QByteArray &record)
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
        UnscrambleInto(old.constData() + 1, content.size(), method, Keys::Passwords,
                       content.data());
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
    // Held from the reading to the replacement: no other station writes meanwhile.
    auto held = folder.OpenCreating(fileName, fmOpenReadWrite | fmShareExclusive);
    if (!held)
        return RegisterResult::Unavailable;
    return AddRecord(folder, fileName, *held, ReadToEnd(*held), known, record);
}
