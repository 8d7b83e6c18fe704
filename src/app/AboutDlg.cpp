#include "app/AboutDlg.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "app/AppVersion.h"
#include "app/icon/AppIcon.h"

CAboutDlg::CAboutDlg(const std::string& firmwareVersion, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("バージョン情報 "));
    auto* icon = new QLabel;
    icon->setPixmap(AppIcon().pixmap(QSize(32, 32), devicePixelRatioF()));
    auto* text = new QLabel(Text(firmwareVersion));
    text->setObjectName("aboutText");
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* row = new QHBoxLayout;
    row->addWidget(icon, 0, Qt::AlignTop);
    row->addWidget(text, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(buttons);
}

QString CAboutDlg::Text(const std::string& firmwareVersion) {
    return QString("%1\n\n   apl; %2\n   f/w; %3\n\n%4 %5")
        .arg(QString::fromUtf8(HOLLOWMERE_FILE_DESCRIPTION), QStringLiteral("R2.00"),
             QString::fromStdString(firmwareVersion), QString::fromUtf8(HOLLOWMERE_LEGAL_COPYRIGHT),
             QString::fromUtf8(HOLLOWMERE_COMPANY_NAME));
}
