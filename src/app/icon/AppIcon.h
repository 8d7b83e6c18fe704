#pragma once
#include <QIcon>

class QPainter;

// The application's icon, drawn by the program itself: a thermometer beside radio waves on a
// rounded tile. The same drawing gives the window icon (resource number 140), the About box's
// icon (128) and the installed icon files.
// Draws the icon into the square (0, 0, size, size) of the painter.
void DrawAppIcon(QPainter& painter, qreal size);
// The icon at any size and pixel density asked for.
QIcon AppIcon();
