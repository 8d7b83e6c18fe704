#pragma once
#include <QFont>

// The main window's dialog font, "MS UI Gothic" 9 points, from which the lists' and read-outs'
// fonts are derived. Where that family is missing, the Japanese sans serif fonts of the system
// stand in: their narrow figures fit the values into the lists' columns as the layout expects.
QFont DialogFont();
// The font at scale times the size of font (the lists' 2.1, the read-outs' 1.4 and 1.2).
QFont ScaledFont(const QFont& font, double scale);
