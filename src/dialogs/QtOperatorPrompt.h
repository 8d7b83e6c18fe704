#pragma once
#include <QPointer>
#include <QStringList>
#include <QWidget>

#include "dialogs/OperatorPrompt.h"

// The platform's message boxes and file dialogs, each modal to the main window only.
class CQtOperatorPrompt : public IOperatorPrompt {
public:
    // window: the main window, parent of every box and dialog.
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

private:
    QPointer<QWidget> m_window;
};
