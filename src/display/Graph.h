#pragma once
// The graph: its view state (time and temperature axes, cursor, hold), the operations of its
// commands and of the run's notifications, the redraw schedule on numbered timers, and the
// picture. It knows no widget: the main window's controls call in and read the state back when
// viewChanged says so; the graph area shows Picture().
#include <QImage>
#include <QObject>
#include <cstdint>
#include <optional>

#include "data/MeasurementDataManager.h"
#include "display/DisplayColors.h"
#include "display/GraphChannelVisibility.h"
#include "display/GraphReadouts.h"
#include "display/GraphRenderer.h"
#include "display/TemperatureAxis.h"
#include "display/TimeAxis.h"
#include "files/DataFileView.h"
#include "files/GraphScaleSettings.h"

class CGraph : public QObject {
    Q_OBJECT
public:
    enum ETimer {
        kTimerResize = 4,
        kTimerFullRedraw = 5,
        kTimerQuickRedraw = 6,
        kTimerSlowRedraw = 7,
        kTimerHold = 8,
        kTimerBlink = 9,
        kTimerRepeatRight = 10,
        kTimerRepeatLeft = 11,
    };
    static constexpr int kHoldMs = 5000;
    static constexpr int kRedrawDelayMs = 50;

    // The graph's surroundings: the window's numbered timers and the mouse.
    class IHost {
    public:
        virtual ~IHost() = default;
        // Restarts a running timer; timers repeat until stopped.
        virtual void StartTimer(int id, int periodMs) = 0;
        virtual void StopTimer(int id) = 0;
        virtual bool LeftButtonDown() const = 0;
    };

    // All borrowed; they outlive the graph.
    CGraph(const CMeasurementDataManager& store, CGraphChannelVisibility& visibility, IHost& host,
           QObject* parent = nullptr);

    // Start-up: the scales of the settings, with the interval in force; then the blink timer runs.
    void LoadGraphScales(const VEK::TGraphScaleSettings& scales);
    // The scales as the settings keep them, the temperature scale named in unit.
    VEK::TGraphScaleSettings SaveGraphScales(uint32_t unit) const;
    void SetColors(const TDisplayColors& colors);
    const TDisplayColors& Colors() const { return m_colors; }
    // The unit the temperature read-outs are named in.
    void SetTemperatureUnit(uint32_t unit);

    // A loaded file's view: its rate, scales and left edge, the edge kept on its records.
    void ApplyDataFileView(const VEK::TDataFileView& view);
    // What a data file written now records of the view (the scale named in the store's unit).
    VEK::TDataFileView DataFileView() const;

    // Commands.
    void TimeDivUp();
    void TimeDivDown();
    void TempDivUp();
    void TempDivDown();
    void AutoScale();
    void ToggleCursor();
    // Cursor B on at the cursor's record (and active), or off again. Only with the cursor on.
    void ToggleCursorB();
    // Cursor left or right, repeating while the button is held; with moveB cursor B moves instead
    // (when it is on) and becomes the active cursor, else the cursor does.
    void PressCursorButton(bool right, bool moveB = false);
    void ReleaseCursorButton(bool right);
    // A click at x of an area width pixels wide places the active cursor (B with moveB, when it is
    // on) on a stored record.
    void ClickArea(int x, int width, bool moveB = false);
    // The horizontal bar (one position a division) and the vertical bar.
    void ScrollTime(int position);
    void ScrollTemperature(int position);
    // The cursor on a stored record of finished data, the view moved to show it when it lies
    // off the screen; false (nothing changed) otherwise.
    bool PlaceCursor(uint32_t record);
    // Shows or hides a channel, then draws the picture again at once.
    void ToggleChannel(int channel);

    // Notifications of the run.
    void SetSamplingInterval(uint32_t rateCode);
    void SamplesStored(int channel, uint32_t count, uint32_t firstIndex);
    void SamplingTick();
    void ReleaseHoldAndCursor();
    // The data were begun, finished, loaded or cleared: the left edge kept on the records, a full
    // redraw.
    void DataReplaced();
    // After a partial deletion (before: the records before the cursor went): cursor off, the view
    // on the records left.
    void DataCut(bool before);
    // The graph area's client size.
    void AreaResized(int width, int height);
    void OnTimer(int id);
    void RequestFullRedraw(int delayMs = kRedrawDelayMs);

    // The smallest left edge on a whole division that shows record k.
    void FollowRecord(uint32_t k);

