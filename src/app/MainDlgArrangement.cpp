#include "app/MainDlgArrangement.h"

#include "display/DialogFont.h"
#include "display/WidgetLayoutItem.h"
#include "display/layout/BoxLayout.h"
#include "display/layout/LayoutSpacer.h"
#include "display/layout/OverlayLayout.h"
#include "display/layout/RatioLayout.h"

namespace {

using namespace VEK;
using VEK::MFC::CControlLayoutItem;
using Ids = CMainDlgControls;
using ESlot = CBorderLayout::ESlot;

constexpr int kMargin = 10;
constexpr int kGap = 6;
constexpr int kButtonGap = 10;
constexpr int kGroupGap = 30;
constexpr int kLabelGap = 2;
constexpr int kListGap = 10;
constexpr int kGraphPercent = 65;
// The graph area and the lists show whatever room they get: a small least size, so that the
// window's least size stays the template's.
constexpr QSize kStretchedMinimum{120, 100};

class CBuilder {
public:
    explicit CBuilder(const CMainDlgControls& controls) : m_controls(controls) {}

    CControlLayoutItem Item(int id) const {
        return VEK::MFC::WidgetLayoutItem(m_controls.Widget(id), MainDlgNaturalSize(m_controls, id));
    }
    CBoxLayout Row(std::initializer_list<int> ids, int gap) const {
        CBoxLayout row(CBoxLayout::kHorizontal);
        row.SetGap(gap);
        for (int id : ids) row.Add(kAlignStart, kAlignStart, Item(id));
        return row;
    }

    // Top bar and information line, the same in both modes.
    CBoxLayout Header() const {
        CBorderLayout bar;
        bar.Set(CBorderLayout::kWest, kAlignStart, kAlignStart,
                Row({Ids::kStatus, Ids::kStartStop, Ids::kFileMenu, Ids::kEditMenu, Ids::kViewMenu,
                     Ids::kSetupMenu, Ids::kExit},
                    kButtonGap));
        CBoxLayout header(CBoxLayout::kVertical);
        header.SetGap(kGap);
        header.Add(kAlignFill, kAlignStart, bar).Add(kAlignFill, kAlignStart, Item(Ids::kInformation));
        return header;
    }

    CBorderLayout GraphPart() const {
        CBorderLayout unitAndTime;
        unitAndTime.Set(CBorderLayout::kWest, kAlignStart, kAlignStart, Item(Ids::kUnitLabel))
            .Set(CBorderLayout::kEast, kAlignStart, kAlignStart, Item(Ids::kElapsedReadout));
        CBorderLayout temperatures;
        temperatures.Set(CBorderLayout::kNorth, kAlignStart, kAlignStart, Item(1025))
            .Set(CBorderLayout::kCentre, kAlignStart, kAlignStart, Item(1026))
            .Set(CBorderLayout::kSouth, kAlignStart, kAlignStart, Item(1029));
        const CControlLayoutItem verticalBar = Item(1024);
        // Spacers as wide as the columns beside the area plus the gap: the bar spans the area.
        CBorderLayout timeBar;
        timeBar
            .Set(CBorderLayout::kWest, kAlignStart, kAlignStart,
                 CLayoutSpacer(temperatures.MinimumSize().width + kGap, 0))
            .Set(CBorderLayout::kCentre, kAlignFill, kAlignStart, Item(1023))
            .Set(CBorderLayout::kEast, kAlignStart, kAlignStart,
                 CLayoutSpacer(verticalBar.MinimumSize().width + kGap, 0));
        CBorderLayout block;
        block.SetGap(kGap);
        block.Set(CBorderLayout::kNorth, kAlignFill, kAlignStart, unitAndTime)
            .Set(CBorderLayout::kWest, kAlignCentre, kAlignFill, temperatures)
            .Set(CBorderLayout::kCentre, kAlignFill, kAlignFill, Item(Ids::kGraphArea))
            .Set(CBorderLayout::kEast, kAlignCentre, kAlignFill, verticalBar)
            .Set(CBorderLayout::kSouth, kAlignFill, kAlignStart, timeBar);

        CBoxLayout timeGroup(CBoxLayout::kHorizontal);
        timeGroup.SetGap(kButtonGap);
        timeGroup.Add(kAlignStart, kAlignStart, Group(1011, {1001, 1002}));
        CBoxLayout bottom(CBoxLayout::kHorizontal);
        bottom.SetGap(kGroupGap);
        bottom.Add(kAlignStart, kAlignStart, Group(1013, {1005, 1007, 1006}))
            .Add(kAlignStart, kAlignStart, timeGroup)
            .Add(kAlignStart, kAlignStart, Group(1012, {1008, 1010, 1009, Ids::kCursorB}));

        CBorderLayout part;
        part.SetGap(kGap);
        part.Set(CBorderLayout::kCentre, kAlignFill, kAlignFill, block)
            .Set(CBorderLayout::kSouth, kAlignFill, kAlignStart, bottom);
        return part;
    }

