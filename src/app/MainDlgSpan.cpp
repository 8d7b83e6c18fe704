// The span window of the main window: made with it, shown by Edit > Span Statistics.
#include "app/MainDlg.h"

#include <QShortcut>

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
    m_span->show();
    m_span->raise();
    m_span->activateWindow();
}
