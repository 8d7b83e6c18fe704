#pragma once
#include <QDialog>
#include <functional>
#include <string>
#include <vector>

#include "dialogs/OperatorPrompt.h"

// Answers every box and dialog from the test's script, without an event loop, and records each.
// Unscripted: questions are cancelled, choices closed, file choices abandoned, dialogs rejected.
class CScriptedOperatorPrompt : public IOperatorPrompt {
public:
    struct TBox {
        enum class EKind { kAsk, kTell, kFile, kDialog, kChoice } kind;
        EIcon icon;
        std::string text;
        std::string caption;
        bool cancelPreselected = false;
    };

    std::function<bool(const TQuestion&)> onAsk = [](const TQuestion&) { return false; };
    std::function<size_t(const TChoice&)> onChoose = [](const TChoice& choice) {
        return choice.escapeButton;
    };
    std::function<void(EIcon, const std::string&)> onTell = [](EIcon, const std::string&) {};
    std::function<std::optional<std::string>(const TFileRequest&)> onChooseFile = [](const TFileRequest&) {
        return std::optional<std::string>();
    };
    std::function<int(QDialog&)> onRun = [](QDialog&) { return static_cast<int>(QDialog::Rejected); };

    std::vector<TBox> boxes;
    std::vector<TFileRequest> fileRequests;

    bool Ask(const TQuestion& question) override {
        boxes.push_back({TBox::EKind::kAsk, EIcon::kQuestion, question.text, question.caption,
                         question.cancelPreselected});
        return onAsk(question);
    }
    size_t Choose(const TChoice& choice) override {
        boxes.push_back({TBox::EKind::kChoice, EIcon::kQuestion, choice.text, choice.caption});
        return onChoose(choice);
    }
    void Tell(EIcon icon, const std::string& text, const std::string& caption = {}) override {
        boxes.push_back({TBox::EKind::kTell, icon, text, caption});
        onTell(icon, text);
    }
    std::optional<std::string> ChooseFile(const TFileRequest& request) override {
        boxes.push_back({TBox::EKind::kFile, EIcon::kInformation, request.proposedName, request.filter});
        fileRequests.push_back(request);
        return onChooseFile(request);
    }
    int Run(QDialog& dialog) override {
        boxes.push_back({TBox::EKind::kDialog, EIcon::kInformation, dialog.objectName().toStdString(),
                         dialog.windowTitle().toStdString()});
        return onRun(dialog);
    }

    // The texts of the boxes of one kind, in order.
    std::vector<std::string> Texts(TBox::EKind kind) const {
        std::vector<std::string> texts;
        for (const TBox& box : boxes)
            if (box.kind == kind)
                texts.push_back(box.text);
        return texts;
    }
    std::vector<std::string> Told() const { return Texts(TBox::EKind::kTell); }
    std::vector<std::string> Asked() const { return Texts(TBox::EKind::kAsk); }
};
