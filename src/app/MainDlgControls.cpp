#include "app/MainDlgControls.h"

#include <QShortcut>

#include "display/GraphScaleNames.h"
#include "display/MyFlameStatic.h"

namespace {

using VEK::CTextDrawer;

// Graph mode shows these, list mode the others.
constexpr int kGraphButtons[] = {1001, 1002, 1005, 1007, 1006, 1008, 1010, 1009};
constexpr int kGraphReadouts[] = {1011, 1013, 1012, 1025, 1026, 1029, 1028};
constexpr int kGraphScrollBars[] = {1023, 1024};
// Controls no arrangement shows.
constexpr int kAlwaysHidden[] = {1030, 1031, 1019, CMainDlgControls::kGraphCheck,
                                 CMainDlgControls::kSamplingRateLabel};

constexpr uint32_t kBlack = 0x000000;
constexpr uint32_t kCentred = CTextDrawer::kCentre | CTextDrawer::kVCentre;

// The read-outs' widest texts: every scale name, the longest times and temperatures.
QStringList TimeDivTexts() {
    QStringList texts;
    for (int32_t index = 1; index <= kTimeDivCount; ++index)
        texts << QString::fromStdString(TimeDivName(index) + "/DIV");
    return texts;
}
QStringList TempDivTexts() {
    QStringList texts;
    for (int32_t index = 1; index <= kTempDivCount; ++index)
        for (uint32_t unit : {0u, 1u}) texts << QString::fromStdString(TempDivName(index, unit) + "/DIV");
    return texts;
}
const QStringList kTemperatureTexts = {"+8888", "-8888"};

// The keys a person expects: the commands, the graph's scales, cursor and pages.
const std::map<int, QKeySequence>& Shortcuts() {
    static const std::map<int, QKeySequence> keys = {
        {CMainDlgControls::kStartStop, QKeySequence(Qt::Key_F5)},
        {CMainDlgControls::kExit, QKeySequence(Qt::CTRL | Qt::Key_Q)},
        {CMainDlgControls::kSaveData, QKeySequence(Qt::CTRL | Qt::Key_S)},
        {CMainDlgControls::kLoadData, QKeySequence(Qt::CTRL | Qt::Key_O)},
        {CMainDlgControls::kSetup, QKeySequence(Qt::CTRL | Qt::Key_Comma)},
        {CMainDlgControls::kGraphDisplay, QKeySequence(Qt::CTRL | Qt::Key_G)},
        {1001, QKeySequence(Qt::CTRL | Qt::Key_Right)},
        {1002, QKeySequence(Qt::CTRL | Qt::Key_Left)},
        {1005, QKeySequence(Qt::CTRL | Qt::Key_Up)},
        {1006, QKeySequence(Qt::CTRL | Qt::Key_Down)},
        {1007, QKeySequence(Qt::CTRL | Qt::Key_A)},
        {1010, QKeySequence(Qt::CTRL | Qt::Key_K)},
        {1008, QKeySequence(Qt::Key_Left)},
        {1009, QKeySequence(Qt::Key_Right)},
        {CMainDlgControls::kPageBack, QKeySequence(Qt::CTRL | Qt::Key_PageUp)},
        {CMainDlgControls::kPageForward, QKeySequence(Qt::CTRL | Qt::Key_PageDown)},
    };
    return keys;
}

QString WithKey(const QString& name, const QKeySequence& key) {
    return key.isEmpty() ? name : QStringLiteral("%1 (%2)").arg(name, key.toString(QKeySequence::NativeText));
}

}  // namespace

CMainDlgControls::CMainDlgControls(QWidget* window) : m_window(window) {
    CreateCommandBar();
    AddReadout(kInformation, QStringLiteral("500msec"), QStringLiteral("Information"),
               CTextDrawer::kLeft | CTextDrawer::kVCentre);
    AddReadout(kUnitLabel, QStringLiteral("[deg C]"), QStringLiteral("Temperature unit"), CTextDrawer::kRight,
               {QStringLiteral("[deg C]"), QStringLiteral("[deg F]")});
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
    SetTabOrder();
}

