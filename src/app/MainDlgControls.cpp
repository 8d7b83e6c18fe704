#include "app/MainDlgControls.h"

#include <QBoxLayout>
#include <QScrollBar>

namespace {

// Graph mode shows these, list mode the others.
constexpr int kGraphButtons[] = {1001, 1002, 1005, 1007, 1006, 1008, 1010, 1009};
constexpr int kGraphReadouts[] = {1011, 1013, 1012, 1025, 1026, 1029, 1028};
constexpr int kGraphScrollBars[] = {1023, 1024};
// Controls no layout shows.
constexpr int kAlwaysHidden[] = {1030, 1031, 1019};

}  // namespace

CMainDlgControls::CMainDlgControls(QWidget* window) : m_window(window) {
    auto* layout = new QVBoxLayout(window);
    layout->addLayout(BuildCommandBar());
    auto* information = new QHBoxLayout;
    information->addWidget(AddLabel(kInformation, QStringLiteral("500msec")), 1);
    information->addWidget(AddLabel(kUnitLabel, QStringLiteral("[deg C]")));
    layout->addLayout(information);
    auto* main = new QHBoxLayout;
    // The graph's controls in a panel of their own, so that no space is left where they were.
    m_graphPanel = new QWidget(window);
    m_graphPanel->setLayout(BuildGraphColumn());
    m_graphPanel->layout()->setContentsMargins(0, 0, 0, 0);
    // The graph part and the list beside it share the width 65 : 35.
    main->addWidget(m_graphPanel, 65);
    main->addWidget(AddValueList(kRowHeader0, kList0), 35);
    for (int i = 0; i < 4; ++i) main->addWidget(AddValueList(kRowHeaders[i], kLists[i]), 1);
    layout->addLayout(main, 1);
    layout->addLayout(BuildListArea());
    for (int id : kAlwaysHidden) {
        Widget(id)->hide();
    }

    AddMenu(kFileMenu, 140,
            {{kSaveData, "Save Data"},
             {kLoadData, "Load Data"},
             {kExportSetup, "Export Setup"},
             {kImportSetup, "Import Setup"},
             {kRecoverUnsavedRuns, "Recover Unsaved Runs…"}});
    AddMenu(kEditMenu, 167,
            {{kClearAllData, "Clear All Data"},
             {kDeleteBefore, "Delete Data Before Cursor"},
             {kDeleteAfter, "Delete Data After Cursor"}});
    AddMenu(kViewMenu, 168, {{kGraphDisplay, "Graph Display"}});
    AddMenu(kSetupMenu, 169, {{kSetup, "Setup"}, {kAdjustOffset, "Adjust Offset"}});
    Action(kGraphDisplay)->setCheckable(true);
}

QLayout* CMainDlgControls::BuildCommandBar() {
    auto* bar = new QHBoxLayout;
    bar->addWidget(AddButton(kStartStop, QStringLiteral("Start")));
    bar->addWidget(AddButton(kFileMenu, QStringLiteral("File")));
    bar->addWidget(AddButton(kEditMenu, QStringLiteral("Edit")));
    bar->addWidget(AddButton(kViewMenu, QStringLiteral("View")));
    bar->addWidget(AddButton(kSetupMenu, QStringLiteral("Setup")));
    QLabel* status = AddLabel(kStatus, QStringLiteral("スタティック"));
    status->setMinimumHeight(2 * status->fontMetrics().height() + 8);
    bar->addWidget(status, 1);
    bar->addWidget(AddButton(kExit, QStringLiteral("Exit")));
    for (int id : {kStartStop, kFileMenu, kEditMenu, kViewMenu, kSetupMenu, kExit}) {
        Button(id)->setToolTip(Button(id)->text());
        Button(id)->setMinimumHeight(status->minimumHeight());
    }
    return bar;
}

QLayout* CMainDlgControls::BuildGraphColumn() {
    auto* buttons = new QHBoxLayout;
    const std::pair<int, const char*> graphButtons[] = {{1001, "TIME+"}, {1002, "TIME-"}, {1005, "TEMP+"},
                                                        {1006, "TEMP-"}, {1007, "AUTO"},  {1010, "CURSOR"},
                                                        {1008, "<"},     {1009, ">"}};
    for (const auto& [id, text] : graphButtons) buttons->addWidget(AddButton(id, QString::fromUtf8(text)));
    buttons->addStretch(1);
    auto* readoutRow = new QHBoxLayout;
    const std::pair<int, const char*> readouts[] = {{1011, "sec/DIV"}, {1013, "C/DIV"},  {1012, "C/DIV"},
                                                    {1025, "+1300℃"},  {1026, "+1300℃"}, {1029, "+1300℃"},
                                                    {1028, "00:05:03"}};
    for (const auto& [id, text] : readouts) readoutRow->addWidget(AddLabel(id, QString::fromUtf8(text)));
    readoutRow->addStretch(1);

    auto* area = new QHBoxLayout;
    auto* graph = AddPlaceholder(kGraphArea, QStringLiteral("Graph"));
    area->addWidget(graph, 1);
    area->addWidget(Add(new QScrollBar(Qt::Vertical), 1024));
    auto* column = new QVBoxLayout;
    column->addLayout(buttons);
    column->addLayout(readoutRow);
    column->addLayout(area, 1);
    column->addWidget(Add(new QScrollBar(Qt::Horizontal), 1023));
    return column;
}

