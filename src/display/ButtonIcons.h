#pragma once
#include <QPainter>
#include <functional>

// The pictures of the main window's button icons, by resource number, drawn on a 32 x 32 grid:
// 130/131 time per division up/down, 132/133 temperature per division up/down, 134/135 next and
// previous page, 156 Setup, 157 File, 158 Start, 159 Stop, 160 Edit, 161 View, 162 Exit, 163/164
// cursor left/right, 165 automatic scale, 166 cursor on/off, 170 cursor B. Empty for any other
// number.
std::function<void(QPainter&)> ButtonIconPainter(int id);