void CMainDlgControls::CreateCommandBar() {
    // Colours come from the status line; the widest text is a run with a stop time.
    AddReadout(kStatus, QStringLiteral("スタティック"), QStringLiteral("Status"), kCentred,
               {QStringLiteral("Not Ready"), QStringLiteral("Measuring\nRemaining Time: 999:59:59")});
    AddIconButton(kStartStop, 158, QStringLiteral("Start"), QStringLiteral("Start"));
    AddIconButton(kFileMenu, 157, QStringLiteral("File"), QStringLiteral("File"));
    AddIconButton(kEditMenu, 160, QStringLiteral("Edit"), QStringLiteral("Edit"));
    AddIconButton(kViewMenu, 161, QStringLiteral("View"), QStringLiteral("View"));
    AddIconButton(kSetupMenu, 156, QStringLiteral("Setup"), QStringLiteral("Setup"));
    AddIconButton(kExit, 162, QStringLiteral("Exit"), QStringLiteral("Exit"));
}

void CMainDlgControls::CreateGraphControls() {
    struct TButton {
        int id;
        int icon;
        const char* text;
        const char* toolTip;
    };
    const TButton graphButtons[] = {
        {1001, 130, "TIME+", "Time/div up"}, {1002, 131, "TIME-", "Time/div down"},
        {1005, 132, "TEMP+", "Temp/div up"}, {1006, 133, "TEMP-", "Temp/div down"},
        {1007, 165, "AUTO", "Auto scale"},   {1010, 166, "CURSOR", "Cursor"},
        {1008, 163, "<", "Cursor left"},     {1009, 164, ">", "Cursor right"},
    };
    for (const TButton& button : graphButtons)
        AddIconButton(button.id, button.icon, QString::fromUtf8(button.text),
                      QString::fromUtf8(button.toolTip));
    AddReadout(1011, QStringLiteral("sec/DIV"), QStringLiteral("Time per division"), kCentred,
               TimeDivTexts());
    AddReadout(1013, QStringLiteral("C/DIV"), QStringLiteral("Temperature per division"), kCentred,
               TempDivTexts());
    AddReadout(1012, QString(), QStringLiteral("Cursor time"), kCentred, {QStringLiteral("888h88m88.8sec")});
    AddReadout(1025, QStringLiteral("+1300"), QStringLiteral("Top of the temperature scale"),
               CTextDrawer::kRight, kTemperatureTexts);
    AddReadout(1026, QStringLiteral("+550"), QStringLiteral("Centre of the temperature scale"),
               CTextDrawer::kRight | CTextDrawer::kVCentre, kTemperatureTexts);
    AddReadout(1029, QStringLiteral("-200"), QStringLiteral("Bottom of the temperature scale"),
               CTextDrawer::kRight | CTextDrawer::kBottom, kTemperatureTexts);
    AddReadout(kElapsedReadout, QStringLiteral("00:00:00"), QStringLiteral("Time at the graph's right edge"),
               CTextDrawer::kRight | CTextDrawer::kVCentre, {QStringLiteral("8888:88:88")});
    AddPlaceholder(kGraphArea, QStringLiteral("Graph"));
    Add(new VEK::MFC::CScrollBarEx(Qt::Vertical), 1024);
    Add(new VEK::MFC::CScrollBarEx(Qt::Horizontal), 1023);
    ScrollBar(1023)->setAccessibleName(QStringLiteral("Time scroll bar"));
    ScrollBar(1023)->setAccessibleDescription(QStringLiteral("Page Up, Page Down, Home, End"));
    ScrollBar(1024)->setAccessibleName(QStringLiteral("Temperature scroll bar"));
    ScrollBar(1024)->setAccessibleDescription(QStringLiteral("Shift+Page Up, Shift+Page Down"));
    // The keys scroll as the bars' own requests do.
    using VEK::MFC::CScrollBarEx;
    const std::tuple<int, QKeySequence, CScrollBarEx::ERequest> keys[] = {
        {1023, QKeySequence(Qt::Key_PageUp), CScrollBarEx::kPageUp},
        {1023, QKeySequence(Qt::Key_PageDown), CScrollBarEx::kPageDown},
        {1023, QKeySequence(Qt::Key_Home), CScrollBarEx::kTop},
        {1023, QKeySequence(Qt::Key_End), CScrollBarEx::kBottom},
        {1024, QKeySequence(Qt::SHIFT | Qt::Key_PageUp), CScrollBarEx::kPageUp},
        {1024, QKeySequence(Qt::SHIFT | Qt::Key_PageDown), CScrollBarEx::kPageDown},
    };
    for (const auto& [id, key, request] : keys) {
        CScrollBarEx* bar = ScrollBar(id);
        QObject::connect(new QShortcut(key, m_window), &QShortcut::activated, bar, [bar, request = request] {
            if (bar->isVisible() && bar->isEnabled())
                bar->Scroll(request);
        });
    }
}

