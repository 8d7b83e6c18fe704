#pragma once
// Reading measurement data files: "Brisquent,1.01" (data and working files) and the older "1.00".
// Reading replaces the store's records and returns the graph's view state stored in the file.
#include "data/MeasurementDataManager.h"
#include "files/DataFileView.h"
#include "files/FileProgress.h"
#include "files/IReader.h"
#include "files/LineChunks.h"

namespace VEK {

// False, with the store untouched, when the file cannot be read or its first line is not the
// version's header; false too when it does not fit in memory or view.problem names a line that
// no file of the version has (longer than any, or one row more than the file's size can hold):
// the store then holds part of it and is the caller's to reset. Otherwise the store holds the file's channels and records (state
// empty; the caller decides the state) and its saved path is the file's path; view receives the
// scales, TIME OFFSET and the count of lines that are not records. progress counts the records
// read out of an estimate; when it cancels, the read fails with the store holding part of the file.
// The file is read chunkSize bytes at a time (CLineChunks).
bool ReadDataFile101(IReader& reader, CMeasurementDataManager& store, TDataFileView& view,
                     const FileProgress& progress = {}, size_t chunkSize = CLineChunks::kDefaultChunkSize);
// As above for version "1.00", which has no system number, temperature unit or adjusted channels:
// they become 0, deg C and none.
bool ReadDataFile100(IReader& reader, CMeasurementDataManager& store, TDataFileView& view,
                     const FileProgress& progress = {}, size_t chunkSize = CLineChunks::kDefaultChunkSize);

}  // namespace VEK
