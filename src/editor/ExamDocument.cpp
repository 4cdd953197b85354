#include "ExamDocument.h"

#include "exam/Pictures.h"

#include "core/Cp1251.h"
#include "core/Errors.h"
#include "core/Files.h"
#include "core/FolderAccess.h"
#include "core/Scramble.h"
#include "exam/ListStreams.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImageReader>

namespace {

bool IsHeader(const QString &line)
{
    return line.startsWith(u'[');
}

// The key of a line: the text before its first "=", as the readers take it.
QString KeyOf(const QString &line)
{
    const qsizetype eq = line.indexOf(u'=');
    return eq < 0 ? QString() : line.left(eq);
}

} // namespace

ExamDocument::ExamDocument()
{
    lines_.Add(QStringLiteral("[Setup]"));
    modified_ = true;
}

ExamDocument ExamDocument::Load(const QString &fileName)
{
    ExamDocument doc;
    doc.lines_.Clear();
    doc.modified_ = false;
    doc.fileName_ = fileName;
    const std::optional<QByteArray> bytes = ReadWhole(fileName);
    if (!bytes)
        throw EFOpenError::ForFile(fileName);
    if (QFileInfo(fileName).suffix().compare(QStringLiteral("uzk"), Qt::CaseInsensitive) == 0) {
        TListStreams streams;
        streams.LoadFromScrambled(*bytes, Keys::Settings);
        doc.form_ = Form::Uniform;
        doc.original_ = streams.Data(QStringLiteral("unifileexam"));
        for (const QString &name : streams.Names())
            if (name.compare(QStringLiteral("unifileexam"), Qt::CaseInsensitive) != 0)
                doc.pictures_.insert(name, streams.Data(name));
    } else {
        doc.original_ = UnscrambleBytes(*bytes, Keys::Settings, Keys::QuestionSignature);
        doc.form_ = doc.original_ == *bytes ? Form::Plain : Form::Scrambled;
    }
    doc.lines_.SetText(doc.original_);
    return doc;
}

QString ExamDocument::Value(const QString &section, const QString &key) const
{
    TLineList lines;
    GetSection(lines_, lines, section);
    return ReadStr(lines, key, QString());
}

void ExamDocument::SetValue(const QString &section, const QString &key, const QString &value)
{
    const QString header = u'[' + section + u']';
    QStringList all = lines_.Lines();
    qsizetype start = -1;
    for (qsizetype i = 0; i < all.size() && start < 0; ++i)
        if (all[i].compare(header, Qt::CaseInsensitive) == 0)
            start = i;
    const QString line = key + u'=' + value;
    if (start < 0) {
        all << header << line;
    } else {
        qsizetype end = start + 1;
        while (end < all.size() && !IsHeader(all[end]))
            ++end;
        qsizetype at = -1;
        for (qsizetype i = start + 1; i < end && at < 0; ++i)
            if (KeyOf(all[i]) == key)
                at = i;
        if (at >= 0) {
            if (all[at] == line)
                return;
            all[at] = line;
        } else {
            // After the section's last line that is not empty.
            qsizetype last = end;
            while (last > start + 1 && all[last - 1].trimmed().isEmpty())
                --last;
            all.insert(last, line);
        }
    }
    lines_.Clear();
    for (const QString &l : all)
        lines_.Add(l);
    modified_ = true;
}

namespace {

// The number of a question section's header ("[V12]" gives 12), or -1.
int QuestionNumber(const QString &line)
{
    if (!line.startsWith(QStringLiteral("[V"), Qt::CaseInsensitive) || !line.endsWith(u']'))
        return -1;
    bool ok = false;
    const int n = line.mid(2, line.size() - 3).toInt(&ok);
    return ok && n >= 0 ? n : -1;
}

} // namespace

QList<QStringList> ExamDocument::Questions() const
{
    QMap<int, QStringList> found;
    const QStringList &all = lines_.Lines();
    for (qsizetype i = 0; i < all.size(); ++i) {
        const int n = QuestionNumber(all[i]);
        if (n < 0 || found.contains(n))
            continue;
        QStringList body;
        for (qsizetype j = i + 1; j < all.size() && !IsHeader(all[j]); ++j)
            body.append(all[j]);
        while (!body.isEmpty() && body.last().trimmed().isEmpty())
            body.removeLast();
        found.insert(n, body);
    }
    return found.values();
}

