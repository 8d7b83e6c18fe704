#pragma once
#include <QIcon>

// The icons the application draws itself, by resource number; a null icon for any other number.
// 140: unknown battery level; 142 to 145: battery levels 0 to 3 (16 x 16); the button icons of
// ButtonIcons.h (32 x 32). All are drawn at the size and pixel density asked for.
QIcon DrawProjectIcon(int id);
