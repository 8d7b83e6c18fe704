#include "app/MainDlgControls.h"

#include <QScrollBar>

namespace {

// Graph mode shows these, list mode the others.
constexpr int kGraphButtons[] = {1001, 1002, 1005, 1007, 1006, 1008, 1010, 1009};
constexpr int kGraphReadouts[] = {1011, 1013, 1012, 1025, 1026, 1029, 1028};
constexpr int kGraphScrollBars[] = {1023, 1024};
// Controls no arrangement shows.
constexpr int kAlwaysHidden[] = {1030, 1031, 1019, CMainDlgControls::kGraphCheck,
                                 CMainDlgControls::kSamplingRateLabel};

}  // namespace

CMainDlgControls::CMainDlgControls(QWidget* window) : m_window(window) {
    CreateCommandBar();
    AddLabel(kInformation, QStringLiteral("500msec"));
    AddLabel(kUnitLabel, QStringLiteral("[deg C]"));
    CreateGraphControls();
    AddValueList(kRowHeader0, kList0);
    for (int i = 0; i < 4; ++i) AddValueList(kRowHeaders[i], kLists[i]);
    CreateListControls();
    for (int id : kAlwaysHidden) Widget(id)->hide();

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

void CMainDlgControls::CreateCommandBar() {
    AddLabel(kStatus, QStringLiteral("スタティック"));
    AddButton(kStartStop, QStringLiteral("Start"));
    AddButton(kFileMenu, QStringLiteral("File"));
    AddButton(kEditMenu, QStringLiteral("Edit"));
    AddButton(kViewMenu, QStringLiteral("View"));
    AddButton(kSetupMenu, QStringLiteral("Setup"));
    AddButton(kExit, QStringLiteral("Exit"));
    for (int id : {kStartStop, kFileMenu, kEditMenu, kViewMenu, kSetupMenu, kExit})
        Button(id)->setToolTip(Button(id)->text());
}

void CMainDlgControls::CreateGraphControls() {
    const std::pair<int, const char*> graphButtons[] = {{1001, "TIME+"}, {1002, "TIME-"}, {1005, "TEMP+"},
                                                        {1006, "TEMP-"}, {1007, "AUTO"},  {1010, "CURSOR"},
                                                        {1008, "<"},     {1009, ">"}};
    for (const auto& [id, text] : graphButtons) AddButton(id, QString::fromUtf8(text));
    const std::pair<int, const char*> readouts[] = {{1011, "sec/DIV"}, {1013, "C/DIV"},  {1012, "C/DIV"},
                                                    {1025, "+1300℃"},  {1026, "+1300℃"}, {1029, "+1300℃"},
                                                    {1028, "00:05:03"}};
    for (const auto& [id, text] : readouts) AddLabel(id, QString::fromUtf8(text));
    AddPlaceholder(kGraphArea, QStringLiteral("Graph"));
    Add(new QScrollBar(Qt::Vertical), 1024);
    Add(new QScrollBar(Qt::Horizontal), 1023);
}

void CMainDlgControls::CreateListControls() {
    m_listCount = new QComboBox;
    m_listCount->addItems({QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("4")});
    Add(m_listCount, kListCount);
    AddButton(kPageBack, QStringLiteral("<"));
    AddButton(kPageForward, QStringLiteral(">"));
    m_graphCheck = new QCheckBox(QStringLiteral("GRAPH"));
    Add(m_graphCheck, kGraphCheck);
    for (int id : {1030, 1031}) AddLabel(id, QStringLiteral("スタティック"));
    AddButton(1019, QStringLiteral("CLEAR"));
    AddLabel(kSamplingRateLabel, QStringLiteral("Sampling Rate:"));
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
    delete Widget(kGraphArea);
    Add(area, kGraphArea);
}

QMenu* CMainDlgControls::MenuOf(int buttonId) const {
    auto it = m_menus.find(buttonId);
    return it != m_menus.end() ? it->second : nullptr;
}

void CMainDlgControls::ApplyDisplayMode(bool graphShown, int listCount) {
    for (int id : kGraphButtons) Widget(id)->setVisible(graphShown);
    for (int id : kGraphReadouts) Widget(id)->setVisible(graphShown);
    for (int id : kGraphScrollBars) Widget(id)->setVisible(graphShown);
    for (int id : {kGraphArea, kUnitLabel, kList0, kRowHeader0}) Widget(id)->setVisible(graphShown);
    for (int i = 0; i < 4; ++i) {
        const bool shown = !graphShown && i < listCount;
        Widget(kLists[i])->setVisible(shown);
        Widget(kRowHeaders[i])->setVisible(shown);
    }
    for (int id : {kListCount, kPageBack, kPageForward}) Widget(id)->setVisible(!graphShown);
}
