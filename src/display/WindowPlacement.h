#pragma once
#include <QWidget>

#include "files/AccessorSection.h"

// Window placements in lastone.ini: "Valid", and the normal rectangle "SX", "SY", "EX", "EY".
// A placement that was never saved, or wider or taller than 4000 pixels, is ignored; a window
// that is not resizable takes only the position.
void RestoreWindowPlacement(QWidget& window, const VEK::AccessorSection& section, bool resizable);
bool SaveWindowPlacement(const QWidget& window, const VEK::AccessorSection& section);
