#include "Registration.h"

#include "Codecs.h"
#include "Cp1251.h"
#include "Files.h"
#include "Scramble.h"

namespace {

bool ContainsText(const QStringList &items, const QString &text)
{
    for (const QString &item : items)
        if (item.compare(text, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

QStringList SplitRecords(const QString &text)
{
    TLineList lines;
    lines.SetText(text);
    return lines.Lines();
}

} // namespace

void AddMissing(QStringList &items, const QStringList &more)
{
    for (const QString &m : more)
        if (!m.isEmpty() && !ContainsText(items, m))
            items.append(m);
}

QStringList ExamineeGroups(const TLineList &lines, bool roster)
{
    QStringList groups;
    QStringList fields;
    for (const QString &line : lines.Lines()) {
        SplitFields(line, u'@', fields, 9);
        AddMissing(groups, {fields[roster ? 0 : 1]});
    }
    return groups;
}

QStringList ExamineeNames(const TLineList &lines, bool roster, const QString &group)
{
    const QString wanted = group.toUpper();
    QStringList names;
    QStringList fields;
    for (const QString &line : lines.Lines()) {
        SplitFields(line, u'@', fields, 9);
        if (fields[roster ? 0 : 1].toUpper().contains(wanted))
            AddMissing(names, {fields[roster ? 1 : 2]});
    }
    return names;
}

PasswordOutcome ClassifyPassword(const QStringList &lines, const QString &name, const QString &password)
{
    QStringList fields;
    for (const QString &line : lines) {
        SplitFields(line, u'@', fields, 4);
        if (fields[0].compare(name, Qt::CaseInsensitive) == 0)
            return fields[1] == password ? PasswordOutcome::Match : PasswordOutcome::Wrong;
    }
    for (const QString &line : lines) {
        SplitFields(line, u'@', fields, 4);
        if (fields[1] == password)
            return PasswordOutcome::Taken;
    }
    return PasswordOutcome::New;
}

QString PasswordRecord(const QString &name, const QString &password, const QString &group,
                       const QDate &date)
{
    return name + u'@' + password + u'@' + group + u'@' + DateStamp(date);
}

QStringList ReadPasswordList(const QString &fileName)
{
    auto file = OpenCurrentFileRetry(fileName, fmOpenRead | fmShareExclusive);
    if (!file)
        return {};
    const QByteArray bytes = file->readAll();
    if (bytes.size() < 2)
        return {};
    return SplitRecords(Cp1251::Decode(UnscrambleBytes(bytes, Keys::Passwords)));
}

RegisterResult AppendPasswordRecord(const QString &fileName, const QStringList &known,
                                    const QString &record)
{
    if (!CreateIfMissing(fileName))
        return RegisterResult::Unavailable;
    // Held from the reading to the replacement: no other station writes meanwhile.
    auto held = OpenCurrentFileRetry(fileName, fmOpenReadWrite | fmShareExclusive);
    if (!held)
        return RegisterResult::Unavailable;
    const QByteArray bytes = held->readAll();
    QStringList lines =
        bytes.isEmpty() ? known : SplitRecords(Cp1251::Decode(UnscrambleBytes(bytes, Keys::Passwords)));
    lines.append(record);
    const QByteArray content = Cp1251::Encode(lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
    if (!ReplaceFileContent(fileName, *held, ScrambleBytes(content, Keys::Passwords)))
        return RegisterResult::Unavailable;
    return RegisterResult::Written;
}
