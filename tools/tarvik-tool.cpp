// The examiner's tool: scrambles, unscrambles, packs, unpacks and lists the program's files,
// reads the journals of a journal folder and tells what they say of each question, and imports
// question banks into exams.
// Exit status: 0 success, 1 damaged or unreadable input (one line on standard error), 2 usage.

#include "analysis/ItemAnalysis.h"
#include "core/Cp1251.h"
#include "core/Files.h"
#include "core/Random.h"
#include "core/Scramble.h"
#include "core/Shares.h"
#include "editor/Import.h"
#include "exam/ListStreams.h"
#include "records/JournalExport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <memory>
#include <optional>
#include <unistd.h>

namespace {

const char Usage[] =
    "usage:\n"
    "  tarvik-tool scramble   --key exam|manager|passwords|report [--from-utf8] IN OUT\n"
    "  tarvik-tool unscramble --key exam|manager|passwords|report [--to-utf8] IN OUT\n"
    "  tarvik-tool pack   [--stored] [--from-utf8] OUT.uzk EXAMTEXT [PICTURE...]\n"
    "  tarvik-tool unpack [--to-utf8] IN.uzk DIR\n"
    "  tarvik-tool list   IN.uzk\n"
    "  tarvik-tool journal [--csv] DIR\n"
    "  tarvik-tool stats [--group G] [--from DD/MM/YY] [--to DD/MM/YY] [--all-attempts]\n"
    "                    [--user U --password P] [--json | --csv] DIR [EXAMFILE]\n"
    "  tarvik-tool import [--format gift|aiken|moodle] IN OUT.fzk|OUT.uzk\n"
    "IN or OUT may be - for standard input or output. --from-utf8 turns UTF-8 text into\n"
    "Windows-1251 with CR LF line ends; --to-utf8 turns text output back into UTF-8 with LF.\n";

struct Failure
{
    int Code;
    QString Message;
};

[[noreturn]] void Fail(const QString &message)
{
    throw Failure{1, message};
}
[[noreturn]] void BadUsage(const QString &message)
{
    throw Failure{2, message};
}

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

// An input read piece by piece (a file, or standard input for "-").
class PieceReader
{
public:
    explicit PieceReader(const QString &name) : name_(name)
    {
        if (name == QStringLiteral("-")) {
            fd_ = 0;
        } else {
            fd_ = ::open(QFile::encodeName(name).constData(), O_RDONLY | O_CLOEXEC);
            if (fd_ < 0)
                Fail(QStringLiteral("cannot read %1: %2")
                         .arg(name, QString::fromLocal8Bit(std::strerror(errno))));
            ::posix_fadvise(fd_, 0, 0, POSIX_FADV_SEQUENTIAL); // read once, front to back
        }
    }
    ~PieceReader()
    {
        if (fd_ > 0)
            ::close(fd_);
    }
    // The next piece, as full as the input allows; empty at its end. The same buffer is used
    // again, so reading costs no new memory.
    const QByteArray &Next()
    {
        piece_.resize(PieceSize);
        char *data = piece_.data();
        qsizetype got = 0;
        while (got < PieceSize) {
            const ssize_t n = ::read(fd_, data + got, size_t(PieceSize - got));
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                Fail(QStringLiteral("cannot read %1: %2")
                         .arg(name_, QString::fromLocal8Bit(std::strerror(errno))));
            if (n == 0)
                break;
            got += n;
        }
        piece_.truncate(got);
        return piece_;
    }
    // Changed in place by the caller between two pieces.
    QByteArray &Piece() { return piece_; }