void CMainDlgControls::CreateListControls() {
    m_listCount = new QComboBox;
    m_listCount->addItems({QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("4")});
    Add(m_listCount, kListCount);
    AddIconButton(kPageBack, 135, QStringLiteral("<"), QStringLiteral("Previous lists"));
    AddIconButton(kPageForward, 134, QStringLiteral(">"), QStringLiteral("Next lists"));
    m_graphCheck = new QCheckBox(QStringLiteral("GRAPH"));
    Add(m_graphCheck, kGraphCheck);
    for (int id : {1030, 1031}) Add(new CMyFlameStatic, id);
    AddButton(1019, QStringLiteral("CLEAR"));
    AddReadout(kSamplingRateLabel, QStringLiteral("Sampling Rate:"), QStringLiteral("Sampling rate"),
               kCentred);
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

CMyIconButton* CMainDlgControls::AddIconButton(int id, int icon, const QString& text, const QString& name) {
    auto* button = new CMyIconButton;
    button->setText(text);
    Add(button, id);
    SetButtonName(id, name);
    // A click at once, repeated while the key is held (the button's own shortcut clicks later,
    // animated, and once).
    if (const QKeySequence key = Shortcut(id); !key.isEmpty())
        QObject::connect(new QShortcut(key, m_window), &QShortcut::activated, button, [button] {
            if (button->isVisible() && button->isEnabled())
                button->click();
        });
    SetButtonIcon(id, icon);
    return button;
}

void CMainDlgControls::SetButtonName(int id, const QString& name) {
    QPushButton* button = Button(id);
    button->setAccessibleName(name);
    button->setToolTip(WithKey(name, Shortcut(id)));
    button->setAccessibleDescription(button->toolTip());
}

QKeySequence CMainDlgControls::Shortcut(int id) {
    const auto it = Shortcuts().find(id);
    return it != Shortcuts().end() ? it->second : QKeySequence();
}

void CMainDlgControls::SetButtonIcon(int id, int icon) {
    IconButton(id)->SetIcon(m_icons.Icon(icon));
}

QLabel* CMainDlgControls::AddLabel(int id, const QString& text) {
    auto* label = new QLabel(text);
    Add(label, id);
    return label;
}

CMyTextStatic* CMainDlgControls::AddReadout(int id, const QString& text, const QString& label,
                                            uint32_t format, const QStringList& widest) {
    auto* readout = new CMyTextStatic(text);
    readout->SetAccessibleLabel(label);
    readout->SetFormat(format);
    readout->SetTextColor(kBlack);
    readout->SetWidestTexts(widest);
    Add(readout, id);
    return readout;
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
        // Shown in the menu; the window's own shortcut triggers it while the menu is closed.
        if (const QKeySequence key = Shortcut(command); !key.isEmpty()) {
            action->setShortcut(key);
            action->setShortcutContext(Qt::WidgetShortcut);
            auto* shortcut = new QShortcut(key, m_window);
            QObject::connect(shortcut, &QShortcut::activated, action, [action] {
                if (action->isEnabled())
                    action->trigger();
            });
        }
    }
    m_menus[buttonId] = menu;
    return menu;
}

void CMainDlgControls::SetGraphArea(QWidget* area) {
    delete Widget(kGraphArea);
    Add(area, kGraphArea);
}

void CMainDlgControls::SetTabOrder() {
    const int order[] = {kStartStop, kFileMenu, kEditMenu, kViewMenu,    kSetupMenu, kExit,
                         1005,       1007,      1006,      1001,         1002,       1008,
                         1010,       1009,      kPageBack, kPageForward, kListCount};
    for (size_t i = 1; i < std::size(order); ++i)
        QWidget::setTabOrder(Widget(order[i - 1]), Widget(order[i]));
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
