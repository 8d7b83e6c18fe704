#include "dialogs/UnsavedRunsDlg.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

enum EColumn { kStartTime, kRecords, kChannels, kSize, kColumns };

QTableWidgetItem* Cell(const QString& text, Qt::Alignment alignment) {
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    item->setTextAlignment(alignment | Qt::AlignVCenter);
    return item;
}

}  // namespace

CUnsavedRunsDlg::CUnsavedRunsDlg(std::vector<VEK::TUnsavedRun> runs,
                                 std::function<bool(const VEK::TUnsavedRun&)> remove, QWidget* parent)
    : QDialog(parent), m_runs(std::move(runs)), m_remove(std::move(remove)) {
    setObjectName(QStringLiteral("UnsavedRunsDlg"));
    setWindowTitle(tr("Recover Unsaved Runs"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("Measurements that were never saved, newest first:")));
    m_table = new QTableWidget(0, kColumns);
    m_table->setHorizontalHeaderLabels({tr("Start time"), tr("Records"), tr("Channels"), tr("Size")});
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->setMinimumSize(460, 200);
    layout->addWidget(m_table);

    auto* buttons = new QHBoxLayout;
    m_open = new QPushButton(tr("Open"));
    m_open->setDefault(true);
    auto* keep = new QPushButton(tr("Keep"));
    m_delete = new QPushButton(tr("Delete"));
    buttons->addStretch();
    for (QPushButton* button : {m_open, keep, m_delete}) buttons->addWidget(button);
    layout->addLayout(buttons);

    connect(m_open, &QPushButton::clicked, this, &CUnsavedRunsDlg::OnOpen);
    connect(keep, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_delete, &QPushButton::clicked, this, &CUnsavedRunsDlg::OnDelete);
    connect(m_table, &QTableWidget::itemSelectionChanged, this, &CUnsavedRunsDlg::RefreshButtons);
    connect(m_table, &QTableWidget::cellDoubleClicked, this, &CUnsavedRunsDlg::OnOpen);
    Fill();
}

void CUnsavedRunsDlg::Fill() {
    m_table->setRowCount(static_cast<int>(m_runs.size()));
    for (size_t i = 0; i < m_runs.size(); ++i) {
        const VEK::TUnsavedRun& run = m_runs[i];
        const int row = static_cast<int>(i);
        m_table->setItem(row, kStartTime,
                         Cell(QString::fromStdString(run.startTime.Format()), Qt::AlignLeft));
        m_table->setItem(
            row, kRecords,
            Cell(run.readable ? QString::number(run.records) : tr("unreadable"), Qt::AlignRight));
        m_table->setItem(row, kChannels, Cell(QString::number(run.channels), Qt::AlignRight));
        m_table->setItem(row, kSize, Cell(SizeText(run.size), Qt::AlignRight));
    }
    if (!m_runs.empty())
        m_table->selectRow(0);
    RefreshButtons();
}

int CUnsavedRunsDlg::SelectedRow() const {
    const QList<QTableWidgetItem*> selected = m_table->selectedItems();
    return selected.isEmpty() ? -1 : selected.front()->row();
}

void CUnsavedRunsDlg::RefreshButtons() {
    const bool chosen = SelectedRow() >= 0;
    m_open->setEnabled(chosen);
    m_delete->setEnabled(chosen);
}

void CUnsavedRunsDlg::OnOpen() {
    const int row = SelectedRow();
    if (row < 0)
        return;
    m_chosen = m_runs[static_cast<size_t>(row)];
    done(kOpen);
}

void CUnsavedRunsDlg::OnDelete() {
    const int row = SelectedRow();
    if (row < 0 || !m_remove(m_runs[static_cast<size_t>(row)]))
        return;
    m_runs.erase(m_runs.begin() + row);
    Fill();
}

QString CUnsavedRunsDlg::SizeText(uint64_t bytes) {
    constexpr double kKilo = 1024.0;
    const auto value = static_cast<double>(bytes);
    if (bytes < 1024)
        return QStringLiteral("%1 bytes").arg(bytes);
    if (value < kKilo * kKilo)
        return QStringLiteral("%1 KB").arg(QString::number(value / kKilo, 'f', 1));
    return QStringLiteral("%1 MB").arg(QString::number(value / (kKilo * kKilo), 'f', 1));
}
