#pragma once
#include <QPointer>
#include <QStringList>
#include <QWidget>

class QMessageBox;

#include "dialogs/OperatorPrompt.h"

// The platform's message boxes and file dialogs, each window-modal to the window the operator is
// in: the main window, or the dialog open above it, so that a box raised from a dialog stands
// above that dialog (and stays on top with a dialog that does).
class CQtOperatorPrompt : public IOperatorPrompt {
public:
    // window: the main window, parent of every box and dialog raised while no dialog of its is
    // open.
    explicit CQtOperatorPrompt(QWidget* window) : m_window(window) {}

    bool Ask(const TQuestion& question) override;
    size_t Choose(const TChoice& choice) override;
    void Tell(EIcon icon, const std::string& text, const std::string& caption = {}) override;
    std::optional<std::string> ChooseFile(const TFileRequest& request) override;
    int Run(QDialog& dialog) override;

    // "Name (*.a)|*.a|All (*.*)|*.*||" as Qt's name filters; "*.*" matches every file here.
    static QStringList NameFilters(const std::string& filter);
    // A box without a caption of its own carries the program file's base name.
    static QString Caption(const std::string& caption);
    // The window a box is raised from now: the innermost modal dialog of the main window, or the
    // main window.
    QWidget* Owner() const;

private:
    // A box owned by the operator's window, drawn sharp at its scale.
    void PrepareBox(QMessageBox& box) const;

    QPointer<QWidget> m_window;
};
