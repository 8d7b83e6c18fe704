#pragma once
#include <QFont>
#include <QString>

// One font family for every window, dialog, box and menu: IPAPGothic, a proportional Japanese
// gothic with Latin letters whose widths and line height follow the Windows UI fonts the dialog
// templates were laid out for, so that dialog units and list widths come out as there. Where it
// is missing, Noto Sans CJK JP stands in.
QString FontFamily();
// The family at a template's point size: the main window's 9 points by default.
QFont DialogFont(double points = 9.0);
// The font at scale times the size of font (the lists' 2.1, the read-outs' 1.4 and 1.2).
QFont ScaledFont(const QFont& font, double scale);
// The font's average character width as the platform measures it for dialog units and lists:
// that of the Latin letters A-Z a-z, rounded. (A Japanese font's own average is that of its
// full-width characters, about twice as wide.)
int AverageCharWidth(const QFont& font);
// The application's default font (boxes, menus, tool tips and every window without a font of
// its own): the dialog font. Call once the application object exists.
void UseDialogFontEverywhere();
