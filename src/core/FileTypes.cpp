#include "FileTypes.h"

#include "core/Commands.h"
#include "core/Paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QUrl>
#include <QXmlStreamWriter>

#include <glib.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/sysmacros.h>

ERegistryError ERegistryError::ForKey(const QString &key)
{
    return ERegistryError(QStringLiteral("Отказ создания ключа %1").arg(key));
}

// ---- The store ------------------------------------------------------------------------------

namespace {

QString Quoted(const QString &text)
{
    QString out = text;
    out.replace(u'\\', QStringLiteral("\\\\")).replace(u'"', QStringLiteral("\\\""));
    return u'"' + out + u'"';
}

// A quoted string at From (at its opening quote); the text, and From moved past it.
QString Unquoted(const QString &line, qsizetype &from)
{
    QString out;
    for (qsizetype i = from + 1; i < line.size(); ++i) {
        const QChar c = line.at(i);
        if (c == u'\\' && i + 1 < line.size()) {
            out += line.at(++i);
        } else if (c == u'"') {
            from = i + 1;
            return out;
        } else {
            out += c;
        }
    }
    from = line.size();
    return out;
}

bool WriteWhole(const QString &fileName, const QByteArray &content)
{
    QDir().mkpath(QFileInfo(fileName).absolutePath());
    QSaveFile file(fileName);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size() &&
           file.commit();
}

} // namespace

TClassesStore::TClassesStore(const QString &fileName) : fileName_(fileName) {}

void TClassesStore::Load()
{
    keys_.clear();
    QFile file(fileName_);
    if (!file.open(QIODevice::ReadOnly))
        return;
    QString key;
    const QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n');
    for (QString line : lines) {
        line = line.trimmed();
        if (line.startsWith(u'[') && line.endsWith(u']')) {
            key = line.mid(1, line.size() - 2);
            keys_[key];
            continue;
        }
        if (key.isEmpty() || line.isEmpty())
            continue;
        QString name;
        qsizetype at = 0;
        if (line.startsWith(u'@'))
            at = 1;
        else if (line.startsWith(u'"'))
            name = Unquoted(line, at);
        else
            continue;
        if (at >= line.size() || line.at(at) != u'=' || at + 1 >= line.size() ||
            line.at(at + 1) != u'"')
            continue;
        ++at;
        keys_[key][name] = Unquoted(line, at);
    }
}

bool TClassesStore::Save() const
{
    QString text = QStringLiteral("REGEDIT4\n");
    for (auto k = keys_.cbegin(); k != keys_.cend(); ++k) {
        text += QStringLiteral("\n[%1]\n").arg(k.key());
        for (auto v = k->cbegin(); v != k->cend(); ++v)
            text += (v.key().isEmpty() ? QStringLiteral("@") : Quoted(v.key())) + u'=' +
                    Quoted(v.value()) + u'\n';
    }
    return WriteWhole(fileName_, text.toUtf8());
}

QString TClassesStore::Value(const QString &key, const QString &name) const
{
    return keys_.value(key).value(name);
}

void TClassesStore::SetValue(const QString &key, const QString &name, const QString &data)
{
    keys_[key][name] = data;
}

// ---- The desktop's files --------------------------------------------------------------------

QString TarvikMimeType(const QString &ext)
{
    return QStringLiteral("application/x-tarvik-") + ext.toLower();
}

QString DesktopExecLine(const QString &program)
{
    // Inside the quotes of an Exec argument, " ` $ and \ are escaped with a backslash; the
    // value as a whole then doubles every backslash, and % is written %%.
    QString arg;
    for (const QChar c : program) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            arg += u'\\';
        arg += c;
    }
    arg.replace(u'\\', QStringLiteral("\\\\")).replace(u'%', QStringLiteral("%%"));
    return u'"' + arg + QStringLiteral("\" %f");
}