void ExamDocument::SetQuestions(const QList<QStringList> &questions)
{
    QStringList kept;
    qsizetype at = -1;
    const QStringList &all = lines_.Lines();
    for (qsizetype i = 0; i < all.size();) {
        if (QuestionNumber(all[i]) >= 0) {
            if (at < 0)
                at = kept.size();
            do
                ++i;
            while (i < all.size() && !IsHeader(all[i]));
            continue;
        }
        kept.append(all[i]);
        ++i;
    }
    if (at < 0)
        at = kept.size();
    QStringList sections;
    for (qsizetype n = 0; n < questions.size(); ++n)
        sections << QStringLiteral("[V%1]").arg(n) << questions[n];
    for (qsizetype i = 0; i < sections.size(); ++i)
        kept.insert(at + i, sections[i]);
    Restore(kept);
    SetValue(QStringLiteral("Setup"), QStringLiteral("AllZ"),
             QString::number(questions.size() - 1));
}

void ExamDocument::Restore(const QStringList &lines)
{
    lines_.Clear();
    for (const QString &l : lines)
        lines_.Add(l);
    modified_ = true;
}

void ExamDocument::Saved(const QString &fileName, Form form)
{
    fileName_ = fileName;
    form_ = form;
    original_ = Text();
    modified_ = false;
}

void ExamDocument::SetPicture(const QString &name, const QByteArray &bytes)
{
    pictures_.insert(name, bytes);
    modified_ = true;
}

const QByteArray *ExamDocument::CarriedPicture(const QString &name) const
{
    const QString bare = BareFileName(name);
    for (const QString &key : {name, bare})
        if (const auto it = pictures_.constFind(key); it != pictures_.cend())
            return &*it;
    for (auto it = pictures_.cbegin(); it != pictures_.cend(); ++it)
        if (it.key().compare(name, Qt::CaseInsensitive) == 0 ||
            it.key().compare(bare, Qt::CaseInsensitive) == 0)
            return &*it;
    return nullptr;
}

QString ExamDocument::BesidePath(const QString &name) const
{
    const QString bare = BareFileName(name);
    return bare.isEmpty() || fileName_.isEmpty() ? QString()
                                                 : JoinPath(QFileInfo(fileName_).path(), bare);
}

QByteArray ExamDocument::PictureBytes(const QString &name) const
{
    if (const QByteArray *carried = CarriedPicture(name))
        return *carried;
    const QString beside = BesidePath(name);
    return beside.isEmpty() ? QByteArray() : ReadWhole(beside).value_or(QByteArray());
}

QStringList ExamDocument::NamedPictures() const
{
    QStringList names;
    // As written: a uniform file's picture is found by the name the exam gives it.
    const auto add = [&names](const QString &name) {
        const QString written = name.trimmed();
        if (!written.isEmpty() && !names.contains(written, Qt::CaseInsensitive))
            names.append(written);
    };
    add(Value(QStringLiteral("Setup"), QStringLiteral("PathGraph")));
    bool ok = false;
    const int allZ = Value(QStringLiteral("Setup"), QStringLiteral("AllZ")).toInt(&ok);
    for (int n = 0; ok && n <= allZ; ++n)
        for (int k = 1; k <= 4; ++k)
            add(Value(QStringLiteral("V%1").arg(n), QStringLiteral("P%1").arg(k)));
    return names;
}

