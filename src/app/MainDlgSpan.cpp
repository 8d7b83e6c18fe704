// The span window of the main window: made with it, shown by Edit > Span Statistics.
#include "app/MainDlg.h"

#include <QScreen>
#include <QShortcut>
#include <algorithm>

namespace {
using Ids = CMainDlgControls;
}  // namespace

void CMainDlg::CreateSpanWindow() {
    // The tests' prompt answers the span window's boxes too; the platform's are modal to it.
    IOperatorPrompt* prompt = m_ownPrompt != nullptr ? nullptr : &m_prompt;
    m_span = std::make_unique<CSpanDlg>(m_controller.Store(), m_graph.Graph(), prompt, this);
    QAction* command = m_controls.Action(Ids::kSpanStatistics);
    const QKeySequence key(Qt::CTRL | Qt::Key_T);
    command->setShortcut(key);  // shown in the menu
    connect(command, &QAction::triggered, this, &CMainDlg::ShowSpanWindow);
    // The window only reads: it opens while measuring too, when the Edit menu is disabled.
    connect(new QShortcut(key, this), &QShortcut::activated, this, &CMainDlg::ShowSpanWindow);
}

void CMainDlg::ShowSpanWindow() {
    // Never placed (lastone.ini had no place for it): beside the main window, on the screen. Its
    // frame is not known before it shows; the main window's is the same window manager's.
    if (!m_span->testAttribute(Qt::WA_Moved) && screen() != nullptr) {
        const QRect available = screen()->availableGeometry();
        const int frameWidth = m_span->width() + frameGeometry().width() - width();
        const int x = std::min(frameGeometry().right() + 8, available.right() + 1 - frameWidth);
        m_span->move(std::max(x, available.left()), y());
    }
    m_span->show();
    m_span->raise();
    m_span->activateWindow();
}
