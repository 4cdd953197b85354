#include "Manager.h"

#include "core/Codecs.h"
#include "core/LineList.h"

namespace {

// Without surrounding blanks and control characters.
QString Trimmed(const QString &text)
{
    qsizetype b = 0, e = text.size();
    while (b < e && text.at(b).unicode() <= u' ')
        ++b;
    while (e > b && text.at(e - 1).unicode() <= u' ')
        --e;
    return text.mid(b, e - b);
}

} // namespace

ManagerFile ReadManagerText(const QString &text)
{
    TLineList lines;
    lines.SetText(text);
    ManagerFile file;
    QStringList f;
    for (const QString &line : lines.Lines()) {
        SplitFields(line, u'@', f, 6);
        file.Lines.append({f[0], f[1], f[2], f[3], f[4]});
        bool known = f[4].isEmpty();
        for (const QString &s : file.Categories)
            known = known || s.compare(f[4], Qt::CaseInsensitive) == 0;
        if (!known)
            file.Categories.append(f[4]);
    }
    return file;
}

QList<ManagerRecord> SubjectsOf(const ManagerFile &file, const QString &category)
{
    if (file.Categories.isEmpty())
        return file.Lines;
    QList<ManagerRecord> out;
    for (const ManagerRecord &r : file.Lines)
        if (r.Category == category)
            out.append(r);
    return out;
}

int ToggleCheck(QList<bool> &checked, int toggled, int selected)
{
    if (toggled == selected)
        return selected; // the box may now be unchecked while it stays selected
    if (selected >= 0 && selected < checked.size())
        checked[selected] = false;
    const int first = int(checked.indexOf(true));
    if (first >= 0)
        return first;
    if (selected >= 0 && selected < checked.size())
        checked[selected] = true;
    return selected;
}

ManagerChoice ChooseSubject(const ManagerRecord &record)
{
    ManagerChoice c;
    c.ExamFile = Trimmed(record.ExamFile);
    c.ShareUser = Trimmed(record.ShareUser);
    c.SharePassword = Trimmed(record.SharePassword);
    // Names written for Windows: folders are split at "\" and "/" alike.
    const qsizetype last = qMax(c.ExamFile.lastIndexOf(u'\\'), c.ExamFile.lastIndexOf(u'/'));
    c.ShareDir = last >= 0 ? c.ExamFile.left(last) : QString();
    const qsizetype unc = c.ExamFile.indexOf(QStringLiteral("\\\\"));
    c.OnNetwork = unc >= 0 && unc <= 2;
    return c;
}

bool ManagerShareOpenAfter(
    const ManagerChoice &choice, bool shareOpen, const std::function<bool(const QString &)> &exists,
    const std::function<int(const QString &, const QString &, const QString &)> &connect)
{
    if (!choice.OnNetwork)
        return shareOpen;
    if (exists(choice.ExamFile))
        return true;
    const int result = connect(choice.ShareDir, choice.ShareUser, choice.SharePassword);
    return result == 0 || result == 85 || exists(choice.ExamFile);
}
