#pragma once
#include "recorder/RecordOptions.h"

// Says on stderr how many runs that were never saved wait in Data/work, and how to recover one;
// nothing when none waits.
void PrintUnsavedRunsWaiting();
// hollowmere-record --recover: saves the working file as the data file --out, then deletes it,
// and prints the summary. The exit status: 0, 1 when it cannot be read or saved, 3 when a process
// still writes it.
int RecoverUnsavedRunCommand(const TRecordOptions& options);
