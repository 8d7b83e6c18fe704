#include "display/Graph.h"

#include <algorithm>

#include "data/SamplingRate.h"

namespace {
constexpr int kResizeMs = 200;
constexpr int kQuickMs = 100;
constexpr int kSlowMs = 1000;
constexpr int kBlinkMs = 200;
// Cursor key repeat: the first repeat after a second, ten at 200 ms, then every 20 ms.
constexpr int kRepeatFirstMs = 1000;
constexpr int kRepeatSlowMs = 200;
constexpr int kRepeatFastMs = 20;
constexpr int kRepeatSlowSteps = 10;
// AUTO without a single reading: these extremes give 200 degrees a division centred at 600.
constexpr double kNoMaximum = -99999.0;
constexpr double kNoMinimum = 999999.0;
}  // namespace

CGraph::CGraph(const CMeasurementDataManager& store, CGraphChannelVisibility& visibility, IHost& host,
               QObject* parent)
    : QObject(parent), m_store(store), m_visibility(visibility), m_host(host) {
    m_host.StartTimer(kTimerBlink, kBlinkMs);
}

void CGraph::LoadGraphScales(const VEK::TGraphScaleSettings& scales) {
    m_time.SetTimeDiv(TimeDivIndex(scales.timeDiv));
    m_temperature.SetTempDiv(TempDivIndex(scales.tempDiv));
    m_temperature.centre = scales.tempOffset;
    m_temperature.Clamp();
    emit viewChanged();
}

VEK::TGraphScaleSettings CGraph::SaveGraphScales(uint32_t unit) const {
    return {TimeDivName(m_time.timeDivIndex), TempDivName(m_temperature.tempDivIndex, unit),
            m_temperature.centre};
}

void CGraph::SetColors(const TDisplayColors& colors) {
    m_colors = colors;
    RequestFullRedraw();
}

void CGraph::SetTemperatureUnit(uint32_t unit) {
    m_unit = unit;
    emit viewChanged();
}

void CGraph::ApplyDataFileView(const VEK::TDataFileView& view) {
    m_time.SetSamplingInterval(m_store.SamplingRateCode());
    m_time.SetTimeDiv(TimeDivIndex(view.scales.timeDiv));
    m_temperature.SetTempDiv(TempDivIndex(view.scales.tempDiv));
    m_temperature.centre = view.scales.tempOffset;
    m_temperature.Clamp();
    m_time.start =
        VEK::FirstVisibleRecord(view.timeOffsetMs, m_time.samplingInterval, m_time.samplesPerScreen);
    // A file's offset may lie past its records; the view and the cursor stay on them.
    const uint32_t records = m_store.RecordCount();
    if (records == 0)
        m_time.start = 0;
    else if (m_time.start > records - 1)
        FollowRecord(records - 1);
    m_dataStale = true;
    RequestFullRedraw();
    emit viewChanged();
}

VEK::TDataFileView CGraph::DataFileView() const {
    VEK::TDataFileView view;
    view.scales = SaveGraphScales(m_store.TemperatureUnit());
    view.firstVisibleRecord = m_time.start;
    view.samplesPerScreen = m_time.samplesPerScreen;
    return view;
}

void CGraph::FollowRecord(uint32_t k) {
    m_time.FollowRecord(k);
}

void CGraph::CentreOn(uint32_t record) {
    const uint64_t division = m_time.SamplesPerDivision();
    const uint64_t behind = record <= 5 * division ? 0 : record - 5 * division;
    m_time.start = static_cast<uint32_t>((behind + division - 1) / division * division);
    KeepOnRecords();
}

void CGraph::KeepOnRecords() {
    const uint32_t records = m_store.RecordCount();
    if (records == 0)
        m_time.start = 0;
    else if (records - 1 < uint64_t{m_time.start} + m_time.samplesPerScreen)
        FollowRecord(records - 1);
}

