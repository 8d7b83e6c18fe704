#include "dialogs/PartialDeletion.h"

bool DeletePartially(IOperatorPrompt& prompt, CMeasurementDataManager& store, IDeletionCursor& cursor,
                     EDeletionSide side) {
    if (store.State() != CMeasurementDataManager::kStateHolding || !cursor.CursorOn())
        return false;
    if (!prompt.Ask({"Are you sure to delete measurement data partially?", "Delete measurement data", true}))
        return false;
    // In 64 bits: start and offset together may pass the 32-bit record numbers.
    const uint64_t k = uint64_t{cursor.ViewStart()} + cursor.CursorOffset();
    const uint64_t n = store.RecordCount();
    const bool before = side == EDeletionSide::kBefore;
    if (before && k > 0 && k < n)
        store.DeleteBefore(static_cast<uint32_t>(k));
    else if (!before && k + 1 < n)
        store.DeleteAfter(static_cast<uint32_t>(k));
    cursor.DataCut(before);
    return true;
}
