#include "display/TemperatureValueListView.h"

#include <QApplication>
#include <QEvent>
#include <QFontMetrics>
#include <QPalette>
#include <algorithm>

#include "display/DialogFont.h"
#include "display/DrawingHeaderCtrl.h"
#include "display/DrawingListCtrl.h"
#include "display/IconManager.h"
#include "display/MyButtonSkinDrawer.h"
#include "display/MyIconDrawer.h"
#include "display/MyTemperatureValueListRapper.h"
#include "display/MyTextDrawer.h"
#include "display/RowHeaderCtrl.h"
#include "display/ValueListColors.h"

namespace {

using VEK::CTextDrawer;
constexpr uint32_t kCentred = CTextDrawer::kCentre | CTextDrawer::kVCentre | CTextDrawer::kSingleLine;
// A header item the list's edge cuts ends in "…".
constexpr uint32_t kHeaderFormat = kCentred | CTextDrawer::kEndEllipsis;
constexpr int kCellMargin = 2;
// A text cell's width beyond its text: the left margin, the edge line and room on both sides.
constexpr int kCellPadding = 2 * kCellMargin + 2;
// A header item's or row header cell's width beyond its text: the item's frame and room.
constexpr int kHeaderPadding = 10;
constexpr int kBatteryIconSize = 16;
// The comment column starts about this many characters wide.
constexpr int kCommentCharacters = 16;

int WidestText(const QFontMetrics& metrics, const QStringList& texts) {
    int widest = 0;
    for (const QString& text : texts) widest = std::max(widest, metrics.horizontalAdvance(text));
    return widest;
}

// Every form of each digit: "-dddd.d " and "+dddd.d " as the lists show readings, "d.dd" as a
// unit's version.
QStringList DigitForms(const QString& pattern) {
    QStringList forms;
    for (char digit = '0'; digit <= '9'; ++digit) {
        QString form = pattern;
        form.replace(QLatin1Char('d'), QLatin1Char(digit));
        forms << form;
    }
    return forms;
}

uint32_t FormatOf(TCellLook::EAlign align) {
    switch (align) {
        case TCellLook::EAlign::kCentre:
            return CTextDrawer::kCentre;
        case TCellLook::EAlign::kRight:
            return CTextDrawer::kRight;
        case TCellLook::EAlign::kLeft:
            break;
    }
    return CTextDrawer::kLeft;
}

}  // namespace

CTemperatureValueListView::CTemperatureValueListView(CMyTemperatureValueListRapper& model,
                                                     VEK::MFC::CDrawingListCtrl& list,
                                                     VEK::MFC::CRowHeaderCtrl& rowHeader,
                                                     VEK::CIconManager& icons, QFont cellFont,
                                                     QObject* parent)
    : QObject(parent),
      m_model(model),
      m_list(list),
      m_rowHeader(rowHeader),
      m_icons(icons),
      m_cellFont(std::move(cellFont)) {
    connect(m_list.Header(), &QHeaderView::sectionResized, this,
            [this](int column, int, int width) { OnSectionResized(column, width); });
    connect(m_list.Header(), &VEK::MFC::CDrawingHeaderCtrl::dividerDragEnded, this,
            &CTemperatureValueListView::widthsDragged);
    connect(&m_rowHeader, &VEK::MFC::CRowHeaderCtrl::widthDragEnded, this, [this] {
        m_model.SetRowHeaderWidth(m_rowHeader.StripWidth());
        emit widthsDragged();
    });
    m_list.viewport()->installEventFilter(this);
}

bool CTemperatureValueListView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_list.viewport() && event->type() == QEvent::Resize)
        FitComment();
    return QObject::eventFilter(watched, event);
}

void CTemperatureValueListView::FitComment() {
    const int comment = m_model.ColumnIndex(EValueColumn::kComment);
    if (comment < 0 || comment >= m_list.ColumnCount())
        return;
    int others = 0;
    for (int column = 0; column < static_cast<int>(m_model.Columns().size()); ++column)
        if (column != comment)
            others += m_model.Columns()[column].width;
    const int width = std::clamp(m_list.viewport()->width() - others, m_model.MinimumWidth(comment),
                                 std::max(m_model.MinimumWidth(comment), m_model.Columns()[comment].width));
    if (width == m_list.columnWidth(comment))
        return;
    const bool rebuilding = m_rebuilding;
    m_rebuilding = true;
    m_list.setColumnWidth(comment, width);
    m_rebuilding = rebuilding;
}

TListWidthRules CTemperatureValueListView::WidthRules(const QFont& cellFont) {
    const QFontMetrics metrics(cellFont);
    TListWidthRules rules;
    rules.averageCharWidth = std::max(1, AverageCharWidth(cellFont));
    const auto header = [&](EValueColumn kind) {
        return metrics.horizontalAdvance(QString::fromUtf8(ValueColumnSpec(kind).header)) + kHeaderPadding;
    };
    const auto set = [&](EValueColumn kind, int least, int start) {
        rules.minimumWidth[static_cast<int>(kind)] = std::max(header(kind), least);
        rules.defaultWidth[static_cast<int>(kind)] = std::max(header(kind), std::max(least, start));
    };
    QStringList temperatures = {QStringLiteral("Out Of Range"), QStringLiteral("Lost"),
                                QStringLiteral("Ready")};
    temperatures << DigitForms(QStringLiteral("-dddd.d ")) << DigitForms(QStringLiteral("+dddd.d "));
    set(EValueColumn::kComment, 0, kCommentCharacters * rules.averageCharWidth + kCellPadding);
    set(EValueColumn::kTemperature, WidestText(metrics, temperatures) + kCellPadding, 0);
    set(EValueColumn::kType, WidestText(metrics, {"K", "T", "J"}) + kCellPadding, 0);
    set(EValueColumn::kBattery, kBatteryIconSize + kCellPadding, 0);
    set(EValueColumn::kVersion, WidestText(metrics, DigitForms(QStringLiteral("d.dd"))) + kCellPadding, 0);
    rules.rowHeaderMinimum = WidestText(metrics, {"Ch", "100"}) + kHeaderPadding;
    rules.rowHeaderDefault = rules.rowHeaderMinimum;
    return rules;
}

