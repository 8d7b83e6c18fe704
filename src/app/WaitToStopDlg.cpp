#include "app/WaitToStopDlg.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include "display/DialogFont.h"
#include "display/StandardIcons.h"

CWaitToStopDlg::CWaitToStopDlg(std::function<bool()> stopped, QWidget* parent)
    : QDialog(parent), m_stopped(std::move(stopped)) {
    setWindowTitle(QStringLiteral("WaitToStop"));
    setObjectName(QStringLiteral("WaitToStop"));
    setFont(DialogFont(10));

    auto* icon = new QLabel;
    icon->setObjectName(QStringLiteral("icon"));
    icon->setPixmap(StandardIconPixmap(*this, QStyle::SP_MessageBoxInformation));
    auto* text = new QLabel(QStringLiteral("停止処理を行っています。"));
    auto* note = new QLabel(QStringLiteral("※Cancelした場合、温測ユニットの\n電源を入れなおしてください。"));
    auto* cancel = new QPushButton(QStringLiteral("Cancel"));
    cancel->setObjectName(QStringLiteral("cancel"));
    cancel->setAutoDefault(false);
    connect(cancel, &QPushButton::clicked, this, [this] { done(kCancelled); });

    auto* texts = new QVBoxLayout;
    texts->addWidget(text);
    texts->addWidget(note);
    auto* top = new QHBoxLayout;
    top->addWidget(icon, 0, Qt::AlignTop);
    top->addLayout(texts, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(buttons);

    connect(&m_check, &QTimer::timeout, this, [this] {
        if (m_stopped()) {
            m_check.stop();
            done(kStopped);
        }
    });
}

int CWaitToStopDlg::exec() {
    if (m_stopped())
        return kStopped;
    m_check.start(100);
    return QDialog::exec();
}

void CWaitToStopDlg::keyPressEvent(QKeyEvent* event) {
    // Enter does nothing; Escape is the Cancel button.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        return;
    QDialog::keyPressEvent(event);
}