QLayout* CMainDlgControls::BuildListArea() {
    auto* bar = new QHBoxLayout;
    m_listCount = new QComboBox;
    m_listCount->addItems({QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("4")});
    bar->addWidget(Add(m_listCount, kListCount));
    bar->addWidget(AddButton(kPageBack, QStringLiteral("<")));
    bar->addWidget(AddButton(kPageForward, QStringLiteral(">")));
    bar->addStretch(1);
    m_graphCheck = new QCheckBox(QStringLiteral("GRAPH"));
    bar->addWidget(Add(m_graphCheck, kGraphCheck));
    m_graphCheck->hide();
    for (int id : {1030, 1031}) bar->addWidget(AddLabel(id, QStringLiteral("スタティック")));
    bar->addWidget(AddButton(1019, QStringLiteral("CLEAR")));
    return bar;
}

QWidget* CMainDlgControls::Add(QWidget* widget, int id) {
    widget->setParent(m_window);
    widget->setObjectName(QString::number(id));
    m_widgets[id] = widget;
    return widget;
}

QPushButton* CMainDlgControls::AddButton(int id, const QString& text) {
    auto* button = new QPushButton(text);
    // Enter does nothing in the main window: no button is a default one.
    button->setAutoDefault(false);
    Add(button, id);
    return button;
}

QLabel* CMainDlgControls::AddLabel(int id, const QString& text) {
    auto* label = new QLabel(text);
    Add(label, id);
    return label;
}

QWidget* CMainDlgControls::AddPlaceholder(int id, const QString& text) {
    QLabel* placeholder = AddLabel(id, text);
    placeholder->setFrameShape(QFrame::StyledPanel);
    placeholder->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    placeholder->setAutoFillBackground(true);
    QPalette palette = placeholder->palette();
    palette.setColor(QPalette::Window, Qt::white);
    placeholder->setPalette(palette);
    return placeholder;
}

QWidget* CMainDlgControls::AddValueList(int rowHeaderId, int listId) {
    Add(new VEK::MFC::CDrawingListCtrl, listId);
    return Add(new VEK::MFC::CRowHeaderCtrl, rowHeaderId);
}

QMenu* CMainDlgControls::AddMenu(int buttonId, int menuId,
                                 const std::vector<std::pair<int, const char*>>& items) {
    auto* menu = new QMenu(m_window);
    menu->setObjectName(QString::number(menuId));
    for (const auto& [command, text] : items) {
        QAction* action = menu->addAction(QString::fromUtf8(text));
        action->setObjectName(QString::number(command));
        m_actions[command] = action;
    }
    m_menus[buttonId] = menu;
    return menu;
}

void CMainDlgControls::SetGraphArea(QWidget* area) {
    QWidget* placeholder = Widget(kGraphArea);
    Add(area, kGraphArea);
    delete m_graphPanel->layout()->replaceWidget(placeholder, area);
    delete placeholder;
}

QMenu* CMainDlgControls::MenuOf(int buttonId) const {
    auto it = m_menus.find(buttonId);
    return it != m_menus.end() ? it->second : nullptr;
}

void CMainDlgControls::ApplyDisplayMode(bool graphShown, int listCount) {
    m_graphPanel->setVisible(graphShown);
    for (int id : kGraphButtons) Widget(id)->setVisible(graphShown);
    for (int id : kGraphReadouts) Widget(id)->setVisible(graphShown);
    for (int id : kGraphScrollBars) Widget(id)->setVisible(graphShown);
    for (int id : {kGraphArea, kList0, kRowHeader0}) Widget(id)->setVisible(graphShown);
    for (int i = 0; i < 4; ++i) {
        const bool shown = !graphShown && i < listCount;
        Widget(kLists[i])->setVisible(shown);
        Widget(kRowHeaders[i])->setVisible(shown);
    }
    for (int id : {kListCount, kPageBack, kPageForward}) Widget(id)->setVisible(!graphShown);
}
