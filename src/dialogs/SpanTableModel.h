#pragma once
// The span window's table: a row per channel in use with the readings at A and B, their
// difference and its rate, the lowest and highest reading with the time of each, the mean and the
// counts of valid and of missing readings.
#include <QAbstractTableModel>
#include <string>

#include "data/SpanStatistics.h"

class CSpanTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum EColumn {
        kChannel,
        kComment,
        kAtA,
        kAtB,
        kDelta,
        kRate,
        kMin,
        kMinTime,
        kMax,
        kMaxTime,
        kMean,
        kValid,
        kMissing,
        kColumns
    };

    using QAbstractTableModel::QAbstractTableModel;

    // New figures: the same channels change their cells in place, other channels reset the table.
    void SetStatistics(const TSpanStatistics& statistics);
    const TSpanStatistics& Statistics() const { return m_statistics; }
    // The text of a cell, as the table shows it.
    std::string Text(int row, int column) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // A record's clock time: "03/14 23:59:57", with tenths of a second at rates below a second.
    static std::string RecordTime(const TSpanStatistics& statistics, uint32_t record,
                                  const char* date = "%m/%d ");
    // From A to B: "-00:00:03.5", hours not wrapped.
    static std::string SpanText(const TSpanStatistics& statistics);

private:
    TSpanStatistics m_statistics;
};
