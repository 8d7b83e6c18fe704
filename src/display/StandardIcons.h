#pragma once
#include <QIcon>
#include <QPixmap>
#include <QStyle>

class QWidget;

// The signs of message boxes (information, question, warning, error; the other standard pixmaps
// give the information sign), drawn by the program at any size and pixel density: the style's own
// are 32-pixel pictures that a 2x screen shows blown up.
QIcon MessageSign(QStyle::StandardPixmap which);
// The sign as a pixmap of size x size logical pixels at the device pixel ratio the widget is shown
// at (that of the window it opens over while it is not shown yet).
QPixmap StandardIconPixmap(const QWidget& widget, QStyle::StandardPixmap which, int size = 32);
