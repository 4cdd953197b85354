#include "Recording.h"

#include "core/Codecs.h"
#include "core/Cp1251.h"
#include "core/Files.h"
#include "core/FolderAccess.h"
#include "records/Journals.h"
#include "records/ReportFile.h"

ReportInput ReportOf(const ExamRecord &record, const QDateTime &now, int tipResult)
{
    return ReportInput{record.Settings, record.ExamLines, record.Log, record.Order,
                       record.Messages, record.Titles,    now,        tipResult};
}

ReportTitles ReportTitlesOf(const ExamSettings &s)
{
    return {ExpandLineBreaks(s.TopEdit), ExpandLineBreaks(s.CEdit), ExpandLineBreaks(s.ButEdit),
            ExpandLineBreaks(s.Jobtitle), ExpandLineBreaks(s.Surname)};
}

namespace {

void LookUpSubject(const QString &folder, const ExamRecord &record, JournalState &state)
{
    const QString journal = JoinPath(folder, QStringLiteral("JTema.fzj"));
    FolderAccess &access = Folder(journal);
    state.SubjectNumber = 1;
    if (!access.Exists(journal))
        return; // no subject journal: number 1 and no line
    // Others may read, but nobody adds a line between the lookup and ours.
    auto held = access.Open(journal, fmOpenReadWrite | fmShareDenyWrite);
    if (!held)
        return;
    const SubjectLookup found =
        FindSubjectNumber(held->readAll(), record.ExamFileName, record.Settings.CEdit);
    state.SubjectNumber = found.Number;
    if (found.Found) {
        state.SubjectPending = false;
        return;
    }
    const QString line = SubjectLine(found.Number, record.ExamFileName, record.Settings.CEdit,
                                     record.Settings.AllZ + 1);
    AppendLineTo(*held, journal, Cp1251::Encode(line) + "\r\n");
}

} // namespace

JournalWrite WriteJournals(const QString &folder, const ExamRecord &record, JournalState &state,
                           PendingResults &pending, const QDateTime &now)
{
    JournalWrite out;
    if (state.SubjectPending)
        LookUpSubject(folder, record, state);
    if (record.Settings.YesReport)
        state.ReportFileName = SaveReportFile(folder, state.SubjectNumber, now.date(), record.Name,
                                              PlainReport(ReportOf(record, now, 0)));
    const QString journal = JoinPath(folder, QStringLiteral("Journal.fzj"));
    FolderAccess &access = Folder(journal);
    const bool folderThere = access.Exists(folder);
    if (!access.Exists(journal) && folderThere)
        return out;
    const QByteArray line =
        Cp1251::Encode(ResultLine(now.date(), record.Group, record.Name, state.SubjectNumber,
                                  record.Log, record.Settings.AllZ,
                                  record.Settings.YesReport ? state.ReportFileName : QString())) +
        "\r\n";
    // A folder that is gone (a share that went away) is no journal taken away: the line waits.
    std::unique_ptr<QIODevice> held;
    if (folderThere)
        held = access.Open(journal, fmOpenReadWrite | fmShareDenyWrite);
    out.ResultWritten =
        held && pending.WriteInto(journal, *held) && AppendLineTo(*held, journal, line) >= 0;
    if (!out.ResultWritten)
        out.ResultKept = pending.Keep(journal, line);
    return out;
}
