#pragma once
// The setup dialog without its screen: the copy of the parameter set that the clicks change, the
// items of the lists, what every cell of the channel list shows, and the check on OK.
#include <cstdint>
#include <string>
#include <vector>

#include "files/ParameterSet.h"

class CSetupDlgModel {
public:
    enum EColumn { kUseColumn = 0, kTypeColumn = 1, kCommentColumn = 2 };
    // Row 0 stands for all channels; row n for channel n.
    static constexpr int kAllRow = 0;
    static constexpr int kRows = VEK::kChannelCount + 1;
    static constexpr int kColumns = 3;
    static constexpr int kMaxSystemNumber = 64;
    // Bits of the visible-items masks.
    enum EVisibleItem : uint8_t { kComment = 1, kType = 2, kBattery = 4, kVersion = 8 };
    // Colours as 0xRRGGBB.
    static constexpr uint32_t kBlack = 0x000000, kWhite = 0xFFFFFF, kCyan = 0x00FFFF;
    static constexpr uint32_t kButtonFace = 0xF0F0F0;

    struct TCell {
        std::string text;
        uint32_t textColor = kBlack;
        uint32_t background = kWhite;
        bool leftAligned = false;
        // A drop-down button face: the type opens a menu.
        bool dropDown = false;
        bool operator==(const TCell&) const = default;
    };

    enum class EClick { kNothing, kTypeMenu, kComment };

    // What the controls hold when OK is pressed.
    struct TChoices {
        int systemNumber = -1;  // -1: nothing selected
        int rateCode = 0;
        uint8_t visibleItemsSingle = 0;
        uint8_t visibleItemsOnly = 0;
        bool fahrenheit = false;
    };

    explicit CSetupDlgModel(const VEK::TParameterSet& set);

    // The rate list's codes in order: 1-7, 10, 12, 13, and a rate the settings gave that is not
    // among them in its place, so that OK keeps it.
    const std::vector<int>& RateCodes() const { return m_rateCodes; }
    // The item of the set's rate; the first when there is none.
    int RateIndex() const;
    // The item of the set's system number among "1" to "64"; -1 when it is none of them.
    int SystemNumberIndex() const;
    // Check boxes and radio buttons as the set gives them.
    TChoices InitialChoices() const;

    // 1 all channels in use, 0 none, -1 some.
    int AllUseState() const;
    static std::string RowTitle(int row);
    TCell Cell(int row, int column) const;

    // A left or right click on a cell: the use changes at once; the type menu or the comment
    // dialog is then the caller's to open.
    EClick Click(int row, int column);
    // A type (1 K, 2 T, 3 J) from the menu, for the row the type click remembered.
    void ChooseType(int32_t type);
    int TypeMenuRow() const { return m_typeMenuRow; }
    void SetComment(int channel, const std::string& comment);

    // OK: false, with the copy unchanged, when the system number is not within 1 to 64.
    bool Accept(const TChoices& choices);
    const VEK::TParameterSet& Parameters() const { return m_set; }

private:
    VEK::TParameterSet m_set;
    std::vector<int> m_rateCodes;
    int m_typeMenuRow = kAllRow;
};
