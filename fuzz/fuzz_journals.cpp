// The subject lookup on any subject journal, against the plain reading of the same text through
// the sectioned-text splitting and the field records; the examiner's export on any journals.
#include "core/Codecs.h"
#include "core/Cp1251.h"
#include "core/Files.h"
#include "core/LineList.h"
#include "records/JournalExport.h"
#include "records/Journals.h"

#include <cstdlib>

namespace {
// Blank: nothing but characters up to the blank itself.
bool Blank(const QString &line)
{
    for (const QChar c : line)
        if (c.unicode() > u' ')
            return false;
    return true;
}

SubjectLookup Reference(const QStringList &lines, const QString &file, const QString &title)
{
    QStringList f;
    int32_t count = 0;
    for (const QString &l : lines) {
        if (Blank(l))
            continue;
        ++count;
        SplitFields(l, u'@', f, 3);
        if (!l.contains(u'@'))
            continue;
        // The names as they would have been written (a character without a form is "?").
        const auto same = [](const QString &a, const QString &b) {
            return Cp1251::Decode(Cp1251::Encode(a))
                       .compare(Cp1251::Decode(Cp1251::Encode(b)), Qt::CaseInsensitive) == 0;
        };
        if (same(f[1], BareFileName(file)) || same(f[2], title)) {
            int32_t v;
            if (!StrToInt32(f[0], v)) {
                int32_t all = 0;
                for (const QString &m : lines)
                    all += !Blank(m);
                v = all + 1;
            }
            return {v == 0 ? 1 : v, true};
        }
    }
    return {count + 1, false};
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    // The first line gives the exam file's name and its title.
    const qsizetype nl = bytes.indexOf('\n');
    const QByteArray head = nl < 0 ? bytes : bytes.left(nl);
    const qsizetype at = head.indexOf('@');
    const QString file = Cp1251::Decode(at < 0 ? head : head.left(at)).remove(u'@');
    const QString title = Cp1251::Decode(at < 0 ? QByteArray() : head.mid(at + 1)).trimmed();
    const QByteArray journal = nl < 0 ? QByteArray() : bytes.mid(nl + 1);
    TLineList lines;
    lines.SetText(journal);
    const SubjectLookup got = FindSubjectNumber(journal, file, title);
    const SubjectLookup want = Reference(lines.Lines(), file, title);
    if (got.Number != want.Number || got.Found != want.Found)
        std::abort();
    const JournalExport e = ExportJournals(journal, journal);
    if (AlignedTable(e).isEmpty() || CsvTable(e).size() < 3)
        std::abort();
    return 0;
}
