#pragma once
#include <QDialog>
#include <string>

// The version box: product description, application revision, dongle firmware version and the
// legal notice with the company name.
class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    // firmwareVersion: the version text the dongle reported; empty before any dongle was found.
    CAboutDlg(const std::string& firmwareVersion, QWidget* parent = nullptr);

    static QString Text(const std::string& firmwareVersion);
};