void CTemperatureValueListView::OnSectionResized(int column, int width) {
    if (m_rebuilding)
        return;
    m_model.SetColumnWidth(column, width);
    if (column != m_model.ColumnIndex(EValueColumn::kComment))
        FitComment();
    // A drag stops at the width that shows the header and the values whole.
    if (column < static_cast<int>(m_model.Columns().size()) && m_model.Columns()[column].width != width)
        m_list.setColumnWidth(column, m_model.Columns()[column].width);
}

void CTemperatureValueListView::GrowToFit(int column, const QString& text) {
    if (column >= static_cast<int>(m_model.Columns().size()) ||
        m_model.Columns()[column].kind == EValueColumn::kComment)
        return;
    const int needed = QFontMetrics(m_cellFont).horizontalAdvance(text) + kCellPadding;
    if (needed <= m_model.Columns()[column].width || needed > TListWidthRules::kGrowLimit)
        return;
    m_model.SetColumnWidth(column, needed);
    m_list.setColumnWidth(column, needed);
}

void CTemperatureValueListView::Rebuild() {
    m_rebuilding = true;
    m_list.setUpdatesEnabled(false);
    m_list.DeleteAllItems();
    m_list.DeleteAllColumns();
    m_rowHeader.ClearRowDrawers();
    PaintHeader();
    for (int row = 0; row < m_model.RowCount(); ++row) {
        m_list.InsertRow();
        PaintMark(row);
        for (int column = 0; column < static_cast<int>(m_model.Columns().size()); ++column)
            PaintCell(row, column, m_model.CellLook(row, column));
    }
    m_rebuilding = false;
    FitComment();
    m_list.setUpdatesEnabled(true);
}

void CTemperatureValueListView::PaintHeader() {
    m_rowHeader.SetMinimumStripWidth(m_model.WidthRules().rowHeaderMinimum);
    m_rowHeader.SetStripWidth(m_model.RowHeaderWidth());
    m_rowHeader.SetTitleDrawer(CMyButtonSkinDrawer(0, 0, kCentred, m_cellFont, ValueListColor::kBlack,
                                                   CMyButtonSkinDrawer::kStandardFace, QStringLiteral("Ch")));
    m_rowHeader.SetBackgroundColor(QApplication::palette().color(QPalette::Button).rgb() & 0xFFFFFF);
    for (const CMyTemperatureValueListRapper::TColumn& column : m_model.Columns()) {
        const QString text = QString::fromUtf8(ValueColumnSpec(column.kind).header);
        const int position = m_list.ColumnCount();
        if (column.kind == EValueColumn::kTemperature && m_model.TemperatureHeaderMarked())
            m_list.InsertColumn(position,
                                VEK::CTextBkDrawer(0, 0, m_cellFont, ValueListColor::kBlack, text,
                                                   kHeaderFormat, 0, ValueListColor::kAdjustedHeader),
                                column.width);
        else
            m_list.InsertColumn(position,
                                CTextDrawer(0, 0, m_cellFont, ValueListColor::kBlack, text, kHeaderFormat),
                                column.width);
    }
    m_list.SetBackgroundColor(ValueListColor::kBackground);
}

void CTemperatureValueListView::PaintCell(int row, int column, const TCellLook& look) {
    if (look.icon != 0) {
        const int level = look.icon - BatteryIconId(0);
        const QString name = level >= 0 && level <= 3 ? QStringLiteral("Battery %1 of 3").arg(level)
                                                      : QStringLiteral("Battery unknown");
        const VEK::CIconDrawer icon(kBatteryIconSize, kBatteryIconSize, m_icons.Icon(look.icon), name);
        m_list.SetCellDrawer(column, row, CMyIconDrawer(0, 0, kBatteryIconSize, kBatteryIconSize, icon));
        return;
    }
    const QString shown = QString::fromStdString(look.text);
    GrowToFit(column, shown);
    // A comment may end in "…"; a number or a state is shown whole or as "#" marks.
    const bool comment = column < static_cast<int>(m_model.Columns().size()) &&
                         m_model.Columns()[column].kind == EValueColumn::kComment;
    const VEK::CTextBkDrawer text(0, 0, m_cellFont, look.color, shown,
                                  FormatOf(look.align) | CTextDrawer::kVCentre | CTextDrawer::kSingleLine |
                                      (comment ? CTextDrawer::kEndEllipsis : CTextDrawer::kHashWhenCut),
                                  kCellMargin, ValueListColor::kBackground);
    m_list.SetCellDrawer(column, row, CMyTextDrawer(0, 0, text));
}

void CTemperatureValueListView::PaintMark(int row) {
    const CMyTemperatureValueListRapper::TRow& r = m_model.Row(row);
    m_list.SetRowName(row, QStringLiteral("Channel %1").arg(r.channel));
    m_rowHeader.SetRowDrawer(row, CMyButtonSkinDrawer(0, 0, kCentred, m_cellFont, ValueListColor::kBlack,
                                                      r.markColor, QString::number(r.channel)));
}
