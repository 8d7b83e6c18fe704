#pragma once
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <map>
#include <vector>

#include "display/DrawingListCtrl.h"
#include "display/IconManager.h"
#include "display/MyIconButton.h"
#include "display/MyTextStatic.h"
#include "display/RowHeaderCtrl.h"
#include "display/ScrollBarEx.h"

// The controls of the main window (dialog 102), each named by its id ("1016"...): icon buttons,
// read-outs drawn as text statics, the graph's self-applying scroll bars, the graph area (the
// graph's), and the channel value lists, each carried by its row header; the window's arrangement
// places them. Also the four menus with their commands, named by command id ("32777"...).
class CMainDlgControls {
public:
    enum EId {
        kStartStop = 1016,
        kFileMenu = 1003,
        kEditMenu = 1042,
        kViewMenu = 1043,
        kSetupMenu = 1018,
        kExit = 1045,
        kStatus = 1017,
        kInformation = 1021,
        kUnitLabel = 1046,
        kGraphArea = 1022,
        kListCount = 1044,
        kPageBack = 1040,
        kPageForward = 1041,
        kGraphCheck = 1056,
        kElapsedReadout = 1028,
        kSamplingRateLabel = 1027,
        // The channel value list beside the graph and its row header.
        kList0 = 1014,
        kRowHeader0 = 1015,
    };
    enum ECommand {
        kSaveData = 32777,
        kLoadData = 32778,
        kExportSetup = 32779,
        kImportSetup = 32780,
        kClearAllData = 32786,
        kDeleteBefore = 32789,
        kDeleteAfter = 32788,
        kGraphDisplay = 32790,
        kSetup = 32793,
        kAdjustOffset = 32794,
        kRecoverUnsavedRuns = 32795,
    };
    // The lists of the layout without graph, 1 to 4, with their row headers.
    static constexpr int kLists[4] = {1038, 1020, 1034, 1036};
    static constexpr int kRowHeaders[4] = {1039, 1033, 1035, 1037};

    // Creates every control and menu as a child of window.
    explicit CMainDlgControls(QWidget* window);

    QWidget* Widget(int id) const { return m_widgets.at(id); }
    QPushButton* Button(int id) const { return static_cast<QPushButton*>(m_widgets.at(id)); }
    CMyIconButton* IconButton(int id) const { return static_cast<CMyIconButton*>(m_widgets.at(id)); }
    QLabel* Label(int id) const { return static_cast<QLabel*>(m_widgets.at(id)); }
    CMyTextStatic* Readout(int id) const { return static_cast<CMyTextStatic*>(m_widgets.at(id)); }
    VEK::MFC::CScrollBarEx* ScrollBar(int id) const {
        return static_cast<VEK::MFC::CScrollBarEx*>(m_widgets.at(id));
    }
    // Shows the icon of that resource number on an icon button.
    void SetButtonIcon(int id, int icon);
    // An icon button's name for assistive technology and its tool tip, which also names the
    // button's key ("Start (F5)").
    void SetButtonName(int id, const QString& name);
    // The key of an icon button or a menu command, empty for none.
    static QKeySequence Shortcut(int id);
    QComboBox* ListCountBox() const { return m_listCount; }
    QCheckBox* GraphCheck() const { return m_graphCheck; }
    VEK::MFC::CDrawingListCtrl* ValueList(int id) const {
        return static_cast<VEK::MFC::CDrawingListCtrl*>(m_widgets.at(id));
    }
    VEK::MFC::CRowHeaderCtrl* RowHeader(int id) const {
        return static_cast<VEK::MFC::CRowHeaderCtrl*>(m_widgets.at(id));
    }
    // The menu a menu button opens; nothing for other ids.
    QMenu* MenuOf(int buttonId) const;
    QAction* Action(int command) const { return m_actions.at(command); }

    // With the graph: the graph's buttons, read-outs, unit, scroll bars and area, list 0 and its
    // row header; without: lists 1 to listCount with their row headers, the combo box and the page
    // buttons.
    void ApplyDisplayMode(bool graphShown, int listCount);
    // The graph's area takes the id of the graph static, which goes.
    void SetGraphArea(QWidget* area);
    // Tab goes through the buttons in reading order: the top bar, the graph's groups left to
    // right, the page buttons and the list count.
    void SetTabOrder();

private:
    QWidget* Add(QWidget* widget, int id);
    QPushButton* AddButton(int id, const QString& text);
    // text: the button's name for tests; name: for the tool tip and assistive technology. The
    // face shows only the icon.
    CMyIconButton* AddIconButton(int id, int icon, const QString& text, const QString& name);
    QLabel* AddLabel(int id, const QString& text);
    // A read-out in its look: format flags, text colour, and the texts whose widest sets its size;
    // label: what it shows, for assistive technology.
    CMyTextStatic* AddReadout(int id, const QString& text, const QString& label, uint32_t format,
                              const QStringList& widest = {});
    QWidget* AddPlaceholder(int id, const QString& text);
    // A row header with its list; the row header takes the list in when the lists are set up.
    QWidget* AddValueList(int rowHeaderId, int listId);
    // Each command with a key gets a shortcut of the window that triggers it while it is enabled.
    QMenu* AddMenu(int buttonId, int menuId, const std::vector<std::pair<int, const char*>>& items);
    void CreateCommandBar();
    void CreateGraphControls();
    void CreateListControls();

    QWidget* m_window;
    VEK::CIconManager m_icons;
    std::map<int, QWidget*> m_widgets;
    std::map<int, QMenu*> m_menus;
    std::map<int, QAction*> m_actions;
    QComboBox* m_listCount = nullptr;
    QCheckBox* m_graphCheck = nullptr;
};