namespace {

QByteArray MimePackage(const QString &ext, const QString &description)
{
    QByteArray xml;
    QXmlStreamWriter w(&xml);
    w.setAutoFormatting(true);
    w.writeStartDocument();
    w.writeDefaultNamespace(
        QStringLiteral("http://www.freedesktop.org/standards/shared-mime-info"));
    w.writeStartElement(QStringLiteral("mime-info"));
    w.writeStartElement(QStringLiteral("mime-type"));
    w.writeAttribute(QStringLiteral("type"), TarvikMimeType(ext));
    w.writeTextElement(QStringLiteral("comment"), description);
    w.writeEmptyElement(QStringLiteral("glob"));
    w.writeAttribute(QStringLiteral("pattern"), QStringLiteral("*.") + ext);
    w.writeEndElement();
    w.writeEndElement();
    w.writeEndDocument();
    return xml;
}

// One line of a desktop entry: its value with the characters the format escapes.
QString EntryValue(QString text)
{
    text.replace(u'\\', QStringLiteral("\\\\")).replace(u'\n', QStringLiteral("\\n"));
    return text;
}

QByteArray DesktopEntry(const QString &exeName, const QString &ext, const QString &action,
                        const QString &description)
{
    return QStringLiteral("[Desktop Entry]\n"
                          "Type=Application\n"
                          "Name=%1\n"
                          "Comment=%2\n"
                          "Exec=%3\n"
                          "Icon=tarvik\n"
                          "MimeType=%4;\n"
                          "NoDisplay=true\n"
                          "Terminal=false\n")
        .arg(EntryValue(action), EntryValue(description), DesktopExecLine(exeName),
             TarvikMimeType(ext))
        .toUtf8();
}

// The second action on an exam's type: the examiner's editor beside the program, when it is
// there. Written with the type's own entry, so once, as that is.
void RegisterEditAction(const QString &exeName, const QString &ext)
{
    const QString editor = QFileInfo(exeName).dir().filePath(QStringLiteral("tarvik-editor"));
    if (!QFileInfo(editor).isExecutable())
        return;
    const QByteArray entry = QStringLiteral("[Desktop Entry]\n"
                                            "Type=Application\n"
                                            "Name=Edit with Tarvik Editor\n"
                                            "Name[ru]=Изменить в редакторе экзаменов\n"
                                            "Exec=%1\n"
                                            "Icon=tarvik\n"
                                            "MimeType=%2;\n"
                                            "NoDisplay=true\n"
                                            "Terminal=false\n")
                                 .arg(DesktopExecLine(editor), TarvikMimeType(ext))
                                 .toUtf8();
    WriteWhole(DataHome() + QStringLiteral("/applications/tarvik-") + ext +
                   QStringLiteral("-edit.desktop"),
               entry);
}

void RunIfInstalled(const QString &program, const QString &folder)
{
    const QString path = Commands().Find(program);
    if (!path.isEmpty())
        Commands().Run(path, {folder}, QByteArray(), 30000);
}

} // namespace

bool RegisterFileType(const QString &exeName, const QString &ext, const QString &action,
                      const QString &description)
{
    const QString dotKey = u'.' + ext;
    TClassesStore store(UserDataDir() + QStringLiteral("FileTypes.reg"));
    store.Load();
    if (store.Value(dotKey, QStringLiteral("Reg")).trimmed().toInt() != 0)
        return false;

    const QString home = DataHome();
    const QString stem = QStringLiteral("tarvik-") + ext;
    if (!WriteWhole(home + QStringLiteral("/mime/packages/") + stem + QStringLiteral(".xml"),
                    MimePackage(ext, description)))
        throw ERegistryError::ForKey(ext);
    const QString command = ext + QStringLiteral("\\Shell\\First_Action\\command");
    if (!WriteWhole(home + QStringLiteral("/applications/") + stem + QStringLiteral(".desktop"),
                    DesktopEntry(exeName, ext, action, description)))
        throw ERegistryError::ForKey(command);

    store.SetValue(dotKey, QStringLiteral("Reg"), QStringLiteral("1"));
    store.SetValue(dotKey, QString(), ext);
    store.SetValue(ext, QString(), description);
    store.SetValue(ext + QStringLiteral("\\DefaultIcon"), QString(),
                   exeName + QStringLiteral(",0"));
    store.SetValue(ext + QStringLiteral("\\Shell"), QString(),
                   QStringLiteral("This_Is_Our_Default_Action"));
    store.SetValue(ext + QStringLiteral("\\Shell\\First_Action"), QString(), action);
    store.SetValue(command, QString(), exeName + QStringLiteral(" %1"));
    if (!store.Save())
        throw ERegistryError::ForKey(dotKey);

    RunIfInstalled(QStringLiteral("update-mime-database"), home + QStringLiteral("/mime"));
    RunIfInstalled(QStringLiteral("update-desktop-database"),
                   home + QStringLiteral("/applications"));
    return true;
}