void CGraph::Recentre(uint32_t previousStart, uint32_t previousSamplesPerScreen) {
    if (Finished() && m_cursor.on) {
        const uint32_t record = previousStart + m_cursor.offset;
        CentreOn(record);
        m_cursor.offset = record - m_time.start;
    } else if (Finished() || m_hold) {
        CentreOn(previousStart + previousSamplesPerScreen / 10 * 5);
    } else if (Measuring()) {
        FollowRecord(m_store.RecordsThisRun());
    }
}

void CGraph::ScaleCommandDone() {
    RequestFullRedraw();
    RestartHoldTimerWhileHeld();
    StopRepeatsOfDisabledButtons();
    emit viewChanged();
}

void CGraph::TimeDivUp() {
    StepTimeDiv(true);
}

void CGraph::TimeDivDown() {
    StepTimeDiv(false);
}

void CGraph::StepTimeDiv(bool longer) {
    const uint32_t start = m_time.start, samples = m_time.samplesPerScreen;
    const TGraphAvailability available = Availability();
    if (!(longer ? available.timeDivUp : available.timeDivDown) ||
        !(longer ? m_time.ZoomOut() : m_time.ZoomIn()))
        return;
    Recentre(start, samples);
    ScaleCommandDone();
}

void CGraph::TempDivUp() {
    StepTempDiv(true);
}

void CGraph::TempDivDown() {
    StepTempDiv(false);
}

void CGraph::StepTempDiv(bool larger) {
    if (!(larger ? m_temperature.StepUp() : m_temperature.StepDown()))
        return;
    m_dataStale = true;
    ScaleCommandDone();
}

void CGraph::AutoScale() {
    if (!Availability().autoScale)
        return;
    // Every channel in use, shown or not, over the records across the ten divisions.
    const uint64_t first = m_time.start;
    const uint64_t end = std::min<uint64_t>(first + m_time.ScreenRecords(), m_store.RecordCount());
    TReadingExtremes extremes;
    for (int32_t channel : m_store.ChannelsInUse()) {
        if (first < end)
            extremes.Widen(m_store.Channel(channel).Extremes(first, end));
    }
    if (extremes.Empty())
        m_temperature.AutoScale(kNoMaximum, kNoMinimum);
    else
        m_temperature.AutoScale(extremes.max / 10.0, extremes.min / 10.0);
    m_dataStale = true;
    ScaleCommandDone();
}

void CGraph::ScrollTime(int position) {
    if (!Availability().timeBar)
        return;
    m_time.ScrollTo(position);
    const uint32_t records = m_store.RecordCount();
    // The cursor keeps its place on the screen, on a stored record.
    if (m_cursor.on && records > m_time.start && uint64_t{m_time.start} + m_cursor.offset > records - 1)
        m_cursor.offset = records - 1 - m_time.start;
    if (Measuring()) {
        m_host.StartTimer(kTimerHold, kHoldMs);
        SetHold(true);
    }
    RequestFullRedraw();
    StopRepeatsOfDisabledButtons();
    emit viewChanged();
}

void CGraph::ScrollTemperature(int position) {
    m_temperature.SetScroll(position);
    // Only the temperature window moved: the lines are drawn anew at the next picture.
    m_dataStale = true;
    m_quickRequest = true;
    RestartHoldTimerWhileHeld();
    emit viewChanged();
}

void CGraph::ToggleChannel(int channel) {
    if (channel < 1 || channel > CGraphChannelVisibility::kChannels)
        return;
    m_visibility.SetShown(channel, !m_visibility.Shown(channel));
    emit channelVisibilityChanged(channel);
    m_dataStale = true;
    ComposeAndShow();
}

void CGraph::ToggleCursor() {
    const uint32_t records = m_store.RecordCount();
    if (!Finished() || records == 0)
        return;
    if (m_cursor.on) {
        m_cursor.on = false;
        m_cursorB = {};
    } else {
        if (m_time.start > records - 1) {
            FollowRecord(records - 1);
            RequestFullRedraw();
        }
        m_cursor.on = true;
        m_cursor.offset = std::min(m_time.SamplesPerDivision() * 5, records - m_time.start - 1);
    }
    CursorChanged();
}

