#pragma once
// "Delete Data Before Cursor" and "Delete Data After Cursor".
#include "data/MeasurementDataManager.h"
#include "dialogs/DeletionCursor.h"
#include "dialogs/OperatorPrompt.h"

enum class EDeletionSide { kBefore, kAfter };

// With finished data and the cursor on: asks, then drops the records before the cursor's record
// (which becomes record 0 and keeps its time) or after it, and lets the cursor's graph follow.
// True when the operator confirmed. A cursor at or past the last record deletes nothing, and a
// deletion that removes nothing leaves the modified mark as it was.
bool DeletePartially(IOperatorPrompt& prompt, CMeasurementDataManager& store, IDeletionCursor& cursor,
                     EDeletionSide side);
