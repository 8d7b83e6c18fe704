#include "dialogs/SpanDlg.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include "data/SpanStatistics.h"
#include "dialogs/QtOperatorPrompt.h"
#include "display/DialogFont.h"
#include "files/CodeTables.h"
#include "files/FolderMemory.h"
#include "files/SpanStatisticsCsv.h"

namespace {

constexpr const char* kCsvFilter = "CSV File (*.csv)|*.csv|All Files (*.*)|*.*||";
constexpr const char* kSaved = "Finished saving the statistics to the file.";
constexpr const char* kSaveFailed = "Failed to save the statistics to the file.";

}  // namespace

CSpanDlg::CSpanDlg(const CMeasurementDataManager& store, const CGraph& graph, IOperatorPrompt* prompt,
                   QWidget* parent)
    : QDialog(parent, Qt::Tool),
      m_store(store),
      m_graph(graph),
      m_ownPrompt(prompt == nullptr ? std::make_unique<CQtOperatorPrompt>(this) : nullptr),
      m_prompt(prompt == nullptr ? *m_ownPrompt : *prompt) {
    setObjectName(QStringLiteral("SpanDlg"));
    setWindowTitle(tr("Span Statistics"));
    setFont(DialogFont());
    setModal(false);
    auto* layout = new QVBoxLayout(this);
    m_ends = new QLabel;
    m_ends->setObjectName(QStringLiteral("span-ends"));
    m_ends->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(m_ends);
    m_table = new QTableView;
    m_table->setObjectName(QStringLiteral("span-table"));
    m_table->setModel(&m_model);
    m_table->verticalHeader()->hide();
    m_table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_table->verticalHeader()->setDefaultSectionSize(m_table->fontMetrics().height() + 6);
    m_table->setSelectionMode(QAbstractItemView::NoSelection);
    // Every column as wide as its widest text: no figure is ever cut.
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    layout->addWidget(m_table, 1);
    auto* buttons = new QHBoxLayout;
    m_copy = new QPushButton(tr("&Copy"));
    m_copy->setObjectName(QStringLiteral("span-copy"));
    m_copy->setToolTip(tr("The table as CSV text on the clipboard"));
    m_save = new QPushButton(tr("&Save as CSV…"));
    m_save->setObjectName(QStringLiteral("span-save"));
    auto* close = new QPushButton(tr("Close"));
    buttons->addWidget(m_copy);
    buttons->addWidget(m_save);
    buttons->addStretch();
    buttons->addWidget(close);
    layout->addLayout(buttons);
    resize(720, 440);

    connect(m_copy, &QPushButton::clicked, this, &CSpanDlg::CopyTable);
    connect(m_save, &QPushButton::clicked, this, &CSpanDlg::SaveTable);
    connect(close, &QPushButton::clicked, this, &QDialog::hide);
    m_refresh.setSingleShot(true);
    m_refresh.setInterval(0);
    connect(&m_refresh, &QTimer::timeout, this, &CSpanDlg::Refresh);
    // The graph says when its cursors, its view or the data it shows changed.
    connect(&m_graph, &CGraph::viewChanged, this, [this] {
        if (isVisible())
            m_refresh.start();
    });
}

CSpanDlg::~CSpanDlg() = default;

void CSpanDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    m_copy->setFocus();
    Refresh();
}

void CSpanDlg::Refresh() {
    m_refresh.stop();
    const std::optional<TGraphSpan> span = m_graph.Span();
    m_copy->setEnabled(span.has_value());
    m_save->setEnabled(span.has_value());
    if (!span) {
        m_model.SetStatistics({});
        m_ends->setText(tr("No data."));
        return;
    }
    m_model.SetStatistics(SpanStatistics(m_store, span->a, span->b, m_store.ChannelsInUse()));
    ShowEnds(*span);
}

void CSpanDlg::ShowEnds(const TGraphSpan& span) {
    const TSpanStatistics& statistics = m_model.Statistics();
    const auto end = [&](const char* name, uint32_t record, const char* what) {
        return QString::fromStdString(std::string(name) + "  record " + std::to_string(record) + "   " +
                                      CSpanTableModel::RecordTime(statistics, record, "%Y/%m/%d ") + "   (" +
                                      what + ")");
    };
    m_ends->setText(
        end("A", span.a, span.aIsCursor ? "cursor" : "first record") + "\n" +
        end("B", span.b,
            span.bIsCursor ? "cursor B"
                           : (m_store.State() == CMeasurementDataManager::kStateMeasuring ? "newest record"
                                                                                          : "last record")) +
        "\n" +
        QString::fromStdString("Δt  " + CSpanTableModel::SpanText(statistics) + "      temperatures in " +
                               VEK::TemperatureUnitName(statistics.temperatureUnit)));
}

QString CSpanDlg::EndsText() const {
    return m_ends->text();
}

void CSpanDlg::CopyTable() {
    Refresh();
    if (m_graph.Span())
        QGuiApplication::clipboard()->setText(
            QString::fromStdString(VEK::SpanStatisticsCsv(m_model.Statistics())));
}

void CSpanDlg::SaveTable() {
    Refresh();
    if (!m_graph.Span())
        return;
    IOperatorPrompt::TFileRequest request{true, kCsvFilter, "*.csv"};
    request.proposedName = "span.csv";
    request.startFolder = VEK::LoadLastFolder("data");
    const std::optional<std::string> path = m_prompt.ChooseFile(request);
    if (!path)
        return;
    if (!VEK::SaveSpanStatisticsCsv(*path, m_model.Statistics())) {
        m_prompt.Tell(IOperatorPrompt::EIcon::kError, kSaveFailed);
        return;
    }
    VEK::SaveLastFolder("data", *path);
    m_prompt.Tell(IOperatorPrompt::EIcon::kInformation, kSaved);
}
