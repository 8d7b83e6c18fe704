#pragma once
// What must hold in the main window after every operator command, checked against the record
// store by scanning its readings directly (never through the store's summaries, the graph's
// plotting or the lists' formatting of a record).
#include <string>
#include <vector>

#include "app/MainDlg.h"
#include "display/TemperatureAxis.h"

namespace sequence_checks {

using TViolations = std::vector<std::string>;

// Everything below; the picture and the lists must be current (CSequenceWorld::Settle).
void CheckWindow(CMainDlg& window, TViolations& out);

// The cursor only on finished records, hold only while measuring, the commands' states.
void CheckViewState(CMainDlg& window, TViolations& out);
// The unit label and the temperature scale name the unit of what is shown.
void CheckUnitLabels(CMainDlg& window, TViolations& out);
// The information line's start time, file name and modified mark follow the store.
void CheckInformationLine(CMainDlg& window, TViolations& out);
// The lists hold a row per channel in use and, for finished data, show the readings of the
// graph's record.
void CheckLists(CMainDlg& window, TViolations& out);
// The data layer: each shown channel's pixel columns span the extremes of their records (or the
// line passes each record's point, where records lie apart), unless a later channel's line lies
// over them; nothing without data.
void CheckGraph(CMainDlg& window, TViolations& out);

// The temperature axis AUTO gives for the records across the screen: every channel in use,
// shown or not, scanned reading by reading.
TTemperatureAxis ExpectedAutoScale(CMainDlg& window);
// Empty when the file reads back into the store's records, channels and readings.
std::string CompareWithFile(const CMeasurementDataManager& store, const std::string& path);

}  // namespace sequence_checks
