#include "dialogs/SetupListView.h"

#include <qdrawutil.h>
#include <QAbstractButton>
#include <QHeaderView>
#include <QMouseEvent>
#include <QPainter>
#include <QStandardItemModel>
#include <QStyleOptionHeader>
#include <QStyledItemDelegate>

#include "dialogs/SetupDlgModel.h"

namespace {

constexpr int kRowHeaderWidth = 40;
constexpr int kUseWidth = 62;
constexpr int kTypeWidth = 50;
const QColor kListGrey(160, 160, 160);

QColor Rgb(uint32_t rgb) {
    return QColor(static_cast<int>(rgb >> 16) & 0xFF, static_cast<int>(rgb >> 8) & 0xFF,
                  static_cast<int>(rgb) & 0xFF);
}

// Paints a cell as a button skin in the model's colours.
class CCellDelegate : public QStyledItemDelegate {
public:
    CCellDelegate(const CSetupDlgModel& model, QObject* parent)
        : QStyledItemDelegate(parent), m_model(model) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const CSetupDlgModel::TCell cell = m_model.Cell(index.row(), index.column());
        const QRect rect = option.rect;
        painter->save();
        qDrawShadePanel(painter, rect, option.palette, false, 1, nullptr);
        const QRect inner = rect.adjusted(1, 1, -1, -1);
        painter->fillRect(inner, Rgb(cell.background));
        QRect textRect = inner;
        if (cell.dropDown) {
            // The drop-down mark: a small triangle at the right edge.
            const int size = qMax(4, inner.height() / 3);
            const QPoint centre(inner.right() - size, inner.center().y());
            const QPolygon arrow({centre + QPoint(-size / 2, -size / 4), centre + QPoint(size / 2, -size / 4),
                                  centre + QPoint(0, size / 4 + 1)});
            painter->setPen(Qt::NoPen);
            painter->setBrush(Qt::black);
            painter->drawPolygon(arrow);
            textRect.setRight(inner.right() - 2 * size);
        }
        painter->setPen(Rgb(cell.textColor));
        painter->setFont(option.font);
        const QString text = QString::fromStdString(cell.text);
        if (cell.leftAligned) {
            painter->drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter,
                              option.fontMetrics.elidedText(text, Qt::ElideRight, textRect.width()));
        } else {
            painter->drawText(textRect, Qt::AlignCenter, text);
        }
        painter->restore();
    }

private:
    const CSetupDlgModel& m_model;
};

}  // namespace

CSetupListView::CSetupListView(const CSetupDlgModel& model, const QFont& cellFont, QWidget* parent)
    : QTableView(parent),
      m_items(new QStandardItemModel(CSetupDlgModel::kRows, CSetupDlgModel::kColumns, this)) {
    setObjectName(QStringLiteral("1039"));
    m_items->setHorizontalHeaderLabels(
        {QStringLiteral("ON/OFF"), QStringLiteral("Type"), QStringLiteral("Comment")});
    QStringList titles;
    for (int row = 0; row < CSetupDlgModel::kRows; ++row)
        titles << QString::fromStdString(CSetupDlgModel::RowTitle(row));
    m_items->setVerticalHeaderLabels(titles);
    setModel(m_items);
    setItemDelegate(new CCellDelegate(model, this));
    setFont(cellFont);
    setSelectionMode(QAbstractItemView::NoSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setFocusPolicy(Qt::NoFocus);
    setShowGrid(false);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    QPalette colours = palette();
    colours.setColor(QPalette::Base, kListGrey);
    colours.setColor(QPalette::Window, kListGrey);
    setPalette(colours);

    QHeaderView* columns = horizontalHeader();
    columns->setFont(cellFont);
    columns->setSectionsClickable(false);
    columns->setHighlightSections(false);
    columns->setSectionResizeMode(QHeaderView::Fixed);
    columns->setDefaultAlignment(Qt::AlignCenter);
    columns->setStretchLastSection(true);
    setColumnWidth(CSetupDlgModel::kUseColumn, kUseWidth);
    setColumnWidth(CSetupDlgModel::kTypeColumn, kTypeWidth);

    QHeaderView* rows = verticalHeader();
    rows->setFont(cellFont);
    rows->setObjectName(QStringLiteral("1040"));
    rows->setSectionsClickable(false);
    rows->setHighlightSections(false);
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultAlignment(Qt::AlignCenter);
    rows->setFixedWidth(kRowHeaderWidth);
    rows->setDefaultSectionSize(QFontMetrics(parent != nullptr ? parent->font() : font()).height() + 4);

    m_corner = findChild<QAbstractButton*>();
    if (m_corner != nullptr)
        m_corner->installEventFilter(this);
}

void CSetupListView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton && event->button() != Qt::RightButton)
        return;
    const QModelIndex index = indexAt(event->position().toPoint());
    if (!index.isValid())
        return;
    const QRect cell = visualRect(index);
    emit cellClicked(index.row(), index.column(),
                     QRect(viewport()->mapToGlobal(cell.topLeft()), cell.size()));
}

void CSetupListView::mouseDoubleClickEvent(QMouseEvent*) {
    // The second click of a quick pair has come as a press already.
}

void CSetupListView::mouseMoveEvent(QMouseEvent*) {
    // No drag selection.
}

bool CSetupListView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_corner && event->type() == QEvent::Paint) {
        PaintCorner(m_corner);
        return true;
    }
    return QTableView::eventFilter(watched, event);
}

void CSetupListView::PaintCorner(QWidget* corner) {
    QPainter painter(corner);
    QStyleOptionHeader option;
    option.initFrom(corner);
    option.rect = corner->rect();
    option.text = QStringLiteral("Ch");
    option.textAlignment = Qt::AlignCenter;
    option.position = QStyleOptionHeader::OnlyOneSection;
    painter.setFont(font());
    style()->drawControl(QStyle::CE_Header, &option, &painter, corner);
}