    static constexpr qsizetype PieceSize = 256 * 1024;

private:
    QString name_;
    int fd_ = -1;
    QByteArray piece_;
};

// An output written piece by piece: standard output for "-", else a file that appears whole
// when Commit is called, and not at all otherwise.
class PieceWriter
{
public:
    explicit PieceWriter(const QString &name) : name_(name)
    {
        if (name == QStringLiteral("-")) {
            // A pipe that holds a whole piece: one wake-up of the reader per piece, not four.
            ::fcntl(1, F_SETPIPE_SZ, int(PieceReader::PieceSize));
        } else {
            file_ = std::make_unique<QSaveFile>(name);
            if (!file_->open(QIODevice::WriteOnly))
                Fail(QStringLiteral("cannot write %1: %2").arg(name, file_->errorString()));
        }
    }
    void Write(const QByteArray &bytes)
    {
        if (file_) {
            if (file_->write(bytes) != bytes.size())
                Fail(QStringLiteral("cannot write %1: %2").arg(name_, file_->errorString()));
            return;
        }
        for (qsizetype done = 0; done < bytes.size();) {
            const ssize_t n = ::write(1, bytes.constData() + done, size_t(bytes.size() - done));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                Fail(QStringLiteral("cannot write to standard output"));
            done += n;
        }
    }
    void Commit()
    {
        if (file_ && !file_->commit())
            Fail(QStringLiteral("cannot write %1: %2").arg(name_, file_->errorString()));
    }

private:
    QString name_;
    std::unique_ptr<QSaveFile> file_;
};

// Scrambling and unscrambling go piece by piece: the memory they take does not grow with the file.
int Scramble(const QStringList &args)
{
    const Arguments a = Parse(args, {QStringLiteral("--from-utf8")}, {QStringLiteral("--key")});
    QByteArray key, signature;
    KeyFor(a, key, signature);
    Expect(a, 2);
    PieceReader in(a.Positional[0]);
    PieceWriter out(a.Positional[1]);
    std::optional<Cp1251::Utf8TextEncoder> text;
    if (Has(a, "--from-utf8"))
        text.emplace();
    const uint8_t methodByte = NewMethodByte();
    qint64 position = 0;
    QByteArray converted;
    while (!in.Next().isEmpty()) {
        QByteArray &content = text ? (converted = text->Feed(in.Piece())) : in.Piece();
        if (content.isEmpty())
            continue;
        if (position == 0)
            out.Write(QByteArray(1, char(methodByte)));
        ScramblePiece(content.constData(), content.data(), content.size(), key, methodByte, true,
                      position);
        out.Write(content);
        position += content.size();
    }
    // Nothing was written: an output file never appears.
    if (position == 0)
        Fail(QStringLiteral("%1 is empty: an empty content is never scrambled")
                 .arg(a.Positional[0]));
    out.Commit();
    return 0;
}

int Unscramble(const QStringList &args)
{
    const Arguments a = Parse(args, {QStringLiteral("--to-utf8")}, {QStringLiteral("--key")});
    QByteArray key, signature;
    KeyFor(a, key, signature);
    Expect(a, 2);
    PieceReader in(a.Positional[0]);
    in.Next();
    QByteArray &piece = in.Piece();
    const bool plain = !signature.isEmpty() && piece.startsWith(signature);
    if (!plain && (piece.size() < 2 || ScrambleMethod(uint8_t(piece[0])) == 0))
        Fail(QStringLiteral("%1 is not a scrambled file: it holds no readable content")
                 .arg(a.Positional[0]));
    const uint8_t methodByte = plain ? 0 : uint8_t(piece[0]);
    if (!plain)
        piece.remove(0, 1);
    PieceWriter out(a.Positional[1]);
    std::optional<Cp1251::Utf8TextDecoder> text;
    if (Has(a, "--to-utf8"))
        text.emplace();
    qint64 position = 0;
    for (; !piece.isEmpty(); in.Next()) {
        if (!plain)
            ScramblePiece(piece.constData(), piece.data(), piece.size(), key, methodByte, false,
                          position);
        position += piece.size();
        out.Write(text ? text->Feed(piece) : piece);
    }
    if (text)
        out.Write(text->Finish());
    out.Commit();
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

// An entry name as a file name in the output folder: its bare name, never a path. A name with a
// control character (a NUL among them) names no file.
QString OutputName(const QString &entry)
{
    if (entry == QStringLiteral("unifileexam"))
        return QStringLiteral("unifileexam.txt");
    const QString bare = BareFileName(entry);
    if (bare.isEmpty() || bare == QStringLiteral(".") || bare == QStringLiteral(".."))
        return QString();
    for (const QChar c : bare)
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            return QString();
    return bare;
}

// A name as the one-line message shows it: control characters as \xNN.
QString Printable(const QString &name)
{
    QString out;
    for (const QChar c : name)
        out += c.unicode() < 0x20 || c.unicode() == 0x7F
                   ? QStringLiteral("\\x%1").arg(uint(c.unicode()), 2, 16, QChar(u'0'))
                   : QString(c);
    return out;
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
            Fail(QStringLiteral("entry \"%1\" has no usable file name").arg(Printable(entry)));
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
        ExportJournals(ReadInput(dir.filePath(QStringLiteral("Journal.fzj"))),
                       ReadInput(dir.filePath(QStringLiteral("JTema.fzj"))));
    for (const QString &problem : journals.Problems)
        std::fprintf(stderr, "tarvik-tool: %s\n", problem.toUtf8().constData());
    WriteOutput(QStringLiteral("-"), Has(a, "--csv") ? CsvTable(journals) : AlignedTable(journals));
    return 0;
}

// What the journals of a journal folder (a folder or a UNC name) tell of each exam and question:
// a table to read, CSV or JSON. Lines left out are named on standard error.
int Stats(const QStringList &args)
{
    const Arguments a = Parse(
        args, {QStringLiteral("--all-attempts"), QStringLiteral("--json"), QStringLiteral("--csv")},
        {QStringLiteral("--group"), QStringLiteral("--from"), QStringLiteral("--to"),
         QStringLiteral("--user"), QStringLiteral("--password")});
    if (a.Positional.isEmpty() || a.Positional.size() > 2)
        BadUsage(QStringLiteral("stats needs DIR and at most EXAMFILE"));
    if (Has(a, "--json") && Has(a, "--csv"))
        BadUsage(QStringLiteral("--json or --csv, not both"));
    AnalysisFilter filter;
    filter.AllAttempts = Has(a, "--all-attempts");
    if (a.Options.count(QStringLiteral("--group")))
        filter.Group = a.Options.at(QStringLiteral("--group"));
    for (const char *end : {"--from", "--to"}) {
        const auto it = a.Options.find(QString::fromLatin1(end));
        if (it == a.Options.end())
            continue;
        const std::optional<QDate> d = JournalDate(it->second);
        if (!d)
            BadUsage(QStringLiteral("%1 %2 is not a date of the calendar as DD/MM/YY")
                         .arg(it->first, it->second));
        (qstrcmp(end, "--from") == 0 ? filter.From : filter.To) = d;
    }
    filter.ExamFile = a.Positional.value(1);
    // A folder on a share is reached with the account given.
    if (a.Options.count(QStringLiteral("--user")))
        KnowAccount(a.Positional[0], a.Options.at(QStringLiteral("--user")),
                    a.Options.count(QStringLiteral("--password"))
                        ? a.Options.at(QStringLiteral("--password"))
                        : QString());
    Analysis analysis;
    if (!AnalyzeFolder(a.Positional[0], filter, analysis))
        Fail(QStringLiteral("no result journal in %1").arg(a.Positional[0]));
    for (const QString &problem : analysis.Problems)
        std::fprintf(stderr, "tarvik-tool: %s\n", problem.toUtf8().constData());
    WriteOutput(QStringLiteral("-"), Has(a, "--json")  ? StatsJson(analysis)
                                     : Has(a, "--csv") ? StatsCsv(analysis)
                                                       : StatsTable(analysis));
    return 0;
}

// A question bank (GIFT, Aiken or Moodle XML, UTF-8) as an exam: a plain question file with its
// pictures beside it, or a uniform file with them packed in. Questions left out and characters
// with no Windows-1251 form are said on standard error.
int Import(const QStringList &args)
{
    const Arguments a = Parse(args, {}, {QStringLiteral("--format")});
    Expect(a, 2);
    const QByteArray bytes = ReadInput(a.Positional[0]);
    BankFormat format = GuessBankFormat(bytes);
    if (a.Options.count(QStringLiteral("--format"))) {
        const QString f = a.Options.at(QStringLiteral("--format"));
        if (f == QStringLiteral("gift"))
            format = BankFormat::Gift;
        else if (f == QStringLiteral("aiken"))
            format = BankFormat::Aiken;
        else if (f == QStringLiteral("moodle"))
            format = BankFormat::Moodle;
        else
            BadUsage(QStringLiteral("unknown format %1").arg(f));
    }
    const QString out = a.Positional[1];
    const bool uniform = out.endsWith(QStringLiteral(".uzk"), Qt::CaseInsensitive);
    if (!uniform && !out.endsWith(QStringLiteral(".fzk"), Qt::CaseInsensitive))
        BadUsage(QStringLiteral("OUT must end in .fzk or .uzk"));
    const BankImport bank = ReadBank(bytes, format);
    // The tool speaks English: the programs' English section, when their language file is there.
    const TMessages english = ReadLanguageSection(ProgramLanguageText(), 1, 0);
    for (const BankProblem &problem : bank.Problems)
        std::fprintf(stderr, "tarvik-tool: %s: left out\n",
                     BankProblemText(problem, english).toUtf8().constData());
    if (bank.Questions.isEmpty())
        Fail(QStringLiteral("no question of %1 could be imported").arg(a.Positional[0]));
    // A character with no Windows-1251 form becomes one "?".
    int unmappable = 0;
    QString text;
    for (const char32_t c :
         ExamTextOf(bank.Questions, QFileInfo(out).completeBaseName()).toUcs4()) {
        const QString one = QString::fromUcs4(&c, 1);
        const bool fits = one.size() == 1 && (c == U'?' || Cp1251::EncodeChar(one[0]) != '?');
        unmappable += !fits;
        text += fits ? one : QStringLiteral("?");
    }
    if (unmappable)
        std::fprintf(stderr, "tarvik-tool: %d characters have no Windows-1251 form: written as ?\n",
                     unmappable);
    QList<ContainerEntry> pictures;
    for (const BankQuestion &q : bank.Questions) {
        if (q.Picture)
            pictures.append({q.Picture->Name, q.Picture->Bytes});
        for (const BankPicture &p : q.AnswerPictures)
            pictures.append({p.Name, p.Bytes});
    }
    if (uniform) {
        QList<ContainerEntry> entries{{QStringLiteral("unifileexam"), Cp1251::Encode(text)}};
        entries += pictures;
        const QByteArray container = BuildContainer(entries, true);
        if (container.isEmpty())
            Fail(QStringLiteral("cannot compress the container"));
        WriteOutput(out, ScrambleBytes(container, Keys::Settings));
    } else {
        WriteOutput(out, Cp1251::Encode(text));
        for (const ContainerEntry &p : pictures)
            WriteOutput(QFileInfo(out).dir().filePath(p.Name), p.Data);
    }
    std::fprintf(stderr, "tarvik-tool: %lld questions imported\n",
                 static_cast<long long>(bank.Questions.size()));
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
        if (command == QStringLiteral("stats"))
            return Stats(args);
        if (command == QStringLiteral("import"))
            return Import(args);
        BadUsage(QStringLiteral("unknown command %1").arg(command));
    } catch (const Failure &f) {
        std::fprintf(stderr, "tarvik-tool: %s\n", f.Message.toLocal8Bit().constData());
        if (f.Code == 2)
            std::fputs(Usage, stderr);
        return f.Code;
    }
}
