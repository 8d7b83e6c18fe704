#pragma once
#include <QDialog>
#include <QSpinBox>

// Asks for the radio system number (1 to 64) when none is set.
class CSystemNumberDlg : public QDialog {
    Q_OBJECT
public:
    explicit CSystemNumberDlg(uint32_t current, QWidget* parent = nullptr);
    uint32_t SystemNumber() const { return static_cast<uint32_t>(m_number->value()); }

private:
    QSpinBox* m_number;
};