bool CGraph::PlaceCursor(uint32_t record) {
    if (!Finished() || record >= m_store.RecordCount())
        return false;
    if (record < m_time.start || record > uint64_t{m_time.start} + m_time.ScreenRecords()) {
        CentreOn(record);
        RequestFullRedraw();
    }
    m_cursor.on = true;
    m_cursor.offset = record - m_time.start;
    CursorChanged();
    return true;
}

void CGraph::ToggleCursorB() {
    if (!Availability().cursorB)
        return;
    if (m_cursorB.on)
        m_cursorB = {};
    else
        m_cursorB = {true, true, CursorRecord()};
    CursorChanged();
}

std::optional<TGraphSpan> CGraph::Span() const {
    const uint32_t records = m_store.RecordCount();
    if (records == 0)
        return std::nullopt;
    TGraphSpan span;
    span.aIsCursor = Finished() && m_cursor.on;
    span.a = span.aIsCursor ? std::min(CursorRecord(), records - 1) : 0;
    span.bIsCursor = span.aIsCursor && m_cursorB.on;
    span.b = span.bIsCursor ? std::min(m_cursorB.record, records - 1) : records - 1;
    return span;
}

void CGraph::CursorChanged() {
    m_quickRequest = true;
    StopRepeatsOfDisabledButtons();
    emit viewChanged();
}

bool CGraph::MoveCursor(bool right) {
    if (!Finished() || !m_cursor.on)
        return false;
    const uint64_t records = m_store.RecordCount();
    const uint32_t division = m_time.SamplesPerDivision();
    const TScrollInfo bar = TimeScroll();
    if (!right) {
        if (m_cursor.offset > 0) {
            --m_cursor.offset;
        } else if (bar.position > 0) {
            ScrollTime(bar.position - 1);
            m_cursor.offset = division - 1;
            if (records - 1 < uint64_t{m_time.start} + m_cursor.offset)
                m_cursor.offset = static_cast<uint32_t>(records - 1 - m_time.start);
        } else {
            return false;
        }
    } else {
        if (uint64_t{m_time.start} + m_cursor.offset + 1 >= records)
            return false;
        if (m_cursor.offset < m_time.ScreenRecords()) {
            ++m_cursor.offset;
        } else if (bar.position < bar.maximum) {
            const uint32_t offset = m_cursor.offset;
            ScrollTime(bar.position + 1);
            m_cursor.offset = offset + 1 - division;
        } else {
            return false;
        }
    }
    CursorChanged();
    return true;
}

bool CGraph::MoveCursorB(bool right) {
    if (!Finished() || !m_cursorB.on)
        return false;
    uint32_t& record = m_cursorB.record;
    if (right ? uint64_t{record} + 1 >= m_store.RecordCount() : record == 0)
        return false;
    record = right ? record + 1 : record - 1;
    CursorChanged();
    return true;
}

void CGraph::PressCursorButton(bool right, bool moveB) {
    const TGraphAvailability available = Availability();
    if (!(right ? available.cursorRight : available.cursorLeft))
        return;
    m_repeatCount = 0;
    m_host.StopTimer(right ? kTimerRepeatLeft : kTimerRepeatRight);
    m_repeatMovesB = moveB && m_cursorB.on;
    m_cursorB.active = m_repeatMovesB;
    m_repeatMovesB ? MoveCursorB(right) : MoveCursor(right);
    m_host.StartTimer(right ? kTimerRepeatRight : kTimerRepeatLeft, kRepeatFirstMs);
    StopRepeatsOfDisabledButtons();
}

void CGraph::ReleaseCursorButton(bool right) {
    m_host.StopTimer(right ? kTimerRepeatRight : kTimerRepeatLeft);
}

