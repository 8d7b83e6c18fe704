#pragma once
#include <cstdint>

// The graph's cursor as the partial deletions use it.
class IDeletionCursor {
public:
    virtual ~IDeletionCursor() = default;
    virtual bool CursorOn() const = 0;
    // The record at the left edge and the cursor's distance from it.
    virtual uint32_t ViewStart() const = 0;
    virtual uint32_t CursorOffset() const = 0;
    // After a deletion: the cursor off, the view back on the first record when the records before
    // the cursor went, then on the records that are left, and a full redraw at once.
    virtual void DataCut(bool before) = 0;
};
