#pragma once
// The offset data file: CSV "Brisquent Offset Data,1.00", a comment line and one line per channel
// with its use and its offset in millivolts.
#include <string>

#include "files/IReader.h"
#include "files/IWriter.h"
#include "files/OffsetTable.h"

namespace VEK {

// The offset in counts as the file writes it: millivolts in "%.11e" with at least three exponent
// digits (1.23000000000e-003), whatever the locale.
std::string FormatOffsetMillivolts(double counts);

// All 102 lines, one write each. False when a write failed.
bool WriteOffsetFile(const TOffsetTable& table, IWriter& writer);
// Replaces the file in one step, so that a failed save keeps the previous file. On success the
// table's path becomes path and modified is cleared; on failure the table stays as it was.
bool SaveOffsetFile(TOffsetTable& table, const std::string& path);

// On success the table takes the file's entries and comment, its path becomes the reader's and
// modified is cleared. A wrong header, a value that is not wholly a finite number or lies beyond the
// converter's 24 bits, or a read failure make it false with the table unchanged.
bool ReadOffsetFile(TOffsetTable& table, IReader& reader);
// The same on a file path; false also when the file cannot be opened.
bool LoadOffsetFile(TOffsetTable& table, const std::string& path);

}  // namespace VEK
