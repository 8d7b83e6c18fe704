#include "display/TemperatureValueListView.h"

#include <QApplication>
#include <QPalette>

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
constexpr int kCellMargin = 2;
constexpr int kBatteryIconSize = 16;

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
    connect(m_list.Header(), &QHeaderView::sectionResized, this, [this](int column, int, int width) {
        if (!m_rebuilding)
            m_model.SetColumnWidth(column, width);
    });
    connect(m_list.Header(), &VEK::MFC::CDrawingHeaderCtrl::dividerDragEnded, this,
            &CTemperatureValueListView::widthsDragged);
    connect(&m_rowHeader, &VEK::MFC::CRowHeaderCtrl::widthDragEnded, this, [this] {
        m_model.SetRowHeaderWidth(m_rowHeader.StripWidth());
        emit widthsDragged();
    });
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
    m_list.setUpdatesEnabled(true);
    m_rebuilding = false;
}

void CTemperatureValueListView::PaintHeader() {
    m_rowHeader.SetStripWidth(m_model.RowHeaderWidth());
    m_rowHeader.SetTitleDrawer(CMyButtonSkinDrawer(0, 0, kCentred, m_cellFont, ValueListColor::kBlack,
                                                   CMyButtonSkinDrawer::kStandardFace, QStringLiteral("Ch")));
    m_rowHeader.SetBackgroundColor(QApplication::palette().color(QPalette::Button).rgb() & 0xFFFFFF);
    for (const CMyTemperatureValueListRapper::TColumn& column : m_model.Columns()) {
        const QString text = QString::fromUtf8(ValueColumnSpec(column.kind).header);
        const int position = m_list.ColumnCount();
        if (column.kind == EValueColumn::kTemperature && m_model.TemperatureHeaderMarked())
            m_list.InsertColumn(position,
                                VEK::CTextBkDrawer(0, 0, m_cellFont, ValueListColor::kBlack, text, kCentred,
                                                   0, ValueListColor::kAdjustedHeader),
                                column.width);
        else
            m_list.InsertColumn(position,
                                CTextDrawer(0, 0, m_cellFont, ValueListColor::kBlack, text, kCentred),
                                column.width);
    }
    m_list.SetBackgroundColor(ValueListColor::kBackground);
}

void CTemperatureValueListView::PaintCell(int row, int column, const TCellLook& look) {
    if (look.icon != 0) {
        const VEK::CIconDrawer icon(kBatteryIconSize, kBatteryIconSize, m_icons.Icon(look.icon));
        m_list.SetCellDrawer(column, row, CMyIconDrawer(0, 0, kBatteryIconSize, kBatteryIconSize, icon));
        return;
    }
    const VEK::CTextBkDrawer text(0, 0, m_cellFont, look.color, QString::fromStdString(look.text),
                                  FormatOf(look.align) | CTextDrawer::kVCentre | CTextDrawer::kSingleLine,
                                  kCellMargin, ValueListColor::kBackground);
    m_list.SetCellDrawer(column, row, CMyTextDrawer(0, 0, text));
}

void CTemperatureValueListView::PaintMark(int row) {
    const CMyTemperatureValueListRapper::TRow& r = m_model.Row(row);
    m_rowHeader.SetRowDrawer(row, CMyButtonSkinDrawer(0, 0, kCentred, m_cellFont, ValueListColor::kBlack,
                                                      r.markColor, QString::number(r.channel)));
}
