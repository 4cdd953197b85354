// The registration lists of a roster or journal, against the plain reading: every group and
// name once, without repeats that differ only in letter case, in order of first appearance.
#include "core/Codecs.h"
#include "core/Cp1251.h"
#include "core/LineList.h"
#include "session/Registration.h"

namespace {
void AddPlain(QStringList &items, const QString &text)
{
    if (text.isEmpty())
        return;
    for (const QString &item : items)
        if (item.compare(text, Qt::CaseInsensitive) == 0)
            return;
    items.append(text);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1 || size > 4096)
        return 0;
    const bool roster = data[0] & 1;
    TLineList lines;
    lines.SetText(Cp1251::Decode(reinterpret_cast<const char *>(data) + 1, qsizetype(size - 1)));
    QStringList groups, names, f;
    const QString wanted = lines.Count() > 0 ? lines.Lines().first().left(2).toUpper() : QString();
    for (const QString &line : lines.Lines()) {
        SplitFields(line, u'@', f, 9);
        AddPlain(groups, f[roster ? 0 : 1]);
        if (f[roster ? 0 : 1].toUpper().contains(wanted))
            AddPlain(names, f[roster ? 1 : 2]);
    }
    if (ExamineeGroups(lines, roster) != groups || ExamineeNames(lines, roster, wanted) != names)
        __builtin_trap();
    // After the entries a list holds already.
    QStringList plain = names;
    for (const QString &g : groups)
        AddPlain(plain, g);
    if (ExamineeGroups(lines, roster, names) != plain)
        __builtin_trap();
    return 0;
}