void CGraph::OnRepeatTimer(bool right) {
    m_repeatMovesB ? MoveCursorB(right) : MoveCursor(right);
    m_host.StartTimer(right ? kTimerRepeatRight : kTimerRepeatLeft,
                      m_repeatCount < kRepeatSlowSteps ? kRepeatSlowMs : kRepeatFastMs);
    ++m_repeatCount;
    StopRepeatsOfDisabledButtons();
}

void CGraph::StopRepeatsOfDisabledButtons() {
    const TGraphAvailability available = Availability();
    if (!available.cursorLeft)
        m_host.StopTimer(kTimerRepeatLeft);
    if (!available.cursorRight)
        m_host.StopTimer(kTimerRepeatRight);
}

void CGraph::ClickArea(int x, int width, bool moveB) {
    if (!Finished() || !m_cursor.on || width <= 0 || x < 0)
        return;
    const auto offset = static_cast<uint32_t>(m_time.SamplesPerDivision() * 10.0 * x / width + 0.5);
    if (uint64_t{m_time.start} + offset >= m_store.RecordCount())
        return;
    if (m_cursorB.on && (moveB || m_cursorB.active))
        m_cursorB = {true, true, m_time.start + offset};
    else
        m_cursor.offset = offset;
    CursorChanged();
}

void CGraph::SetSamplingInterval(uint32_t rateCode) {
    m_time.SetSamplingInterval(rateCode);
    emit viewChanged();
}

void CGraph::SamplesStored(int channel, uint32_t count, uint32_t firstIndex) {
    if (count == 0)
        return;
    AdvanceCheck();
    m_renderer.PlotChannel(Geometry(), m_store, m_visibility, channel, firstIndex, count);
    m_slowRequest = true;
}

void CGraph::SamplingTick() {
    AdvanceCheck();
    emit viewChanged();
}

void CGraph::AdvanceCheck() {
    if (!Measuring() || m_hold)
        return;
    const uint64_t division = m_time.SamplesPerDivision();
    if (uint64_t{m_time.start} + division * 10 >= m_store.RecordsThisRun())
        return;
    m_time.start = static_cast<uint32_t>(((m_time.start + division - 1) / division + 1) * division);
    m_renderer.ShiftDataLayerLeft(Geometry());
    m_slowRequest = true;
    emit viewChanged();
}

void CGraph::SetHold(bool hold) {
    if (m_hold == hold)
        return;
    m_hold = hold;
    emit holdChanged(hold);
}

void CGraph::RestartHoldTimerWhileHeld() {
    if (m_hold)
        m_host.StartTimer(kTimerHold, kHoldMs);
}

void CGraph::ReleaseHoldAndCursor() {
    m_host.StopTimer(kTimerHold);
    SetHold(false);
    m_cursor.on = false;
    m_cursorB = {};
    CursorChanged();
}

void CGraph::DataReplaced() {
    const uint32_t records = m_store.RecordCount();
    if (records == 0)
        m_time.start = 0;
    else if (m_time.start > records - 1)
        FollowRecord(records - 1);
    if (m_cursor.on && (records == 0 || uint64_t{m_time.start} + m_cursor.offset > records - 1))
        m_cursor.on = false;
    if (!m_cursor.on || m_cursorB.record >= records)
        m_cursorB = {};
    RequestFullRedraw();
    StopRepeatsOfDisabledButtons();
    emit viewChanged();
}

void CGraph::DataCut(bool before) {
    m_cursor.on = false;
    m_cursorB = {};
    if (before)
        m_time.start = 0;
    KeepOnRecords();
    RequestFullRedraw();
    StopRepeatsOfDisabledButtons();
    emit viewChanged();
}

void CGraph::AreaResized(int width, int height) {
    m_areaWidth = width;
    m_areaHeight = height;
    m_host.StartTimer(kTimerResize, kResizeMs);
}

void CGraph::RequestFullRedraw(int delayMs) {
    m_host.StartTimer(kTimerFullRedraw, delayMs);
    m_host.StartTimer(kTimerQuickRedraw, kQuickMs);
    m_host.StartTimer(kTimerSlowRedraw, kSlowMs);
}

