#include "dialogs/UserCommentDlg.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "dialogs/DialogUnits.h"
#include "display/DialogFont.h"

namespace {
bool Refused(QChar c) {
    return c == QLatin1Char(',') || c.category() == QChar::Other_Control ||
           c.category() == QChar::Separator_Line || c.category() == QChar::Separator_Paragraph;
}
}  // namespace

CUserCommentDlg::CUserCommentDlg(int channel, const std::string& comment, QWidget* parent)
    : QDialog(parent), m_comment(comment) {
    setObjectName(QStringLiteral("143"));
    setWindowTitle(QStringLiteral("User Comment"));
    setFont(DialogFont(11));
    const CDialogUnits units(font());
    setFixedSize(units.Size(238, 79));

    auto* label = new QLabel(QStringLiteral("Channel %1").arg(channel), this);
    label->setObjectName(QStringLiteral("1067"));
    PlaceInTemplate(*label, units.Rect(9, 13, 49, 8));
    m_edit = new QLineEdit(QString::fromStdString(comment), this);
    m_edit->setObjectName(QStringLiteral("1043"));
    m_edit->setGeometry(units.Rect(7, 32, 223, 14));
    m_edit->installEventFilter(this);
    connect(m_edit, &QLineEdit::textEdited, this, &CUserCommentDlg::OnEdited);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("1"));
    ok->setGeometry(units.Rect(121, 59, 50, 14));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("2"));
    cancel->setGeometry(units.Rect(181, 59, 50, 14));
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    m_edit->setFocus();
}

QString CUserCommentDlg::CleanComment(QString text) {
    for (QChar& c : text) {
        if (Refused(c))
            c = QLatin1Char(' ');
    }
    return text;
}

void CUserCommentDlg::accept() {
    m_comment = m_edit->text().toStdString();
    QDialog::accept();
}

bool CUserCommentDlg::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_edit && event->type() == QEvent::KeyPress) {
        const QString text = static_cast<QKeyEvent*>(event)->text();
        if (text.contains(QLatin1Char(',')))
            return true;
    }
    return QDialog::eventFilter(watched, event);
}

void CUserCommentDlg::OnEdited(const QString& text) {
    const QString clean = CleanComment(text);
    if (clean == text)
        return;
    const int cursor = m_edit->cursorPosition();
    m_edit->setText(clean);
    m_edit->setCursorPosition(cursor);
}
