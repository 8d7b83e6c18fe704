#include "plot/DataFilePlot.h"

#include <QBuffer>
#include <QPainter>
#include <QSvgGenerator>
#include <algorithm>

#include "display/GraphChannelVisibility.h"
#include "display/GraphRenderer.h"
#include "files/DataFileReader.h"
#include "files/FileReader.h"
#include "plot/PlotFigure.h"
#include "plot/PlotView.h"
#include "plot/VectorGraphArea.h"

namespace {

// Both file versions, as the load command reads them, without writing to the application's log.
bool ReadFile(const std::string& path, CMeasurementDataManager& store, VEK::TDataFileView& view) {
    VEK::CFileReader reader(path);
    if (!reader.Open())
        return false;
    if (!VEK::ReadDataFile101(reader, store, view) && !VEK::ReadDataFile100(reader, store, view))
        return false;
    store.SetState(CMeasurementDataManager::kStateHolding);
    return true;
}

std::string BaseName(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The cursor's column as the window places it: inside the area, off its frame.
std::optional<int> CursorColumn(const TGraphGeometry& geometry, const std::optional<uint32_t>& cursor) {
    if (!cursor)
        return std::nullopt;
    return std::clamp(geometry.X(*cursor), 1, std::max(geometry.width - 1, 1));
}

}  // namespace

bool PlotDataFile(const TPlotOptions& options, const TDisplayColors& colors, TPlotFigureOutput& output,
                  std::string& error) {
    CMeasurementDataManager store;
    VEK::TDataFileView fileView;
    if (!ReadFile(options.dataFile, store, fileView)) {
        error = "cannot read the data file " + options.dataFile +
                (fileView.problem.empty() ? "" : ": " + fileView.problem);
        return false;
    }
    TPlotView view;
    if (!TPlotView::Choose(options, store, fileView, view, error))
        return false;
    output.notes = view.notes;
    const TGraphGeometry geometry(options.width, options.height, view.time, view.temperature,
                                  store.RecordCount());
    const std::optional<int> cursorX = CursorColumn(geometry, view.cursor);
    const CPlotFigure figure(store, view, colors, BaseName(options.dataFile),
                             QSize(options.width, options.height));
    output.area = figure.Area();
    output.size = figure.Size();
    if (options.Svg()) {
        QBuffer buffer(&output.svg);
        buffer.open(QIODevice::WriteOnly);
        QSvgGenerator generator;
        generator.setOutputDevice(&buffer);
        generator.setSize(figure.Size());
        // Pixels as a browser counts them: the figure is as large as the PNG would be.
        generator.setResolution(96);
        generator.setViewBox(QRect(QPoint(0, 0), figure.Size()));
        generator.setTitle(QString::fromStdString(BaseName(options.dataFile)));
        QPainter painter(&generator);
        const CVectorGraphArea area(store, geometry, colors, view.channels, cursorX);
        figure.Paint(painter, [&](QPainter& p, const QRect& rect) { area.Paint(p, rect); });
        return true;
    }
    CGraphChannelVisibility visibility;
    for (int k = 1; k <= CGraphChannelVisibility::kChannels; ++k)
        visibility.SetShown(k, view.channels.test(static_cast<size_t>(k)));
    CGraphRenderer renderer;
    renderer.Rebuild(options.width, options.height, colors);
    renderer.PlotAllChannels(geometry, store, visibility, true);
    const QImage graph = renderer.Compose(false, cursorX.value_or(-1));
    output.image = QImage(figure.Size(), QImage::Format_RGB32);
    if (output.image.isNull()) {
        error = "not enough memory for a picture of " + std::to_string(figure.Size().width()) + " x " +
                std::to_string(figure.Size().height());
        return false;
    }
    QPainter painter(&output.image);
    figure.Paint(painter, [&](QPainter& p, const QRect& rect) { p.drawImage(rect.topLeft(), graph); });
    return true;
}
