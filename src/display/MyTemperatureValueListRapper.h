#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "display/CellLook.h"
#include "display/ChannelCells.h"
#include "display/ListWidthRules.h"
#include "display/ValueListColumn.h"

// One channel value list without its controls: the columns, one row per channel shown, and per
// channel the cells as they should be and as they were last drawn. A refresh decides what has to
// be painted again and which channels went silent; the controls paint what it returns. Window
// thread only: nothing here is touched from another thread.
class CMyTemperatureValueListRapper {
public:
    static constexpr int kChannels = 100;
    static constexpr int kRowHeaderWidth = 50;
    // Milliseconds of a monotonic clock.
    using TClock = std::function<int64_t()>;

    struct TColumn {
        EValueColumn kind;
        int width;
    };
    struct TRow {
        int channel;
        uint32_t markColor;  // 0xRRGGBB
    };
    struct TCellChange {
        int row;
        int column;
        TCellLook look;
    };

    explicit CMyTemperatureValueListRapper(TClock clock);

    // The columns a visible-items mask selects and the row header at the rules' default widths;
    // anyAdjusted marks the Temp. header. The rows stay as they are.
    void SetupColumns(uint8_t visibleItems, bool anyAdjusted, const TListWidthRules& rules = {});
    const TListWidthRules& WidthRules() const { return m_rules; }
    const std::vector<TColumn>& Columns() const { return m_columns; }
    // Position of a column, -1 when the list lacks it.
    int ColumnIndex(EValueColumn kind) const { return m_columnIndex[static_cast<int>(kind)]; }
    bool TemperatureHeaderMarked() const { return m_anyAdjusted; }
    // Ignored for a column the list lacks; never below the column's least width.
    void SetColumnWidth(int column, int width);
    // The least width of a column, 0 for one the list lacks.
    int MinimumWidth(int column) const;
    int RowHeaderWidth() const { return m_rowHeaderWidth; }
    // Never below the row header's least width.
    void SetRowHeaderWidth(int width);

    // No rows; every channel's entry as new.
    void ClearEntries();
    // Appends the channel's row (a channel already shown keeps its row); its cells show the
    // comment and the type, the unknown battery and nothing else until the next refresh paints
    // every cell of the row. Returns the row.
    int InsertChannelRow(int channel, std::string comment, std::string typeText, uint32_t markColor);
    int RowCount() const { return static_cast<int>(m_rows.size()); }
    const TRow& Row(int row) const { return m_rows.at(row); }
    // -1 when the channel has no row.
    int RowOf(int channel) const;
    // False when the channel has no row.
    bool SetChannelColorMark(int channel, uint32_t color);

    // For a channel with a row; each counts as news from the channel for the lost time-out.
    void SetChannelValue(int channel, const std::string& text, bool valid, uint32_t color, bool exempt);
    void SetChannelBattery(int channel, int32_t level);
    void SetChannelVersion(int channel, const std::string& text);
    // Every row "Lost" in red, and no lost time-out any more.
    void MarkAllLost();
    // 0 switches the time-out off; every channel's silence counts from now.
    void SetLostTimeout(uint32_t ms);
    uint32_t LostTimeout() const { return m_lostTimeoutMs; }

    // Channels silent for the time-out turn "Lost" (appended to lost); the cells that differ from
    // what was drawn are appended to changes. isStatic: the data are no live measurement, so
    // battery and version show as unknown.
    void Refresh(bool isStatic, std::vector<TCellChange>& changes, std::vector<int>& lost);
    // The look of a cell as last drawn.
    TCellLook CellLook(int row, int column) const;

private:
    struct TEntry {
        bool present = false;
        int row = -1;
        int64_t lastUpdate = 0;
        TChannelCells current;
        TChannelCells drawn;
        std::string comment;
        // Inserted since the last refresh: every cell is painted.
        bool paintAll = false;
    };

    static bool IsChannel(int channel) { return channel >= 1 && channel <= kChannels; }
    // Present entry of a channel, or nullptr.
    TEntry* Present(int channel);
    void RefreshEntry(int channel, TEntry& entry, bool isStatic, std::vector<TCellChange>& changes,
                      std::vector<int>& lost);
    TCellLook LookOf(const TEntry& entry, EValueColumn kind) const;

    TClock m_clock;
    std::vector<TColumn> m_columns;
    std::array<int, 5> m_columnIndex{-1, -1, -1, -1, -1};
    bool m_anyAdjusted = false;
    TListWidthRules m_rules;
    int m_rowHeaderWidth = kRowHeaderWidth;
    uint32_t m_lostTimeoutMs = 0;
    std::vector<TRow> m_rows;
    std::array<TEntry, kChannels + 1> m_entries;
};
