#include "display/ChannelValueLists.h"

#include "controller/MeasurementController.h"
#include "data/MeasurementDataManager.h"
#include "display/DialogFont.h"
#include "display/DrawingListCtrl.h"
#include "display/RowHeaderCtrl.h"
#include "display/TemperatureValueListView.h"
#include "display/ValueListColors.h"

namespace {

constexpr double kListFontScale = 2.1;
constexpr double kCellFontScale = 1.4;

}  // namespace

QFont CChannelValueLists::ListFont(const QFont& dialogFont) {
    return ScaledFont(dialogFont, kListFontScale);
}

QFont CChannelValueLists::CellFont(const QFont& dialogFont) {
    QFont font = ScaledFont(dialogFont, kCellFontScale);
    font.setBold(true);
    return font;
}

CChannelValueLists::CChannelValueLists(const TControls& controls, const CMeasurementDataManager& store,
                                       const VEK::TParameterSet& parameters, const QFont& dialogFont,
                                       VEK::AccessorSection widths, CTemperatureValueLists::TClock clock,
                                       QObject* parent)
    : QObject(parent),
      m_store(store),
      m_parameters(parameters),
      m_widths(std::move(widths)),
      m_model(std::move(clock)) {
    m_input.markColors.fill(ValueListColor::kBlack);
    const QFont listFont = ListFont(dialogFont);
    const QFont cellFont = CellFont(dialogFont);
    m_input.widthRules = CTemperatureValueListView::WidthRules(cellFont);
    for (int list = 0; list < kLists; ++list) {
        VEK::MFC::CDrawingListCtrl& control = *controls.lists[list];
        VEK::MFC::CRowHeaderCtrl& rowHeader = *controls.rowHeaders[list];
        control.setFont(listFont);
        rowHeader.Attach(&control, CMyTemperatureValueListRapper::kRowHeaderWidth, list == 0);
        m_views[list] = std::make_unique<CTemperatureValueListView>(m_model.List(list), control, rowHeader,
                                                                    m_icons, cellFont);
        connect(m_views[list].get(), &CTemperatureValueListView::widthsDragged, this,
                &CChannelValueLists::SaveColumnWidths);
    }
    connect(controls.rowHeaders[0], &VEK::MFC::CRowHeaderCtrl::clicked, this, [this](int row) {
        const CMyTemperatureValueListRapper& zero = m_model.List(0);
        emit rowHeaderClicked(row, row >= 0 && row < zero.RowCount() ? zero.Row(row).channel : 0);
    });
}

CChannelValueLists::~CChannelValueLists() = default;

void CChannelValueLists::Follow(CMeasurementController& controller) {
    connect(&controller, &CMeasurementSignals::channelValueChanged, this,
            &CChannelValueLists::OnChannelValueChanged);
    connect(&controller, &CMeasurementSignals::samplesStored, this, &CChannelValueLists::OnSamplesStored);
    connect(&controller, &CMeasurementSignals::unitInformationChanged, this,
            &CChannelValueLists::OnUnitInformationChanged);
    connect(&controller, &CMeasurementSignals::listsRefreshDue, this, &CChannelValueLists::RefreshLists);
    connect(&controller, &CMeasurementSignals::lostTimeoutChanged, this, &CChannelValueLists::SetLostTimeout);
    connect(&controller, &CMeasurementSignals::rebuildRequested, this, &CChannelValueLists::RebuildLists);
    connect(this, &CChannelValueLists::channelLost, &controller, &CMeasurementController::PostChannelLost);
}

void CChannelValueLists::SetMarkColors(
    const std::array<uint32_t, CTemperatureValueLists::kChannels + 1>& colors) {
    m_input.markColors = colors;
}

void CChannelValueLists::SetShownInGraph(std::function<bool(int)> shown) {
    m_input.shownInGraph = std::move(shown);
}

bool CChannelValueLists::IsStatic() const {
    return m_store.State() == CMeasurementDataManager::kStateHolding;
}

void CChannelValueLists::RebuildLists() {
    // A rebuild reads the widths back from the settings: what the operator set must be there.
    if (m_built)
        SaveColumnWidths();
    m_input.visibleItemsSingle = m_parameters.visibleItemsSingle;
    m_input.visibleItemsOnly = m_parameters.visibleItemsOnly;
    m_model.RebuildLists(m_store, m_input, m_widths);
    for (auto& view : m_views) view->Rebuild();
    m_pending.fill(std::nullopt);
    m_built = true;
    emit pagingChanged();
    // The rebuild emptied the value cells: a finished run's or a held view's record comes back
    // (a display mode or page change would otherwise show loaded data without temperatures).
    if (m_shownRecord && (IsStatic() || m_liveHeld) && *m_shownRecord < m_store.RecordCount())
        ShowValuesAtRecord(*m_shownRecord);
}

void CChannelValueLists::SaveColumnWidths() {
    if (m_built)
        m_model.SaveColumnWidths(m_widths);
}

void CChannelValueLists::RefreshLists() {
    Paint(m_model.RefreshLists(IsStatic()));
}

void CChannelValueLists::MarkAllLost() {
    Paint(m_model.MarkAllLost(IsStatic()));
}

void CChannelValueLists::SetLostTimeout(uint32_t ms) {
    m_model.SetLostTimeout(ms);
}

void CChannelValueLists::ShowValuesAtRecord(uint32_t record) {
    m_shownRecord = record;
    Paint(m_model.ShowValuesAtRecord(m_store, record));
}

void CChannelValueLists::SetChannelColorMark(int list, int channel, uint32_t color) {
    if (m_model.SetChannelColorMark(list, channel, color))
        m_views.at(list)->PaintMark(m_model.List(list).RowOf(channel));
}

void CChannelValueLists::Paint(const CTemperatureValueLists::TRefresh& refresh) {
    for (const CTemperatureValueLists::TCellChange& cell : refresh.cells)
        m_views[cell.list]->PaintCell(cell.row, cell.column, cell.look);
    for (int channel : refresh.lostChannels) emit channelLost(channel);
}

void CChannelValueLists::OnChannelValueChanged(int channel, TChannelValue value) {
    if (channel < 1 || channel > CTemperatureValueLists::kChannels)
        return;
    switch (value.kind) {
        case TChannelValue::EKind::kNone:
            m_model.SetChannelValue(channel, "", false, ValueListColor::kBlack, false);
            break;
        case TChannelValue::EKind::kReady:
            m_model.SetChannelValue(channel, "Ready", false, ValueListColor::kBlack, false);
            break;
        case TChannelValue::EKind::kReading:
            // Shown with the record it belongs to, which samplesStored brings next.
            m_pending[channel] = value;
            break;
    }
}

void CChannelValueLists::OnSamplesStored(int channel, uint32_t count, uint32_t firstIndex) {
    if (count == 0 || channel < 1 || channel > CTemperatureValueLists::kChannels || !m_pending[channel])
        return;
    const TChannelValue value = *m_pending[channel];
    m_pending[channel].reset();
    if (!m_liveHeld)
        m_model.SetLiveReading(channel, value.reading, value.adjusted, firstIndex + count - 1);
}

void CChannelValueLists::OnUnitInformationChanged(int channel) {
    m_model.SetUnitInformation(channel, m_store.UnitInformation(channel));
}

void CChannelValueLists::SetListCountIndex(int index) {
    m_model.Paging().SetListCountIndex(index);
    emit pagingChanged();
}

void CChannelValueLists::PageBack() {
    if (m_model.Paging().GoBack())
        RebuildLists();
}

void CChannelValueLists::PageForward() {
    if (m_model.Paging().GoForward())
        RebuildLists();
}
