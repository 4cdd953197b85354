#include "ListDocument.h"

#include "core/Codecs.h"
#include "core/Cp1251.h"
#include "core/FolderAccess.h"
#include "core/LineList.h"
#include "core/Scramble.h"

bool ListDocument::Load(const QString &fileName)
{
    const std::optional<QByteArray> bytes = ReadWhole(fileName);
    if (!bytes)
        return false;
    fileName_ = fileName;
    original_ = *bytes;
    TLineList lines;
    lines.SetText(kind_ == Kind::Manager ? UnscrambleBytes(*bytes, Keys::Manager) : *bytes);
    rows_.clear();
    for (const QString &line : lines.Lines()) {
        QStringList fields;
        SplitFields(line, u'@', fields, FieldCount());
        rows_.append(fields.mid(0, FieldCount()));
    }
    modified_ = false;
    return true;
}

void ListDocument::SetRows(const QList<QStringList> &rows)
{
    if (rows == rows_)
        return;
    rows_ = rows;
    modified_ = true;
}

QByteArray ListDocument::Bytes() const
{
    if (!modified_ && !original_.isEmpty())
        return original_;
    QString text;
    for (QStringList row : rows_) {
        while (row.size() < FieldCount())
            row.append(QString());
        text += row.mid(0, FieldCount()).join(u'@') + QStringLiteral("\r\n");
    }
    const QByteArray plain = Cp1251::Encode(text);
    return kind_ == Kind::Manager ? ScrambleBytes(plain, Keys::Manager) : plain;
}

void ListDocument::Saved(const QString &fileName)
{
    original_ = Bytes();
    fileName_ = fileName;
    modified_ = false;
}
