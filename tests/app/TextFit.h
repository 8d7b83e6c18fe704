#pragma once
// Whether every text a window shows fits the rectangle it is drawn in, at the font in use: read-outs,
// labels, buttons, check boxes, fields, the value lists' cells, headers and row headers. Each
// finding names the control and the text.
#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <string>
#include <vector>

#include "display/DrawingListCtrl.h"
#include "display/MyIconButton.h"
#include "display/MyTextDrawer.h"
#include "display/MyTextStatic.h"
#include "display/RowHeaderCtrl.h"

namespace text_fit {

inline std::string Name(const QWidget* widget) {
    return "[" + widget->objectName().toStdString() + "] " + widget->metaObject()->className();
}

inline std::string Finding(const QWidget* widget, const QString& text, const std::string& what) {
    return Name(widget) + " \"" + text.toStdString() + "\": " + what;
}

// A drawer's text: shown whole (not as "…" or "#" marks, unless mayShorten; or as "#" marks
// alone, when mayHash) and within its area.
inline void CheckDrawer(const QWidget* control, const VEK::CTextDrawer& drawer, bool mayShorten,
                        std::vector<std::string>& findings, bool mayHash = false) {
    if (drawer.Text().isEmpty())
        return;
    const bool hashed = !drawer.ShownText().isEmpty() &&
                        drawer.ShownText().count(QLatin1Char('#')) == drawer.ShownText().size();
    if (!mayShorten && drawer.ShownText() != drawer.Text() && !(mayHash && hashed))
        findings.push_back(
            Finding(control, drawer.Text(), "shown as \"" + drawer.ShownText().toStdString() + "\""));
    const QRect area = drawer.TextArea(0, 0);
    const QRect box = drawer.TextBox(0, 0);
    if (box.left() < area.left() || box.right() > area.right() || box.height() > area.height())
        findings.push_back(Finding(control, drawer.ShownText(),
                                   "text " + std::to_string(box.width()) + "x" +
                                       std::to_string(box.height()) + " in " + std::to_string(area.width()) +
                                       "x" + std::to_string(area.height())));
}

// Every cell of a value list as it is drawn, in the part the list's edge leaves; commentColumn may
// end in "…" (-1: none). A cell the edge cuts may show "#" marks, never part of its value.
inline void CheckList(const VEK::MFC::CDrawingListCtrl& list, int commentColumn, const QFont& headerFont,
                      std::vector<std::string>& findings) {
    const QFontMetrics header(headerFont);
    for (int column = 0; column < list.ColumnCount(); ++column) {
        const QString title =
            list.model()->headerData(column, Qt::Horizontal, Qt::AccessibleTextRole).toString();
        const int headerShown =
            std::max(0, std::min(list.columnWidth(column),
                                 list.viewport()->width() - list.columnViewportPosition(column)));
        if (headerShown == list.columnWidth(column) && header.horizontalAdvance(title) > headerShown)
            findings.push_back(
                Finding(&list, title, "header wider than " + std::to_string(list.columnWidth(column))));
        for (int row = 0; row < list.RowCount(); ++row) {
            const auto* cell = dynamic_cast<const CMyTextDrawer*>(list.CellDrawer(column, row).get());
            const QRect whole = list.visualRect(list.model()->index(row, column));
            const QRect shown = whole.intersected(list.viewport()->rect());
            if (cell == nullptr || shown.isEmpty())
                continue;
            VEK::CTextBkDrawer inner = cell->Inner();
            inner.SetSize(shown.width(), list.rowHeight(row));
            CheckDrawer(&list, inner, column == commentColumn, findings, shown.width() < whole.width());
        }
    }
}

// The channel numbers and the title of a row header.
inline void CheckRowHeader(const VEK::MFC::CRowHeaderCtrl& rowHeader, const QFont& font,
                           std::vector<std::string>& findings) {
    const QFontMetrics metrics(font);
    const int room = rowHeader.StripWidth() - 2;
    for (const QString& text : {QStringLiteral("Ch"), QStringLiteral("100")})
        if (metrics.horizontalAdvance(text) > room)
            findings.push_back(Finding(&rowHeader, text, "wider than the strip " + std::to_string(room)));
}

// The controls of a window, the lists' cells included (value lists: cellFont), the file field
// (which scrolls by design) excepted.
inline std::vector<std::string> Check(const QWidget& window, const QFont& cellFont = {}) {
    std::vector<std::string> findings;
    for (const QWidget* control : window.findChildren<QWidget*>()) {
        if (!control->isVisibleTo(&window) || control->width() <= 0)
            continue;
        const QFontMetrics metrics(control->font());
        if (const auto* readout = qobject_cast<const CMyTextStatic*>(control)) {
            if (const auto* drawer = dynamic_cast<const VEK::CTextDrawer*>(readout->Drawer())) {
                VEK::CTextDrawer sized = *drawer;
                sized.SetSize(readout->width(), readout->height());
                CheckDrawer(control, sized, false, findings);
            }
        } else if (const auto* label = qobject_cast<const QLabel*>(control)) {
            if (label->text().isEmpty() || label->wordWrap() || !label->pixmap().isNull())
                continue;
            const QSize text = metrics.boundingRect(QRect(), 0, label->text()).size();
            if (text.width() > label->contentsRect().width() ||
                text.height() > label->contentsRect().height())
                findings.push_back(Finding(control, label->text(), "label too small"));
        } else if (qobject_cast<const QCheckBox*>(control) != nullptr ||
                   qobject_cast<const QRadioButton*>(control) != nullptr) {
            const auto* box = static_cast<const QAbstractButton*>(control);
            if (box->sizeHint().width() > box->width() || box->sizeHint().height() > box->height())
                findings.push_back(Finding(control, box->text(), "check box smaller than its text"));
        } else if (const auto* button = qobject_cast<const QPushButton*>(control)) {
            // The icon buttons show their icon, not their text.
            if (button->text().isEmpty() || qobject_cast<const CMyIconButton*>(control) != nullptr)
                continue;
            const int margin = control->style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, control);
            if (metrics.horizontalAdvance(button->text()) + margin > button->width())
                findings.push_back(Finding(control, button->text(), "button narrower than its text"));
        } else if (const auto* date = qobject_cast<const QDateTimeEdit*>(control)) {
            if (date->sizeHint().width() > date->width())
                findings.push_back(Finding(control, date->text(), "field narrower than its text"));
        } else if (const auto* combo = qobject_cast<const QComboBox*>(control)) {
            if (combo->sizeHint().width() > combo->width())
                findings.push_back(
                    Finding(control, combo->currentText(), "box narrower than its longest item"));
        } else if (const auto* edit = qobject_cast<const QLineEdit*>(control)) {
            if (edit->isReadOnly() || qobject_cast<const QAbstractSpinBox*>(edit->parentWidget()) != nullptr)
                continue;
            if (metrics.horizontalAdvance(edit->text()) + 8 > edit->width())
                findings.push_back(Finding(control, edit->text(), "field narrower than its text"));
        } else if (const auto* list = qobject_cast<const VEK::MFC::CDrawingListCtrl*>(control)) {
            // The comment column is the first when the list has one.
            const bool comment =
                list->model()->headerData(0, Qt::Horizontal, Qt::AccessibleTextRole) == "Comment";
            CheckList(*list, comment ? 0 : -1, cellFont, findings);
        } else if (const auto* rowHeader = qobject_cast<const VEK::MFC::CRowHeaderCtrl*>(control)) {
            CheckRowHeader(*rowHeader, cellFont, findings);
        }
    }
    return findings;
}

}  // namespace text_fit