void CGraph::FullRedraw() {
    m_renderer.Rebuild(m_areaWidth, m_areaHeight, m_colors);
    m_dataStale = true;
    ComposeAndShow();
}

void CGraph::ComposeAndShow() {
    const TGraphGeometry geometry = Geometry();
    if (m_dataStale) {
        m_renderer.PlotAllChannels(geometry, m_store, m_visibility, true);
        m_dataStale = false;
    }
    if (m_cursor.on) {
        m_cursorX = geometry.X(CursorRecord());
        if (m_cursorX >= geometry.width)
            m_cursorX = geometry.width - 1;
        if (m_cursorX <= 0)
            m_cursorX = 1;
    } else {
        m_cursorX = -1;
        m_blinkPhase = 0;
    }
    m_spanMarks = ComposeSpanMarks(geometry);
    m_renderer.Compose(m_hold, m_cursorX, m_picture, m_spanMarks);
    emit pictureChanged();
    emit viewChanged();
    const uint32_t records = m_store.RecordCount();
    if (Finished() && m_cursor.on)
        emit listRecordShown(CursorRecord());
    else if (Finished() || m_hold)
        emit listRecordShown(RightEdgeRecord(m_time, records));
}

TSpanMarks CGraph::ComposeSpanMarks(const TGraphGeometry& geometry) const {
    TSpanMarks marks;
    if (m_cursorX < 0 || !m_cursorB.on)
        return marks;
    const uint32_t record = m_cursorB.record;
    // Off the screen, the shade runs to the edge towards it.
    int x = record < m_time.start ? 0 : geometry.width - 1;
    if (record >= m_time.start && record <= uint64_t{m_time.start} + m_time.ScreenRecords()) {
        x = std::clamp(geometry.X(record), 1, std::max(geometry.width - 1, 1));
        marks.cursorBX = x;
    }
    marks.shadeFrom = std::min(x, m_cursorX);
    marks.shadeTo = std::max(x, m_cursorX);
    return marks;
}

QRgb CGraph::CursorColor() const {
    return m_colors.Rgb(m_blinkPhase == 0 ? TDisplayColors::kCursor : TDisplayColors::kCursorBlink);
}

void CGraph::OnHoldTimer() {
    if (!Measuring() || !m_hold) {
        m_host.StopTimer(kTimerHold);
        return;
    }
    if (m_host.LeftButtonDown()) {
        m_host.StartTimer(kTimerHold, kHoldMs);
        return;
    }
    m_host.StopTimer(kTimerHold);
    SetHold(false);
    FollowRecord(m_store.RecordsThisRun());
    RequestFullRedraw(0);
    const uint32_t records = m_store.RecordCount();
    emit listRecordShown(records > 0 ? records - 1 : 0);
    emit viewChanged();
}

void CGraph::OnTimer(int id) {
    switch (id) {
        case kTimerResize:
            m_host.StopTimer(kTimerResize);
            if (m_areaWidth > 0 && m_areaHeight > 0)
                m_renderer.Rebuild(m_areaWidth, m_areaHeight, m_colors);
            RequestFullRedraw();
            break;
        case kTimerFullRedraw:
            m_host.StopTimer(kTimerFullRedraw);
            FullRedraw();
            break;
        case kTimerQuickRedraw:
        case kTimerSlowRedraw: {
            bool& request = id == kTimerQuickRedraw ? m_quickRequest : m_slowRequest;
            if (request) {
                request = false;
                ComposeAndShow();
            }
            break;
        }
        case kTimerHold:
            OnHoldTimer();
            break;
        case kTimerBlink:
            if (m_cursorX >= 0) {
                m_blinkPhase ^= 1;
                emit cursorBlinked();
            }
            break;
        case kTimerRepeatRight:
        case kTimerRepeatLeft:
            OnRepeatTimer(id == kTimerRepeatRight);
            break;
        default:
            break;
    }
}
