#pragma once
// The main window's two arrangements (with the graph, with lists only) and its controls' fonts.
#include <QFont>

#include "app/MainDlgControls.h"
#include "display/layout/BorderLayout.h"

// The controls' fonts from the dialog font: 2.1 times for the list-count box and the GRAPH box,
// 1.4 times for the status, the information line and the group labels, bold 1.2 times for the
// graph's unit and temperature and time read-outs (the lists take theirs from the lists); and the
// read-outs' text alignment.
void SetMainDlgLooks(const CMainDlgControls& controls, const QFont& dialogFont);

// The least size the arrangement gives the control: its size hint, or the widest text it shows;
// a small one for the graph area and the lists, which take whatever room is left; the
// information line's lines as they are now.
QSize MainDlgNaturalSize(const CMainDlgControls& controls, int id);

// The arrangement of the display mode from the controls as they are now: each control's natural
// size is taken here and kept. Graph mode: top bar, information line, graph part and list 0 at
// 65 : 35; list mode: top bar, information line, page buttons around 1, 2 or 4 lists.
VEK::CBorderLayout BuildMainDlgArrangement(const CMainDlgControls& controls, bool graphShown, int listCount);
