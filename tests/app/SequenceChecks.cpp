#include "SequenceChecks.h"

#include <QAction>
#include <QImage>
#include <algorithm>
#include <sstream>

#include "display/GraphGeometry.h"
#include "display/ReadingCells.h"
#include "files/CodeTables.h"
#include "files/DataFile.h"

namespace sequence_checks {

namespace {

using Ids = CMainDlgControls;
using EState = CMeasurementDataManager::EState;

std::string Describe(const std::string& what, const std::string& shown, const std::string& expected) {
    return what + ": shows \"" + shown + "\", expected \"" + expected + "\"";
}

int16_t Reading(const CMeasurementDataManager& store, int channel, uint64_t record) {
    return CMeasurementDataManager::GetReading(store.Channel(channel), static_cast<uint32_t>(record));
}

// The record whose readings the lists show for finished data: the cursor's, else the right edge's
// (the last record when the data end earlier).
uint32_t ListRecord(const CGraph& graph, uint32_t records) {
    if (graph.CursorOn())
        return graph.CursorRecord();
    if (records == 0)
        return 0;
    const TTimeAxis& time = graph.TimeAxis();
    return static_cast<uint32_t>(
        std::min<uint64_t>(records - 1, uint64_t{time.start} + time.samplesPerScreen));
}

QRgb Pixel(const QImage& layer, int x, int y) {
    return reinterpret_cast<const QRgb*>(layer.constScanLine(y))[x];
}

// A channel's line and the colours of the lines drawn over it (the channels after it).
struct TLine {
    int channel = 0;
    QRgb colour = 0;
    std::vector<QRgb> above;

