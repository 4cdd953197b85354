#include "RichText.h"

#include <QApplication>
#include <QFontDatabase>
#include <QHash>
#include <QLabel>
#include <QPalette>
#include <QTextCursor>
#include <QTextEdit>

namespace {

QColor SystemColor(int index)
{
    const QPalette pal = QApplication::palette();
    switch (index) {
    case 1: // desktop
    case 3: // active caption
        return pal.color(QPalette::Highlight);
    case 5: // window
        return pal.color(QPalette::Base);
    case 9:  // caption text
    case 14: // highlight text
        return pal.color(QPalette::HighlightedText);
    case 13: // highlight
        return pal.color(QPalette::Highlight);
    case 15: // button face
        return pal.color(QPalette::Button);
    case 16: // button shadow
        return pal.color(QPalette::Mid);
    case 17: // grey text
        return pal.color(QPalette::Disabled, QPalette::WindowText);
    case 18: // button text
        return pal.color(QPalette::ButtonText);
    case 20: // button highlight
        return pal.color(QPalette::Light);
    case 24: // info background
        return pal.color(QPalette::ToolTipBase);
    case 23: // info text
        return pal.color(QPalette::ToolTipText);
    default: // 7 menu text, 8 window text and the rest
        return pal.color(QPalette::WindowText);
    }
}

void Append(QTextEdit *edit, const QString &text, const FontValue &font)
{
    edit->setUpdatesEnabled(false);
    QTextCursor cursor(edit->document());
    cursor.movePosition(QTextCursor::End);
    QTextCharFormat format;
    format.setFont(ToQFont(font, edit->font()));
    format.setForeground(WindowsColor(font.Color));
    // Line breaks of the text are paragraph breaks of the box.
    QString normal = text;
    normal.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    normal.replace(u'\r', u'\n');
    cursor.insertText(normal, format);
    edit->setUpdatesEnabled(true);
}

} // namespace

QColor WindowsColor(int32_t color)
{
    const uint32_t value = uint32_t(color);
    if (value & 0x80000000u)
        return SystemColor(int(value & 0xFF));
    return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
}

QString InstalledFamily(const QString &name)
{
    // Exam files name Windows faces; one not installed here becomes the system's sans serif at
    // once, which spares the font matcher a search through every fallback of every script.
    static QHash<QString, QString> cache;
    auto it = cache.constFind(name);
    if (it != cache.constEnd())
        return *it;
    QString family = name;
    if (!QFontDatabase::hasFamily(name)) {
        family = QFontDatabase::hasFamily(QStringLiteral("DejaVu Sans"))
                     ? QStringLiteral("DejaVu Sans")
                     : QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
    }
    cache.insert(name, family);
    return family;
}

FontValue FromQFont(const QFont &font, const FontValue &previous)
{
    FontValue v = previous;
    v.Name = font.family();
    v.Size = font.pointSize() > 0 ? font.pointSize() : previous.Size;
    v.Style = (font.bold() ? 1 : 0) | (font.italic() ? 2 : 0) | (font.underline() ? 4 : 0) |
              (font.strikeOut() ? 8 : 0);
    return v;
}

int32_t ToWindowsColor(const QColor &color)
{
    return int32_t(color.red() | (color.green() << 8) | (color.blue() << 16));
}

QFont ToQFont(const FontValue &font, const QFont &base)
{
    QFont f = base;
    f.setFamily(InstalledFamily(font.Name));
    if (font.Size > 0)
        f.setPointSize(font.Size);
    f.setBold(font.Style & 1);
    f.setItalic(font.Style & 2);
    f.setUnderline(font.Style & 4);
    f.setStrikeOut(font.Style & 8);
    f.setFixedPitch(font.Pitch == 2);
    return f;
}

void ApplyFont(QWidget *widget, const FontValue &font)
{
    widget->setFont(ToQFont(font, widget->font()));
    QPalette pal = widget->palette();
    const QColor color = WindowsColor(font.Color);
    pal.setColor(QPalette::WindowText, color);
    pal.setColor(QPalette::Text, color);
    pal.setColor(QPalette::ButtonText, color);
    widget->setPalette(pal);
}

void ClearPicture(QLabel *image)
{
    image->setPixmap(QPixmap());
}

void AppendRichText(QTextEdit *edit, const QString &text, const FontValue &font)
{
    Append(edit, text, font);
}

void AppendRichLine(QTextEdit *edit, const QString &text, const FontValue &font)
{
    Append(edit, text + QStringLiteral("\r\n"), font);
}
