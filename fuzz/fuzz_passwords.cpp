// The password list's classification on any unscrambled text, against the plain reading of the
// same text through the sectioned-text splitting and the field records.
#include "core/Codecs.h"
#include "core/Cp1251.h"
#include "core/LineList.h"
#include "session/Registration.h"

#include <cstdlib>

namespace {
PasswordOutcome Reference(const QStringList &lines, const QString &name, const QString &password)
{
    QStringList f;
    for (const QString &l : lines) {
        SplitFields(l, u'@', f, 4);
        if (f[0].compare(name, Qt::CaseInsensitive) == 0)
            return f[1] == password ? PasswordOutcome::Match : PasswordOutcome::Wrong;
    }
    for (const QString &l : lines) {
        SplitFields(l, u'@', f, 4);
        if (f[1] == password)
            return PasswordOutcome::Taken;
    }
    return PasswordOutcome::New;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    // The first line of the input gives the name and the password to look for.
    const qsizetype nl = bytes.indexOf('\n');
    const QByteArray head = nl < 0 ? bytes : bytes.left(nl);
    const qsizetype at = head.indexOf('@');
    const QString name = Cp1251::Decode(at < 0 ? head : head.left(at));
    const QString password = Cp1251::Decode(at < 0 ? QByteArray() : head.mid(at + 1));
    const PasswordList list{nl < 0 ? QByteArray() : bytes.mid(nl + 1)};
    TLineList lines;
    lines.SetText(list.Text);
    if (list.Lines() != lines.Lines())
        std::abort();
    if (ClassifyPassword(list, name, password) != Reference(lines.Lines(), name, password))
        std::abort();
    return 0;
}