    // The pixel shows this line, or one drawn over it.
    bool Covers(QRgb pixel) const {
        return pixel == colour || std::find(above.begin(), above.end(), pixel) != above.end();
    }
};

// The rows of a pixel column of the layer in the line's own colour.
std::vector<int> ColouredRows(const QImage& layer, int x, QRgb colour) {
    std::vector<int> rows;
    for (int y = 0; y < layer.height(); ++y)
        if (Pixel(layer, x, y) == colour)
            rows.push_back(y);
    return rows;
}

bool LayerEmpty(const QImage& layer) {
    for (int y = 0; y < layer.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(layer.constScanLine(y));
        if (std::any_of(line, line + layer.width(), [](QRgb pixel) { return pixel != 0; }))
            return false;
    }
    return true;
}

// Below two records a pixel: every column one bar from the highest to the lowest reading of its
// records, joined to the bar before it.
void CheckBars(const CMeasurementDataManager& store, const TLine& line, const TGraphGeometry& g,
               const QImage& layer, TViolations& out) {
    const int channel = line.channel;
    const TEnvelopeGrid grid = g.Columns();
    bool previousDrawn = false;
    int previousTop = 0, previousBottom = 0;
    for (int x = 0; x < layer.width() && x < g.layerWidth; ++x) {
        const size_t from = grid.ColumnStart(static_cast<size_t>(x));
        const size_t to = std::min<size_t>(grid.ColumnStart(static_cast<size_t>(x) + 1), g.recordCount);
        TReadingExtremes extremes;
        for (size_t i = from; i < to; ++i) extremes.Widen(Reading(store, channel, i));
        const std::vector<int> rows = ColouredRows(layer, x, line.colour);
        std::ostringstream where;
        where << "graph, channel " << channel << ", column " << x << " (records " << from << ".." << to
              << ")";
        if (extremes.Empty()) {
            if (!rows.empty())
                out.push_back(where.str() + ": drawn without a reading");
            previousDrawn = false;
            continue;
        }
        const int top = g.Y(extremes.max);
        const int bottom = g.Y(extremes.min);
        const int lowest = previousDrawn ? std::min(top, previousBottom + 1) : top;
        const int highest = previousDrawn ? std::max(bottom, previousTop - 1) : bottom;
        bool missing = false;
        for (int y = std::max(top, 0); y <= std::min(bottom, layer.height() - 1); ++y)
            missing = missing || !line.Covers(Pixel(layer, x, y));
        const bool outside =
            std::any_of(rows.begin(), rows.end(), [&](int y) { return y < lowest || y > highest; });
        if (missing || outside) {
            where << ": rows " << (rows.empty() ? -1 : rows.front()) << ".."
                  << (rows.empty() ? -1 : rows.back()) << ", the readings " << extremes.min << ".."
                  << extremes.max << " need rows " << top << ".." << bottom;
            out.push_back(where.str());
            return;  // one column tells the fault
        }
        previousTop = top;
        previousBottom = bottom;
        previousDrawn = true;
    }
}

// Records apart: the line passes through every valid record's point.
void CheckPoints(const CMeasurementDataManager& store, const TLine& line, const TGraphGeometry& g,
                 const QImage& layer, TViolations& out) {
    const int channel = line.channel;
    const uint64_t end = std::min<uint64_t>(
        g.recordCount,
        uint64_t{g.start} + uint64_t{g.recordsPerDivision} * TGraphGeometry::kLayerDivisions + 1);
    for (uint64_t i = g.start; i < end; ++i) {
        const int16_t reading = Reading(store, channel, i);
        if (!IsValidReading(reading))
            continue;
        const int x = g.X(static_cast<uint32_t>(i));
        const int y = g.Y(reading);
        if (x < 0 || x >= layer.width() || y < 0 || y >= layer.height())
            continue;
        if (!line.Covers(Pixel(layer, x, y))) {
            std::ostringstream where;
            where << "graph, channel " << channel << ": record " << i << " (" << reading << ") not drawn at "
                  << x << "," << y;
            out.push_back(where.str());
            return;
        }
    }
}

}  // namespace

void CheckWindow(CMainDlg& window, TViolations& out) {
    CheckViewState(window, out);
    CheckUnitLabels(window, out);
    CheckInformationLine(window, out);
    CheckLists(window, out);
    CheckGraph(window, out);
}

void CheckViewState(CMainDlg& window, TViolations& out) {
    const CMeasurementDataManager& store = window.Controller().Store();
    const CGraph& graph = window.Graph().Graph();
    const int state = store.State();
    const uint32_t records = store.RecordCount();
    if (graph.CursorOn() && (state != EState::kStateHolding || graph.CursorRecord() >= records))
        out.push_back("cursor on record " + std::to_string(graph.CursorRecord()) + " in run state " +
                      std::to_string(state) + " with " + std::to_string(records) + " records");
    if (graph.Held() && state != EState::kStateMeasuring)
        out.push_back("hold on in run state " + std::to_string(state));
    const CMainDlgControls& controls = window.Controls();
    for (int command : {Ids::kDeleteBefore, Ids::kDeleteAfter})
        if (controls.Action(command)->isEnabled() != graph.CursorOn())
            out.push_back("the deletions' availability differs from the cursor");
    if (controls.Action(Ids::kSaveData)->isEnabled() != (state == EState::kStateHolding))
        out.push_back("Save Data's availability differs from run state " + std::to_string(state));
}

void CheckUnitLabels(CMainDlg& window, TViolations& out) {
    const std::string unit = VEK::TemperatureUnitName(window.Controller().Store().TemperatureUnit());
    const std::string label = window.Controls().Label(Ids::kUnitLabel)->text().toStdString();
    if (label != "[" + unit + "]")
        out.push_back(Describe("unit label", label, "[" + unit + "]"));
    const std::string scale = window.Controls().Label(1013)->text().toStdString();
    const std::string suffix = unit + "/DIV";
    if (scale.size() < suffix.size() ||
        scale.compare(scale.size() - suffix.size(), suffix.size(), suffix) != 0)
        out.push_back(Describe("temperature scale", scale, "..." + suffix));
}

void CheckInformationLine(CMainDlg& window, TViolations& out) {
    const CMeasurementDataManager& store = window.Controller().Store();
    std::string text = window.Controls().Label(Ids::kInformation)->text().toStdString();
    std::replace(text.begin(), text.end(), '\n', ' ');
    const int state = window.Controller().ShownRunState();
    if ((text.find(" Start Time: ") != std::string::npos) != (state != EState::kStateEmpty))
        out.push_back("information line \"" + text + "\" in run state " + std::to_string(state));
    std::string file = "no data";
    if (state != EState::kStateEmpty) {
        const std::string saved = store.SavedPath();
        file = state == EState::kStateMeasuring || saved.empty()
                   ? "not saved"
                   : saved.substr(saved.find_last_of('/') + 1) + (store.IsModified() ? "*" : "");
    }
    if (text.find(" File: " + file + "   /") == std::string::npos)
        out.push_back(Describe("information line", text, "... File: " + file + "   / ..."));
}

void CheckLists(CMainDlg& window, TViolations& out) {
    const CMeasurementDataManager& store = window.Controller().Store();
    const CTemperatureValueLists& lists = window.ValueLists().Model();
    const CMyTemperatureValueListRapper& beside = lists.List(0);
    std::vector<int32_t> rows;
    for (int row = 0; row < beside.RowCount(); ++row) rows.push_back(beside.Row(row).channel);
    if (rows != store.ChannelsInUse())
        out.push_back("the list beside the graph has " + std::to_string(rows.size()) + " rows for " +
                      std::to_string(store.ChannelsInUse().size()) + " channels in use");
    const int state = window.Controller().ShownRunState();
    if (state == EState::kStateMeasuring)
        return;  // live values
    const uint32_t record = ListRecord(window.Graph().Graph(), store.RecordCount());
    for (int list = 0; list < CTemperatureValueLists::kLists; ++list) {
        const CMyTemperatureValueListRapper& wrapper = lists.List(list);
        const int column = wrapper.ColumnIndex(EValueColumn::kTemperature);
        for (int row = 0; row < wrapper.RowCount() && column >= 0; ++row) {
            const int channel = wrapper.Row(row).channel;
            if (!store.Channel(channel).InUse())
                continue;
            const TCellLook look = wrapper.CellLook(row, column);
            const std::string where = "list " + std::to_string(list) + ", channel " + std::to_string(channel);
            if (state == EState::kStateEmpty) {
                if (look.text != "" && look.text != "Ready" && look.text != "Lost")
                    out.push_back(where + " shows \"" + look.text + "\" without data");
                continue;
            }
            // Without records a rebuilt list may leave the cell empty.
            if (store.RecordCount() == 0 && look.text.empty())
                continue;
            const int16_t reading = Reading(store, channel, record);
            const TReadingCells expected = TReadingCells::Of(reading, store.IsAdjusted(channel));
            const uint32_t colour = reading == kReadingLost     ? 0xFF0000
                                    : store.IsAdjusted(channel) ? 0x0000FF
                                                                : 0;
            if (look.text != expected.text || look.color != colour) {
                std::ostringstream text;
                text << where << " at record " << record << ": shows \"" << look.text << "\" in " << std::hex
                     << look.color << ", the store holds \"" << expected.text << "\"";
                out.push_back(text.str());
            }
        }
    }
}

void CheckGraph(CMainDlg& window, TViolations& out) {
    const CMeasurementDataManager& store = window.Controller().Store();
    const CGraph& graph = window.Graph().Graph();
    const CGraphRenderer& renderer = graph.Renderer();
    const QImage& layer = renderer.DataLayer().Image();
    const int state = window.Controller().ShownRunState();
    // While measuring the lines grow record by record; the next full redraw is what counts.
    if (layer.isNull() || renderer.Width() <= 0 || state == EState::kStateMeasuring)
        return;
    // The channels drawn, in the order they are drawn.
    std::vector<TLine> lines;
    for (int32_t channel : store.ChannelsInUse())
        if (window.Graph().Visibility().Shown(channel))
            lines.push_back({channel, renderer.Colors().Rgb(channel), {}});
    if (state == EState::kStateEmpty || lines.empty() || store.RecordCount() == 0) {
        if (!LayerEmpty(layer))
            out.push_back("graph: lines without data shown");
        return;
    }
    const TGraphGeometry geometry(renderer.Width(), renderer.Height(), graph.TimeAxis(),
                                  graph.TemperatureAxis(), store.RecordCount());
    for (size_t i = 0; i < lines.size(); ++i) {
        TLine& line = lines[i];
        for (size_t j = i + 1; j < lines.size(); ++j) line.above.push_back(lines[j].colour);
        const bool shared = std::any_of(lines.begin(), lines.end(), [&](const TLine& other) {
            return other.channel != line.channel && other.colour == line.colour;
        });
        if (shared)
            continue;  // this line cannot be told apart
        if (geometry.Thinned())
            CheckBars(store, line, geometry, layer, out);
        else
            CheckPoints(store, line, geometry, layer, out);
    }
}

TTemperatureAxis ExpectedAutoScale(CMainDlg& window) {
    const CMeasurementDataManager& store = window.Controller().Store();
    const CGraph& graph = window.Graph().Graph();
    const uint64_t first = graph.TimeAxis().start;
    const uint64_t end = std::min<uint64_t>(first + graph.TimeAxis().ScreenRecords(), store.RecordCount());
    TReadingExtremes extremes;
    for (int32_t channel : store.ChannelsInUse())
        for (uint64_t i = first; i < end; ++i) extremes.Widen(Reading(store, channel, i));
    TTemperatureAxis axis = graph.TemperatureAxis();
    if (extremes.Empty())
        axis.AutoScale(-99999.0, 999999.0);
    else
        axis.AutoScale(extremes.max / 10.0, extremes.min / 10.0);
    return axis;
}

std::string CompareWithFile(const CMeasurementDataManager& store, const std::string& path) {
    CMeasurementDataManager loaded;
    VEK::TDataFileView view;
    if (!VEK::LoadDataFile(path, loaded, view, TMeasurementSetup{}))
        return "the saved file does not load";
    if (loaded.ChannelsInUse() != store.ChannelsInUse() ||
        loaded.SamplingRateCode() != store.SamplingRateCode() ||
        loaded.TemperatureUnit() != store.TemperatureUnit())
        return "the saved file has other channels, rate or unit";
    // The file begins at the first record with anything but Lost.
    const uint32_t records = store.RecordCount();
    uint32_t first = records;
    for (int32_t channel : store.ChannelsInUse())
        for (uint32_t i = 0; i < first; ++i)
            if (Reading(store, channel, i) != kReadingLost)
                first = i;
    if (first == records)
        first = 0;
    if (loaded.RecordCount() != records - first)
        return "the saved file holds " + std::to_string(loaded.RecordCount()) + " records of " +
               std::to_string(records - first);
    for (int32_t channel : store.ChannelsInUse())
        for (uint32_t i = 0; i < loaded.RecordCount(); ++i)
            if (Reading(loaded, channel, i) != Reading(store, channel, i + first))
                return "the saved file differs at record " + std::to_string(i + first) + " of channel " +
                       std::to_string(channel);
    return {};
}

}  // namespace sequence_checks
