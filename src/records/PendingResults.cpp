#include "PendingResults.h"

#include "core/Files.h"
#include "core/FolderAccess.h"
#include "core/Paths.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QThread>
#include <QUuid>

#include <memory>

namespace {

QJsonObject ToJson(const KeptResult &r)
{
    return QJsonObject{{QStringLiteral("folder"), r.Folder},
                       {QStringLiteral("exam"), r.ExamFileName},
                       {QStringLiteral("title"), r.Title},
                       {QStringLiteral("questions"), r.Questions},
                       {QStringLiteral("date"), r.Date.toString(Qt::ISODate)},
                       {QStringLiteral("group"), r.Group},
                       {QStringLiteral("name"), r.Name},
                       {QStringLiteral("answers"), r.Answers},
                       {QStringLiteral("percent"), r.Percent},
                       {QStringLiteral("mark"), r.Mark},
                       {QStringLiteral("withReport"), r.WithReport},
                       {QStringLiteral("report"), r.Report},
                       {QStringLiteral("subject"), r.Subject},
                       {QStringLiteral("reportDone"), r.ReportDone},
                       {QStringLiteral("reportFile"), r.ReportFile}};
}

KeptResult FromJson(const QJsonObject &o)
{
    KeptResult r;
    r.Folder = o.value(QStringLiteral("folder")).toString();
    r.ExamFileName = o.value(QStringLiteral("exam")).toString();
    r.Title = o.value(QStringLiteral("title")).toString();
    r.Questions = o.value(QStringLiteral("questions")).toInt();
    r.Date = QDate::fromString(o.value(QStringLiteral("date")).toString(), Qt::ISODate);
    r.Group = o.value(QStringLiteral("group")).toString();
    r.Name = o.value(QStringLiteral("name")).toString();
    r.Answers = o.value(QStringLiteral("answers")).toString();
    r.Percent = o.value(QStringLiteral("percent")).toInt();
    r.Mark = o.value(QStringLiteral("mark")).toInt();
    r.WithReport = o.value(QStringLiteral("withReport")).toBool();
    r.Report = o.value(QStringLiteral("report")).toString();
    r.Subject = o.value(QStringLiteral("subject")).toInt();
    r.ReportDone = o.value(QStringLiteral("reportDone")).toBool();
    r.ReportFile = o.value(QStringLiteral("reportFile")).toString();
    return r;
}

// The kept entries are a list of objects: a file of this program only, read back by itself.
// Lines kept by earlier versions have no id and no result; they are given an id when read.
QList<PendingResults::Entry> Parse(const QByteArray &bytes)
{
    QList<PendingResults::Entry> entries;
    for (const QJsonValue &v : QJsonDocument::fromJson(bytes).array()) {
        const QJsonObject o = v.toObject();
        PendingResults::Entry e;
        e.Id = o.value(QStringLiteral("id")).toString();
        if (e.Id.isEmpty())
            e.Id = QUuid::createUuid().toString(QUuid::WithoutBraces);
        e.Journal = o.value(QStringLiteral("journal")).toString();
        e.Line = QByteArray::fromBase64(o.value(QStringLiteral("line")).toString().toLatin1());
        e.At = qint64(o.value(QStringLiteral("at")).toDouble(-1));
        if (o.value(QStringLiteral("result")).isObject())
            e.Result = FromJson(o.value(QStringLiteral("result")).toObject());
        if (!e.Journal.isEmpty() && (!e.Line.isEmpty() || e.Result))
            entries.append(e);
    }
    return entries;
}

QByteArray Serialize(const QList<PendingResults::Entry> &entries)
{
    QJsonArray array;
    for (const PendingResults::Entry &e : entries) {
        QJsonObject o{{QStringLiteral("id"), e.Id},
                      {QStringLiteral("journal"), e.Journal},
                      {QStringLiteral("line"), QString::fromLatin1(e.Line.toBase64())},
                      {QStringLiteral("at"), double(e.At)}};
        if (e.Result)
            o.insert(QStringLiteral("result"), ToJson(*e.Result));
        array.append(o);
    }
    return QJsonDocument(array).toJson(QJsonDocument::Indented);
}

} // namespace

