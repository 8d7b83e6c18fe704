#include "dialogs/QtOperatorPrompt.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <algorithm>

#include "display/StandardIcons.h"

namespace {

// The style's sign for a box's icon.
QStyle::StandardPixmap SignOf(QMessageBox::Icon icon) {
    switch (icon) {
        case QMessageBox::Question:
            return QStyle::SP_MessageBoxQuestion;
        case QMessageBox::Warning:
            return QStyle::SP_MessageBoxWarning;
        case QMessageBox::Critical:
            return QStyle::SP_MessageBoxCritical;
        default:
            break;
    }
    return QStyle::SP_MessageBoxInformation;
}

QMessageBox::Icon BoxIcon(IOperatorPrompt::EIcon icon) {
    switch (icon) {
        case IOperatorPrompt::EIcon::kQuestion:
            return QMessageBox::Question;
        case IOperatorPrompt::EIcon::kExclamation:
            return QMessageBox::Warning;
        case IOperatorPrompt::EIcon::kError:
            return QMessageBox::Critical;
        case IOperatorPrompt::EIcon::kInformation:
            break;
    }
    return QMessageBox::Information;
}

// The folder, or its nearest existing parent: a dialog told a missing folder opens in the folder
// the program was started from.
QString ExistingFolder(const QString& folder) {
    QString path = QDir::cleanPath(folder);
    while (!QDir(path).exists()) {
        const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
        if (slash < 0)
            return folder;
        path = slash == 0 ? QStringLiteral("/") : path.left(slash);
    }
    return path;
}

}  // namespace

QWidget* CQtOperatorPrompt::Owner() const {
    QWidget* modal = QApplication::activeModalWidget();
    for (QWidget* ancestor = modal; ancestor != nullptr; ancestor = ancestor->parentWidget())
        if (ancestor == m_window)
            return modal;
    return m_window;
}

void CQtOperatorPrompt::PrepareBox(QMessageBox& box) const {
    // The box's own label keeps the icon kind (setIconPixmap would forget it).
    auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgboxex_icon_label"));
    if (box.icon() != QMessageBox::NoIcon && label != nullptr)
        label->setPixmap(StandardIconPixmap(box, SignOf(box.icon())));
}

QString CQtOperatorPrompt::Caption(const std::string& caption) {
    if (!caption.empty())
        return QString::fromStdString(caption);
    return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
}

bool CQtOperatorPrompt::Ask(const TQuestion& question) {
    QMessageBox box(QMessageBox::Question, Caption(question.caption), QString::fromStdString(question.text),
                    QMessageBox::Ok | QMessageBox::Cancel, Owner());
    box.setDefaultButton(question.cancelPreselected ? QMessageBox::Cancel : QMessageBox::Ok);
    if (question.topMost)
        box.setWindowFlag(Qt::WindowStaysOnTopHint);
    return Run(box) == QMessageBox::Ok;
}

size_t CQtOperatorPrompt::Choose(const TChoice& choice) {
    QMessageBox box(QMessageBox::Question, Caption(choice.caption), QString::fromStdString(choice.text),
                    QMessageBox::NoButton, Owner());
    std::vector<QPushButton*> buttons;
    for (size_t i = 0; i < choice.buttons.size(); ++i) {
        const QMessageBox::ButtonRole role = i == choice.escapeButton    ? QMessageBox::RejectRole
                                             : i == choice.defaultButton ? QMessageBox::AcceptRole
                                                                         : QMessageBox::ActionRole;
        buttons.push_back(box.addButton(QString::fromStdString(choice.buttons[i]), role));
    }
    if (choice.defaultButton < buttons.size())
        box.setDefaultButton(buttons[choice.defaultButton]);
    if (choice.escapeButton < buttons.size())
        box.setEscapeButton(buttons[choice.escapeButton]);
    Run(box);
    const auto pressed = std::find(buttons.begin(), buttons.end(), box.clickedButton());
    return pressed != buttons.end() ? static_cast<size_t>(pressed - buttons.begin()) : choice.escapeButton;
}

void CQtOperatorPrompt::Tell(EIcon icon, const std::string& text, const std::string& caption) {
    QMessageBox box(BoxIcon(icon), Caption(caption), QString::fromStdString(text), QMessageBox::Ok, Owner());
    Run(box);
}

QStringList CQtOperatorPrompt::NameFilters(const std::string& filter) {
    const QStringList parts = QString::fromStdString(filter).split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString& name = parts[i];
        if (name.isEmpty())
            break;
        QString patterns = parts[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        patterns.replace(QStringLiteral("*.*"), QStringLiteral("*"));
        // The name shows its patterns already; Qt reads them from the parentheses at its end.
        const int open = static_cast<int>(name.lastIndexOf(QLatin1Char('(')));
        const QString shown = open >= 0 ? name.left(open).trimmed() : name;
        filters << QStringLiteral("%1 (%2)").arg(shown, patterns);
    }
    return filters;
}

std::optional<std::string> CQtOperatorPrompt::ChooseFile(const TFileRequest& request) {
    QFileDialog dialog(Owner());
    // Qt's own dialog: a platform dialog may not keep to window modality.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(request.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setNameFilters(NameFilters(request.filter));
    QString extension = QString::fromStdString(request.defaultExtension);
    if (extension.startsWith(QStringLiteral("*.")))
        extension = extension.mid(2);
    dialog.setDefaultSuffix(extension);
    if (!request.startFolder.empty())
        dialog.setDirectory(ExistingFolder(QString::fromStdString(request.startFolder)));
    if (request.save && !request.proposedName.empty())
        dialog.selectFile(QString::fromStdString(request.proposedName));
    if (Run(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().first().toStdString();
}

int CQtOperatorPrompt::Run(QDialog& dialog) {
    QWidget* owner = Owner();
    if (dialog.parentWidget() == nullptr && owner != nullptr)
        dialog.setParent(owner, dialog.windowFlags());
    // Above a dialog that stays on top (the setup dialog), or the box would hide behind it.
    if (QWidget* parent = dialog.parentWidget();
        parent != nullptr && parent->window()->windowFlags().testFlag(Qt::WindowStaysOnTopHint))
        dialog.setWindowFlag(Qt::WindowStaysOnTopHint);
    if (auto* box = qobject_cast<QMessageBox*>(&dialog))
        PrepareBox(*box);
    dialog.setWindowModality(Qt::WindowModal);
    return dialog.exec();
}
