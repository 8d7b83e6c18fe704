#include "dialogs/SystemNumberDlg.h"

#include <QDialogButtonBox>
#include <QFormLayout>

CSystemNumberDlg::CSystemNumberDlg(uint32_t current, QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("Setup"));
    m_number = new QSpinBox;
    m_number->setRange(1, 64);
    m_number->setValue(current >= 1 && current <= 64 ? static_cast<int>(current) : 1);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QFormLayout(this);
    layout->addRow(tr("System number"), m_number);
    layout->addRow(buttons);
}
