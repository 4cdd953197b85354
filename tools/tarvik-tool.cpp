// The examiner's tool: scrambles, unscrambles, packs, unpacks and lists the program's files, and
// reads the journals of a journal folder.
// Exit status: 0 success, 1 damaged or unreadable input (one line on standard error), 2 usage.

#include "Cp1251.h"
#include "Files.h"
#include "JournalExport.h"
#include "ListStreams.h"
#include "Random.h"
#include "Scramble.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSaveFile>

#include <cstdio>
#include <map>

namespace {

const char Usage[] =
    "usage:\n"
    "  tarvik-tool scramble   --key exam|manager|passwords|report [--from-utf8] IN OUT\n"
    "  tarvik-tool unscramble --key exam|manager|passwords|report [--to-utf8] IN OUT\n"
    "  tarvik-tool pack   [--stored] [--from-utf8] OUT.uzk EXAMTEXT [PICTURE...]\n"
    "  tarvik-tool unpack [--to-utf8] IN.uzk DIR\n"
    "  tarvik-tool list   IN.uzk\n"
    "  tarvik-tool journal [--csv] DIR\n"
    "IN or OUT may be - for standard input or output. --from-utf8 turns UTF-8 text into\n"
    "Windows-1251 with CR LF line ends; --to-utf8 turns text output back into UTF-8 with LF.\n";

struct Failure
{
    int Code;
    QString Message;
};

[[noreturn]] void Fail(const QString &message) { throw Failure{1, message}; }
[[noreturn]] void BadUsage(const QString &message) { throw Failure{2, message}; }

QByteArray ReadInput(const QString &name)
{
    QFile file;
    bool ok;
    if (name == QStringLiteral("-")) {
        ok = file.open(stdin, QIODevice::ReadOnly);
    } else {
        file.setFileName(name);
        ok = file.open(QIODevice::ReadOnly);
    }
    if (!ok)
        Fail(QStringLiteral("cannot read %1: %2").arg(name, file.errorString()));
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        Fail(QStringLiteral("cannot read %1: %2").arg(name, file.errorString()));
    return bytes;
}

void WriteOutput(const QString &name, const QByteArray &bytes)
{
    if (name == QStringLiteral("-")) {
        QFile out;
        if (!out.open(stdout, QIODevice::WriteOnly) || out.write(bytes) != bytes.size() ||
            !out.flush())
            Fail(QStringLiteral("cannot write to standard output"));
        return;
    }
    QSaveFile out(name);
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size() || !out.commit())
        Fail(QStringLiteral("cannot write %1: %2").arg(name, out.errorString()));
}

struct Arguments
{
    std::map<QString, QString> Options; // option name -> value ("" for flags)
    QStringList Positional;
};

// Options may stand anywhere before the positional names; "-" is a name, not an option.
Arguments Parse(const QStringList &args, const QStringList &flags, const QStringList &valued)
{
    Arguments a;
    for (int i = 0; i < args.size(); ++i) {
        const QString &arg = args[i];
        if (arg.startsWith(QStringLiteral("--"))) {
            if (flags.contains(arg)) {
                a.Options[arg] = QString();
            } else if (valued.contains(arg)) {
                if (i + 1 >= args.size())
                    BadUsage(QStringLiteral("%1 needs a value").arg(arg));
                a.Options[arg] = args[++i];
            } else {
                BadUsage(QStringLiteral("unknown option %1").arg(arg));
            }
        } else {
            a.Positional.append(arg);
        }
    }
    return a;
}

bool Has(const Arguments &a, const char *option)
{
    return a.Options.count(QString::fromLatin1(option)) != 0;
}

void KeyFor(const Arguments &a, QByteArray &key, QByteArray &signature)
{
    if (!Has(a, "--key"))
        BadUsage(QStringLiteral("--key is required"));
    const QString name = a.Options.at(QStringLiteral("--key"));
    signature.clear();
    if (name == QStringLiteral("exam")) {
        key = Keys::Settings;
        signature = Keys::QuestionSignature;
    } else if (name == QStringLiteral("manager")) {
        key = Keys::Manager;
    } else if (name == QStringLiteral("passwords")) {
        key = Keys::Passwords;
    } else if (name == QStringLiteral("report")) {
        key = Keys::Report;
    } else {
        BadUsage(QStringLiteral("unknown key %1").arg(name));
    }
}

void Expect(const Arguments &a, int count)
{
    if (a.Positional.size() != count)
        BadUsage(QStringLiteral("wrong number of file names"));
}

int Scramble(const QStringList &args)
{
    const Arguments a = Parse(args, {QStringLiteral("--from-utf8")}, {QStringLiteral("--key")});
    QByteArray key, signature;
    KeyFor(a, key, signature);
    Expect(a, 2);
    QByteArray content = ReadInput(a.Positional[0]);
    if (Has(a, "--from-utf8"))
        content = Cp1251::FromUtf8Text(content);
    if (content.isEmpty())
        Fail(QStringLiteral("%1 is empty: an empty content is never scrambled").arg(a.Positional[0]));
    WriteOutput(a.Positional[1], ScrambleBytes(content, key));
    return 0;
}

