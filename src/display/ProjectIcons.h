#pragma once
#include <QIcon>

// The icons the application draws itself, by resource number; a null icon for any other number.
// 140: unknown battery level; 142 to 145: battery levels 0 to 3 (16 x 16); the button icons of
// ButtonIcons.h (32 x 32). All are drawn at the size and pixel density asked for.
// The window numbers its own icon 140 as well: that one is the application's icon (app/icon), so
// the lists' unknown level keeps a battery picture that says what the column means.
QIcon DrawProjectIcon(int id);
