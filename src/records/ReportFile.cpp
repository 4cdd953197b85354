#include "ReportFile.h"

#include "core/Codecs.h"
#include "core/Cp1251.h"
#include "core/Files.h"
#include "core/FolderAccess.h"
#include "core/Scramble.h"

namespace {

// Names taken before giving up: far more reports than one examinee leaves in a day.
constexpr int MaxReportsPerName = 100000;

} // namespace

QString ReportFileName(int32_t subject, const QDate &date, const QString &name, int k, int maxBytes)
{
    QString examinee = RemoveAll(name.trimmed(), QStringLiteral("."));
    examinee.replace(u'/', u'_').replace(u'\\', u'_');
    const QString stamp = RemoveAll(DateStamp(date), QStringLiteral("/"));
    const QString head = QString::number(subject) + u'_' + stamp + u' ';
    const QString tail = u' ' + QString::number(k) + QStringLiteral(".fzr");
    const int fixed = int((head + tail).toUtf8().size());
    // Shortened a whole character at a time (a letter of two UTF-16 units stays whole).
    while (!examinee.isEmpty() && fixed + examinee.toUtf8().size() > maxBytes) {
        examinee.chop(1);
        if (!examinee.isEmpty() && examinee.back().isHighSurrogate())
            examinee.chop(1);
    }
    return head + examinee + tail;
}

bool SaveReportFile(const QString &journalDir, int32_t subject, const QDate &date,
                    const QString &name, const QString &report, QString &file,
                    const std::function<bool(const QString &)> &chosen)
{
    const QString dir = JoinPath(journalDir, QStringLiteral("report"));
    FolderAccess &folder = Folder(dir);
    if (!folder.MakeFolder(dir))
        return false;
    const QByteArray plain = Cp1251::Encode(report);
    const QByteArray content = ScrambleBytes(plain, Keys::Report);
    if (!file.isEmpty()) {
        // The name an earlier attempt chose: the report may be there already, whole, since a
        // file appears whole or not at all. Another examinee's report under it means the name
        // was taken meanwhile; a new one is chosen.
        switch (folder.CreateNew(file, content)) {
        case FolderAccess::Created::Created:
            return true;
        case FolderAccess::Created::Failed:
            return false;
        case FolderAccess::Created::Exists: {
            const std::optional<QByteArray> there = ReadWhole(file);
            if (!there)
                return false; // unknown yet: the next attempt looks again
            if (UnscrambleBytes(*there, Keys::Report) == plain)
                return true;
            break;
        }
        }
    }
    for (int k = 1; k <= MaxReportsPerName; ++k) {
        const QString candidate =
            JoinPath(dir, ReportFileName(subject, date, name, k, folder.MaxNameBytes()));
        // Taken: a look is cheaper than noting the name and writing the report to find out.
        if (folder.Exists(candidate))
            continue;
        file = candidate;
        if (chosen && !chosen(candidate))
            return false;
        switch (folder.CreateNew(candidate, content)) {
        case FolderAccess::Created::Created:
            return true;
        case FolderAccess::Created::Exists:
            continue;
        case FolderAccess::Created::Failed:
            return false;
        }
    }
    return false;
}
