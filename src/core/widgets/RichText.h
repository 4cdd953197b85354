#pragma once

#include "core/Codecs.h"

#include <QColor>
#include <QFont>

class QLabel;
class QTextEdit;
class QWidget;

// A Windows colour value as a colour: 0x00BBGGRR, or 0x80000000 + n for system colour n (taken
// from the application's palette).
QColor WindowsColor(int32_t color);
// The installed family that stands for a face name (itself when installed).
QString InstalledFamily(const QString &name);
// The font value on a QFont (face, points, bold, italic, underline, strike-out; the character
// set has no meaning for Unicode text).
QFont ToQFont(const FontValue &font, const QFont &base = QFont());
// A font chosen on this desktop as a font value: face, points and style from Font; the
// character set, colour and pitch stay those of Previous.
FontValue FromQFont(const QFont &font, const FontValue &previous);
// A colour as a Windows colour value 0x00BBGGRR.
int32_t ToWindowsColor(const QColor &color);
// Sets the font and the text colour of a control.
void ApplyFont(QWidget *widget, const FontValue &font);

// The picture control shows nothing afterwards.
void ClearPicture(QLabel *image);
// Appends Text at the end of the box in the given font; text appended later is not affected.
void AppendRichText(QTextEdit *edit, const QString &text, const FontValue &font);
// The same, followed by a line break.
void AppendRichLine(QTextEdit *edit, const QString &text, const FontValue &font);