int Unscramble(const QStringList &args)
{
    const Arguments a = Parse(args, {QStringLiteral("--to-utf8")}, {QStringLiteral("--key")});
    QByteArray key, signature;
    KeyFor(a, key, signature);
    Expect(a, 2);
    const QByteArray source = ReadInput(a.Positional[0]);
    const bool plain = !signature.isEmpty() && source.startsWith(signature);
    if (!plain && (source.size() < 2 || ScrambleMethod(uint8_t(source[0])) == 0))
        Fail(QStringLiteral("%1 is not a scrambled file: it holds no readable content")
                 .arg(a.Positional[0]));
    QByteArray content = UnscrambleBytes(source, key, signature);
    if (Has(a, "--to-utf8"))
        content = Cp1251::ToUtf8Text(content);
    WriteOutput(a.Positional[1], content);
    return 0;
}

int Pack(const QStringList &args)
{
    const Arguments a =
        Parse(args, {QStringLiteral("--stored"), QStringLiteral("--from-utf8")}, {});
    if (a.Positional.size() < 2)
        BadUsage(QStringLiteral("pack needs OUT.uzk and EXAMTEXT"));
    QList<ContainerEntry> entries;
    QByteArray text = ReadInput(a.Positional[1]);
    if (Has(a, "--from-utf8"))
        text = Cp1251::FromUtf8Text(text);
    entries.append({QStringLiteral("unifileexam"), text});
    for (int i = 2; i < a.Positional.size(); ++i) {
        const QString name = BareFileName(a.Positional[i]);
        if (name.isEmpty() || name == QStringLiteral("-"))
            BadUsage(QStringLiteral("a picture must be a named file"));
        entries.append({name, ReadInput(a.Positional[i])});
    }
    const QByteArray container = BuildContainer(entries, !Has(a, "--stored"));
    if (container.isEmpty())
        Fail(QStringLiteral("cannot compress the container"));
    WriteOutput(a.Positional[0], ScrambleBytes(container, Keys::Settings));
    return 0;
}

void LoadContainer(const QString &name, TListStreams &streams)
{
    const QByteArray file = ReadInput(name);
    try {
        streams.LoadFromScrambled(file, Keys::Settings);
    } catch (const ECorruptFile &e) {
        Fail(e.Message());
    }
}

// An entry name as a file name in the output folder: its bare name, never a path.
QString OutputName(const QString &entry)
{
    if (entry == QStringLiteral("unifileexam"))
        return QStringLiteral("unifileexam.txt");
    const QString bare = BareFileName(entry);
    if (bare.isEmpty() || bare == QStringLiteral(".") || bare == QStringLiteral(".."))
        return QString();
    return bare;
}

int Unpack(const QStringList &args)
{
    const Arguments a = Parse(args, {QStringLiteral("--to-utf8")}, {});
    Expect(a, 2);
    TListStreams streams;
    LoadContainer(a.Positional[0], streams);
    const QString dir = a.Positional[1];
    if (!QDir().mkpath(dir))
        Fail(QStringLiteral("cannot create %1").arg(dir));
    for (const QString &entry : streams.Names()) {
        const QString name = OutputName(entry);
        if (name.isEmpty())
            Fail(QStringLiteral("entry \"%1\" has no usable file name").arg(entry));
        QByteArray data = streams.Data(entry);
        if (entry == QStringLiteral("unifileexam") && Has(a, "--to-utf8"))
            data = Cp1251::ToUtf8Text(data);
        WriteOutput(QDir(dir).filePath(name), data);
    }
    return 0;
}

int List(const QStringList &args)
{
    const Arguments a = Parse(args, {}, {});
    Expect(a, 1);
    TListStreams streams;
    LoadContainer(a.Positional[0], streams);
    QByteArray out = streams.Compressed ? "compressed\n" : "stored\n";
    const QStringList names = streams.Names();
    for (int i = 0; i < streams.Count(); ++i)
        out += names[i].toUtf8() + '\t' + QByteArray::number(streams.SizeAt(i)) + '\n';
    WriteOutput(QStringLiteral("-"), out);
    return 0;
}

// The journals of a journal folder, one row per result: a table to read, or CSV for a
// spreadsheet. Lines of other layouts are named on standard error and left out.
int Journal(const QStringList &args)
{
    const Arguments a = Parse(args, {QStringLiteral("--csv")}, {});
    Expect(a, 1);
    const QDir dir(a.Positional[0]);
    if (!dir.exists())
        Fail(QStringLiteral("no folder %1").arg(a.Positional[0]));
    const JournalExport journals =
        ExportJournals(ReadInput(dir.filePath(QStringLiteral("Journal.fzj"))), ReadInput(dir.filePath(QStringLiteral("JTema.fzj"))));
    for (const QString &problem : journals.Problems)
        std::fprintf(stderr, "tarvik-tool: %s\n", problem.toUtf8().constData());
    WriteOutput(QStringLiteral("-"), Has(a, "--csv") ? CsvTable(journals) : AlignedTable(journals));
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    Randomize();
    QStringList args = app.arguments().mid(1);
    try {
        if (args.isEmpty())
            BadUsage(QStringLiteral("no command"));
        const QString command = args.takeFirst();
        if (command == QStringLiteral("scramble"))
            return Scramble(args);
        if (command == QStringLiteral("unscramble"))
            return Unscramble(args);
        if (command == QStringLiteral("pack"))
            return Pack(args);
        if (command == QStringLiteral("unpack"))
            return Unpack(args);
        if (command == QStringLiteral("list"))
            return List(args);
        if (command == QStringLiteral("journal"))
            return Journal(args);
        BadUsage(QStringLiteral("unknown command %1").arg(command));
    } catch (const Failure &f) {
        std::fprintf(stderr, "tarvik-tool: %s\n", f.Message.toLocal8Bit().constData());
        if (f.Code == 2)
            std::fputs(Usage, stderr);
        return f.Code;
    }
}