    // Its label across the group's width above its buttons.
    CBoxLayout Group(int label, std::initializer_list<int> buttons) const {
        CBoxLayout group(CBoxLayout::kVertical);
        group.SetGap(kLabelGap);
        group.Add(kAlignFill, kAlignStart, Item(label))
            .Add(kAlignStart, kAlignStart, Row(buttons, kButtonGap));
        return group;
    }

    CRatioLayout GraphMode() const {
        // List 0 follows its row header.
        COverlayLayout listPart;
        listPart.Add(kAlignFill, kAlignFill, Item(Ids::kRowHeader0));
        CRatioLayout split(kGraphPercent);
        split.SetGap(kGap);
        split.SetFirst(kAlignFill, kAlignFill, GraphPart()).SetSecond(kAlignFill, kAlignFill, listPart);
        return split;
    }

    CBorderLayout ListMode(int listCount) const {
        COverlayLayout east;
        east.Add(kAlignCentre, kAlignCentre, Item(Ids::kPageForward))
            .Add(kAlignCentre, kAlignEnd, Item(Ids::kListCount));
        CBorderLayout block;
        block.SetGap(kListGap);
        block.Set(CBorderLayout::kWest, kAlignStart, kAlignStart, Item(Ids::kPageBack))
            .Set(CBorderLayout::kEast, kAlignFill, kAlignFill, east);
        const int* headers = Ids::kRowHeaders;
        if (listCount >= 4) {
            block.Set(CBorderLayout::kCentre, kAlignFill, kAlignFill,
                      Halves(Halves(Item(headers[0]), Item(headers[1])),
                             Halves(Item(headers[2]), Item(headers[3]))));
        } else if (listCount == 2) {
            block.Set(CBorderLayout::kCentre, kAlignFill, kAlignFill,
                      Halves(Item(headers[0]), Item(headers[1])));
        } else {
            block.Set(CBorderLayout::kCentre, kAlignFill, kAlignFill, Item(headers[0]));
        }
        return block;
    }

    static CRatioLayout Halves(const ILayout& first, const ILayout& second) {
        CRatioLayout halves(50);
        halves.SetGap(kListGap);
        halves.SetFirst(kAlignFill, kAlignFill, first).SetSecond(kAlignFill, kAlignFill, second);
        return halves;
    }

private:
    const CMainDlgControls& m_controls;
};

}  // namespace

QSize MainDlgNaturalSize(const CMainDlgControls& controls, int id) {
    QWidget* widget = controls.Widget(id);
    if (id == Ids::kGraphArea || id == Ids::kRowHeader0)
        return kStretchedMinimum;
    for (int rowHeader : Ids::kRowHeaders)
        if (id == rowHeader)
            return kStretchedMinimum;
    if (id == Ids::kInformation) {
        // As many lines as the text now takes: a line too long for the window breaks at its
        // separators, and the window arranges itself anew when the number of lines changes.
        const auto lines = static_cast<int>(controls.Label(id)->text().count(QLatin1Char('\n')) + 1);
        return {kStretchedMinimum.width(), lines * widget->fontMetrics().lineSpacing() + 4};
    }
    // The read-outs' hints fit the widest text each shows; the icon buttons', the icon.
    return widget->sizeHint().expandedTo(widget->minimumSize());
}

void SetMainDlgLooks(const CMainDlgControls& controls, const QFont& dialogFont) {
    const QFont large = ScaledFont(dialogFont, 2.1);
    const QFont medium = ScaledFont(dialogFont, 1.4);
    QFont bold = ScaledFont(dialogFont, 1.2);
    bold.setBold(true);
    for (int id : {Ids::kListCount, Ids::kGraphCheck}) controls.Widget(id)->setFont(large);
    for (int id : {static_cast<int>(Ids::kStatus), static_cast<int>(Ids::kInformation), 1011, 1013, 1012,
                   static_cast<int>(Ids::kSamplingRateLabel)})
        controls.Widget(id)->setFont(medium);
    for (int id :
         {static_cast<int>(Ids::kUnitLabel), 1025, 1026, 1029, static_cast<int>(Ids::kElapsedReadout)})
        controls.Widget(id)->setFont(bold);
}

VEK::CBorderLayout BuildMainDlgArrangement(const CMainDlgControls& controls, bool graphShown, int listCount) {
    const CBuilder builder(controls);
    CBorderLayout root;
    root.SetMargins(kMargin);
    root.SetGap(kGap);
    root.Set(CBorderLayout::kNorth, kAlignFill, kAlignStart, builder.Header());
    if (graphShown)
        root.Set(CBorderLayout::kCentre, kAlignFill, kAlignFill, builder.GraphMode());
    else
        root.Set(CBorderLayout::kCentre, kAlignFill, kAlignFill, builder.ListMode(listCount));
    return root;
}