    const TTimeAxis& TimeAxis() const { return m_time; }
    const TTemperatureAxis& TemperatureAxis() const { return m_temperature; }
    bool CursorOn() const { return m_cursor.on; }
    uint32_t CursorOffset() const { return m_cursor.offset; }
    // The record under the cursor, while it is on.
    uint32_t CursorRecord() const { return m_time.start + m_cursor.offset; }
    const TCursorB& CursorB() const { return m_cursorB; }
    // The span the span window sums up; nothing without records.
    std::optional<TGraphSpan> Span() const;
    bool Held() const { return m_hold; }
    TGraphReadouts Readouts() const { return GraphReadouts(ViewState(), m_unit); }
    TGraphAvailability Availability() const { return GraphAvailability(ViewState()); }
    TScrollInfo TimeScroll() const { return m_time.ScrollInfo(ScrolledRecords(m_store)); }
    TTemperatureRange TemperatureRange() const { return m_temperature.Range(); }

    // The last composed picture, and the cursor's column in it (−1 without cursor).
    const QImage& Picture() const { return m_picture; }
    int CursorX() const { return m_cursorX; }
    // Cursor B's column and the shaded columns between the cursors in the last picture.
    const TSpanMarks& SpanMarks() const { return m_spanMarks; }
    // The blinking cursor's colour now.
    QRgb CursorColor() const;
    const CGraphRenderer& Renderer() const { return m_renderer; }

signals:
    // A new picture to show.
    void pictureChanged();
    // The cursor's blink phase changed: the area repaints its cursor line.
    void cursorBlinked();
    // Scales, edge, cursor, hold, bar ranges or availability may have changed.
    void viewChanged();
    // Hold went on or off: the window refreshes its command states.
    void holdChanged(bool held);
    // The lists show the values of this record (finished data, or a held view).
    void listRecordShown(uint32_t record);
    // A channel was shown or hidden.
    void channelVisibilityChanged(int channel);

private:
    TGraphViewState ViewState() const { return {m_time, m_temperature, m_cursor, m_store}; }
    TGraphGeometry Geometry() const {
        return m_renderer.Geometry(m_time, m_temperature, m_store.RecordCount());
    }
    bool Finished() const { return m_store.State() == CMeasurementDataManager::kStateHolding; }
    bool Measuring() const { return m_store.State() == CMeasurementDataManager::kStateMeasuring; }
    // After a time-scale change: the cursor's record, the centre record or the newest one stays
    // in view.
    void Recentre(uint32_t previousStart, uint32_t previousSamplesPerScreen);
    // Start at spd × ⌈v / spd⌉ with v = record − 5 spd, then kept on the records.
    void CentreOn(uint32_t record);
    // When the data end left of the right edge, the view moves back to show the last record.
    void KeepOnRecords();
    void StepTimeDiv(bool longer);
    void StepTempDiv(bool larger);
    void ScaleCommandDone();
    void RestartHoldTimerWhileHeld();
    void SetHold(bool hold);
    void CursorChanged();
    bool MoveCursor(bool right);
    bool MoveCursorB(bool right);
    // Where cursor B and the shade between the cursors fall in a picture of this geometry.
    TSpanMarks ComposeSpanMarks(const TGraphGeometry& geometry) const;
    void StopRepeatsOfDisabledButtons();
    void AdvanceCheck();
    void FullRedraw();
    void ComposeAndShow();
    void OnHoldTimer();
    void OnRepeatTimer(bool right);

    const CMeasurementDataManager& m_store;
    CGraphChannelVisibility& m_visibility;
    IHost& m_host;
    TTimeAxis m_time;
    TTemperatureAxis m_temperature;
    TGraphCursor m_cursor;
    TCursorB m_cursorB;
    bool m_hold = false;
    uint32_t m_unit = 0;
    TDisplayColors m_colors;
    CGraphRenderer m_renderer;
    int m_areaWidth = 0;
    int m_areaHeight = 0;
    // Redraw requests the quick and slow timers consume; the data layer needs plotting anew
    // (the temperature window moved).
    bool m_quickRequest = false;
    bool m_slowRequest = false;
    bool m_dataStale = true;
    int m_repeatCount = 0;
    bool m_repeatMovesB = false;  // the held cursor button moves cursor B
    QImage m_picture;
    int m_cursorX = -1;
    TSpanMarks m_spanMarks;
    int m_blinkPhase = 0;
};
