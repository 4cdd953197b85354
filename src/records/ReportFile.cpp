#include "ReportFile.h"

#include "core/Codecs.h"
#include "core/Cp1251.h"
#include "core/Files.h"
#include "core/FolderAccess.h"
#include "core/Scramble.h"
#include "core/Shares.h"

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

QString SaveReportFile(const QString &journalDir, int32_t subject, const QDate &date,
                       const QString &name, const QString &report)
{
    const QString dir = JoinPath(journalDir, QStringLiteral("report"));
    FolderAccess &folder = Folder(dir);
    if (!folder.MakeFolder(dir))
        return QString();
    const QByteArray content = ScrambleBytes(Cp1251::Encode(report), Keys::Report);
    for (int k = 1; k <= MaxReportsPerName; ++k) {
        const QString file =
            JoinPath(dir, ReportFileName(subject, date, name, k, folder.MaxNameBytes()));
        // Taken: a look is cheaper than writing the report to find out. On a share the
        // creation is refused in the look's time, before anything is written.
        if (!IsUncName(file) && folder.Exists(file))
            continue;
        switch (folder.CreateNew(file, content)) {
        case FolderAccess::Created::Created:
            return file;
        case FolderAccess::Created::Exists:
            continue;
        case FolderAccess::Created::Failed:
            return QString();
        }
    }
    return QString();
}
