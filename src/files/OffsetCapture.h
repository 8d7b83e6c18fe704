#pragma once
#include <bitset>
#include <cstdint>
#include <functional>
#include <mutex>
#include <span>
#include <vector>

#include "files/OffsetTable.h"
#include "support/CopyImpossible.h"

namespace VEK {

// Takes offsets from the units' measurement reports during a short measurement: the window thread
// opens it for a row ("ALL" or one channel) and closes it when the wait ends; in between the
// receive thread hands it every measurement report. The pending channels and the table's entries are
// changed only under the capture's lock, and only while it is open, so a late report can change
// nothing once the window thread has looked at the result.
class COffsetCapture : private CCopyImpossible {
public:
    // The row "ALL" of the dialog's list.
    static constexpr int kAllRow = 0;

    // Borrowed; it outlives the capture.
    explicit COffsetCapture(TOffsetTable& table);

    // Window thread, before Open: the channels kAllRow asks for, those the short measurement polls
    // (all 100 until set); others cannot answer.
    void SetChannelsInUse(const std::vector<int>& channels);
    // Window thread. The row's channels (those in use for kAllRow) await an answer: their offsets
    // become unanswered requests, the table is modified, and reports count from now on.
    // nothingPending is called on the receive thread once the last of them has answered.
    void Open(int row, std::function<void()> nothingPending = {});
    // Window thread: reports count no more. The channels that did not answer, ascending.
    std::vector<int> Close();

    // Receive thread: a measurement report. Taken only while open, for a channel of the row (a later
    // report of the unit replaces the earlier one), with at least one whole sample whose count is not at full
    // scale (a saturated converter, an open thermocouple, tells no offset).
    void CaptureOffset(std::span<const uint8_t> report);

    bool IsOpen() const;
    size_t PendingCount() const;

private:
    TOffsetTable& m_table;
    mutable std::mutex m_lock;
    std::bitset<TOffsetTable::kChannels + 1> m_pending;
    std::bitset<TOffsetTable::kChannels + 1> m_inUse;
    int m_row = kAllRow;
    bool m_open = false;
    std::function<void()> m_nothingPending;
};

}  // namespace VEK
