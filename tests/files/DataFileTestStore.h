#pragma once
// Stores and files shared by the data file tests.
#include <string>

#include "data/MeasurementDataManager.h"
#include "files/DataFileView.h"

namespace data_file_test {

// Holding data at 1 s: channels 1 and 3 in use, 2 between them not; records 0 and 1 Lost on both,
// then readings with a Lost gap and an Out Of Range reading; deg F, comments, channel 3 adjusted.
void FillSampleStore(CMeasurementDataManager& store);
inline VEK::TDataFileView SampleView() {
    VEK::TDataFileView view;
    view.scales = {"10sec", "10deg F", 70};
    view.firstVisibleRecord = 12;
    view.samplesPerScreen = 100;
    return view;
}
// The data file that FillSampleStore and SampleView give.
extern const char* const kSampleFile;

}  // namespace data_file_test
