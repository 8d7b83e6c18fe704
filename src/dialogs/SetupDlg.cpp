#include "dialogs/SetupDlg.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <algorithm>
#include <vector>

#include "dialogs/DialogUnits.h"
#include "dialogs/OperatorPrompt.h"
#include "dialogs/SetupListView.h"
#include "dialogs/UserCommentDlg.h"
#include "display/DialogFont.h"
#include "files/CodeTables.h"

namespace {

const QColor kDialogGrey(240, 240, 240);
// The cells' font: the dialog font at 0.7 of its height and width.
constexpr double kCellFontScale = 0.7;

// Ids of the ON and OFF columns' check boxes, rows Comment, Type, Battery, Version (bits 0..3).
constexpr int kSingleIds[4] = {1072, 1066, 1067, 1068};
constexpr int kOnlyIds[4] = {1073, 1069, 1070, 1071};
constexpr int kCheckRowsY[4] = {100, 119, 138, 157};
// The columns' left edges.
constexpr int kSingleX = 216;
constexpr int kOnlyX = 245;

// The type menu's items: text, command, type code.
struct TTypeItem {
    const char* text;
    int command;
    int32_t type;
};
constexpr TTypeItem kTypeItems[] = {{"K", 32773, 1}, {"T", 32774, 2}, {"J", 32782, 3}};

uint8_t Bits(QCheckBox* const (&boxes)[4]) {
    uint8_t bits = 0;
    for (int i = 0; i < 4; ++i) bits = static_cast<uint8_t>(bits | (boxes[i]->isChecked() ? 1 << i : 0));
    return bits;
}

}  // namespace

CSetupDlg::CSetupDlg(IOperatorPrompt& prompt, const VEK::TParameterSet& set, QWidget* parent)
    : QDialog(parent), m_prompt(prompt), m_model(set) {
    setObjectName(QStringLiteral("138"));
    setWindowTitle(QStringLiteral("SETUP"));
    setWindowFlag(Qt::WindowStaysOnTopHint);
    setFont(DialogFont(14));
    QPalette colours = palette();
    colours.setColor(QPalette::Window, kDialogGrey);
    colours.setColor(QPalette::WindowText, Qt::black);
    setPalette(colours);
    setAutoFillBackground(true);
    Build();
    ApplyChoices(m_model.InitialChoices());
}

void CSetupDlg::Build() {
    const CDialogUnits units(font());
    setFixedSize(units.Size(283, 219));
    auto place = [this](QWidget* widget, const char* id, const QRect& rect) {
        widget->setParent(this);
        if (id != nullptr)
            widget->setObjectName(QString::fromLatin1(id));
        widget->setGeometry(rect);
        return widget;
    };
    auto* ok = new QPushButton(QStringLiteral("OK"));
    place(ok, "1", units.Rect(170, 198, 50, 14));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &CSetupDlg::accept);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"));
    place(cancel, "2", units.Rect(226, 198, 50, 14));
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    const struct {
        const char* text;
        QRect rect;
    } labels[] = {{"Sampling Rate", units.Rect(139, 30, 56, 8)},
                  {"System No", units.Rect(146, 9, 49, 8)},
                  {"Information Column", units.Rect(124, 77, 71, 8)},
                  {"[Comment]", units.Rect(159, 100, 37, 8)},
                  {"[Type]", units.Rect(175, 119, 21, 8)},
                  {"[Battery]", units.Rect(166, 138, 30, 8)},
                  {"[Version]", units.Rect(166, 157, 31, 8)},
                  {"[Graph Display]", units.Rect(210, 77, 51, 8)},
                  {"Temperature Unit", units.Rect(130, 48, 65, 8)}};
    for (const auto& label : labels) PlaceLabel(QString::fromUtf8(label.text), label.rect, units.X(200));
    // The template's "ON        OFF" spaces its words for one font; each stands over its column.
    PlaceColumnTitle(QStringLiteral("ON"), units.X(kSingleX), units.Rect(0, 89, 0, 8));
    PlaceColumnTitle(QStringLiteral("OFF"), units.X(kOnlyX), units.Rect(0, 89, 0, 8));

    m_rate = new QComboBox;
    place(m_rate, "1034", units.Rect(201, 28, 75, 14));
    for (int code : m_model.RateCodes())
        m_rate->addItem(QString::fromStdString(VEK::SamplingRateName(code)), code);
    m_systemNumber = new QComboBox;
    place(m_systemNumber, "1035", units.Rect(201, 7, 75, 14));
    for (int number = 1; number <= CSetupDlgModel::kMaxSystemNumber; ++number)
        m_systemNumber->addItem(QString::number(number), number);

    QFont cellFont = font();
    cellFont.setPointSizeF(font().pointSizeF() * kCellFontScale);
    m_list = new CSetupListView(m_model, cellFont, this);
    place(m_list, nullptr, units.Rect(7, 7, 111, 205));
    connect(m_list, &CSetupListView::cellClicked, this, &CSetupDlg::OnCellClicked);

    BuildCheckBoxes(units);
    m_celsius = new QRadioButton(QStringLiteral("deg C"));
    place(m_celsius, "1076", units.Rect(201, 48, 31, 11));
    m_fahrenheit = new QRadioButton(QStringLiteral("deg F"));
    place(m_fahrenheit, "1077", units.Rect(242, 48, 31, 11));
    auto* unit = new QButtonGroup(this);
    unit->addButton(m_celsius);
    unit->addButton(m_fahrenheit);
    BuildTypeMenu();
    // Tab goes in reading order: system number, rate, unit, the check boxes row by row, OK, Cancel.
    std::vector<QWidget*> order = {m_systemNumber, m_rate, m_celsius, m_fahrenheit};
    for (int i = 0; i < 4; ++i) order.insert(order.end(), {m_single[i], m_only[i]});
    order.insert(order.end(), {ok, cancel});
    for (size_t i = 1; i < order.size(); ++i) setTabOrder(order[i - 1], order[i]);
}