QByteArray ExamDocument::Text() const
{
    // Without edits the text goes back as it came, byte for byte.
    if (!modified_)
        return original_;
    return Cp1251::Encode(lines_.Lines().join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
}

QByteArray ExamDocument::Bytes(Form form) const
{
    const QByteArray text = Text();
    switch (form) {
    case Form::Plain:
        return text;
    case Form::Scrambled:
        return ScrambleBytes(text, Keys::Settings);
    case Form::Uniform: {
        QList<ContainerEntry> entries{{QStringLiteral("unifileexam"), text}};
        const QStringList named = NamedPictures();
        for (const QString &name : named) {
            const QByteArray bytes = PictureBytes(name);
            if (!bytes.isEmpty())
                entries.append({name, bytes});
        }
        // The pictures the file carried that the exam no longer names stay with it.
        for (auto it = pictures_.cbegin(); it != pictures_.cend(); ++it)
            if (!named.contains(it.key(), Qt::CaseInsensitive))
                entries.append({it.key(), it.value()});
        return ScrambleBytes(BuildContainer(entries, true), Keys::Settings);
    }
    }
    return {};
}

namespace {

// Why the player would show no picture of this name: not there (a name of four characters or
// fewer is none), too large, or not one its decoders read. Decoded once per name and content.
std::optional<Msg> PictureProblem(const ExamDocument &doc, const QString &name)
{
    if (name.size() <= 4)
        return Msg::E_NOPICTURE;
    // Judged again only when the picture changes: a carried one by its content, one beside the
    // exam by its file's time and size (so an edit does not read every picture again).
    static QHash<QString, std::optional<Msg>> known;
    const QByteArray *carried = doc.CarriedPicture(name);
    QString key = name.toCaseFolded() + u'|';
    if (carried) {
        key += QString::number(qHash(*carried));
    } else {
        const QFileInfo beside(doc.BesidePath(name));
        if (!beside.isFile())
            return Msg::E_NOPICTURE;
        key += beside.absoluteFilePath() + u'|' +
               QString::number(beside.lastModified().toMSecsSinceEpoch()) + u'|' +
               QString::number(beside.size());
    }
    if (const auto it = known.constFind(key); it != known.constEnd())
        return *it;
    const QByteArray bytes = doc.PictureBytes(name);
    std::optional<Msg> problem;
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    const QSize size = QImageReader(&buffer).size();
    if (bytes.isEmpty())
        problem = Msg::E_NOPICTURE;
    else if (size.isValid() && qint64(size.width()) * size.height() > MaxPicturePixels)
        problem = Msg::E_BIGPICTURE;
    else if (DecodePicture(bytes, name, QSize(64, 64)).isNull())
        problem = Msg::E_BADPICTURE;
    if (known.size() > 5000)
        known.clear();
    known.insert(key, problem);
    return problem;
}

} // namespace

QList<ExamProblem> ExamProblems(const ExamDocument &doc, const TMessages &m)
{
    QList<ExamProblem> problems;
    const auto setup = [&doc](const char *key, int fallback) {
        bool ok = false;
        const int v = doc.Value(QStringLiteral("Setup"), QString::fromLatin1(key)).toInt(&ok);
        return ok ? v : fallback;
    };
    if (!(setup("PO5", 80) >= setup("PO4", 60) && setup("PO4", 60) >= setup("PO3", 40) &&
          setup("PO3", 40) >= setup("PO2", 20)))
        problems.append({-1, m[Msg::E_MARKSORDER]});
    // A mark given with no text to show is a mark the examinee never sees.
    if ((setup("TipOc", 0) & 0xFF) == 0)
        for (int mark = 5; mark >= 2; --mark)
            if (doc.Value(QStringLiteral("Setup"), QStringLiteral("O%1").arg(mark))
                    .trimmed()
                    .isEmpty())
                problems.append({-1, FormatMessage(m[Msg::E_NOMARKTEXT], {mark})});
    const bool timed = setup("YTime", 0) & 0xFF;
    const QList<QStringList> questions = doc.Questions();
    for (qsizetype n = 0; n < questions.size(); ++n) {
        TLineList q;
        for (const QString &l : questions[n])
            q.Add(l);
        const int number = int(n) + 1;
        const int form = ReadInt(q, QStringLiteral("Form"), 0);
        const int allW = ReadInt(q, QStringLiteral("AllW"), 2);
        const int corNo = ReadInt(q, QStringLiteral("CorNo"), 1);
        if (ReadStr(q, QStringLiteral("Vopros"), QString()).trimmed().isEmpty())
            problems.append({int(n), FormatMessage(m[Msg::E_EMPTY], {number})});
        if (allW > (form == 2 || form == 3 ? 4 : 5) || allW < 1)
            problems.append({int(n), FormatMessage(m[Msg::E_TOOMANY], {number})});
        if (corNo < 1 || corNo > allW)
            problems.append({int(n), FormatMessage(m[Msg::E_NORIGHT], {number})});
        // Limits of 0, 1 and 2 seconds are no limit to the player.
        if (!timed && ReadInt(q, QStringLiteral("AT"), 0) > 2)
            problems.append({int(n), FormatMessage(m[Msg::E_TIMEOFF], {number})});
        const int pictures = form == 2 ? allW : form == 3 ? 1 : 0;
        for (int k = 1; k <= qMin(pictures, 4); ++k) {
            const QString name = ReadStr(q, QStringLiteral("P%1").arg(k), QString()).trimmed();
            const QString place = form == 2 ? FormatMessage(m[Msg::E_ANSWERPLACE], {number, k})
                                            : FormatMessage(m[Msg::E_QUESTIONPLACE], {number});
            if (name.isEmpty() && form == 3)
                problems.append({int(n), FormatMessage(m[Msg::E_NOLISTPICTURE], {number})});
            else if (const std::optional<Msg> problem = PictureProblem(doc, name))
                problems.append({int(n), FormatMessage(m[*problem], {place, name})});
        }
    }
    const QString title = doc.Value(QStringLiteral("Setup"), QStringLiteral("PathGraph")).trimmed();
    if (title.size() > 4 && PictureProblem(doc, title))
        problems.append({-1, FormatMessage(m[Msg::E_TITLEPICTURE], {title})});
    return problems;
}
