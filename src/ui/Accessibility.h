#pragma once

class QComboBox;
class QWidget;

// What a screen reader is told about the program's controls beyond what Qt tells by itself.
//
// A choose-only combo box would be announced by its chosen value alone (Qt names it by its
// text on this platform), which loses what the box is for. A box marked here keeps its
// accessible name (the caption of its label) as its name and gives its text as its value. Mark
// the box before anything asks for its accessible interface (setting its accessible name does).
void KeepAccessibleName(QComboBox *box);

// A top-level widget that is the program's main window is announced as a window (frame), not as
// a plain client area. Mark it before anything asks for its accessible interface.
void AnnounceAsWindow(QWidget *window);
