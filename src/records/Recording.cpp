#include "Recording.h"

#include "core/Codecs.h"
#include "core/Cp1251.h"
#include "core/Files.h"
#include "core/FolderAccess.h"
#include "records/Journals.h"
#include "records/ReportFile.h"

#include <optional>

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

KeptResult KeptResultOf(const QString &folder, const ExamRecord &record, const QDateTime &now)
{
    KeptResult r;
    r.Folder = folder;
    r.ExamFileName = record.ExamFileName;
    r.Title = record.Settings.CEdit;
    r.Questions = record.Settings.AllZ + 1;
    r.Date = now.date();
    r.Group = record.Group;
    r.Name = record.Name;
    r.Answers = AnswerString(record.Log, record.Settings.AllZ);
    r.Percent = record.Log.NotFinished ? 0 : record.Log.Percent;
    r.Mark = record.Log.NotFinished ? 0 : record.Log.Mark;
    r.WithReport = record.Settings.YesReport;
    if (r.WithReport)
        r.Report = PlainReport(ReportOf(record, now, 0));
    return r;
}

namespace {

// The exam's number in the folder's subject journal; its line is added when the exam is new
// (the journal held from the lookup to the append, so that two stations cannot both add it).
// Found: the exam's line was there already. Nothing when the journal could not be had or its
// line not written: the lookup is made again at the next attempt.
std::optional<int32_t> LookUpSubject(const KeptResult &r, bool &found)
{
    const QString journal = JoinPath(r.Folder, QStringLiteral("JTema.fzj"));
    FolderAccess &access = Folder(journal);
    found = false;
    if (!access.Exists(journal))
        return 1; // no subject journal: number 1 and no line
    // Others may read, but nobody adds a line between the lookup and ours.
    auto held = access.Open(journal, fmOpenReadWrite | fmShareDenyWrite);
    if (!held)
        return std::nullopt;
    const SubjectLookup lookup = FindSubjectNumber(held->readAll(), r.ExamFileName, r.Title);
    found = lookup.Found;
    if (!found && AppendLineTo(*held, journal,
                               Cp1251::Encode(SubjectLine(lookup.Number, r.ExamFileName, r.Title,
                                                          r.Questions)) +
                                   "\r\n") < 0)
        return std::nullopt;
    return lookup.Number;
}

} // namespace

void CompleteKeptResults(PendingResults &pending, JournalState &state)
{
    for (PendingResults::Entry e : pending.Entries()) {
        if (!e.Result)
            continue;
        KeptResult &r = *e.Result;
        // A folder that is gone (a share that went away) is no journal taken away: it waits.
        if (!Folder(r.Folder).Exists(r.Folder))
            continue;
        const bool ours = state.Folder == r.Folder && state.ExamFileName == r.ExamFileName &&
                          state.Title == r.Title;
        if (r.Subject == 0) {
            if (ours && !state.SubjectPending) {
                r.Subject = state.SubjectNumber;
            } else {
                bool found = false;
                const std::optional<int32_t> subject = LookUpSubject(r, found);
                if (!subject)
                    continue; // kept, with its subject still to find
                r.Subject = *subject;
                if (ours) {
                    state.SubjectNumber = r.Subject;
                    state.SubjectPending = !found;
                }
            }
            if (!pending.Update(e))
                continue;
        }
        if (r.WithReport && !r.ReportDone) {
            // The name is noted before the report is written under it, and the result is done
            // with only once the report is in its folder: a retry writes it under the same name.
            const bool saved =
                SaveReportFile(r.Folder, r.Subject, r.Date, r.Name, r.Report, r.ReportFile,
                               [&](const QString &) { return pending.Update(e); });
            if (!saved)
                continue;
            r.ReportDone = true;
            if (ours)
                state.ReportFileName = r.ReportFile;
            if (!pending.Update(e))
                continue;
        }
        const QString journal = JoinPath(r.Folder, QStringLiteral("Journal.fzj"));
        if (!Folder(journal).Exists(journal)) {
            pending.Remove(e.Id); // a result journal missing from its folder is not created
            continue;
        }
        e.Line = Cp1251::Encode(ResultLine(r.Date, r.Group, r.Name, r.Subject, r.Answers, r.Percent,
                                           r.Mark, r.WithReport ? r.ReportFile : QString())) +
                 "\r\n";
        e.Journal = journal;
        e.Result.reset();
        pending.Update(e);
    }
}

JournalWrite WriteJournals(const QString &folder, const ExamRecord &record, JournalState &state,
                           PendingResults &pending, const QDateTime &now)
{
    JournalWrite out;
    state.Folder = folder;
    state.ExamFileName = record.ExamFileName;
    state.Title = record.Settings.CEdit;
    const QString id = pending.Keep(KeptResultOf(folder, record, now));
    if (id.isEmpty())
        return out;
    CompleteKeptResults(pending, state);
    pending.WriteAll();
    out.ResultKept = false;
    for (const PendingResults::Entry &e : pending.Entries())
        out.ResultKept = out.ResultKept || e.Id == id;
    out.ResultWritten =
        !out.ResultKept && Folder(JoinPath(folder, QStringLiteral("Journal.fzj")))
                               .Exists(JoinPath(folder, QStringLiteral("Journal.fzj")));
    return out;
}
