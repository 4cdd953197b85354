#include "ExamDocument.h"

#include "core/Cp1251.h"
#include "core/Errors.h"
#include "core/Files.h"
#include "core/FolderAccess.h"
#include "core/Scramble.h"
#include "exam/ListStreams.h"

#include <QFileInfo>

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

void ExamDocument::SetPicture(const QString &name, const QByteArray &bytes)
{
    pictures_.insert(name, bytes);
    modified_ = true;
}

QStringList ExamDocument::NamedPictures() const
{
    QStringList names;
    const auto add = [&names](const QString &name) {
        const QString bare = BareFileName(name.trimmed());
        if (!bare.isEmpty() && !names.contains(bare, Qt::CaseInsensitive))
            names.append(bare);
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
        const QString dir = QFileInfo(fileName_).path();
        for (const QString &name : NamedPictures()) {
            QByteArray bytes = pictures_.value(name);
            if (bytes.isEmpty() && !fileName_.isEmpty())
                bytes = ReadWhole(JoinPath(dir, name)).value_or(QByteArray());
            if (!bytes.isEmpty())
                entries.append({name, bytes});
        }
        // The pictures the file carried that the exam no longer names stay with it.
        for (auto it = pictures_.cbegin(); it != pictures_.cend(); ++it)
            if (!NamedPictures().contains(it.key(), Qt::CaseInsensitive))
                entries.append({it.key(), it.value()});
        return ScrambleBytes(BuildContainer(entries, true), Keys::Settings);
    }
    }
    return {};
}
