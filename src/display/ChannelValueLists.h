#pragma once
#include <QFont>
#include <QObject>
#include <array>
#include <memory>
#include <optional>

#include "controller/ChannelValue.h"
#include "display/IconManager.h"
#include "display/TemperatureValueLists.h"
#include "files/AccessorSection.h"
#include "files/ParameterSet.h"

class CMeasurementController;
class CMeasurementDataManager;
class CTemperatureValueListView;
namespace VEK::MFC {
class CDrawingListCtrl;
class CRowHeaderCtrl;
}  // namespace VEK::MFC

// The main window's five channel value lists on their controls: list 0 beside the graph, lists 1
// to 4 without it. Fed by the measurement controller's signals and by the graph; everything runs
// on the window thread.
class CChannelValueLists : public QObject {
    Q_OBJECT
public:
    static constexpr int kLists = CTemperatureValueLists::kLists;
    struct TControls {
        std::array<VEK::MFC::CDrawingListCtrl*, kLists> lists{};
        std::array<VEK::MFC::CRowHeaderCtrl*, kLists> rowHeaders{};
    };

    // The controls become the lists' (each list attached to its row header, list 0's resizable),
    // with the fonts derived from the dialog font. store, parameters and widths' accessor are
    // borrowed and outlive the lists.
    CChannelValueLists(const TControls& controls, const CMeasurementDataManager& store,
                       const VEK::TParameterSet& parameters, const QFont& dialogFont,
                       VEK::AccessorSection widths,
                       CTemperatureValueLists::TClock clock = CTemperatureValueLists::SteadyClockMs,
                       QObject* parent = nullptr);
    ~CChannelValueLists() override;

    // The controller's signals feed the lists, and silent channels go back to it. Both live on
    // the window thread.
    void Follow(CMeasurementController& controller);

    const CTemperatureValueLists& Model() const { return m_model; }
    const CListPaging& Paging() const { return m_model.Paging(); }
    // Row-header colours: entry 0 for channels hidden from the graph, 1..100 the channels'.
    void SetMarkColors(const std::array<uint32_t, CTemperatureValueLists::kChannels + 1>& colors);
    // Which channels the graph shows (list 0's patches); all of them until this is set.
    void SetShownInGraph(std::function<bool(int)> shown);
    // The list font (2.1 times the dialog font) and the cell font (bold, 1.4 times).
    static QFont ListFont(const QFont& dialogFont);
    static QFont CellFont(const QFont& dialogFont);

public slots:
    // Saves the widths of lists built before, then builds every list anew from the record store.
    void RebuildLists();
    void SaveColumnWidths();
    // Lost detection and what changed since the last refresh; static in store state 2.
    void RefreshLists();
    void MarkAllLost();
    void SetLostTimeout(uint32_t ms);
    // The values of record k of the store (the graph's cursor or hold), then a refresh.
    void ShowValuesAtRecord(uint32_t record);
    // While the graph is held, live values do not reach the lists.
    void SetLiveValuesHeld(bool held) { m_liveHeld = held; }
    void SetChannelColorMark(int list, int channel, uint32_t color);

    // The controller's signals.
    void OnChannelValueChanged(int channel, TChannelValue value);
    void OnSamplesStored(int channel, uint32_t count, uint32_t firstIndex);
    void OnUnitInformationChanged(int channel);

    // Paging of the lists without the graph. A new list count (index 0, 1, 2; anything else is 2)
    // starts at page 0 and leaves the rebuild to the caller, who shows the lists first; a page
    // step rebuilds the lists when the page moved.
    void SetListCountIndex(int index);
    void PageBack();
    void PageForward();

signals:
    // A channel stayed silent for the lost time-out (once per channel and refresh).
    void channelLost(int channel);
    // A click on list 0's row header: the row, and its channel (0 below the last row).
    void rowHeaderClicked(int row, int channel);
    // The page, page count or list count changed: the page buttons follow.
    void pagingChanged();

private:
    void Paint(const CTemperatureValueLists::TRefresh& refresh);
    bool IsStatic() const;

    const CMeasurementDataManager& m_store;
    const CMeasurementController* m_controller = nullptr;  // once followed
    const VEK::TParameterSet& m_parameters;
    VEK::AccessorSection m_widths;
    CTemperatureValueLists m_model;
    CTemperatureValueLists::TRebuildInput m_input;
    VEK::CIconManager m_icons;
    std::array<std::unique_ptr<CTemperatureValueListView>, kLists> m_views;
    // The newest reading each channel reported, waiting for the record it belongs to.
    std::array<std::optional<TChannelValue>, CTemperatureValueLists::kChannels + 1> m_pending;
    bool m_built = false;
    bool m_liveHeld = false;
    std::optional<uint32_t> m_shownRecord;  // the record the lists show instead of live values
};
