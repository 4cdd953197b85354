#include "PendingResults.h"

#include "core/Files.h"
#include "core/FolderAccess.h"
#include "core/Paths.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <memory>

namespace {

// The kept lines are a list of objects: a file of this program only, read back by itself.
QList<PendingResults::Entry> Parse(const QByteArray &bytes)
{
    QList<PendingResults::Entry> entries;
    for (const QJsonValue &v : QJsonDocument::fromJson(bytes).array()) {
        const QJsonObject o = v.toObject();
        PendingResults::Entry e;
        e.Journal = o.value(QStringLiteral("journal")).toString();
        e.Line = QByteArray::fromBase64(o.value(QStringLiteral("line")).toString().toLatin1());
        e.At = qint64(o.value(QStringLiteral("at")).toDouble(-1));
        if (!e.Journal.isEmpty() && !e.Line.isEmpty())
            entries.append(e);
    }
    return entries;
}

QByteArray Serialize(const QList<PendingResults::Entry> &entries)
{
    QJsonArray array;
    for (const PendingResults::Entry &e : entries)
        array.append(QJsonObject{{QStringLiteral("journal"), e.Journal},
                                 {QStringLiteral("line"), QString::fromLatin1(e.Line.toBase64())},
                                 {QStringLiteral("at"), double(e.At)}});
    return QJsonDocument(array).toJson(QJsonDocument::Indented);
}

// The kept lines, held exclusively while they are worked on (through a lock file beside them,
// since the list itself is replaced whole at each change): two programs of one station, or
// stations that share a program folder, never write the same line.
struct Held
{
    QString File;
    std::unique_ptr<QFile> Lock;
    QList<PendingResults::Entry> Entries;

    bool Save() const { return ReplaceFileContent(File, *Lock, Serialize(Entries)); }
};

Held Hold(const QString &fileName)
{
    Held h;
    h.File = fileName;
    const QString lock = fileName + QStringLiteral(".lock");
    if (!CreateIfMissing(lock))
        return h;
    h.Lock = OpenFileRetry(lock, fmOpenReadWrite | fmShareExclusive);
    QByteArray bytes;
    if (h.Lock && QFile::exists(fileName) && ReadWholeFile(fileName, bytes))
        h.Entries = Parse(bytes);
    return h;
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

bool PendingResults::Keep(const QString &journal, const QByteArray &line)
{
    Held h = Hold(file_);
    if (!h.Lock)
        return false;
    h.Entries.append({journal, line, -1});
    return h.Save();
}

bool PendingResults::WriteInto(const QString &journal, QIODevice &held)
{
    if (!QFile::exists(file_))
        return true;
    Held h = Hold(file_);
    if (!h.Lock)
        return true; // nothing can be known of them now; they wait for the next time
    bool ok = true;
    for (qsizetype i = 0; i < h.Entries.size();) {
        Entry &e = h.Entries[i];
        if (e.Journal != journal) {
            ++i;
            continue;
        }
        if (e.At >= 0 && held.seek(e.At) && held.read(e.Line.size()) == e.Line) {
            h.Entries.removeAt(i); // it got there before the station stopped
            ok = h.Save() && ok;
            continue;
        }
        // Where it goes is noted before it is written.
        const qint64 at = AppendLineTo(held, journal, e.Line, [&](qint64 start) {
            e.At = start;
            return h.Save();
        });
        if (at < 0)
            return false;
        h.Entries.removeAt(i);
        ok = h.Save() && ok;
    }
    return ok;
}

void PendingResults::WriteAll()
{
    QStringList journals;
    for (const Entry &e : Entries())
        if (!journals.contains(e.Journal))
            journals.append(e.Journal);
    for (const QString &journal : journals) {
        FolderAccess &folder = Folder(journal);
        if (!folder.Exists(journal))
            continue;
        if (auto held = folder.Open(journal, fmOpenReadWrite | fmShareDenyWrite))
            WriteInto(journal, *held);
    }
}