void CSetupDlg::PlaceLabel(const QString& text, QRect rect, int controlsLeft) {
    auto* label = new QLabel(text, this);
    // The template's widths fit its own font; a wider stand-in font must not cut the text. Labels
    // before the controls' column keep their right edge there, the others their left edge.
    const int width = std::max(rect.width(), label->sizeHint().width());
    if (rect.right() < controlsLeft) {
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        rect.setLeft(rect.right() + 1 - width);
    } else {
        rect.setWidth(width);
    }
    rect.setHeight(std::max(rect.height(), label->sizeHint().height()));
    label->setGeometry(rect);
}

void CSetupDlg::PlaceColumnTitle(const QString& text, int columnLeft, QRect rect) {
    auto* label = new QLabel(text, this);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    const int indicator = style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, this);
    const QSize size = label->sizeHint().expandedTo(QSize(0, rect.height()));
    label->setGeometry(columnLeft + indicator / 2 - size.width() / 2, rect.y(), size.width(), size.height());
}

void CSetupDlg::BuildCheckBoxes(const CDialogUnits& units) {
    for (int i = 0; i < 4; ++i) {
        m_single[i] = new QCheckBox(this);
        m_single[i]->setObjectName(QString::number(kSingleIds[i]));
        m_single[i]->setGeometry(units.Rect(kSingleX, kCheckRowsY[i] - 1, 10, 10));
        m_only[i] = new QCheckBox(this);
        m_only[i]->setObjectName(QString::number(kOnlyIds[i]));
        m_only[i]->setGeometry(units.Rect(kOnlyX, kCheckRowsY[i] - 1, 10, 10));
    }
}

void CSetupDlg::BuildTypeMenu() {
    m_typeMenu = new QMenu(this);
    m_typeMenu->setObjectName(QStringLiteral("139"));
    for (const TTypeItem& item : kTypeItems) {
        QAction* action = m_typeMenu->addAction(QString::fromLatin1(item.text));
        action->setObjectName(QString::number(item.command));
        const int32_t type = item.type;
        connect(action, &QAction::triggered, this, [this, type] {
            m_model.ChooseType(type);
            m_list->viewport()->update();
        });
    }
}

void CSetupDlg::ApplyChoices(const CSetupDlgModel::TChoices& choices) {
    m_rate->setCurrentIndex(m_model.RateIndex());
    m_systemNumber->setCurrentIndex(m_model.SystemNumberIndex());
    for (int i = 0; i < 4; ++i) {
        m_single[i]->setChecked((choices.visibleItemsSingle >> i) & 1);
        m_only[i]->setChecked((choices.visibleItemsOnly >> i) & 1);
    }
    (choices.fahrenheit ? m_fahrenheit : m_celsius)->setChecked(true);
}

CSetupDlgModel::TChoices CSetupDlg::Choices() const {
    CSetupDlgModel::TChoices choices;
    choices.systemNumber = m_systemNumber->currentIndex() < 0 ? -1 : m_systemNumber->currentData().toInt();
    choices.rateCode = m_rate->currentData().toInt();
    choices.visibleItemsSingle = Bits(m_single);
    choices.visibleItemsOnly = Bits(m_only);
    choices.fahrenheit = m_fahrenheit->isChecked();
    return choices;
}

void CSetupDlg::accept() {
    if (!m_model.Accept(Choices())) {
        m_prompt.Tell(IOperatorPrompt::EIcon::kError, kSystemNumberRefused);
        m_systemNumber->setFocus();
        return;
    }
    QDialog::accept();
}

void CSetupDlg::OnCellClicked(int row, int column, const QRect& globalCell) {
    switch (m_model.Click(row, column)) {
        case CSetupDlgModel::EClick::kTypeMenu:
            // Right edge at the cell's right edge, top at its bottom.
            m_typeMenu->popup(
                QPoint(globalCell.right() + 1 - m_typeMenu->sizeHint().width(), globalCell.bottom() + 1));
            break;
        case CSetupDlgModel::EClick::kComment:
            EditComment(row);
            break;
        case CSetupDlgModel::EClick::kNothing:
            break;
    }
    m_list->viewport()->update();
}

void CSetupDlg::EditComment(int channel) {
    CUserCommentDlg dialog(channel, m_model.Parameters().comment[static_cast<size_t>(channel)], this);
    if (m_prompt.Run(dialog) == QDialog::Accepted)
        m_model.SetComment(channel, dialog.Comment());
}