PendingResults::PendingResults(QString fileName) : file_(std::move(fileName)) {}

QString PendingResults::DefaultFile()
{
    return JoinPath(ProgramDir(), QStringLiteral("Journal.pending"));
}

QList<PendingResults::Entry> PendingResults::Entries() const
{
    QByteArray bytes;
    ReadWholeFile(file_, bytes);
    return Parse(bytes);
}

bool PendingResults::Change(const std::function<void(QList<Entry> &)> &change) const
{
    // Held exclusively while changed (through a lock file beside it, since the list itself is
    // replaced whole at each change): two programs of one station, or stations that share a
    // program folder, never write over each other's change.
    const QString lock = file_ + QStringLiteral(".lock");
    if (!CreateIfMissing(lock))
        return false;
    // The lock is held for the few milliseconds of a change: waited for asleep, without taking
    // events, since the window's thread keeps a result here at the end of an examination.
    std::unique_ptr<QFile> held = TryOpenFile(lock, fmOpenReadWrite | fmShareExclusive);
    for (int attempt = 1; !held; ++attempt) {
        if (attempt >= OpenRetryPolicy().Attempts)
            return false;
        QThread::msleep(20);
        held = TryOpenFile(lock, fmOpenReadWrite | fmShareExclusive);
    }
    QByteArray bytes;
    QList<Entry> entries;
    if (QFile::exists(file_) && ReadWholeFile(file_, bytes))
        entries = Parse(bytes);
    const QByteArray before = Serialize(entries);
    change(entries);
    const QByteArray after = Serialize(entries);
    if (after == before)
        return true;
    // Nothing kept: no file.
    return entries.isEmpty() ? QFile::remove(file_) : ReplaceFileContent(file_, *held, after);
}

bool PendingResults::Keep(const QString &journal, const QByteArray &line)
{
    Entry e;
    e.Id = QUuid::createUuid().toString(QUuid::WithoutBraces);
    e.Journal = journal;
    e.Line = line;
    return Change([&](QList<Entry> &entries) { entries.append(e); });
}

QString PendingResults::Keep(const KeptResult &result)
{
    Entry e;
    e.Id = QUuid::createUuid().toString(QUuid::WithoutBraces);
    e.Journal = JoinPath(result.Folder, QStringLiteral("Journal.fzj"));
    e.Result = result;
    return Change([&](QList<Entry> &entries) { entries.append(e); }) ? e.Id : QString();
}

bool PendingResults::Update(const Entry &entry)
{
    bool found = false;
    const bool saved = Change([&](QList<Entry> &entries) {
        for (Entry &e : entries)
            if (e.Id == entry.Id) {
                e = entry;
                found = true;
            }
    });
    return saved && found;
}

bool PendingResults::Remove(const QString &id)
{
    return Change([&](QList<Entry> &entries) {
        entries.removeIf([&](const Entry &e) { return e.Id == id; });
    });
}

bool PendingResults::WriteInto(const QString &journal, QIODevice &held)
{
    if (!QFile::exists(file_))
        return true;
    bool ok = true;
    // The journal is held from other writers meanwhile: no one else appends these lines.
    for (Entry e : Entries()) {
        if (e.Journal != journal || e.Line.isEmpty())
            continue;
        if (e.At >= 0 && held.seek(e.At) && held.read(e.Line.size()) == e.Line) {
            ok = Remove(e.Id) && ok; // it got there before the station stopped
            continue;
        }
        // Where it goes is noted before it is written; a line gone meanwhile is not written.
        const qint64 at = AppendLineTo(held, journal, e.Line, [&](qint64 start) {
            e.At = start;
            return Update(e);
        });
        if (at < 0)
            return false;
        ok = Remove(e.Id) && ok;
    }
    return ok;
}

void PendingResults::WriteAll()
{
    QStringList journals;
    for (const Entry &e : Entries())
        if (!e.Line.isEmpty() && !journals.contains(e.Journal))
            journals.append(e.Journal);
    for (const QString &journal : journals) {
        FolderAccess &folder = Folder(journal);
        if (!folder.Exists(journal))
            continue;
        if (auto held = folder.Open(journal, fmOpenReadWrite | fmShareDenyWrite))
            WriteInto(journal, *held);
    }
}