// ---- Recent documents -----------------------------------------------------------------------

namespace {

QString RecentUri(const QString &fileName)
{
    if (fileName.startsWith(QStringLiteral("\\\\")) || fileName.startsWith(QStringLiteral("//"))) {
        QString path = fileName.mid(2);
        path.replace(u'\\', u'/');
        return QStringLiteral("smb://") + QString::fromUtf8(QUrl::toPercentEncoding(path, "/"));
    }
    return QUrl::fromLocalFile(QFileInfo(fileName).absoluteFilePath()).toString(QUrl::FullyEncoded);
}

} // namespace

void AddToRecentDocs(const QString &fileName)
{
    if (fileName.isEmpty())
        return;
    const QString list = DataHome() + QStringLiteral("/recently-used.xbel");
    const QByteArray listName = QFile::encodeName(list);
    GBookmarkFile *bookmarks = g_bookmark_file_new();
    GError *error = nullptr;
    // A list that is there but cannot be read is left as it is rather than replaced.
    if (!QFileInfo::exists(list) ||
        g_bookmark_file_load_from_file(bookmarks, listName.constData(), &error)) {
        const QByteArray uri = RecentUri(fileName).toUtf8();
        const QString suffix = QFileInfo(fileName).suffix().toLower();
        const bool ours = suffix == u"fzk" || suffix == u"uzk" || suffix == u"fzm";
        const QByteArray mime =
            ours ? TarvikMimeType(suffix).toUtf8() : QByteArrayLiteral("application/octet-stream");
        gchar *program =
            g_shell_quote(QFile::encodeName(QCoreApplication::applicationFilePath()).constData());
        const QByteArray exec = QByteArray(program) + " %f";
        g_free(program);
        g_bookmark_file_set_mime_type(bookmarks, uri.constData(), mime.constData());
        g_bookmark_file_add_application(bookmarks, uri.constData(), "Tarvik", exec.constData());
        QDir().mkpath(DataHome());
        g_bookmark_file_to_file(bookmarks, listName.constData(), &error);
    }
    if (error)
        g_error_free(error);
    g_bookmark_file_free(bookmarks);
}

// ---- Fixed disks ----------------------------------------------------------------------------

bool IsFixedDisk(const QString &folder)
{
    const QByteArray path = QFile::encodeName(folder);
    struct statfs fs
    {
    };
    if (::statfs(path.constData(), &fs) != 0)
        return false;
    switch (static_cast<unsigned long>(fs.f_type)) {
    case 0x6969UL:     // NFS
    case 0x517BUL:     // SMB
    case 0xFF534D42UL: // CIFS
    case 0xFE534D42UL: // SMB2
    case 0x65735546UL: // FUSE
    case 0x9660UL:     // ISO 9660
    case 0x15013346UL: // UDF
        return false;
    default:
        break;
    }
    struct stat st
    {
    };
    if (::stat(path.constData(), &st) != 0)
        return false;
    // A partition's "removable" is its disk's: the partition's own folder has none.
    const QString block =
        QStringLiteral("/sys/dev/block/%1:%2/").arg(major(st.st_dev)).arg(minor(st.st_dev));
    for (const QString &name :
         {block + QStringLiteral("removable"), block + QStringLiteral("../removable")}) {
        QFile removable(name);
        if (removable.open(QIODevice::ReadOnly))
            return removable.readAll().trimmed() != "1";
    }
    return true;
}

void RegisterFileTypes(const FileTypeRun &run)
{
    if (!run.FixedDisk)
        return;
    const QString action = QStringLiteral("Open Tarvik");
    if (run.ManagerUsed) {
        RegisterFileType(run.ExeName, QStringLiteral("fzm"), action,
                         QStringLiteral("File manager of questions for Tarvik"));
        AddToRecentDocs(run.StartFileName);
    }
    if (RegisterFileType(run.ExeName, QStringLiteral("uzk"), action,
                         QStringLiteral("Uniform file of questions for Tarvik")))
        RegisterEditAction(run.ExeName, QStringLiteral("uzk"));
    AddToRecentDocs(run.StartFileName);
    if (RegisterFileType(run.ExeName, QStringLiteral("fzk"), action,
                         QStringLiteral("File of questions of Tarvik")))
        RegisterEditAction(run.ExeName, QStringLiteral("fzk"));
    AddToRecentDocs(run.ExamFileName);
}
