#pragma once
#include <QRect>

class QPainter;

// The 1-pixel lines in the shadow colour along the bottom and up the right edge of a value list's
// cell.
void DrawCellEdges(QPainter& painter, const QRect& cell);
